// Snips: the two lists over real files in a temporary program folder.
#include "services/Snips.h"
#include "services/ServicesFixture.h"

#include <QFile>

namespace {

class SnipsFixture : public ServicesTest {
protected:
    SnipsFixture() : snips(dir.path(), prompter) {}
    QByteArray urlFile() const { return dir.read(QStringLiteral("urlsnips.dat")); }

    Snips snips;
};

struct ScriptedEntryEditor : SnipEntryEditor {
    QString answer;
    QStringList shown;
    QString editEntry(const QString& text) override {
        shown << text;
        return answer;
    }
};

TEST_F(SnipsFixture, AddKeepsTheListSortedWithoutRegardToCaseAndWritesIt) {
    SnipList& urls = snips.urls();
    urls.load(); // no file: empty, no message
    EXPECT_TRUE(urls.entries().isEmpty());
    for (const char* e : {"b", "A", "c"})
        EXPECT_TRUE(urls.add(QLatin1String(e)));
    EXPECT_FALSE(urls.add(QString()));
    EXPECT_EQ(urls.entries(),
              (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(urlFile(), QByteArray("A\r\nb\r\nc\r\n"));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("missnips.dat"))));
}

TEST_F(SnipsFixture, LoadingSortsAndKeepsEmptyLinesAndBytes) {
    ASSERT_TRUE(dir.write(QStringLiteral("urlsnips.dat"), "zeta\nAlpha\r\n\r\nbeta caf\xe9\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("missnips.dat"), "one line"));
    snips.loadSnippets();
    EXPECT_EQ(snips.urls().entries(),
              (QStringList{QString(), QStringLiteral("Alpha"),
                           QStringLiteral("beta caf") + QChar(0xe9), QStringLiteral("zeta")}));
    EXPECT_EQ(snips.misc().entries(), QStringList{QStringLiteral("one line")});
    // Written back in the encoding it was read in (Latin-1 here), sorted, CR LF.
    snips.urls().add(QStringLiteral("b"));
    EXPECT_EQ(urlFile(), QByteArray("\r\nAlpha\r\nb\r\nbeta caf\xe9\r\nzeta\r\n"));
}

TEST_F(SnipsFixture, DeleteSelectsTheEntryBeforeUnlessItWasTheFirst) {
    SnipList& l = snips.misc();
    for (const char* e : {"a", "b", "c", "d"})
        l.add(QLatin1String(e));
    EXPECT_FALSE(l.deleteSelected()); // nothing selected: nothing
    l.select(2);
    EXPECT_TRUE(l.deleteSelected());
    EXPECT_EQ(l.selected(), 1);
    EXPECT_EQ(l.entries(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")}));
    l.select(0);
    l.deleteSelected();
    EXPECT_EQ(l.selected(), -1);
    EXPECT_EQ(dir.read(QStringLiteral("missnips.dat")), QByteArray("b\r\nd\r\n"));
    l.select(7); // below the last entry
    EXPECT_EQ(l.selected(), -1);
}

TEST_F(SnipsFixture, PasteIntoTheEditorOrOnlyOntoTheClipboard) {
    setText(QStringLiteral("<P></P>"));
    select(3, 0);
    clipboard.setText(QStringLiteral("old"));
    snips.pasteIntoEditor = false;
    snips.pasteSnip(QStringLiteral("http://x/"), editor, clipboard, doc);
    EXPECT_EQ(clipboard.text(), QStringLiteral("http://x/"));
    EXPECT_EQ(editor.text(), QStringLiteral("<P></P>"));
    EXPECT_FALSE(doc.htmlModified());

    snips.pasteIntoEditor = true;
    select(3, 4);
    snips.pasteSnip(QStringLiteral("text"), editor, clipboard, doc);
    EXPECT_EQ(editor.text(), QStringLiteral("<P>text"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("text"));
    EXPECT_TRUE(doc.htmlModified());
}

TEST_F(SnipsFixture, EditReplacesInPlaceUntilTheNextLoad) {
    SnipList& l = snips.urls();
    for (const char* e : {"a", "m", "z"})
        l.add(QLatin1String(e));
    ScriptedEntryEditor dialog;

    // Nothing selected: the message, no dialog.
    prompter.queue(MessageAnswer::Ok);
    snips.editSnip(l, dialog);
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("You have not selected an item to edit. You must first "
                                         "select at item (click it).")});
    EXPECT_TRUE(dialog.shown.isEmpty());

    l.select(0);
    dialog.answer = QStringLiteral("zz");
    snips.editSnip(l, dialog);
    EXPECT_EQ(dialog.shown, QStringList{QStringLiteral("a")});
    EXPECT_EQ(urlFile(), QByteArray("zz\r\nm\r\nz\r\n")); // keeps its place

    // Cancel, or an entry edited into the marker: unchanged.
    dialog.answer = SnipList::cancelMarker();
    l.select(1);
    snips.editSnip(l, dialog);
    EXPECT_EQ(l.entries().at(1), QStringLiteral("m"));

    // An empty text is stored as an empty line.
    dialog.answer = QString();
    snips.editSnip(l, dialog);
    EXPECT_EQ(urlFile(), QByteArray("zz\r\n\r\nz\r\n"));

    // The next start sorts again.
    Snips again(dir.path(), prompter);
    again.loadSnippets();
    EXPECT_EQ(again.urls().entries(),
              (QStringList{QString(), QStringLiteral("z"), QStringLiteral("zz")}));
}

TEST_F(SnipsFixture, AWriteFailureNamesTheFileAndTheListKeepsTheChange) {
    SnipList& l = snips.urls();
    // A folder where the file should be: nothing can be renamed over it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("urlsnips.dat")));
    ASSERT_TRUE(dir.write(QStringLiteral("urlsnips.dat/inside"), "x"));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(l.add(QStringLiteral("new")));
    ASSERT_EQ(prompter.texts().size(), 1);
    const QString text = prompter.texts()[0];
    const QString head = QStringLiteral("Cannot write the file \"") +
                         dir.file(QStringLiteral("urlsnips.dat")) + QStringLiteral("\".\n");
    EXPECT_TRUE(text.startsWith(head)) << text.toStdString();
    EXPECT_GT(text.size(), head.size()); // and the reason
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(dir.read(QStringLiteral("urlsnips.dat/inside")), QByteArray("x"));
    EXPECT_EQ(l.entries(), QStringList{QStringLiteral("new")});
}

TEST_F(SnipsFixture, AFolderOrUnreadableFileLeavesTheListEmpty) {
    QDir(dir.path()).mkdir(QStringLiteral("urlsnips.dat"));
    snips.urls().load();
    EXPECT_TRUE(snips.urls().entries().isEmpty());
}

} // namespace
