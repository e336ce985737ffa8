// Start-up over a program folder and the close check.
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
// The later rooms' steps, each recording that it ran.
struct Steps : CustomTagList, SnippetLists, ProjectSave, BackupWindow, EmbeddedBrowser {
    QStringList done;
    bool browserCreates = true;
    bool* projectModified = nullptr; // cleared by a save that works
    bool saveWorks = true;
    void loadCustomTags() override { done << QStringLiteral("custom tags"); }
    void loadSnippets() override { done << QStringLiteral("snippets"); }
    void saveProject() override {
        done << QStringLiteral("save project");
        if (saveWorks && projectModified)
            *projectModified = false;
    }
    void openBackupWindow() override { done << QStringLiteral("backup window"); }
    bool create() override {
        done << QStringLiteral("browser");
        return browserCreates;
    }
    ShellParts parts() {
        ShellParts p;
        p.customTags = this;
        p.snippets = this;
        p.projectSave = this;
        p.backupWindow = this;
        p.browser = this;
        return p;
    }
};

class Shell : public ::testing::Test {
protected:
    Shell()
        : state(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser, clipboard,
                recorder.parts()),
          steps(recorder.done) {
        editor.setClipboard(&clipboard);
        recorder.projectModified = &state.project().projectModified;
    }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    Steps recorder;
    AppState state;
    QStringList& steps;
};
} // namespace

TEST_F(Shell, AFreshProgramFolderStartsWithEveryDefault) {
    state.startUp();
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("projects"))).isDir());
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("backup"))).isDir());
    EXPECT_EQ(steps, QStringList({"custom tags", "snippets", "browser"}));
    EXPECT_EQ(state.document().currentHtmlFile(), dir.file(QStringLiteral("new.html")));
    EXPECT_FALSE(state.document().htmlModified());
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(state.recentProjects().caption(n), QStringLiteral("%1: ").arg(n));
    EXPECT_EQ(state.htmlFilePattern(), QStringLiteral("*.html;*.htm;*.shtml;*.shtm;*.asp"));
    EXPECT_EQ(state.settings().filesLocation, QStringLiteral("/home/someone"));
    EXPECT_TRUE(prompter.shown().empty());
    // Start-up writes no settings file.
    EXPECT_FALSE(dir.exists(QStringLiteral("OPTIONS.INI")));
    EXPECT_FALSE(dir.exists(QStringLiteral("DEFAULT.INI")));
}

TEST_F(Shell, StartUpReadsTheFilesTheRecentListAndTheFixedFilesFolder) {
    ASSERT_TRUE(dir.write(QStringLiteral("DEFAULT.INI"),
                          "[Files]\r\nLocation=/a\r\nSelected=/fixed\r\nUseSel=1\r\n"
                          "[HTML]\r\nExt=htm\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("OPTIONS.INI"), "[Recent]\r\nFile1=/p/one.out\r\n"
                                                         "File3=/p/three.out\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("htmlext.dat"), "htm\r\nphp\r\n"));
    state.startUp();
    EXPECT_EQ(state.settings().filesLocation, QStringLiteral("/fixed"));
    EXPECT_EQ(state.document().currentHtmlFile(), dir.file(QStringLiteral("new.htm")));
    EXPECT_EQ(state.recentProjects().caption(1), QStringLiteral("1: /p/one.out"));
    EXPECT_EQ(state.recentProjects().caption(2), QStringLiteral("2: "));
    EXPECT_EQ(state.recentProjects().caption(3), QStringLiteral("3: /p/three.out"));
    EXPECT_EQ(state.mainOpenFilter(),
              QStringLiteral("HTML Files|*.htm;*.php|Project Files|*.out|EXE Files|*.exe|All "
                             "Files|*.*"));
}

TEST_F(Shell, ASettingsFileThatIsNotTextIsNamedOnceAndNeverRewritten) {
    static const char binary[] = "[Format]\r\nWrap=0\r\n\x00\x00\x01\x02";
    const QByteArray bytes(binary, sizeof binary - 1);
    ASSERT_TRUE(dir.write(QStringLiteral("DEFAULT.INI"), bytes));
    ASSERT_TRUE(dir.write(QStringLiteral("OPTIONS.INI"), "[Help]\r\nShowTips=0\r\n"));
    prompter.queue(MessageAnswer::Ok);
    state.startUp();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(
        prompter.texts(),
        QStringList({QStringLiteral("The settings file \"") +
                     dir.file(QStringLiteral("DEFAULT.INI")) +
                     QStringLiteral("\" cannot be read as text. Its settings are ignored "
                                    "and the defaults are used; the file is left as it is.")}));
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Information);
    EXPECT_TRUE(state.settings().wrap); // the default, not the 0 inside
    EXPECT_FALSE(state.settings().showTips);

    // Later writes leave it as it is.
    state.document().setWrap(false);
    chooser.queue(dir.file(QStringLiteral("sub/a.html")));
    ASSERT_TRUE(dir.write(QStringLiteral("sub/a.html"), "a"));
    state.document().openHtmlFile();
    EXPECT_EQ(state.document().currentHtmlFile(), dir.file(QStringLiteral("sub/a.html")));
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")), bytes);
    EXPECT_EQ(prompter.shown().size(), 1u);
}

TEST_F(Shell, ClosingWithTheHelpProjectAsksNothing) {
    state.startUp();
    state.project().helpProjectMode = true;
    state.project().projectModified = true;
    state.document().setHtmlModified(true);
    EXPECT_TRUE(state.closeQuery());
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(steps.filter(QStringLiteral("save project")).isEmpty());
}

TEST_F(Shell, CancelInTheSaveQuestionRefusesToClose) {
    state.startUp();
    state.document().setHtmlModified(true);
    prompter.queue(MessageAnswer::Cancel);
    EXPECT_FALSE(state.closeQuery());
    EXPECT_TRUE(state.document().htmlModified());
}

TEST_F(Shell, CloseAsksAboutTheProjectAndRunsTheReminder) {
    state.startUp();
    state.project().projectFileName = QStringLiteral("site.out");
    state.project().projectModified = true;
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(state.closeQuery());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("Save changes to this Project?"));
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(steps.contains(QStringLiteral("save project")));
    EXPECT_EQ(state.optionsIni().readInteger(QStringLiteral("Backup"), QStringLiteral("SITE"), -1),
              1);

    // No keeps the project unsaved but still closes.
    steps.clear();
    state.project().projectModified = true;
    prompter.queue(MessageAnswer::No);
    EXPECT_TRUE(state.closeQuery());
    EXPECT_FALSE(steps.contains(QStringLiteral("save project")));
}

TEST_F(Shell, ASaveThatFailsAtCloseAsksAgainAndCancelKeepsTheProgramOpen) {
    state.startUp();
    state.project().projectFileName = QStringLiteral("site.out");
    state.project().projectModified = true;
    recorder.saveWorks = false;
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Cancel);
    EXPECT_FALSE(state.closeQuery());
    EXPECT_EQ(prompter.texts(),
              QStringList({"Save changes to this Project?", "Save changes to this Project?"}));
    EXPECT_EQ(steps.filter(QStringLiteral("save project")).size(), 1);
    EXPECT_TRUE(state.project().projectModified);
    // The reminder runs only when the program really closes.
    EXPECT_EQ(state.optionsIni().readInteger(QStringLiteral("Backup"), QStringLiteral("SITE"), -1),
              -1);
}

TEST_F(Shell, WithoutTheEmbeddedBrowserTheProgramSaysSoAndRunsOn) {
    recorder.browserCreates = false;
    prompter.queue(MessageAnswer::Ok);
    state.startUp();
    EXPECT_FALSE(state.hasEmbeddedBrowser());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(
        QStringLiteral("You do not appear to have Microsoft Internet Explorer 3.0 (or higher) "
                       "installed. You will not be able to use the built-in MSIE browser "
                       "preview. We recommend you download a free copy from:  ")));
    // The document and the recent list are set up all the same.
    EXPECT_EQ(state.document().currentHtmlFile(), dir.file(QStringLiteral("new.html")));
}

TEST_F(Shell, TheRecentListTellsTheWindowWhenItChanges) {
    int changes = 0;
    QObject::connect(&state, &AppState::recentProjectsChanged, [&] { ++changes; });
    state.startUp();
    EXPECT_EQ(changes, 1);
    state.updateRecentProjects(QStringLiteral("/p/a.out"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(state.recentProjects().caption(1), QStringLiteral("1: /p/a.out"));
}
