// The real main window started as an installed copy (its settings in the user's folder, seeded
// from the installed data) and started with files to open.
#include "app/StartArguments.h"
#include "platform/Clipboard.h"
#include "platform/ProgramFolder.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "ui/TForm1.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

class InstalledStart : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write(QStringLiteral("usr/bin/quillon"), ""));
        ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/help/welcome.out"), "Welcome\r\n"));
    }
    // One start of the program: the folder it resolves and the window over it.
    void start() {
        form.reset();
        folder = resolveProgramFolder(dir.file(QStringLiteral("usr/bin")),
                                      dir.file(QStringLiteral("data")),
                                      dir.file(QStringLiteral("home")));
        form = std::make_unique<TForm1>(folder.directory, prompter, chooser, clipboard,
                                        TForm1::Options::withoutBanner());
        form->resize(1024, 768);
        form->show();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    MemoryClipboard clipboard;
    ProgramFolder folder;
    std::unique_ptr<TForm1> form;
};

TEST_F(InstalledStart, SecondStartKeepsAChangedSetting) {
    start();
    const QString user = dir.file(QStringLiteral("data/quillon/"));
    ASSERT_EQ(folder.directory, user);
    EXPECT_EQ(form->state().programDirectory(), user);
    EXPECT_EQ(dir.read(QStringLiteral("data/quillon/help/welcome.out")), "Welcome\r\n");
    EXPECT_TRUE(dir.exists(QStringLiteral("data/quillon/projects")));
    EXPECT_TRUE(dir.exists(QStringLiteral("data/quillon/backup")));
    EXPECT_EQ(form->state().document().currentHtmlFile(), user + QStringLiteral("new.html"));
    ASSERT_TRUE(form->wrapBox()->isChecked());
    form->wrapBox()->click();
    EXPECT_TRUE(dir.read(QStringLiteral("data/quillon/DEFAULT.INI")).contains("Wrap=0"));

    start();
    EXPECT_TRUE(folder.seeded.isEmpty());
    EXPECT_FALSE(form->wrapBox()->isChecked());
    // Nothing of the program's own went beside the installed executable.
    EXPECT_EQ(QDir(dir.file(QStringLiteral("usr/bin")))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("quillon")});
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(InstalledStart, PageGivenOnTheCommandLineShowsInTheEditor) {
    start();
    ASSERT_TRUE(
        dir.write(QStringLiteral("site/page.html"), "<HTML>\n<BODY>Hello</BODY>\n</HTML>\n"));
    openStartArguments(form->state(), {QStringLiteral("page.html")},
                       dir.file(QStringLiteral("site")));
    EXPECT_EQ(form->editor()->toPlainText(),
              QStringLiteral("<HTML>\n<BODY>Hello</BODY>\n</HTML>\n"));
    EXPECT_EQ(form->statusField(2)->text(),
              QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("site/page.html")));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(InstalledStart, ProjectGivenOnTheCommandLineOpensAsAProject) {
    start();
    ASSERT_TRUE(dir.write(QStringLiteral("site/index.html"), "<P>Home</P>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/site.out"), "Home\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/site.fil"),
                          (dir.file(QStringLiteral("site/index.html")) + "\r\n").toUtf8()));
    openStartArguments(form->state(), {dir.file(QStringLiteral("site/site.out"))}, dir.path());
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Ostra Quillon Pro:  ") + dir.file(QStringLiteral("site/site.out")));
    EXPECT_EQ(form->state().project().projectFileName, QStringLiteral("site.out"));
    EXPECT_EQ(form->state().recentProjects().caption(1),
              QStringLiteral("1: ") + dir.file(QStringLiteral("site/site.out")));
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
