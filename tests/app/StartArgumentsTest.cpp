// The paths the program is started with: which opens as the project, which in the editor, and
// what a missing file, a folder or a pipe handed over gives.
#include "app/StartArguments.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/FifoWatch.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(StartArguments, SortsTheFirstProjectAndTheFirstDocument) {
    const QString here = QStringLiteral("/home/u/site");
    EXPECT_EQ(sortStartArguments({}, here), StartPaths{});
    EXPECT_EQ(sortStartArguments({QStringLiteral("page.html")}, here),
              (StartPaths{{}, QStringLiteral("/home/u/site/page.html"), {}}));
    EXPECT_EQ(sortStartArguments({QStringLiteral("../a.htm"), QStringLiteral("/p/Site.OUT"),
                                  QStringLiteral("b.html"), QStringLiteral("c.out")},
                                 here),
              (StartPaths{
                  QStringLiteral("/p/Site.OUT"),
                  QStringLiteral("/home/u/a.htm"),
                  {QStringLiteral("/home/u/site/b.html"), QStringLiteral("/home/u/site/c.out")}}));
    // A file manager may hand over addresses; "--" ends the options, so "-x.html" is a file.
    EXPECT_EQ(sortStartArguments({QStringLiteral("--"), QStringLiteral("-x.html"), QString(),
                                  QStringLiteral("file:///tmp/my%20page.html")},
                                 here),
              (StartPaths{{},
                          QStringLiteral("/home/u/site/-x.html"),
                          {QStringLiteral("/tmp/my page.html")}}));
    // Anything but ".out" is a document, as Open HTML File takes any file.
    EXPECT_EQ(sortStartArguments({QStringLiteral("notes.txt")}, here).document,
              QStringLiteral("/home/u/site/notes.txt"));
}

struct ProjectFiles : ProjectFileOpener {
    QStringList opened;
    void openProjectFile(const QString& path) override { opened << path; }
};

class StartOpen : public ::testing::Test {
protected:
    StartOpen() : state(dir.path(), dir.path(), editor, prompter, chooser, clipboard, parts()) {
        editor.setClipboard(&clipboard);
        state.startUp();
    }
    ShellParts parts() {
        ShellParts p;
        p.projectFiles = &projects;
        return p;
    }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ProjectFiles projects;
    AppState state;
};

TEST_F(StartOpen, DocumentOpensThroughOpenHtmlFilesSteps) {
    ASSERT_TRUE(dir.write(QStringLiteral("site/page.html"), "<P>Hi</P>\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/s.out"), "Home\r\n"));
    openStartArguments(state, {QStringLiteral("page.html"), QStringLiteral("s.out")},
                       dir.file(QStringLiteral("site")));
    EXPECT_EQ(projects.opened, QStringList{dir.file(QStringLiteral("site/s.out"))});
    EXPECT_EQ(state.document().currentHtmlFile(), dir.file(QStringLiteral("site/page.html")));
    EXPECT_EQ(editor.text(), QStringLiteral("<P>Hi</P>\r\n"));
    EXPECT_FALSE(state.document().htmlModified());
    // The start folder of Open HTML File follows, as after the dialog.
    EXPECT_EQ(state.settings().lastHtmlDirectory, dir.file(QStringLiteral("site/")));
    EXPECT_TRUE(dir.read(QStringLiteral("DEFAULT.INI"))
                    .contains("Location=" + dir.file(QStringLiteral("site/")).toUtf8()));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(StartOpen, ModifiedDocumentIsAskedAboutFirst) {
    ASSERT_TRUE(dir.write(QStringLiteral("page.html"), "new text"));
    editor.setText(QStringLiteral("typed"));
    state.document().setHtmlModified(true);
    prompter.queue(MessageAnswer::Cancel);
    openStartArguments(state, {QStringLiteral("page.html")}, dir.path());
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Save changes to open HTML file before closing?")});
    EXPECT_EQ(editor.text(), QStringLiteral("typed"));
    EXPECT_TRUE(state.document().htmlModified());
}

TEST_F(StartOpen, BadPathsAreNamedAndNeverRead) {
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("folder.out"))));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("folder.html"))));
    FifoWatch fifo(dir.file(QStringLiteral("pipe.html")));
    FifoWatch fifoProject(dir.file(QStringLiteral("pipe.out")));
    ASSERT_TRUE(fifo.made() && fifoProject.made());
    const QString untitled = state.document().currentHtmlFile();

    struct Case {
        QString argument;
        QString message;
    };
    const QList<Case> cases = {
        {QStringLiteral("missing.html"),
         QStringLiteral("Cannot open the file \"%1\".\nNo such file or directory")
             .arg(dir.file(QStringLiteral("missing.html")))},
        {QStringLiteral("folder.html"),
         QStringLiteral("Cannot open the file \"%1\".\nIs a directory")
             .arg(dir.file(QStringLiteral("folder.html")))},
        {QStringLiteral("pipe.html"),
         QStringLiteral("Cannot open the file \"%1\".\npipe.html is not a regular file")
             .arg(dir.file(QStringLiteral("pipe.html")))},
        {QStringLiteral("missing.out"),
         QStringLiteral("Cannot open the project \"%1\".\nNo such file or directory")
             .arg(dir.file(QStringLiteral("missing.out")))},
        {QStringLiteral("folder.out"),
         QStringLiteral("Cannot open the project \"%1\".\nIs a directory")
             .arg(dir.file(QStringLiteral("folder.out")))},
        {QStringLiteral("pipe.out"),
         QStringLiteral("Cannot open the project \"%1\".\npipe.out is not a regular file")
             .arg(dir.file(QStringLiteral("pipe.out")))},
    };
    for (const Case& c : cases) {
        prompter.clearShown();
        prompter.queue(MessageAnswer::Ok);
        openStartArguments(state, {c.argument}, dir.path());
        EXPECT_EQ(prompter.texts(), QStringList{c.message}) << c.argument.toStdString();
        EXPECT_EQ(state.document().currentHtmlFile(), untitled);
    }
    EXPECT_TRUE(projects.opened.isEmpty());
    EXPECT_FALSE(fifo.opened());
    EXPECT_FALSE(fifoProject.opened());
}

TEST_F(StartOpen, FurtherFilesAreNamedNotDropped) {
    ASSERT_TRUE(dir.write(QStringLiteral("a.html"), "A"));
    ASSERT_TRUE(dir.write(QStringLiteral("b.html"), "B"));
    prompter.queue(MessageAnswer::Ok);
    openStartArguments(state, {QStringLiteral("a.html"), QStringLiteral("b.html")}, dir.path());
    EXPECT_EQ(editor.text(), QStringLiteral("A"));
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Only one project and one HTML file can be open at a "
                                         "time. These files were not opened:\n") +
                          dir.file(QStringLiteral("b.html"))});
}

TEST_F(StartOpen, NoArgumentsLeaveTheUntitledDocument) {
    const QString untitled = state.document().currentHtmlFile();
    openStartArguments(state, {}, dir.path());
    EXPECT_EQ(state.document().currentHtmlFile(), untitled);
    EXPECT_TRUE(projects.opened.isEmpty());
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
