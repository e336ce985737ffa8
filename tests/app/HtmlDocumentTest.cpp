// The open HTML document: the save question and the New, Open, Template, Save, Save As and
// Close commands, over real files.
#include "app/HtmlDocument.h"
#include "app/ChangedList.h"
#include "app/HtmlExtensions.h"
#include "app/Settings.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString kSkeleton = QStringLiteral(
    "<!--This site and page maintained with Quillon Pro. Details at: "
    "https://www.quillon.example/-->\r\n<HTML>\r\n<HEAD>\r\n   <TITLE></TITLE>\r\n</HEAD>\r\n"
    "<BODY>\r\n\r\n</BODY>\r\n</HTML>\r\n");

class Document : public ::testing::Test {
protected:
    Document()
        : settings(loadSettings(IniFile(dir.file(QStringLiteral("DEFAULT.INI"))),
                                IniFile(dir.file(QStringLiteral("OPTIONS.INI"))), dir.path(),
                                dir.path())),
          doc(editor, prompter, chooser, clipboard, settings,
              IniFile(dir.file(QStringLiteral("DEFAULT.INI"))), changed, dir.path()) {
        editor.setClipboard(&clipboard);
        doc.setOpenFilter(mainOpenFilter(htmlFilePattern(defaultHtmlExtensions())));
        doc.setHooks(HtmlDocument::Hooks{
            [this](const QString& s) { status = s; },
            [this](bool on) { saveEnabled = on; },
            [this] { ++colourPasses; },
            [this] { ++settingsDialogs; },
        });
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
    Settings settings;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ChangedList changed;
    HtmlDocument doc;
    QString status;
    bool saveEnabled = false;
    int colourPasses = 0;
    int settingsDialogs = 0;
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
    // Save As does not add to the upload list and does not rename the status field.
    EXPECT_TRUE(changed.paths().isEmpty());
    EXPECT_EQ(status, QStringLiteral("Open HTML File:  ") + dir.file(QStringLiteral("a.html")));

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

TEST_F(Document, WithExtHtmANewHtmInAnyFolderCountsAsUntitled) {
    settings.ext = QStringLiteral("htm");
    ASSERT_TRUE(dir.write(QStringLiteral("sub/new.htm"), "x"));
    openNamed(QStringLiteral("sub/new.htm"), "x");
    doc.setHtmlModified(true);
    chooser.queue(dir.file(QStringLiteral("sub/real.htm")));
    doc.saveHtmlFile();
    ASSERT_EQ(chooser.requests().size(), 2u);
    EXPECT_TRUE(chooser.requests()[1].save);
    EXPECT_EQ(chooser.requests()[1].request.fileName, QStringLiteral("new.htm"));
    EXPECT_EQ(chooser.requests()[1].request.defaultExtension, QStringLiteral("htm"));
    EXPECT_EQ(dir.read(QStringLiteral("sub/real.htm")), QByteArray("x"));
    // But new.html with Ext htm is a real name.
    openNamed(QStringLiteral("new.html"), "y");
    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_EQ(chooser.requests().size(), 3u);
}

TEST_F(Document, OpenRemembersTheFolderAndCancelLeavesAnEmptyEditor) {
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
    EXPECT_EQ(settings.lastHtmlDirectory, dir.path() + QStringLiteral("site"));
    EXPECT_EQ(IniFile(dir.file(QStringLiteral("DEFAULT.INI")))
                  .readString(QStringLiteral("Start"), QStringLiteral("Location"), QString()),
              dir.path() + QStringLiteral("site"));

    chooser.queue(std::nullopt);
    doc.openHtmlFile();
    EXPECT_EQ(chooser.requests().back().request.initialDirectory,
              dir.path() + QStringLiteral("site"));
    EXPECT_EQ(editor.text(), QString());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("site/a.html")));
    EXPECT_FALSE(doc.htmlModified());
}

TEST_F(Document, ColouringRunsAfterLoadingOnlyWhenSwitchedOn) {
    openNamed(QStringLiteral("a.html"), "<b>x</b>");
    EXPECT_EQ(colourPasses, 0);
    settings.colored = true;
    openNamed(QStringLiteral("a.html"), "<b>x</b>");
    EXPECT_EQ(colourPasses, 1);
}

TEST_F(Document, AnUnreadableFileIsReportedAndDoesNotBecomeTheDocument) {
    openNamed(QStringLiteral("a.html"), "a");
    chooser.queue(dir.file(QStringLiteral("missing.html")));
    prompter.queue(MessageAnswer::Ok);
    doc.openHtmlFile();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(QStringLiteral("Cannot open the file \"") +
                                                    dir.file(QStringLiteral("missing.html"))));
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));
    EXPECT_EQ(editor.text(), QString());
    EXPECT_FALSE(dir.exists(QStringLiteral("missing.html")));
}

TEST_F(Document, AFailedWriteKeepsTheTextTheFlagAndTheOldFile) {
    openNamed(QStringLiteral("a.html"), "old");
    editor.setText(QStringLiteral("new text"));
    doc.setHtmlModified(true);
    // A folder standing where the file should be makes the write fail.
    chooser.queue(dir.path() + QStringLiteral("folder"));
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    prompter.queue(MessageAnswer::Ok);
    doc.saveHtmlFileAs();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompter.shown()[0].text.startsWith(QStringLiteral("Cannot save the file \"") +
                                                    dir.path() + QStringLiteral("folder\"")));
    EXPECT_TRUE(doc.htmlModified());

    // The save question after a failed write answers Cancel: New does not throw the text away.
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok); // the second write error
    doc.newHtmlFile();
    EXPECT_EQ(editor.text(), QStringLiteral("new text"));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("old"));
    EXPECT_TRUE(changed.paths().isEmpty());
}

TEST_F(Document, ATemplateBecomesANewUntitledDocument) {
    prompter.queue(MessageAnswer::Ok, 2);
    doc.openHtmlTemplate();
    ASSERT_EQ(prompter.texts(),
              QStringList({QStringLiteral("You have not selected a Template file yet. Go to the "
                                          "OPTIONS screen and select one from the Files tab.")}));
    EXPECT_EQ(settingsDialogs, 1);
    EXPECT_EQ(doc.currentHtmlFile(), QString());

    settings.htmlTemplate = dir.file(QStringLiteral("gone.html"));
    prompter.clearShown();
    doc.openHtmlTemplate();
    EXPECT_EQ(
        prompter.texts(),
        QStringList({QStringLiteral(
            "Cannot open this file. Has it been moved, renamed, or deleted? Please "
            "right-click it and select \"Change file link\" to re-establish the file link.")}));

    ASSERT_TRUE(dir.write(QStringLiteral("t.html"), "<HTML>\n</HTML>\n"));
    settings.htmlTemplate = dir.file(QStringLiteral("t.html"));
    doc.openHtmlTemplate();
    EXPECT_EQ(editor.text(), QStringLiteral("<HTML>\r\n</HTML>\r\n"));
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("new.html")));
    EXPECT_FALSE(doc.htmlModified());
    // Saving it asks for a name: the template itself is never overwritten.
    doc.setHtmlModified(true);
    chooser.queue(dir.file(QStringLiteral("mine.html")));
    doc.saveHtmlFile();
    EXPECT_EQ(dir.read(QStringLiteral("t.html")), QByteArray("<HTML>\n</HTML>\n"));
    EXPECT_EQ(dir.read(QStringLiteral("mine.html")), QByteArray("<HTML>\r\n</HTML>\r\n"));
}

TEST_F(Document, CloseKeepsTheNameSoALaterSaveWritesThere) {
    openNamed(QStringLiteral("a.html"), "text");
    doc.closeHtmlFile();
    EXPECT_EQ(editor.text(), QString());
    EXPECT_EQ(doc.currentHtmlFile(), dir.file(QStringLiteral("a.html")));
    editor.setText(QStringLiteral("other"));
    doc.setHtmlModified(true);
    doc.saveHtmlFile();
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("other"));
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
