// The help project as the build installs it: every page it lists is there, and Welcome opens it
// read-only with its first page in the editor.
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/TextFile.h"
#include "preview/Help.h"
#include "project/Project.h"
#include "project/ProjectFiles.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString HelpSource = QStringLiteral(QUILLON_TEST_DIR "/../data/help/");

struct Window : HelpWindow {
    QStringList calls;
    void tickWrap() override { calls << "wrap"; }
    void showEditWindow() override { calls << "edit window"; }
};

bool copyHelp(const TempDir& dir) {
    QDir().mkpath(dir.file("help"));
    for (const QString& name : QDir(HelpSource).entryList(QDir::Files)) {
        if (!QFile::copy(HelpSource + name, dir.file("help/" + name)))
            return false;
    }
    return true;
}

} // namespace

TEST(HelpProjectFiles, EveryListedPageExistsAndTheOutlineMatchesTheList) {
    const ProjectRead read = readProject(HelpSource + "welcome.out");
    ASSERT_TRUE(read.ok()) << read.message.toStdString();
    const std::optional<QStringList> pages = loadHelpPageList(HelpSource + "welcome.fil");
    ASSERT_TRUE(pages.has_value());
    EXPECT_EQ(static_cast<qsizetype>(read.pages.size()), pages->size());
    EXPECT_EQ(pages->first(), QStringLiteral("welcome.hxp"));
    for (const QString& page : *pages)
        EXPECT_TRUE(QFile::exists(HelpSource + page)) << page.toStdString();
    EXPECT_GE(pages->size(), 15); // one page or more for every screen
}

TEST(HelpProjectOpen, WelcomeOpensTheHelpProjectReadOnlyWithItsFirstPage) {
    TempDir dir;
    ASSERT_TRUE(copyHelp(dir));
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState app(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser, clipboard);
    app.startUp();
    Project project(app, prompter, chooser);
    QString caption;
    QObject::connect(&project, &Project::captionChanged, [&](const QString& c) { caption = c; });
    Window window;
    Help help(app, project, prompter, window);

    help.openHelpProject();
    EXPECT_EQ(window.calls, QStringList({"wrap", "edit window"}));
    EXPECT_TRUE(app.project().helpProjectMode);
    EXPECT_EQ(app.project().projectFileName, QStringLiteral("welcome.out"));
    EXPECT_TRUE(app.document().helpPageMode());
    EXPECT_FALSE(app.document().saveCommandsEnabled());
    EXPECT_FALSE(app.document().htmlModified());
    EXPECT_EQ(app.document().currentHtmlFile(), dir.file("help/welcome.hxp"));
    EXPECT_TRUE(editor.text().contains(QStringLiteral("Welcome to Quillon Pro")));
    EXPECT_EQ(caption, QStringLiteral("Ostra Quillon Pro:  ") + dir.file("help/welcome.out"));
    // The pages are listed by name and open from the help folder, every one of them.
    EXPECT_EQ(project.outline().page(2).link, dir.file("help/mainwin.hxp"));
    EXPECT_TRUE(prompter.shown().empty());
    for (int item = 2; item <= project.outline().count(); ++item) {
        project.setSelectedItem(item);
        project.openPage();
        const QString page = project.outline().page(item).link;
        EXPECT_EQ(app.document().currentHtmlFile(), page);
        EXPECT_EQ(editor.text(), readTextFile(page).text) << item;
        EXPECT_TRUE(app.document().helpPageMode());
    }
    EXPECT_EQ(app.document().currentHtmlFile(), dir.file("help/tips.hxp"));
    EXPECT_TRUE(prompter.shown().empty());

    prompter.queue(MessageAnswer::Ok);
    help.instructions();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The help file for this program is presented in an outline form. "
                             "Select WELCOME TO QUILLON PRO from the Help menu to see this "
                             "outline."));
}
