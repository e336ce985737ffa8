// The open HTML document: the save question and the New, Open, Template, Save, Save As and
// Close commands, over real files.
#include "app/HtmlDocument.h"
#include "app/ChangedList.h"
#include "app/HtmlExtensions.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/IniFile.h"
#include "support/FifoWatch.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString kSkeleton = QStringLiteral(
    "<!--This site and page maintained with Quillon Pro. Details at: "
    "https://www.quillon.example/-->\r\n<HTML>\r\n<HEAD>\r\n   <TITLE></TITLE>\r\n</HEAD>\r\n"
    "<BODY>\r\n\r\n</BODY>\r\n</HTML>\r\n");

// The colouring pass and the settings dialog, counting their runs.
struct Parts : TagColouring, SettingsDialog {
    int colourPasses = 0;
    int settingsDialogs = 0;
    void colourText() override { ++colourPasses; }
    void openSettingsDialog() override { ++settingsDialogs; }
};

class Document : public ::testing::Test {
protected:
    Document()
        : store(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                IniFile(dir.file(QStringLiteral("OPTIONS.INI")))),
          settings(store.load(dir.path(), dir.path())),
          doc(editor, prompter, chooser, clipboard, settings, store, changed, dir.path()),
          colourPasses(parts.colourPasses), settingsDialogs(parts.settingsDialogs) {
        editor.setClipboard(&clipboard);
        doc.setOpenFilter(mainOpenFilter(htmlFilePattern(defaultHtmlExtensions())));
        shellParts.colouring = &parts;
        shellParts.settingsDialog = &parts;
        doc.setParts(&shellParts);
        QObject::connect(&doc, &HtmlDocument::statusTextChanged,
                         [this](const QString& s) { status = s; });
        QObject::connect(&doc, &HtmlDocument::saveCommandsEnabledChanged,
                         [this](bool on) { saveEnabled = on; });
        doc.startUntitled();
    }

    // A named, saved document with the given text.
    void openNamed(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(name, bytes));
        chooser.queue(dir.file(name));
        doc.openHtmlFile();
        ASSERT_EQ(doc.currentHtmlFile(), dir.file(name));
    }

    TempDir dir;
    SettingsStore store;
    Settings settings;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ChangedList changed;
    HtmlDocument doc;
    Parts parts;
    ShellParts shellParts;
    QString status;
    bool saveEnabled = false;
    int& colourPasses;
    int& settingsDialogs;
};

} // namespace

TEST_F(Document, StartsUntitledInTheProgramFolder) {
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
    EXPECT_FALSE(doc.htmlModified());
}

TEST_F(Document, NewHtmlFileInsertsTheSkeletonThroughTheClipboard) {
    doc.newHtmlFile();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(editor.text(), kSkeleton);
    EXPECT_EQ(editor.lineCount(), 9);
    EXPECT_EQ(editor.line(3), QStringLiteral("   <TITLE></TITLE>"));
    EXPECT_EQ(editor.line(6), QString());
    EXPECT_EQ(clipboard.text(), kSkeleton);
    EXPECT_EQ(editor.selStart(), kSkeleton.size());
    EXPECT_EQ(editor.selLength(), 0);
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_TRUE(saveEnabled);
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
}

TEST_F(Document, SavingANewDocumentAsksForANameAndWritesCrLf) {
    doc.newHtmlFile();
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
    chooser.queue(std::nullopt);
    doc.saveHtmlFile();
    ASSERT_EQ(chooser.requests().size(), 1u);
    const ScriptedFileChooser::Request& r = chooser.requests().front();
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.request.title, QStringLiteral("Save HTML File As..."));
    EXPECT_EQ(r.request.filterIndex, 2);
    EXPECT_EQ(r.request.defaultExtension, QStringLiteral("html"));
    EXPECT_EQ(r.request.fileName, QStringLiteral("new.html"));
    EXPECT_EQ(r.request.filter, QStringLiteral("Project File|*.out|HTML Files|*.html;*.shtml;*.htm;"
                                               "*.sht;*.asp;*.cgi;|All Files|*.*"));
    // Cancelled: nothing written, still modified, no question asked.
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_FALSE(dir.exists(QStringLiteral("new.html")));

    chooser.queue(dir.file(QStringLiteral("page.html")));
    doc.saveHtmlFile();
    EXPECT_FALSE(doc.htmlModified());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("page.html")));
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("page.html")));
    EXPECT_EQ(dir.read(QStringLiteral("page.html")), kSkeleton.toUtf8());
    EXPECT_EQ(changed.paths(), QStringList({dir.file(QStringLiteral("page.html"))}));
    EXPECT_FALSE(dir.exists(QStringLiteral("new.html")));
}

TEST_F(Document, AClickIntoAnUnchangedDocumentMakesNewAsk) {
    doc.setHtmlModified(true); // what a mouse press in the editor does
    prompter.queue(MessageAnswer::No);
    doc.newHtmlFile();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text,
              QStringLiteral("Save changes to open HTML file before closing?"));
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(editor.text(), kSkeleton);
}

TEST_F(Document, CancelThenSaveAsThenNewAsksNothing) {
    openNamed(QStringLiteral("a.html"), "old");
    editor.setText(QStringLiteral("edited"));
    doc.setHtmlModified(true);
    prompter.queue(MessageAnswer::Cancel);
    doc.newHtmlFile();
    EXPECT_EQ(editor.text(), QStringLiteral("edited"));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));

    chooser.queue(dir.file(QStringLiteral("b.html")));
    doc.saveHtmlFileAs();
    EXPECT_EQ(dir.read(QStringLiteral("b.html")), QByteArray("edited"));
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("old"));
    // Save As does not add to the upload list; the status field names the file Save now writes.
    EXPECT_TRUE(changed.paths().isEmpty());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("b.html")));
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("b.html")));

    prompter.clearShown();
    doc.newHtmlFile();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(editor.text(), kSkeleton);
}

TEST_F(Document, SaveOfAnUnchangedNamedDocumentWritesNothing) {
    openNamed(QStringLiteral("a.html"), "same\n");
    QFile::remove(dir.file(QStringLiteral("a.html")));
    doc.saveHtmlFile();
    EXPECT_FALSE(dir.exists(QStringLiteral("a.html")));
    EXPECT_TRUE(changed.paths().isEmpty());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Document, SaveOfAChangedNamedDocumentWritesAtOnceAndFeedsTheUploadList) {
    openNamed(QStringLiteral("a.html"), "one\ntwo\n");
    EXPECT_EQ(editor.text(), QStringLiteral("one\r\ntwo\r\n"));
    editor.setSelStart(editor.length());
    editor.replaceSelection(QStringLiteral("three\n"));
    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_TRUE(chooser.requests().size() == 1u); // only the open dialog
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("one\r\ntwo\r\nthree\r\n"));
    EXPECT_EQ(changed.paths(), QStringList({dir.file(QStringLiteral("a.html"))}));

    // With FTPAUTO off nothing is added.
    changed.clear();
    settings.ftpAuto = false;
    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_TRUE(changed.paths().isEmpty());
}

TEST_F(Document, UntitledIsTheDocumentsStateNotItsName) {
    // The default extension changes while the untitled page is open: it is still untitled, and
    // saving it asks for a name instead of writing new.html into the program folder.
    settings.ext = QStringLiteral("htm");
    editor.setText(QStringLiteral("typed"));
    doc.editorPressed();
    EXPECT_TRUE(doc.isUntitled());
    chooser.queue(std::nullopt);
    prompter.queue(MessageAnswer::Yes);
    EXPECT_EQ(doc.confirmCloseHtml(), MessageAnswer::Cancel);
    ASSERT_EQ(chooser.requests().size(), 1u);
    EXPECT_EQ(chooser.requests()[0].request.defaultExtension, QStringLiteral("htm"));
    EXPECT_FALSE(dir.exists(QStringLiteral("new.html")));
    EXPECT_FALSE(dir.exists(QStringLiteral("new.htm")));
    chooser.queue(dir.file(QStringLiteral("page.htm")));
    doc.saveHtmlFile();
    EXPECT_EQ(dir.read(QStringLiteral("page.htm")), QByteArray("typed"));
    EXPECT_FALSE(doc.isUntitled());

    // A real file that happens to be called new.htm is a named page: Save writes it.
    ASSERT_TRUE(dir.write(QStringLiteral("sub/new.htm"), "x"));
    openNamed(QStringLiteral("sub/new.htm"), "x");
    EXPECT_FALSE(doc.isUntitled());
    editor.setText(QStringLiteral("x2"));
    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_EQ(chooser.requests().size(), 3u);
    EXPECT_EQ(dir.read(QStringLiteral("sub/new.htm")), QByteArray("x2"));

    // New makes it untitled again.
    doc.newHtmlFile();
    EXPECT_TRUE(doc.isUntitled());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.htm")));
}

TEST_F(Document, OpenRemembersTheFolderWithItsSeparatorAndCancelKeepsTheDocument) {
    openNamed(QStringLiteral("site/a.html"), "<p>a</p>");
    EXPECT_EQ(editor.text(), QStringLiteral("<p>a</p>"));
    EXPECT_EQ(status,
              QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("site/a.html")));
    const FileDialogRequest& r = chooser.requests().front().request;
    EXPECT_FALSE(chooser.requests().front().save);
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.initialDirectory, dir.path());
    EXPECT_EQ(r.filter, QStringLiteral("HTML Files|*.html;*.htm;*.shtml;*.shtm;*.asp|Project "
                                       "Files|*.out|EXE Files|*.exe|All Files|*.*"));
    EXPECT_EQ(settings.lastHtmlDirectory, dir.path() + QStringLiteral("site/"));
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")),
              QByteArray("[Start]\r\nLocation=") + dir.path().toUtf8() + "site/\r\n");

    // Opening from the same folder again leaves DEFAULT.INI alone.
    QFile::remove(dir.file(QStringLiteral("DEFAULT.INI")));
    openNamed(QStringLiteral("site/a.html"), "<p>a</p>");
    EXPECT_FALSE(dir.exists(QStringLiteral("DEFAULT.INI")));

    // Cancel in the dialog: the editor keeps its text, name and flag.
    editor.setText(QStringLiteral("typed"));
    doc.setHtmlModified(true);
    prompter.queue(MessageAnswer::No);
    chooser.queue(std::nullopt);
    doc.openHtmlFile();
    EXPECT_EQ(chooser.requests().back().request.initialDirectory,
              dir.path() + QStringLiteral("site/"));
    EXPECT_EQ(editor.text(), QStringLiteral("typed"));
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("site/a.html")));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(dir.read(QStringLiteral("site/a.html")), QByteArray("<p>a</p>"));
}

TEST_F(Document, AStoredFolderWithoutItsSeparatorGetsOne) {
    ASSERT_TRUE(dir.write(QStringLiteral("DEFAULT.INI"), "[Start]\r\nLocation=/home/u/site\r\n"));
    const Settings s =
        loadSettings(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                     IniFile(dir.file(QStringLiteral("OPTIONS.INI"))), dir.path(), dir.path());
    EXPECT_EQ(s.lastHtmlDirectory, QStringLiteral("/home/u/site/"));
    EXPECT_EQ(folderWithSeparator(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(folderWithSeparator(QString()), QString());
}

TEST_F(Document, ColouringRunsAfterLoadingOnlyWhenSwitchedOn) {
    openNamed(QStringLiteral("a.html"), "<b>x</b>");
    EXPECT_EQ(colourPasses, 0);
    settings.colored = true;
    openNamed(QStringLiteral("a.html"), "<b>x</b>");
    EXPECT_EQ(colourPasses, 1);
}

TEST_F(Document, AnOpenThatFailsLeavesTheDocumentAsItWas) {
    openNamed(QStringLiteral("a.html"), "a");
    editor.setText(QStringLiteral("a and more"));
    doc.setHtmlModified(true);
    const FifoWatch fifo(dir.file(QStringLiteral("pipe.html")));
    ASSERT_TRUE(fifo.made());
    const QString missing = dir.file(QStringLiteral("missing.html"));
    for (const QString& path : {missing, fifo.path(), dir.path() + QStringLiteral("sub")}) {
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        prompter.clearShown();
        prompter.queue(MessageAnswer::No);
        prompter.queue(MessageAnswer::Ok);
        chooser.queue(path);
        doc.openHtmlFile();
        ASSERT_EQ(prompter.shown().size(), 2u) << path.toStdString();
        EXPECT_TRUE(prompter.shown()[1].text.startsWith(QStringLiteral("Cannot open the file \"") +
                                                        path + QStringLiteral("\".\n")));
        EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));
        EXPECT_EQ(editor.text(), QStringLiteral("a and more"));
        EXPECT_TRUE(doc.htmlModified());
        EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("a.html")));
    }
    EXPECT_EQ(prompter.shown()[1].text, QStringLiteral("Cannot open the file \"") + dir.path() +
                                            QStringLiteral("sub\".\nIs a directory"));
    EXPECT_FALSE(fifo.opened());
    EXPECT_FALSE(dir.exists(QStringLiteral("missing.html")));
    // The page is still the document: Save writes it there.
    doc.saveHtmlFile();
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("a and more"));
}

TEST_F(Document, APipeChosenInTheDialogIsReportedNotOpened) {
    const FifoWatch fifo(dir.file(QStringLiteral("page")));
    ASSERT_TRUE(fifo.made());
    chooser.queue(fifo.path());
    prompter.queue(MessageAnswer::Ok);
    doc.openHtmlFile();
    EXPECT_EQ(prompter.texts(),
              QStringList({QStringLiteral("Cannot open the file \"") + fifo.path() +
                           QStringLiteral("\".\npage is not a regular file")}));
    EXPECT_FALSE(fifo.opened());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
}

TEST_F(Document, AFailedWriteKeepsTheNameTheTextTheFlagAndTheOldFile) {
    openNamed(QStringLiteral("a.html"), "old");
    editor.setText(QStringLiteral("new text"));
    doc.setHtmlModified(true);
    // A folder standing where the file should be, and a folder that takes no files.
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    for (const QString& target :
         {dir.path() + QStringLiteral("folder"), QStringLiteral("/proc/quillon-page.html")}) {
        prompter.clearShown();
        chooser.queue(target);
        prompter.queue(MessageAnswer::Ok);
        doc.saveHtmlFileAs();
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
        EXPECT_TRUE(prompter.shown()[0].text.startsWith(QStringLiteral("Cannot save the file \"") +
                                                        target + QStringLiteral("\"")));
        EXPECT_TRUE(doc.htmlModified());
        EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));
        EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("a.html")));
    }
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("old"));
    EXPECT_TRUE(changed.paths().isEmpty());

    // The next Save still writes where the text came from.
    prompter.clearShown();
    doc.saveHtmlFile();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("new text"));
    EXPECT_FALSE(doc.htmlModified());
}

TEST_F(Document, AFailedFirstSaveStaysUntitledAndNothingReplacesTheText) {
    doc.newHtmlFile();
    chooser.queue(QStringLiteral("/proc/quillon-page.html"));
    prompter.queue(MessageAnswer::Ok);
    doc.saveHtmlFile();
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
    EXPECT_TRUE(doc.htmlModified());

    // Yes to the question, then the write fails: Close does not throw the text away.
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    chooser.queue(QStringLiteral("/proc/quillon-page.html"));
    doc.closeHtmlFile();
    EXPECT_EQ(editor.text(), kSkeleton);
    EXPECT_TRUE(doc.htmlModified());
}

TEST_F(Document, ATemplateBecomesANewUntitledDocument) {
    openNamed(QStringLiteral("a.html"), "page");
    prompter.queue(MessageAnswer::Ok);
    doc.openHtmlTemplate();
    ASSERT_EQ(prompter.texts(),
              QStringList({QStringLiteral("You have not selected a Template file yet. Go to the "
                                          "OPTIONS screen and select one from the Files tab.")}));
    EXPECT_EQ(settingsDialogs, 1);
    // No template was read: the page stays open.
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));
    EXPECT_EQ(editor.text(), QStringLiteral("page"));

    settings.htmlTemplate = dir.file(QStringLiteral("gone.html"));
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok);
    doc.openHtmlTemplate();
    EXPECT_EQ(
        prompter.texts(),
        QStringList({QStringLiteral(
            "Cannot open this file. Has it been moved, renamed, or deleted? Please "
            "right-click it and select \"Change file link\" to re-establish the file link.")}));
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));
    EXPECT_EQ(editor.text(), QStringLiteral("page"));

    ASSERT_TRUE(dir.write(QStringLiteral("t.html"), "<HTML>\n</HTML>\n"));
    settings.htmlTemplate = dir.file(QStringLiteral("t.html"));
    doc.openHtmlTemplate();
    EXPECT_EQ(editor.text(), QStringLiteral("<HTML>\r\n</HTML>\r\n"));
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
    EXPECT_FALSE(doc.htmlModified());
    // Saving it asks for a name: the template itself is never overwritten.
    doc.setHtmlModified(true);
    chooser.queue(dir.file(QStringLiteral("mine.html")));
    doc.saveHtmlFile();
    EXPECT_EQ(dir.read(QStringLiteral("t.html")), QByteArray("<HTML>\n</HTML>\n"));
    EXPECT_EQ(dir.read(QStringLiteral("mine.html")), QByteArray("<HTML>\r\n</HTML>\r\n"));
}

TEST_F(Document, AfterCloseTheNextSaveAsksForANameAndTheClosedPageStays) {
    for (const bool edited : {false, true}) {
        openNamed(QStringLiteral("a.html"), "text");
        if (edited) {
            editor.setText(QStringLiteral("text, edited"));
            doc.setHtmlModified(true);
            prompter.queue(MessageAnswer::No);
        }
        doc.closeHtmlFile();
        EXPECT_EQ(editor.text(), QString());
        EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
        EXPECT_EQ(status,
                  QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("new.html")));
        EXPECT_FALSE(doc.htmlModified());

        editor.setText(QStringLiteral("other"));
        doc.setHtmlModified(true);
        const size_t asked = chooser.requests().size();
        chooser.queue(std::nullopt);
        doc.saveHtmlFile();
        ASSERT_EQ(chooser.requests().size(), asked + 1);
        EXPECT_TRUE(chooser.requests().back().save);
        EXPECT_EQ(chooser.requests().back().request.fileName, QStringLiteral("new.html"));
        EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("text"));
        EXPECT_TRUE(doc.htmlModified());
        doc.setHtmlModified(false);
    }
}

TEST_F(Document, ALatin1PageThatNoLongerFitsIsSavedAsUtf8AfterSayingSoOnce) {
    const QString page = dir.file(QStringLiteral("enc.html"));
    QByteArray onDiskWhenTold;
    prompter.onMessage = [&](const QString&) {
        onDiskWhenTold = dir.read(QStringLiteral("enc.html"));
    };
    const QString told = QStringLiteral("\"") + page +
                         QStringLiteral("\" was read as Latin-1 text, but it now holds characters "
                                        "that Latin-1 cannot store. It is saved as UTF-8 so that "
                                        "none of them is lost.");

    openNamed(QStringLiteral("enc.html"), "caf\xe9");
    // Still Latin-1: nothing to say.
    editor.setText(editor.text() + QString::fromLatin1(" \xe0"));
    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(dir.read(QStringLiteral("enc.html")), QByteArray("caf\xe9 \xe0"));

    editor.setText(editor.text() + QString::fromUtf8(" \xe2\x82\xac"));
    doc.setHtmlModified(true);
    prompter.queue(MessageAnswer::Ok);
    doc.saveHtmlFile();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Information);
    EXPECT_EQ(prompter.shown()[0].text, told);
    EXPECT_EQ(onDiskWhenTold, QByteArray("caf\xe9 \xe0"));
    EXPECT_EQ(dir.read(QStringLiteral("enc.html")),
              QByteArray("caf\xc3\xa9 \xc3\xa0 \xe2\x82\xac"));

    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_EQ(prompter.shown().size(), 1u);

    // A page saved as UTF-8 under another name still counts as told once.
    openNamed(QStringLiteral("enc.html"), "caf\xe9");
    editor.setText(QString::fromUtf8("\xe2\x82\xac"));
    doc.setHtmlModified(true);
    chooser.queue(dir.file(QStringLiteral("fails/none.html")));
    prompter.queue(MessageAnswer::Ok, 2);
    doc.saveHtmlFileAs(); // the folder does not exist: told, then the write fails
    ASSERT_EQ(prompter.shown().size(), 3u);
    EXPECT_EQ(prompter.shown()[1].text, QStringLiteral("\"") +
                                            dir.file(QStringLiteral("fails/none.html")) +
                                            told.mid(page.size() + 1));
    doc.saveHtmlFile();
    EXPECT_EQ(prompter.shown().size(), 3u);
    EXPECT_EQ(dir.read(QStringLiteral("enc.html")), QByteArray("\xe2\x82\xac"));
}

TEST_F(Document, AHelpPageIsNeverSaved) {
    openNamed(QStringLiteral("page.hxp"), "help");
    doc.setHelpPageMode(true);
    EXPECT_FALSE(saveEnabled);
    doc.setHtmlModified(true);
    EXPECT_EQ(doc.confirmCloseHtml(), MessageAnswer::Yes);
    doc.setHtmlModified(true);
    editor.setText(QStringLiteral("changed"));
    doc.saveHtmlFile();
    doc.saveHtmlFileAs();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(chooser.requests().size(), 1u);
    EXPECT_EQ(dir.read(QStringLiteral("page.hxp")), QByteArray("help"));
    // New clears help mode again.
    doc.newHtmlFile();
    EXPECT_FALSE(doc.helpPageMode());
    EXPECT_TRUE(saveEnabled);
}

TEST_F(Document, Latin1AndUtf8FilesComeBackByteForByte) {
    const QByteArray latin1("<p>caf\xe9 \xa9 na\xefve</p>\r\n");
    const QByteArray utf8("<p>caf\xc3\xa9 \xe2\x82\xac</p>\r\n");
    for (const QByteArray& bytes : {latin1, utf8}) {
        openNamed(QStringLiteral("enc.html"), bytes);
        doc.setHtmlModified(true);
        doc.saveHtmlFile();
        EXPECT_EQ(dir.read(QStringLiteral("enc.html")), bytes);
    }
}

TEST_F(Document, WrapIsStoredInDefaultIni) {
    doc.setWrap(false);
    EXPECT_FALSE(editor.wordWrap());
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")), QByteArray("[Format]\r\nWrap=0\r\n"));
    doc.setWrap(true);
    EXPECT_TRUE(editor.wordWrap());
    EXPECT_TRUE(settings.wrap);
}

TEST_F(Document, TheWindowHearsOfEveryChangeOfFlagNameAndSaveCommands) {
    QList<bool> modified;
    QStringList names;
    QObject::connect(&doc, &HtmlDocument::modifiedChanged, [&](bool on) { modified << on; });
    QObject::connect(&doc, &HtmlDocument::fileNameChanged,
                     [&](const QString& path) { names << path; });
    // A key press and an editing command mark the page once; a second mark says nothing new.
    doc.editorPressed();
    doc.changeText([this] { editor.setText(QStringLiteral("typed")); });
    EXPECT_EQ(modified, QList<bool>({true}));
    EXPECT_EQ(editor.text(), QStringLiteral("typed"));
    chooser.queue(dir.file(QStringLiteral("p.html")));
    doc.saveHtmlFile();
    EXPECT_EQ(modified, QList<bool>({true, false}));
    EXPECT_EQ(names, QStringList({dir.file(QStringLiteral("p.html"))}));
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("p.html")));

    doc.setHelpPageMode(true);
    EXPECT_FALSE(saveEnabled);
    EXPECT_FALSE(doc.saveCommandsEnabled());
    doc.setHelpPageMode(false);
    EXPECT_TRUE(saveEnabled);
}

TEST_F(Document, TheColorSwitchIsStoredOnlyWhenItChanges) {
    doc.setColored(false);
    EXPECT_FALSE(dir.exists(QStringLiteral("DEFAULT.INI")));
    doc.setColored(true);
    EXPECT_TRUE(settings.colored);
    EXPECT_EQ(dir.read(QStringLiteral("DEFAULT.INI")), QByteArray("[Tags]\r\nColored=1\r\n"));
}
