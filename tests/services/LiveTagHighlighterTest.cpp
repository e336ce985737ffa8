// Live tag colouring: the kinds of literal tags as drawn, the pieces the scanner tells apart
// (tags over several lines, comments, values, entities, SCRIPT and STYLE content), pages read
// from Latin-1 and UTF-8 files, new colours, and a document edited 2,000 times at random drawn
// exactly as the same text coloured from scratch.
#include "platform/TextFile.h"
#include "services/LiveTagHighlighter.h"
#include "support/TempDir.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// A document layout that lays nothing out: the editor's plain-text layout costs next to nothing
// per edited block, where the rich-text one would lay the whole document out again.
class NoLayout : public QAbstractTextDocumentLayout {
public:
    explicit NoLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc) {}
    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};

void giveLayout(QTextDocument& doc) {
    doc.setDocumentLayout(new NoLayout(&doc));
}

// Six colours told apart, in the order of the kinds.
TagColors sixColors() {
    return TagColors::fromNames({QStringLiteral("clGray"), QStringLiteral("clBlue"),
                                 QStringLiteral("clTeal"), QStringLiteral("clGreen"),
                                 QStringLiteral("clNavy"), QStringLiteral("clPurple")});
}

// The document's text with the text's line ends as "\n".
QString plain(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

struct Coloured {
    QTextDocument doc;
    LiveTagHighlighter highlighter;
    explicit Coloured(const QString& text, const TagColors& colors = sixColors()) {
        giveLayout(doc);
        doc.setPlainText(plain(text));
        highlighter.setColors(colors);
        highlighter.attach(&doc);
        highlighter.finish();
    }
    // The format the character at a document position is drawn with.
    QTextCharFormat formatAt(int position) const {
        const QTextBlock block = doc.findBlock(position);
        const int offset = position - block.position();
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            if (offset >= r.start && offset < r.start + r.length)
                return r.format;
        return {};
    }
    QColor colorAt(int position) const {
        const QTextCharFormat f = formatAt(position);
        return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
    }
    // Each stretch of `needle` (its n-th occurrence) in one colour, or an invalid colour.
    QColor colorOf(const QString& needle, int occurrence = 0) const {
        const QString text = doc.toPlainText();
        qsizetype at = -1;
        for (int i = 0; i <= occurrence; ++i)
            at = text.indexOf(needle, at + 1);
        EXPECT_GE(at, 0) << needle.toStdString();
        if (at < 0)
            return QColor(1, 2, 3);
        const QColor first = colorAt(int(at));
        for (qsizetype i = at; i < at + needle.size(); ++i)
            if (text[i] != u'\n' && colorAt(int(i)) != first)
                return QColor(1, 2, 3); // not one colour
        return first;
    }
};

// Every block's formats and state, one line each.
std::string describe(const QTextDocument& doc) {
    std::string out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out += std::to_string(b.blockNumber()) + " [" + std::to_string(b.userState() & 0x1FFFFF) +
               "]";
        for (const QTextLayout::FormatRange& r : b.layout()->formats())
            out += " " + std::to_string(r.start) + "+" + std::to_string(r.length) + ":" +
                   r.format.foreground().color().name().toStdString() +
                   (r.format.fontItalic() ? "i" : "") +
                   (r.format.fontWeight() == QFont::Bold ? "b" : "");
        out += "\n";
    }
    return out;
}

TEST(LiveColouring, LiteralTagsOfEveryKindTakeThePassKindsColour) {
    const TagColors c = sixColors();
    const struct {
        const char* tag;
        TagKind kind;
    } rows[] = {
        {"<A HREF=x>", TagKind::Anchor},      {"</a>", TagKind::Anchor},
        {"<a name=top>", TagKind::Anchor},    {"</ADDRESS>", TagKind::Anchor},
        {"<FONT SIZE=2>", TagKind::Font},     {"</font>", TagKind::Font},
        {"<b>", TagKind::Font},               {"</B>", TagKind::Font},
        {"<i>", TagKind::Font},               {"</I>", TagKind::Font},
        {"<u>", TagKind::Font},               {"</u>", TagKind::Font},
        {"<IMG SRC=x.gif>", TagKind::Image},  {"<table border=1>", TagKind::Table},
        {"</TABLE>", TagKind::Table},         {"<tr>", TagKind::Table},
        {"</tr>", TagKind::Table},            {"<td>", TagKind::Table},
        {"</td>", TagKind::Table},            {"<th>", TagKind::Table},
        {"<THEAD>", TagKind::Table},          {"</th>", TagKind::Table},
        {"<ol>", TagKind::List},              {"</OL>", TagKind::List},
        {"<ul>", TagKind::List},              {"</ul>", TagKind::List},
        {"<dl>", TagKind::List},              {"</dl>", TagKind::List},
        {"<li>", TagKind::List},              {"</li>", TagKind::List},
        {"<dd>", TagKind::List},              {"</dd>", TagKind::List},
        {"<dt>", TagKind::List},              {"</dt>", TagKind::List},
        {"<LINK rel=x>", TagKind::List},      {"<br>", TagKind::Default},
        {"<b class=x>", TagKind::Default},    {"<HTML>", TagKind::Default},
        {"<!DOCTYPE html>", TagKind::Default}, {"<?xml version=1?>", TagKind::Default},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.tag);
        const QString tag = QLatin1String(r.tag);
        // The pass's function gives the kind; the live colouring draws the tag in its colour,
        // also in the middle of text.
        EXPECT_EQ(tagKindOf(tag), r.kind);
        const Coloured page(QStringLiteral("text ") + tag + QStringLiteral(" more"));
        const int at = 5;
        EXPECT_EQ(page.colorAt(at), c.of(r.kind));
        EXPECT_EQ(page.colorAt(at + int(tag.size()) - 1), c.of(r.kind));
        EXPECT_FALSE(page.colorAt(at - 1).isValid());
        EXPECT_FALSE(page.colorAt(at + int(tag.size())).isValid());
    }
    // A "<" that starts no tag is text.
    const Coloured text(QStringLiteral("a < b and 3<4 and <> and </ x"));
    for (int i = 0; i < text.doc.characterCount() - 1; ++i)
        EXPECT_FALSE(text.colorAt(i).isValid()) << i;
}

TEST(LiveColouring, ValuesEntitiesCommentsAndScriptContent) {
    const TagColors c = sixColors();
    const Coloured page(QStringLiteral(
        "<a href=\"x.htm\" title='it''s' id=top>caf&eacute; &#233; &#xE9; &nope &amp</a>\r\n"
        "<!-- note <b>not a tag</b> --><i>after</i>\r\n"
        "<script type=\"text/javascript\">if (a<b && c>d) x = \"<table>\";</script>\r\n"
        "<STYLE>p > b { color: red }\r\n"
        "td { }</style><td>"));
    const QColor anchor = c.of(TagKind::Anchor);
    EXPECT_EQ(page.colorOf(QStringLiteral("<a href=")), anchor);
    EXPECT_EQ(page.colorOf(QStringLiteral("\"x.htm\"")), anchor.darker(150));
    EXPECT_EQ(page.colorOf(QStringLiteral("'it'")), anchor.darker(150));
    EXPECT_EQ(page.colorOf(QStringLiteral("'s'")), anchor); // a quote not after "=" is no value
    EXPECT_EQ(page.colorOf(QStringLiteral(" id=")), anchor);
    EXPECT_EQ(page.colorOf(QStringLiteral("top")), anchor.darker(150));
    const int close = int(page.doc.toPlainText().indexOf(QStringLiteral(">caf")));
    EXPECT_EQ(page.colorAt(close), anchor);
    EXPECT_FALSE(page.colorAt(close + 1).isValid());
    const QColor other = c.of(TagKind::Default);
    for (const char* entity : {"&eacute;", "&#233;", "&#xE9;"}) {
        SCOPED_TRACE(entity);
        EXPECT_EQ(page.colorOf(QLatin1String(entity)), other);
        EXPECT_EQ(page.formatAt(int(page.doc.toPlainText().indexOf(QLatin1String(entity))))
                      .fontWeight(),
                  QFont::Bold);
    }
    EXPECT_FALSE(page.colorOf(QStringLiteral("&nope")).isValid());
    EXPECT_FALSE(page.colorOf(QStringLiteral("&amp")).isValid()); // no ";"
    const QString comment = QStringLiteral("<!-- note <b>not a tag</b> -->");
    EXPECT_EQ(page.colorOf(comment), other);
    EXPECT_TRUE(page.formatAt(int(page.doc.toPlainText().indexOf(comment)) + 8).fontItalic());
    EXPECT_EQ(page.colorOf(QStringLiteral("<i>")), c.of(TagKind::Font));
    EXPECT_FALSE(page.colorOf(QStringLiteral("after")).isValid());
    // The script's and the style's content is no markup; their tags are tags.
    EXPECT_EQ(page.colorOf(QStringLiteral("<script type=")), other);
    EXPECT_FALSE(page.colorOf(QStringLiteral("if (a<b && c>d) x = \"<table>\";")).isValid());
    EXPECT_EQ(page.colorOf(QStringLiteral("</script>")), other);
    EXPECT_EQ(page.colorOf(QStringLiteral("<STYLE>")), other);
    EXPECT_FALSE(page.colorOf(QStringLiteral("p > b { color: red }\ntd { }")).isValid());
    EXPECT_EQ(page.colorOf(QStringLiteral("</style>")), other);
    EXPECT_EQ(page.colorOf(QStringLiteral("<td>")), c.of(TagKind::Table));
}

TEST(LiveColouring, TagsAndCommentsOverSeveralLines) {
    const TagColors c = sixColors();
    // The kind comes from the whole tag: the image pattern on its third line makes every line
    // of the anchor an image's.
    const Coloured page(
        QStringLiteral("<a\r\n  title=\"one\r\n<img\" href=x\r\n>text <!-- a\r\n<b> b\r\n--> "
                       "<table\r\nborder=1><br>\r\n<p title=\"x>y\">"));
    const QColor image = c.of(TagKind::Image);
    EXPECT_EQ(page.colorOf(QStringLiteral("<a")), image);
    EXPECT_EQ(page.colorOf(QStringLiteral("  title=")), image);
    EXPECT_EQ(page.colorOf(QStringLiteral("\"one\n<img\"")), image.darker(150));
    EXPECT_EQ(page.colorOf(QStringLiteral(" href=")), image);
    EXPECT_EQ(page.colorAt(int(page.doc.toPlainText().indexOf(QStringLiteral(">text")))), image);
    EXPECT_EQ(page.colorOf(QStringLiteral("<!-- a\n<b> b\n-->")), c.of(TagKind::Default));
    EXPECT_EQ(page.colorOf(QStringLiteral("<table\nborder=")), c.of(TagKind::Table));
    EXPECT_EQ(page.colorOf(QStringLiteral("<br>")), c.of(TagKind::Default));
    // A ">" inside a quoted value does not end the tag.
    EXPECT_EQ(page.colorOf(QStringLiteral("\"x>y\"")), c.of(TagKind::Default).darker(150));
    EXPECT_EQ(page.colorAt(page.doc.characterCount() - 2), c.of(TagKind::Default));

    // An edit on a later line of a tag gives its earlier lines the new kind.
    Coloured edited(QStringLiteral("<p\r\ntitle=\"a\r\nb\">x"));
    EXPECT_EQ(edited.colorOf(QStringLiteral("<p")), c.of(TagKind::Default));
    QTextCursor cursor(edited.doc.findBlockByNumber(2));
    cursor.insertText(QStringLiteral("<li"));
    edited.highlighter.finish();
    EXPECT_EQ(edited.colorOf(QStringLiteral("<p")), c.of(TagKind::List));
    EXPECT_EQ(edited.colorOf(QStringLiteral("title=")), c.of(TagKind::List));
    EXPECT_EQ(describe(edited.doc), describe(Coloured(edited.doc.toPlainText()).doc));

    // A tag that never ends stops after 64 lines: the rest is text again.
    QString open = QStringLiteral("<p\n");
    for (int i = 0; i < 70; ++i)
        open += QStringLiteral("line\n");
    const Coloured unended(open);
    EXPECT_EQ(unended.colorAt(unended.doc.findBlockByNumber(63).position()),
              c.of(TagKind::Default));
    EXPECT_FALSE(unended.colorAt(unended.doc.findBlockByNumber(64).position()).isValid());
}

TEST(LiveColouring, Latin1AndUtf8PagesColourTheirOwnCharacters) {
    TempDir dir;
    const TagColors c = sixColors();
    const struct {
        const char* name;
        QByteArray bytes;
        QString tagged;
    } pages[] = {
        {"latin1.htm", QByteArray("<p title=\"caf\xe9\">\xe9t\xe9 &eacute;</p><b>\xff</b>\r\n"),
         QStringLiteral("\"caf\u00e9\"")},
        {"utf8.htm",
         QByteArray("<p title=\"caf\xc3\xa9 \xf0\x9f\x98\x80\">\xf0\x9f\x98\x80 &eacute;</p>"
                    "<b>\xc3\xbf</b>\r\n"),
         QStringLiteral("\"caf\u00e9 \U0001F600\"")},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.name);
        const QString path = dir.file(QLatin1String(p.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(p.bytes);
        f.close();
        const TextReadResult read = readTextFile(path);
        ASSERT_TRUE(read.ok);
        const Coloured page(read.text);
        EXPECT_EQ(page.colorOf(p.tagged), c.of(TagKind::Default).darker(150));
        EXPECT_EQ(page.colorOf(QStringLiteral("&eacute;")), c.of(TagKind::Default));
        EXPECT_EQ(page.colorOf(QStringLiteral("</p>")), c.of(TagKind::Default));
        EXPECT_EQ(page.colorOf(QStringLiteral("<b>")), c.of(TagKind::Font));
        EXPECT_EQ(page.colorOf(QStringLiteral("</b>")), c.of(TagKind::Font));
        // The characters between the tags keep the editor's colour.
        const QString text = page.doc.toPlainText();
        EXPECT_FALSE(page.colorAt(int(text.indexOf(QStringLiteral("</b>"))) - 1).isValid());
        EXPECT_FALSE(page.colorAt(int(text.indexOf(QStringLiteral("&eacute;"))) - 1).isValid());
    }
}

TEST(LiveColouring, NewColoursAreDrawnAtOnceAndBlackLooksUncoloured) {
    Coloured page(QStringLiteral("<a href=\"x\">link</a> &amp; <img src=y>"));
    EXPECT_EQ(page.colorOf(QStringLiteral("<a href=")), QColor(0, 0, 255));
    page.highlighter.setColors(TagColors::fromNames(
        {QStringLiteral("clRed"), QStringLiteral("clMaroon"), QStringLiteral("clOlive"),
         QStringLiteral("clRed"), QStringLiteral("clRed"), QStringLiteral("clRed")}));
    EXPECT_EQ(page.colorOf(QStringLiteral("<a href=")), QColor(128, 0, 0));
    EXPECT_EQ(page.colorOf(QStringLiteral("</a>")), QColor(128, 0, 0));
    EXPECT_EQ(page.colorOf(QStringLiteral("<img src=")), QColor(128, 128, 0));
    EXPECT_EQ(page.colorOf(QStringLiteral("&amp;")), QColor(255, 0, 0));
    const QString black = QStringLiteral("clBlack");
    page.highlighter.setColors(TagColors::fromNames({black, black, black, black, black, black}));
    for (const char* piece : {"<a href=", "\"x\"", "</a>", "&amp;", "y"})
        EXPECT_EQ(page.colorOf(QLatin1String(piece)), QColor(0, 0, 0)) << piece;
}

TEST(LiveColouring, TwoThousandEditsDrawAsTheSameTextColouredFromScratch) {
    // Edits that open and close tags, quotes and comments over lines, and script content.
    const QStringList pieces = {
        QStringLiteral("<"),          QStringLiteral(">"),         QStringLiteral("\n"),
        QStringLiteral("\""),         QStringLiteral("'"),         QStringLiteral("="),
        QStringLiteral("<a href=x>"), QStringLiteral("</a>"),      QStringLiteral("<img"),
        QStringLiteral("<!--"),       QStringLiteral("-->"),       QStringLiteral("<li>"),
        QStringLiteral("<script>"),   QStringLiteral("</script>"), QStringLiteral("<style>"),
        QStringLiteral("&amp;"),      QStringLiteral("text "),     QStringLiteral("<b>"),
        QStringLiteral("<table\n"),   QStringLiteral("\u00e9"),    QStringLiteral("&#"),
    };
    QRandomGenerator random(35);
    QString start;
    for (int i = 0; i < 400; ++i)
        start += pieces[random.bounded(int(pieces.size()))];
    Coloured live(start);
    for (int edit = 0; edit < 2000; ++edit) {
        const int length = live.doc.characterCount() - 1;
        QTextCursor cursor(&live.doc);
        const int at = random.bounded(length + 1);
        cursor.setPosition(at);
        const int kind = random.bounded(3);
        if (kind > 0 || length == 0) {
            if (kind == 2)
                cursor.setPosition(std::min(length, at + random.bounded(8)),
                                   QTextCursor::KeepAnchor);
            cursor.insertText(pieces[random.bounded(int(pieces.size()))]);
        } else {
            cursor.setPosition(std::min(length, at + 1 + random.bounded(12)),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        // What an edit leaves to mend runs at the next turn of the event loop.
        live.highlighter.finish();
        if (edit % 100 == 99 || edit == 1999) {
            const Coloured scratch(live.doc.toPlainText());
            ASSERT_EQ(describe(live.doc), describe(scratch.doc)) << "after edit " << edit;
        }
    }
}

TEST(LiveColouring, ABigDocumentIsColouredInSlicesThatFollowEdits) {
    QString text;
    while (text.size() < LiveTagHighlighter::AtOnceUpTo * 3)
        text += QStringLiteral("<tr><td class=\"c\">cell &amp; <a\nhref=x>link</a></td></tr>\n");
    QTextDocument doc;
    giveLayout(doc);
    doc.setPlainText(text);
    LiveTagHighlighter highlighter;
    highlighter.setSliceTime(1);
    highlighter.setColors(sixColors());
    highlighter.attach(&doc);
    // The first slice is done; the end of the document waits.
    ASSERT_TRUE(highlighter.colouring());
    EXPECT_TRUE(doc.begin().layout()->formats().size() > 0);
    EXPECT_TRUE(doc.lastBlock().previous().layout()->formats().isEmpty());
    // Edits before and after the frontier meanwhile.
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("<b>\n<p\n"));
    cursor.setPosition(doc.characterCount() - 1);
    cursor.insertText(QStringLiteral("<!--\n"));
    bool finished = false;
    QObject::connect(&highlighter, &LiveTagHighlighter::finished, [&] { finished = true; });
    for (int i = 0; i < 100000 && !finished; ++i)
        QCoreApplication::processEvents();
    ASSERT_TRUE(finished);
    EXPECT_FALSE(highlighter.colouring());
    const Coloured scratch(doc.toPlainText());
    EXPECT_EQ(describe(doc), describe(scratch.doc));

    // Taken away, the colours go in slices too, and no format is left; an edit meanwhile moves
    // the place they go from.
    highlighter.attach(nullptr);
    ASSERT_TRUE(highlighter.colouring());
    EXPECT_TRUE(doc.begin().layout()->formats().isEmpty());
    // (A comment opened at a line's end is coloured there.)
    EXPECT_EQ(doc.lastBlock().previous().text(), QStringLiteral("<!--"));
    EXPECT_FALSE(doc.lastBlock().previous().layout()->formats().isEmpty());
    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("<b>more</b>\n").repeated(2000));
    finished = false;
    for (int i = 0; i < 100000 && !finished; ++i)
        QCoreApplication::processEvents();
    ASSERT_TRUE(finished);
    EXPECT_FALSE(highlighter.colouring());
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        ASSERT_TRUE(b.layout()->formats().isEmpty());
}

} // namespace
