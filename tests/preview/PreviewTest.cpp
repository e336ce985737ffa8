// Preview and the helper applications over a real program folder and real page files, with a
// recording browser view and launcher.
#include "preview/Preview.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/IniFile.h"
#include "platform/ProcessLauncher.h"
#include "preview/Help.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct RecordingLauncher : ProcessLauncher {
    QStringList started; // program and arguments joined by "|"; "desktop|" and the file
    bool succeed = true;
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << (QStringList{program} + arguments).join(QLatin1Char('|'));
        return succeed;
    }
    bool openWithDesktop(const QString& path) override {
        started << QStringLiteral("desktop|") + path;
        return succeed;
    }
};

struct RecordingView : BrowserView {
    QStringList calls;
    bool back = false, forward = false;
    bool canShow = true;
    bool showView() override {
        calls << "show";
        return canShow;
    }
    void hideView() override { calls << "hide"; }
    bool navigate(const QString& url) override {
        calls << "navigate " + url;
        return true;
    }
    bool canGoBack() const override { return back; }
    bool canGoForward() const override { return forward; }
    void goBack() override { calls << "back"; }
    void goForward() override { calls << "forward"; }
    void stop() override { calls << "stop"; }
    void showControlPanel(bool on) override { calls << (on ? "panel on" : "panel off"); }
};

struct RecordingSettingsDialog : SettingsDialog, EmbeddedBrowser {
    QList<SettingsPage> opened;
    std::function<void()> whileOpen;
    void openSettingsDialog() override { openSettingsDialogOn(SettingsPage::Files); }
    void openSettingsDialogOn(SettingsPage page) override {
        opened << page;
        if (whileOpen)
            whileOpen();
    }
    bool create() override { return true; }
};

ShellParts partsOf(RecordingSettingsDialog& d) {
    ShellParts p;
    p.settingsDialog = &d;
    p.browser = &d;
    return p;
}

class PreviewTest : public ::testing::Test {
protected:
    PreviewTest()
        : app(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser, clipboard,
              partsOf(dialog)),
          preview(app, editor, prompter, launcher) {
        app.startUp();
        preview.setView(&view);
    }
    // A saved page open in the editor, then typed into.
    QString openChanged(const QString& name, const QByteArray& saved, const QString& typed) {
        EXPECT_TRUE(web.write(name, saved));
        EXPECT_TRUE(app.document().loadDocument(web.file(name)).ok);
        editor.setText(typed);
        app.document().editorPressed();
        return web.file(name);
    }
    void setMode(const char* option) {
        app.store().set(app.settings(), &Settings::previewOption, QLatin1String(option));
    }

    TempDir dir; // the program folder
    TempDir web; // the user's pages
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    RecordingSettingsDialog dialog;
    AppState app;
    RecordingLauncher launcher;
    RecordingView view;
    Preview preview;
};

} // namespace

TEST_F(PreviewTest, ModeTWritesTheTextBesideTheFileAndTheViewShowsThatCopy) {
    setMode("temp");
    const QString page = openChanged("a.html", "<p>saved</p>\r\n", "<p>typed</p>\r\n");
    preview.previewEmbedded();
    EXPECT_EQ(web.read("$$temp.htm"), QByteArray("<p>typed</p>\r\n"));
    EXPECT_EQ(web.read("a.html"), QByteArray("<p>saved</p>\r\n"));
    EXPECT_TRUE(app.document().htmlModified());
    EXPECT_EQ(view.calls, QStringList({"show", "navigate file:///" + web.file("$$temp.htm").mid(1),
                                       "panel on"}));
    EXPECT_TRUE(preview.browserActive());
    EXPECT_EQ(Preview::fileUrl(QStringLiteral("C:\\site\\$$temp.htm")),
              QStringLiteral("file:///C:/site/$$temp.htm"));
    (void)page;
}

TEST_F(PreviewTest, ModeNShowsTheSavedFileAndModeSSavesFirst) {
    setMode("nosave");
    const QString page = openChanged("a.html", "<p>saved</p>\r\n", "<p>typed</p>\r\n");
    PreviewTarget t = preview.previewFile();
    EXPECT_TRUE(t.ok);
    EXPECT_EQ(t.path, page);
    EXPECT_EQ(web.read("a.html"), QByteArray("<p>saved</p>\r\n"));
    EXPECT_FALSE(web.exists("$$temp.htm"));
    EXPECT_TRUE(app.document().htmlModified());

    setMode("auto");
    t = preview.previewFile();
    EXPECT_EQ(t.path, page);
    EXPECT_EQ(web.read("a.html"), QByteArray("<p>typed</p>\r\n"));
    EXPECT_FALSE(app.document().htmlModified());
}

TEST_F(PreviewTest, AnUntitledChangedDocumentIsShownFromTheLastHtmlFolderInEveryMode) {
    app.store().set(app.settings(), &Settings::lastHtmlDirectory, web.path());
    for (const char* mode : {"auto", "temp", "nosave"}) {
        setMode(mode);
        editor.setText(QStringLiteral("<b>%1</b>").arg(QLatin1String(mode)));
        app.document().editorPressed();
        const PreviewTarget t = preview.previewFile();
        EXPECT_EQ(t.path, web.file("$$temp.htm")) << mode;
        EXPECT_EQ(web.read("$$temp.htm"), QStringLiteral("<b>%1</b>").arg(mode).toUtf8()) << mode;
        EXPECT_FALSE(QFile::exists(dir.file("new.html"))) << mode;
    }
}

TEST_F(PreviewTest, TheTemporaryCopyKeepsTheDocumentsLatin1Bytes) {
    setMode("temp");
    ASSERT_TRUE(web.write("l.html", "caf\xe9\r\n"));
    ASSERT_TRUE(app.document().loadDocument(web.file("l.html")).ok);
    editor.setText(editor.text() + QStringLiteral("na\u00efve\r\n"));
    EXPECT_TRUE(preview.previewFile().ok);
    EXPECT_EQ(web.read("$$temp.htm"), QByteArray("caf\xe9\r\nna\xefve\r\n"));
}

TEST_F(PreviewTest, TheIeTabOnAnEmptyUntitledDocumentSaysSoAndGoesBackToTheEditor) {
    prompter.queue(MessageAnswer::Ok);
    preview.previewEmbedded();
    EXPECT_EQ(prompter.texts(), QStringList({"There is no open HTML data to preview."}));
    // Nothing stays over the editor: what is typed next goes into it.
    EXPECT_EQ(view.calls, QStringList({"show", "panel off", "hide"}));
    EXPECT_FALSE(preview.browserActive());

    // The same while the view was showing the page before.
    openChanged("a.html", "a", "a");
    preview.previewEmbedded();
    EXPECT_TRUE(preview.browserActive());
    prompter.queue(MessageAnswer::No);
    app.document().closeHtmlFile();
    view.calls.clear();
    prompter.queue(MessageAnswer::Ok);
    preview.previewEmbedded();
    EXPECT_EQ(view.calls, QStringList({"show", "panel off", "hide"}));
    EXPECT_FALSE(preview.browserActive());
}

TEST_F(PreviewTest, AFolderThatCannotBeWrittenGivesThePreviewWindowMessage) {
    setMode("temp");
    openChanged("a.html", "x", "y");
    ASSERT_TRUE(QDir().mkpath(web.file("$$temp.htm"))); // a folder where the copy should go
    prompter.queue(MessageAnswer::Ok);
    preview.previewEmbedded();
    EXPECT_EQ(prompter.texts(), QStringList({Preview::cannotPrepareText()}));
    // Back to the editor: no empty view stays over it.
    EXPECT_EQ(view.calls, QStringList({"show", "panel off", "hide"}));
    EXPECT_FALSE(preview.browserActive());
}

TEST_F(PreviewTest, AHelpPageIsShownThroughTheHelpFoldersCopy) {
    ASSERT_TRUE(QDir().mkpath(dir.file("help")));
    ASSERT_TRUE(dir.write("help/welcome.hxp", "<h1>Help</h1>\r\n"));
    ASSERT_TRUE(app.document().loadDocument(dir.file("help/welcome.hxp")).ok);
    app.settings().msieControl = false;
    preview.previewEmbedded();
    EXPECT_EQ(dir.read("help/$$temp.html"), QByteArray("<h1>Help</h1>\r\n"));
    EXPECT_EQ(view.calls.last(), "navigate file:///" + dir.file("help/$$temp.html").mid(1));
}

TEST_F(PreviewTest, NoModeEverWritesOrHandsOutAHelpPage) {
    ASSERT_TRUE(dir.write("help/welcome.hxp", "<h1>Help</h1>\r\n"));
    ASSERT_TRUE(app.document().loadDocument(dir.file("help/welcome.hxp")).ok);
    app.document().setHelpPageMode(true);
    app.settings().browser1 = QStringLiteral("/usr/bin/firefox");
    for (const char* mode : {"auto", "temp", "nosave"}) {
        setMode(mode);
        editor.setText(QStringLiteral("typed in %1").arg(QLatin1String(mode)));
        app.document().editorPressed();
        launcher.started.clear();
        preview.previewExternal(ExternalBrowser::Netscape);
        EXPECT_EQ(launcher.started,
                  QStringList({"/usr/bin/firefox|" + dir.file("help/$$temp.html")}))
            << mode;
        EXPECT_EQ(dir.read("help/$$temp.html"), QStringLiteral("typed in %1").arg(mode).toUtf8());
        EXPECT_EQ(dir.read("help/welcome.hxp"), QByteArray("<h1>Help</h1>\r\n")) << mode;
        EXPECT_FALSE(web.exists("$$temp.htm"));
    }
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(PreviewTest, WhileTheViewIsShownItFollowsPagesButNeverShowsAHelpPageOrAFileThatIsNoPage) {
    openChanged("a.html", "a", "a2");
    preview.previewEmbedded();
    ASSERT_TRUE(preview.browserActive());
    view.calls.clear();

    // A help page opened meanwhile: the view gets its copy.
    ASSERT_TRUE(dir.write("help/projects.hxp", "<h1>Projects</h1>"));
    ASSERT_TRUE(app.document().loadDocument(dir.file("help/projects.hxp")).ok);
    preview.documentOpened(dir.file("help/projects.hxp"));
    EXPECT_EQ(dir.read("help/$$temp.html"), QByteArray("<h1>Projects</h1>"));
    EXPECT_EQ(view.calls, QStringList({"navigate file:///" + dir.file("help/$$temp.html").mid(1)}));

    // A script opened from the Files tab all the same: the editor has it, the view keeps its
    // page.
    ASSERT_TRUE(web.write("run.js", "alert(1);"));
    ASSERT_TRUE(app.document().loadDocument(web.file("run.js")).ok);
    preview.documentOpened(web.file("run.js"));
    ASSERT_TRUE(web.write("b.HTM", "b"));
    ASSERT_TRUE(app.document().loadDocument(web.file("b.HTM")).ok);
    preview.documentOpened(web.file("b.HTM"));
    EXPECT_EQ(view.calls.mid(1), QStringList({"navigate file:///" + web.file("b.HTM").mid(1)}));
}

TEST_F(PreviewTest, AnUntitledPageStaysUntitledWhenTheDefaultExtensionChanges) {
    app.store().set(app.settings(), &Settings::lastHtmlDirectory, web.path());
    app.settings().ext = QStringLiteral("htm");
    setMode("auto");
    editor.setText(QStringLiteral("<p>untitled</p>"));
    app.document().editorPressed();
    const PreviewTarget t = preview.previewFile();
    EXPECT_EQ(t.path, web.file("$$temp.htm"));
    EXPECT_EQ(web.read("$$temp.htm"), QByteArray("<p>untitled</p>"));
    EXPECT_FALSE(dir.exists("new.html"));
    EXPECT_TRUE(app.document().htmlModified());
}

TEST_F(PreviewTest, TheControlPanelAndTheETabAndPagesOpenedMeanwhile) {
    prompter.queue(MessageAnswer::Ok, 3);
    preview.back();
    preview.next();
    view.back = view.forward = true;
    preview.back();
    preview.next();
    preview.go(QStringLiteral("   "));
    EXPECT_EQ(prompter.texts(),
              QStringList({"You are at the initial page -- you cannot go back further.",
                           "You are at the last page -- there is no NEXT page to view.",
                           "Unable to connect to address listed. Please be sure it is a valid web "
                           "address (http://....)"}));
    preview.go(QStringLiteral("http://127.0.0.1:1/"));
    EXPECT_EQ(view.calls, QStringList({"back", "forward", "navigate http://127.0.0.1:1/"}));

    // Not shown: opening a page leaves the view alone; shown: it follows.
    ASSERT_TRUE(web.write("b.html", "b"));
    view.calls.clear();
    preview.documentOpened(web.file("b.html"));
    EXPECT_TRUE(view.calls.isEmpty());
    openChanged("a.html", "a", "a2");
    preview.previewEmbedded();
    view.calls.clear();
    preview.documentOpened(web.file("b.html"));
    EXPECT_EQ(view.calls, QStringList({"navigate file:///" + web.file("b.html").mid(1)}));
    preview.showEditWindow();
    EXPECT_FALSE(preview.browserActive());
    EXPECT_EQ(view.calls.mid(1), QStringList({"panel off", "hide"}));
}

TEST_F(PreviewTest, WithoutTheEmbeddedBrowserTheIeTabSaysSo) {
    Preview without(app, editor, prompter, launcher);
    prompter.queue(MessageAnswer::Ok);
    without.previewEmbedded();
    EXPECT_EQ(prompter.texts(), QStringList({Preview::noEmbeddedBrowserText()}));
}

TEST_F(PreviewTest, DoubleClickingTheLetterThreeTimesComesBackAndWritesEachStep) {
    QStringList letters;
    QObject::connect(&app, &AppState::previewModeChanged, [&](const QString& l) { letters << l; });
    QStringList stored;
    for (int i = 0; i < 3; ++i) {
        preview.cycleMode();
        stored << IniFile(dir.file("DEFAULT.INI")).readString("Location", "PreviewOption", "?");
    }
    EXPECT_EQ(letters, QStringList({"N", "S", "T"}));
    EXPECT_EQ(stored, QStringList({"nosave", "auto", "temp"}));
}

TEST_F(PreviewTest, ExternalBrowsersGetTheFileOrSendTheUserToTheSettings) {
    setMode("temp");
    openChanged("a.html", "a", "typed");

    // No location at all: the message, the settings dialog on Web Browsers, then the desktop's
    // own browser shows the page.
    prompter.queue(MessageAnswer::Ok);
    preview.previewExternal(ExternalBrowser::Netscape);
    EXPECT_EQ(prompter.texts(), QStringList({"You must locate Netscape Navigator first...Press OK "
                                             "to continue.."}));
    EXPECT_EQ(dialog.opened, QList<SettingsPage>({SettingsPage::WebBrowsers}));
    EXPECT_EQ(launcher.started, QStringList({"desktop|" + web.file("$$temp.htm")}));
    EXPECT_EQ(web.read("$$temp.htm"), QByteArray("typed"));

    // One chosen in the dialog: the preview goes on with it.
    launcher.started.clear();
    dialog.whileOpen = [this] {
        app.store().set(app.settings(), &Settings::browser2, QStringLiteral("/usr/bin/firefox"));
    };
    prompter.queue(MessageAnswer::Ok);
    preview.previewExternal(ExternalBrowser::Explorer);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("You must locate MS Internet Explorer "
                                                      "first...Press OK to continue.."));
    EXPECT_EQ(launcher.started, QStringList({"/usr/bin/firefox|" + web.file("$$temp.htm")}));

    // The other one set but not this one: the user was told where to set it; nothing starts.
    launcher.started.clear();
    dialog.whileOpen = nullptr;
    prompter.queue(MessageAnswer::Ok);
    preview.previewExternal(ExternalBrowser::Netscape);
    EXPECT_TRUE(launcher.started.isEmpty());

    launcher.succeed = false;
    prompter.queue(MessageAnswer::Ok);
    preview.previewExternal(ExternalBrowser::Explorer);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Error launching file to MSIE."));
    app.settings().browser2.clear();
    prompter.queue(MessageAnswer::Ok, 2);
    preview.previewExternal(ExternalBrowser::Explorer);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Error launching file to MSIE."));
}

TEST(FoundBrowsers, TheBrowsersOfThisMachineAreFoundByTheirUsualNames) {
    TempDir bin;
    for (const char* name : {"falkon", "firefox-esr", "epiphany", "notabrowser"}) {
        ASSERT_TRUE(bin.write(QLatin1String(name), "#!/bin/sh\n"));
        ASSERT_TRUE(QFile::setPermissions(bin.file(QLatin1String(name)),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    ASSERT_TRUE(bin.write("chromium", "not a program")); // not executable
    EXPECT_EQ(Preview::foundBrowsers({bin.path()}),
              QStringList({bin.file("firefox-esr"), bin.file("epiphany"), bin.file("falkon")}));
    EXPECT_EQ(Preview::browserNames(),
              QStringList({"firefox", "firefox-esr", "chromium", "chromium-browser",
                           "google-chrome", "google-chrome-stable", "epiphany", "epiphany-browser",
                           "konqueror", "falkon"}));
}

TEST_F(PreviewTest, TheRealLauncherRefusesAStoredPathThatIsNotThere) {
    SystemProcessLauncher real;
    EXPECT_FALSE(real.startDetached(web.file("no-such-browser"), {}));
    EXPECT_FALSE(real.startDetached(web.path(), {}));
    EXPECT_FALSE(real.startDetached(QString(), {}));
    ASSERT_TRUE(web.write("plain.txt", "not a program"));
    EXPECT_FALSE(real.startDetached(web.file("plain.txt"), {}));
    EXPECT_TRUE(real.startDetached(QStringLiteral("/bin/true"), {}));
}

TEST_F(PreviewTest, HelpersWithoutAPathOpenTheSettingsAndOneThatFailsIsNamed) {
    prompter.queue(MessageAnswer::Ok);
    preview.launchHelper(HelperApp::Imagemap);
    EXPECT_EQ(prompter.texts(),
              QStringList({"You have not selected a helper app for this yet. We will now jump to "
                           "the OPTIONS screen where you can select an application to associate "
                           "with this menu item."}));
    EXPECT_EQ(dialog.opened, QList<SettingsPage>({SettingsPage::HelperApps}));
    EXPECT_TRUE(launcher.started.isEmpty());

    app.settings().imageEditor = QStringLiteral("/opt/paint");
    preview.launchHelper(HelperApp::Editor);
    EXPECT_EQ(launcher.started, QStringList({"/opt/paint"}));
    launcher.succeed = false;
    prompter.queue(MessageAnswer::Ok);
    preview.launchHelper(HelperApp::Editor);
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("Sorry, could not launch the program: \"/opt/paint\".  To connect "
                             "this menu to a valid application, go to the OPTIONS screen and "
                             "select a new Helper App."));
}

TEST(HelpPages, HelpOnTopStartsOnTheOpenHelpPageOnlyInTheHelpProject) {
    const QStringList pages = {"welcome.hxp", "main.hxp", "third.hxp", "fourth.hxp"};
    EXPECT_EQ(helpOnTopStartPage(pages, "welcome.out", "/prog/help/third.hxp"), 2);
    EXPECT_EQ(helpOnTopStartPage(pages, "WELCOME.OUT", "/prog/help/third.hxp"), 2);
    EXPECT_EQ(helpOnTopStartPage(pages, "site.out", "/prog/help/third.hxp"), 0);
    EXPECT_EQ(helpOnTopStartPage(pages, "welcome.out", "/prog/help/none.hxp"), 0);
    EXPECT_EQ(helpOnTopStartPage({"a.hxp", "b.hxp", "a.hxp"}, "welcome.out", "/x/a.hxp"), 2);

    TempDir dir;
    EXPECT_FALSE(loadHelpPageList(dir.file("help/welcome.fil")).has_value());
    ASSERT_TRUE(dir.write("help/welcome.fil", "welcome.hxp\r\n\r\nmain.hxp\r\n"));
    EXPECT_EQ(*loadHelpPageList(dir.file("help/welcome.fil")),
              QStringList({"welcome.hxp", "main.hxp"}));
    EXPECT_EQ(helpPagePath(dir.path(), "main.hxp"), dir.file("help/main.hxp"));
}
