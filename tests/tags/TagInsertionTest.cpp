// The insertion routines over the in-memory editor: exact texts, selections and clipboard.
#include "tags/TagInsertion.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"

#include <gtest/gtest.h>

namespace {

struct Fixture {
    TextBuffer editor;
    MemoryClipboard clipboard;
    int marks = 0;
    TagInserter tags{editor, clipboard, [this] { ++marks; }};

    // Text with the selection [from, from+length).
    void set(const QString& text, int from, int length) {
        editor.setText(text);
        editor.setSelStart(from);
        editor.setSelLength(length);
    }
    QString selected() const { return editor.selText(); }
};

const QString CRLF = QStringLiteral("\r\n");

TEST(TagInsert, WrapSelectsTheWholeInsertedText) {
    Fixture f;
    f.set(QStringLiteral("a word b"), 2, 4);
    f.tags.wrap(QStringLiteral("<B>"), QStringLiteral("</B>"));
    EXPECT_EQ(f.editor.text(), QStringLiteral("a <B>word</B> b"));
    EXPECT_EQ(f.editor.selStart(), 2);
    EXPECT_EQ(f.selected(), QStringLiteral("<B>word</B>"));
    EXPECT_EQ(f.marks, 1);
    f.editor.undo();
    EXPECT_EQ(f.editor.text(), QStringLiteral("a word b"));

    Fixture empty;
    empty.set(QStringLiteral("xy"), 1, 0);
    empty.tags.wrap(QStringLiteral("<STRONG>"), QStringLiteral("</STRONG>"));
    EXPECT_EQ(empty.editor.text(), QStringLiteral("x<STRONG></STRONG>y"));
    EXPECT_EQ(empty.selected(), QStringLiteral("<STRONG></STRONG>"));
}

TEST(TagInsert, PointTagsGoBeforeTheSelectionAndBreakAfterIt) {
    Fixture p;
    p.set(QStringLiteral("a x b"), 2, 1);
    p.tags.insertTag(QStringLiteral("<P>"));
    EXPECT_EQ(p.editor.text(), QStringLiteral("a <P>x b"));
    EXPECT_EQ(p.editor.selStart(), 5);
    EXPECT_EQ(p.editor.selLength(), 0);

    Fixture br;
    br.set(QStringLiteral("a x b"), 2, 1);
    br.tags.insertTag(QStringLiteral("<BR>"));
    EXPECT_EQ(br.editor.text(), QStringLiteral("a x<BR> b"));
    EXPECT_EQ(br.editor.selStart(), 7);
    EXPECT_EQ(br.editor.selLength(), 0);
    EXPECT_EQ(br.marks, 1);

    EXPECT_EQ(pointTags().size(), 16);
    // Exact comparison: a lower-case <p> wraps like any other text.
    Fixture lower;
    lower.set(QStringLiteral("x"), 0, 1);
    lower.tags.insertTag(QStringLiteral("<p>"));
    EXPECT_EQ(lower.editor.text(), QStringLiteral("<p>"));
    EXPECT_EQ(lower.selected(), QStringLiteral("<p>"));
}

TEST(TagInsert, CommentCaret) {
    Fixture none;
    none.set(QStringLiteral("ab"), 1, 0);
    none.tags.comment();
    EXPECT_EQ(none.editor.text(), QStringLiteral("a<!--  -->b"));
    EXPECT_EQ(none.editor.selStart(), 5); // directly after "<!--"
    EXPECT_EQ(none.editor.selLength(), 0);

    Fixture some;
    some.set(QStringLiteral("xy"), 0, 2);
    some.tags.comment();
    EXPECT_EQ(some.editor.text(), QStringLiteral("<!-- xy -->"));
    EXPECT_EQ(some.editor.selStart(), 7); // before " -->"
    EXPECT_EQ(some.editor.selLength(), 0);
}

TEST(TagInsert, MailToEnclosesOrInsertsNothing) {
    Fixture f;
    f.set(QStringLiteral("write me"), 6, 2);
    EXPECT_TRUE(f.tags.mailTo(QStringLiteral("a@b.example")));
    EXPECT_EQ(f.editor.text(), QStringLiteral("write <A HREF=\"mailto:a@b.example\">me</A>"));
    EXPECT_EQ(f.editor.selStart(), f.editor.length() - 4);
    EXPECT_EQ(f.editor.selLength(), 0);

    Fixture cancel;
    cancel.set(QStringLiteral("me"), 0, 2);
    EXPECT_FALSE(cancel.tags.mailTo(std::nullopt));
    EXPECT_EQ(cancel.editor.text(), QStringLiteral("me"));
    EXPECT_EQ(cancel.marks, 0);

    Fixture blank;
    EXPECT_TRUE(blank.tags.mailTo(QString()));
    EXPECT_EQ(blank.editor.text(), QStringLiteral("<A HREF=\"mailto:\"></A>"));
    EXPECT_EQ(blank.editor.selStart(), 18);

    // A quote in the address would end the value early: it is written as &quot;, like every
    // value the dialogs write; the rest of the address as typed.
    Fixture quote;
    quote.set(QStringLiteral("x"), 0, 1);
    EXPECT_TRUE(quote.tags.mailTo(QStringLiteral("j\u00e9\"&o@x.org")));
    EXPECT_EQ(quote.editor.text(),
              QStringLiteral("<A HREF=\"mailto:j\u00e9&quot;&o@x.org\">x</A>"));
    EXPECT_EQ(quote.editor.selStart(), quote.editor.length() - 4);
}

TEST(TagInsert, BlocksFollowTheLineRules) {
    struct Case {
        const char* tag;
        QString selected;
        QString expected;
    };
    const QList<Case> cases = {
        {"UL", {}, "<UL>" + CRLF + "</UL>" + CRLF},
        {"UL", "a" + CRLF + "b", "<UL>" + CRLF + "   <LI>a" + CRLF + "   <LI>b" + CRLF + "</UL>"},
        {"UL", "a" + CRLF + "b" + CRLF + "c",
         "<UL>" + CRLF + "   <LI>a" + CRLF + "   <LI>b" + CRLF + "   <LI>c" + CRLF + "</UL>"},
        {"UL", "a" + CRLF + "b" + CRLF + "c" + CRLF,
         "<UL>" + CRLF + "   <LI>a" + CRLF + "   <LI>b" + CRLF + "   <LI>c" + CRLF + "</UL>" +
             CRLF},
        {"OL", "a" + CRLF + CRLF + "b",
         "<OL>" + CRLF + "   <LI>a" + CRLF + "   <LI>" + CRLF + "   <LI>b" + CRLF + "</OL>"},
        {"DL", "a" + CRLF + "b", "<DL>" + CRLF + "a" + CRLF + "b" + CRLF + "</DL>"},
        {"FRAMESET", "x", "<FRAMESET>" + CRLF + "   x" + CRLF + "</FRAMESET>"},
        {"NOFRAMES", "x" + CRLF, "<NOFRAMES>" + CRLF + "   x" + CRLF + "</NOFRAMES>" + CRLF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " over " + c.selected.toStdString());
        Fixture f;
        f.set(QStringLiteral("[") + c.selected + QStringLiteral("]"), 1,
              static_cast<int>(c.selected.size()));
        f.clipboard.setText(QStringLiteral("earlier"));
        f.tags.insertBlock(QLatin1String(c.tag));
        EXPECT_EQ(f.editor.text(), QStringLiteral("[") + c.expected + QStringLiteral("]"));
        EXPECT_EQ(f.editor.selStart(), 1 + c.expected.size());
        EXPECT_EQ(f.editor.selLength(), 0);
        EXPECT_EQ(f.clipboard.text(), c.expected);
        EXPECT_EQ(f.marks, 1);
        f.editor.undo();
        EXPECT_EQ(f.editor.text(), QStringLiteral("[") + c.selected + QStringLiteral("]"));
    }
}

TEST(TagInsert, BlocksRoundAHundredThousandLinesAreOnePass) {
    // Select All over a long page and UL, OL, DL, FRAMESET or NOFRAMES: each line is prefixed
    // once. (Were each line found again from the start of the text, this would run for hours.)
    const int count = 100'000;
    QString selected;
    QString listed;
    QString indented;
    for (int i = 0; i < count; ++i) {
        const QString line = QStringLiteral("line %1").arg(i);
        selected += line + CRLF;
        listed += QStringLiteral("   <LI>") + line + CRLF;
        indented += QStringLiteral("   ") + line + CRLF;
    }
    const struct {
        const char* tag;
        const QString& body;
    } cases[] = {{"UL", listed},
                 {"OL", listed},
                 {"DL", selected},
                 {"FRAMESET", indented},
                 {"NOFRAMES", indented}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        Fixture f;
        f.set(selected, 0, static_cast<int>(selected.size()));
        f.tags.insertBlock(QLatin1String(c.tag));
        const QString tag = QLatin1String(c.tag);
        EXPECT_TRUE(f.editor.text() == QLatin1Char('<') + tag + QLatin1Char('>') + CRLF + c.body +
                                           QStringLiteral("</") + tag + QLatin1Char('>') + CRLF);
    }
}

TEST(TagInsert, NewBlockIsTheNineLineSkeleton) {
    Fixture f;
    f.tags.insertBlock(QStringLiteral("NEW"));
    const QStringList lines = f.editor.text().split(CRLF);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines.last().isEmpty()); // the last line ends with a break too
    EXPECT_EQ(lines.at(1), QStringLiteral("<HTML>"));
    EXPECT_EQ(lines.at(3), QStringLiteral("   <TITLE></TITLE>"));
    EXPECT_EQ(lines.at(8), QStringLiteral("</HTML>"));
    EXPECT_EQ(f.editor.selStart(), f.editor.length());
}

TEST(TagInsert, TableGridGoesBeforeTheSelection) {
    Fixture f;
    f.set(QStringLiteral("keep"), 0, 4);
    f.tags.insertTableGrid(2, 1);
    const QString table = "<TABLE>" + CRLF + "<TR>" + CRLF + "    <TD></TD>" + CRLF + "</TR>" +
                          CRLF + "<TR>" + CRLF + "    <TD></TD>" + CRLF + "</TR>" + CRLF +
                          "</TABLE>" + CRLF;
    EXPECT_EQ(f.editor.text(), table + QStringLiteral("keep"));
    EXPECT_EQ(f.editor.selStart(), table.size());
    EXPECT_EQ(f.editor.selLength(), 0);
    EXPECT_EQ(f.clipboard.text(), table);

    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            EXPECT_EQ(tableGridText(r, c).count(CRLF), 2 + r * (c + 2)) << r << "x" << c;
    EXPECT_EQ(tableGridText(5, 5).count(CRLF), 37);
}

TEST(TagInsert, DialogResultPastesAndSelects) {
    Fixture collapse;
    collapse.set(QStringLiteral("sel"), 0, 3);
    collapse.clipboard.setText(QStringLiteral("<BODY>"));
    collapse.tags.pasteDialogResult({true, 6}, true);
    EXPECT_EQ(collapse.editor.text(), QStringLiteral("<BODY>sel"));
    EXPECT_EQ(collapse.selected(), QStringLiteral("<BODY>"));
    EXPECT_EQ(collapse.marks, 1);

    Fixture replace;
    replace.set(QStringLiteral("sel"), 0, 3);
    replace.clipboard.setText(QStringLiteral("<HR>"));
    replace.tags.pasteDialogResult({true, 4}, false);
    EXPECT_EQ(replace.editor.text(), QStringLiteral("<HR>"));
    EXPECT_EQ(replace.selected(), QStringLiteral("<HR>"));

    Fixture refused;
    refused.set(QStringLiteral("sel"), 0, 3);
    refused.clipboard.setText(QStringLiteral("<HR>"));
    refused.tags.pasteDialogResult({false, 0}, false);
    EXPECT_EQ(refused.editor.text(), QStringLiteral("sel"));
    EXPECT_EQ(refused.marks, 0);
}

TEST(TagInsert, LastModifiedIsEnglishWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString morning = lastModifiedText(QDateTime(QDate(2026, 12, 7), QTime(2, 57)));
    const QString midnight = lastModifiedText(QDateTime(QDate(2026, 5, 1), QTime(0, 5)));
    const QString noon = lastModifiedText(QDateTime(QDate(2026, 5, 10), QTime(12, 0)));
    const QString evening = lastModifiedText(QDateTime(QDate(2026, 9, 30), QTime(23, 9)));
    QLocale::setDefault(before);
    EXPECT_EQ(morning, QStringLiteral("<!--Last Modified: Monday, Dec 7, 2026, at 02:57 AM-->"));
    EXPECT_EQ(midnight, QStringLiteral("<!--Last Modified: Friday, May 1, 2026, at 12:05 AM-->"));
    EXPECT_EQ(noon, QStringLiteral("<!--Last Modified: Sunday, May 10, 2026, at 12:00 PM-->"));
    EXPECT_EQ(evening,
              QStringLiteral("<!--Last Modified: Wednesday, Sep 30, 2026, at 11:09 PM-->"));

    Fixture f;
    f.set(QStringLiteral("old"), 0, 3);
    f.tags.insertLastModified(QDateTime(QDate(2026, 12, 7), QTime(2, 57)));
    EXPECT_EQ(f.editor.text(), morning);
    EXPECT_EQ(f.selected(), morning);
}

TEST(TagInsert, PanelTagsAndAttributes) {
    Fixture point;
    point.set(QStringLiteral("x"), 0, 1);
    point.tags.insertPanelTag(QStringLiteral("<!--.-->"));
    EXPECT_EQ(point.editor.text(), QStringLiteral("<!--x-->"));
    EXPECT_EQ(point.editor.selStart(), 4);
    EXPECT_EQ(point.selected(), QStringLiteral("x"));

    Fixture caret;
    caret.tags.insertPanelTag(QStringLiteral("<!--.-->"));
    EXPECT_EQ(caret.editor.text(), QStringLiteral("<!---->"));
    EXPECT_EQ(caret.editor.selStart(), 4);
    EXPECT_EQ(caret.editor.selLength(), 0);

    // Only the first point splits: the tail keeps any further one.
    Fixture html;
    html.set(QStringLiteral("x"), 0, 1);
    html.tags.insertPanelTag(QStringLiteral("<A HREF=\"\">.</A>"));
    EXPECT_EQ(html.editor.text(), QStringLiteral("<A HREF=\"\">x</A>"));

    Fixture front;
    front.set(QStringLiteral("x"), 0, 1);
    front.tags.insertPanelTag(QStringLiteral("<BR>"));
    EXPECT_EQ(front.editor.text(), QStringLiteral("<BR>x"));
    EXPECT_EQ(front.editor.selStart(), 4);
    EXPECT_EQ(front.selected(), QStringLiteral("x"));

    Fixture attr;
    attr.set(QStringLiteral("x"), 0, 1);
    attr.tags.insertPanelAttribute(QStringLiteral("WIDTH="));
    EXPECT_EQ(attr.editor.text(), QStringLiteral("WIDTH=x"));
    EXPECT_EQ(attr.editor.selStart(), 6);
    EXPECT_EQ(attr.editor.selLength(), 0);
    EXPECT_EQ(attr.marks, 1);
}

TEST(ScratchLines, LineSemantics) {
    ScratchLines s;
    s.paste(QStringLiteral("a\r\n\r\nb\r\n"));
    EXPECT_EQ(s.lineCount(), 3);
    s.prefixLines(QStringLiteral("> "));
    EXPECT_EQ(s.text(), QStringLiteral("> a\r\n> \r\n> b\r\n"));
    s.append(QStringLiteral("end"));
    EXPECT_EQ(s.text(), QStringLiteral("> a\r\n> \r\n> b\r\nend\r\n"));
    ScratchLines t;
    t.paste(QStringLiteral("a"));
    t.append(QStringLiteral("z"));
    t.insertFirst(QStringLiteral("top"));
    EXPECT_EQ(t.text(), QStringLiteral("top\r\na\r\nz"));
    EXPECT_EQ(t.lineCount(), 3);
    t.prefixLines(QStringLiteral("-"));
    EXPECT_EQ(t.text(), QStringLiteral("-top\r\n-a\r\n-z"));
    ScratchLines empty;
    empty.prefixLines(QStringLiteral("-"));
    EXPECT_EQ(empty.lineCount(), 0);
    EXPECT_EQ(empty.text(), QString());
}

} // namespace
