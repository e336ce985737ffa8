// The two EditWindow implementations against one table: the in-memory TextBuffer and the adapter
// over a real QPlainTextEdit must agree on every position, selection and replacement.
#include "ui/PlainTextEditWindow.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"

#include <QFontDatabase>
#include <QImage>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct BufferEditor {
    TextBuffer window;
    EditWindow& edit() { return window; }
};

struct WidgetEditor {
    QPlainTextEdit widget;
    PlainTextEditWindow window{&widget};
    EditWindow& edit() { return window; }
};

template <typename T> class EditWindowAgreement : public ::testing::Test {
protected:
    EditWindow& w() { return m_editor.edit(); }
    T m_editor;
};

using Editors = ::testing::Types<BufferEditor, WidgetEditor>;
TYPED_TEST_SUITE(EditWindowAgreement, Editors);

const QString Lines = QStringLiteral("ab\r\ncd\r\n\r\nef"); // a=0 b=1 CR=2 LF=3 c=4 ... e=10 f=11
const QString Emoji = QString::fromUtf8("a\xf0\x9f\x98\x80"
                                        "b"); // a, two units, b

struct SelectionCase {
    const char* name;
    QString text;
    int start;
    int length;
    int wantStart;
    int wantLength;
    QString wantSelected;
    QString replacement;
    QString wantText;
    int wantCaret;
};

const SelectionCase selectionCases[] = {
    {"across a line end", Lines, 1, 4, 1, 4, QStringLiteral("b\r\nc"), QStringLiteral("X"),
     QStringLiteral("aXd\r\n\r\nef"), 2},
    {"caret between CR and LF", Lines, 3, 0, 2, 0, QString(), QStringLiteral("Y"),
     QStringLiteral("abY\r\ncd\r\n\r\nef"), 3},
    {"end between CR and LF", Lines, 0, 3, 0, 2, QStringLiteral("ab"), QStringLiteral("Z"),
     QStringLiteral("Z\r\ncd\r\n\r\nef"), 1},
    {"start and end between CR and LF", Lines, 7, 3, 6, 2, QStringLiteral("\r\n"), QString(),
     QStringLiteral("ab\r\ncd\r\nef"), 6},
    {"empty line end only", Lines, 8, 2, 8, 2, QStringLiteral("\r\n"), QStringLiteral("--"),
     QStringLiteral("ab\r\ncd\r\n--ef"), 10},
    {"past the end", Lines, 100, 5, 12, 0, QString(), QStringLiteral("!"),
     QStringLiteral("ab\r\ncd\r\n\r\nef!"), 13},
    {"before the start", Lines, -5, 2, 0, 2, QStringLiteral("ab"), QString(),
     QStringLiteral("\r\ncd\r\n\r\nef"), 0},
    {"length past the end", Lines, 10, 100, 10, 2, QStringLiteral("ef"), QStringLiteral("g"),
     QStringLiteral("ab\r\ncd\r\n\r\ng"), 11},
    {"negative length", Lines, 4, -3, 4, 0, QString(), QString(), Lines, 4},
    {"whole text with a final line end", QStringLiteral("x\r\n"), 0, 3, 0, 3,
     QStringLiteral("x\r\n"), QStringLiteral("a\nb\rc\r\n"), QStringLiteral("a\r\nb\r\nc\r\n"), 9},
    {"after the final line end", QStringLiteral("x\r\n"), 3, 0, 3, 0, QString(),
     QStringLiteral("y"), QStringLiteral("x\r\ny"), 4},
    {"inside a surrogate pair", Emoji, 2, 0, 1, 0, QString(), QStringLiteral("-"),
     QStringLiteral("a-") + Emoji.mid(1), 2},
    {"end inside a surrogate pair", Emoji, 1, 1, 1, 0, QString(), QString(), Emoji, 1},
    {"a whole emoji", Emoji, 1, 2, 1, 2, Emoji.mid(1, 2), QStringLiteral("\t"),
     QStringLiteral("a\tb"), 2},
    {"tabs and a second line", QStringLiteral("\tx\n\ty"), 4, 2, 4, 2, QStringLiteral("\ty"),
     QStringLiteral("z"), QStringLiteral("\tx\r\nz"), 5},
    {"empty text", QString(), 0, 5, 0, 0, QString(), QStringLiteral("z"), QStringLiteral("z"), 1},
};

TYPED_TEST(EditWindowAgreement, SelectionsAndReplacementsFollowTheTable) {
    for (const SelectionCase& c : selectionCases) {
        SCOPED_TRACE(c.name);
        this->w().setText(c.text);
        this->w().setSelStart(c.start);
        EXPECT_EQ(this->w().selLength(), 0);
        this->w().setSelLength(c.length);
        EXPECT_EQ(this->w().selStart(), c.wantStart);
        EXPECT_EQ(this->w().selLength(), c.wantLength);
        EXPECT_EQ(this->w().selText(), c.wantSelected);
        this->w().replaceSelection(c.replacement);
        EXPECT_EQ(this->w().text(), c.wantText);
        EXPECT_EQ(this->w().length(), c.wantText.size());
        EXPECT_EQ(this->w().selStart(), c.wantCaret);
        EXPECT_EQ(this->w().selLength(), 0);
    }
}

TYPED_TEST(EditWindowAgreement, TextComesBackWithCrLfAndEveryCharacterKept) {
    struct Case {
        QString in;
        QString out;
        int lines;
    };
    const QString nbsp = QString::fromUtf8("a\xc2\xa0"
                                           "b");
    const Case cases[] = {
        {QStringLiteral("a\nb\n"), QStringLiteral("a\r\nb\r\n"), 2},
        {QStringLiteral("a\rb\r\n\r\nc"), QStringLiteral("a\r\nb\r\n\r\nc"), 4},
        {QStringLiteral("\n"), QStringLiteral("\r\n"), 1},
        {nbsp + QStringLiteral("\t") + Emoji, nbsp + QStringLiteral("\t") + Emoji, 1},
        {QString(), QString(), 0},
    };
    for (const Case& c : cases) {
        this->w().setText(c.in);
        EXPECT_EQ(this->w().text(), c.out);
        EXPECT_EQ(this->w().length(), c.out.size());
        EXPECT_EQ(this->w().lineCount(), c.lines);
        EXPECT_EQ(this->w().selStart(), 0);
    }
    this->w().setText(QStringLiteral("one\r\n\r\nthree\r\n"));
    EXPECT_EQ(this->w().line(1), QString());
    EXPECT_EQ(this->w().line(2), QStringLiteral("three"));
    EXPECT_EQ(this->w().line(3), QString());
    // The lines follow every change: an insertion, a replacement of ranges, an undo.
    this->w().setSelStart(5);
    this->w().replaceSelection(QStringLiteral("x\r\ny"));
    EXPECT_EQ(this->w().lineCount(), 4);
    EXPECT_EQ(this->w().line(1), QStringLiteral("x"));
    EXPECT_EQ(this->w().line(2), QStringLiteral("y"));
    this->w().replaceRanges({{0, 3, QStringLiteral("1")}});
    EXPECT_EQ(this->w().line(0), QStringLiteral("1"));
    this->w().undo();
    EXPECT_EQ(this->w().line(0), QStringLiteral("one"));
    this->w().setText(nbsp + QStringLiteral("\r\n") + Emoji);
    EXPECT_EQ(this->w().line(0), nbsp);
    EXPECT_EQ(this->w().line(1), Emoji);
}

TYPED_TEST(EditWindowAgreement, UndoTakesBackOneReplacement) {
    this->w().setText(QStringLiteral("ab\r\ncd"));
    this->w().undo(); // nothing to undo after loading
    EXPECT_EQ(this->w().text(), QStringLiteral("ab\r\ncd"));
    this->w().setSelStart(2);
    this->w().replaceSelection(QStringLiteral("1"));
    this->w().replaceSelection(QStringLiteral("2\n"));
    EXPECT_EQ(this->w().text(), QStringLiteral("ab12\r\n\r\ncd"));
    this->w().undo();
    EXPECT_EQ(this->w().text(), QStringLiteral("ab1\r\ncd"));
}

TYPED_TEST(EditWindowAgreement, CutCopyPasteAndSelectAll) {
    MemoryClipboard clipboard;
    this->w().setClipboard(&clipboard);
    this->w().setText(QStringLiteral("ab\r\ncd"));
    this->w().selectAll();
    EXPECT_EQ(this->w().selLength(), 6);
    this->w().setSelStart(1);
    this->w().setSelLength(3);
    this->w().copy();
    EXPECT_EQ(clipboard.text(), QStringLiteral("b\r\n"));
    this->w().cut();
    EXPECT_EQ(this->w().text(), QStringLiteral("acd"));
    this->w().setSelStart(3);
    this->w().paste();
    EXPECT_EQ(this->w().text(), QStringLiteral("acdb\r\n"));
    EXPECT_EQ(this->w().selStart(), 6);
    this->w().copy(); // nothing selected: the clipboard is emptied
    EXPECT_EQ(clipboard.text(), QString());
}

TYPED_TEST(EditWindowAgreement, ReplaceRangesMakesOneUndoStepAndJoinsTheNext) {
    EditWindow& w = this->w();
    w.setText(Lines);
    // The second starts between CR and LF and so takes the whole line end; the last deletes.
    w.replaceRanges({{0, 1, QStringLiteral("X")},
                     {3, 2, QStringLiteral("-")},
                     {8, 2, QStringLiteral("\n")},
                     {11, 1, QString()}});
    EXPECT_EQ(w.text(), QStringLiteral("Xb-cd\r\n\r\ne"));
    EXPECT_EQ(w.selStart(), 10);
    EXPECT_EQ(w.selLength(), 0);
    w.undo();
    EXPECT_EQ(w.text(), Lines);

    // Joined batches are one step; a change in between starts a step of its own.
    w.replaceRanges({{0, 1, QStringLiteral("A")}});
    w.replaceRanges({{11, 1, QStringLiteral("F")}}, true);
    EXPECT_EQ(w.text(), QStringLiteral("Ab\r\ncd\r\n\r\neF"));
    w.undo();
    EXPECT_EQ(w.text(), Lines);
    w.replaceRanges({{0, 1, QStringLiteral("A")}});
    w.setSelStart(4);
    w.replaceSelection(QStringLiteral("+"));
    w.replaceRanges({{1, 1, QStringLiteral("B")}}, true);
    EXPECT_EQ(w.text(), QStringLiteral("AB\r\n+cd\r\n\r\nef"));
    w.undo();
    EXPECT_EQ(w.text(), QStringLiteral("Ab\r\n+cd\r\n\r\nef"));
}

TYPED_TEST(EditWindowAgreement, WordWrapSwitches) {
    this->w().setWordWrap(false);
    EXPECT_FALSE(this->w().wordWrap());
    this->w().setWordWrap(true);
    EXPECT_TRUE(this->w().wordWrap());
}

class PlainTextEditWindowTest : public ::testing::Test {
protected:
    QPlainTextEdit widget;
    PlainTextEditWindow window{&widget};
};

TEST_F(PlainTextEditWindowTest, PositionsConvertBothWaysOnALongDocument) {
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("line %1\n").arg(i % 7 == 0 ? QString() : QString::number(i));
    window.setText(text);
    const QTextDocument* doc = widget.document();
    const QString crlf = window.text();
    ASSERT_EQ(window.length(), crlf.size());
    for (int b : {0, 1, 6, 7, 9999, 19999, 20000}) {
        const QTextBlock block = doc->findBlockByNumber(b);
        const int edit = block.position() + b;
        EXPECT_EQ(window.toEditPosition(block.position()), edit);
        EXPECT_EQ(window.toDocumentPosition(edit), block.position());
        if (b < 20000) {
            const int end = edit + block.length() - 1; // the CR of this line end
            EXPECT_EQ(crlf.mid(end, 2), QStringLiteral("\r\n"));
            EXPECT_EQ(window.toDocumentPosition(end + 1), block.position() + block.length() - 1);
            EXPECT_EQ(window.toDocumentPosition(end + 2), block.position() + block.length());
        }
    }
}

TEST_F(PlainTextEditWindowTest, ACopyForSavingIsTakenASliceAtATimeAndIsTheWholeText) {
    const auto copyOf = [&](const std::function<bool(qint64)>& between) {
        const std::optional<EditWindow::TextCopy> copy = window.textCopy(between);
        return copy ? std::optional<QString>(copy->text()) : std::nullopt;
    };
    std::vector<qint64> shares;
    const auto record = [&](qint64 share) {
        shares.push_back(share);
        return true;
    };
    // A small page is copied at once.
    window.setText(QStringLiteral("<P>a\rb\nc"));
    EXPECT_EQ(copyOf(record), std::optional(QStringLiteral("<P>a\r\nb\r\nc")));
    EXPECT_TRUE(shares.empty());

    QString text;
    for (int i = 0; i < 45000; ++i)
        text += i % 5 == 0 ? QStringLiteral("\r\n") : QStringLiteral("<TD>\u00e9\t%1</TD>\n").arg(i);
    text += QStringLiteral("last, no line end");
    window.setText(text);
    const QString whole = window.text();
    ASSERT_EQ(widget.document()->blockCount(), 45001);
    EXPECT_EQ(copyOf(record), std::optional(whole));
    EXPECT_EQ(shares, (std::vector<qint64>{444, 888}));

    // Stopped after the first slice: no copy.
    shares.clear();
    EXPECT_EQ(copyOf([&](qint64 share) { return record(share) && shares.size() < 2; }),
              std::nullopt);
    EXPECT_EQ(shares.size(), 2u);

    // Text the program changes between slices is copied again whole.
    bool changed = false;
    const std::optional<QString> copy = copyOf([&](qint64) {
        if (!std::exchange(changed, true))
            QTextCursor(widget.document()).insertText(QStringLiteral("<!-- new -->"));
        return true;
    });
    EXPECT_EQ(copy, std::optional(QStringLiteral("<!-- new -->") + whole));
}

// The colour drawn at each edit position of the text, "-" for the editor's own, one letter per
// character: r(ed), g(reen), b(lue).
QString colourMap(const PlainTextEditWindow& window) {
    QString out;
    for (int p = 0; p < window.length(); ++p) {
        const QColor c = window.colorAt(p);
        out += !c.isValid()             ? u'-'
               : c == QColor(Qt::red)   ? u'r'
               : c == QColor(Qt::green) ? u'g'
               : c == QColor(Qt::blue)  ? u'b'
                                        : u'?';
    }
    return out;
}

TEST_F(PlainTextEditWindowTest, ColouringAddsNoUndoStepAndLeavesTheDocumentUnmodified) {
    window.setText(QStringLiteral("<b>x</b>\r\n<i>y</i>"));
    window.colorRange(0, 3, Qt::red);
    window.colorRange(10, 3, Qt::blue);
    window.colorRange(8, 1, Qt::green); // between CR and LF: nothing to colour
    window.colorRange(50, 3, Qt::green);
    window.applyColors();
    // Line ends read as two characters, never coloured here.
    EXPECT_EQ(colourMap(window), QStringLiteral("rrr-------bbb-----"));
    EXPECT_FALSE(widget.document()->isUndoAvailable());
    EXPECT_FALSE(widget.document()->isModified());

    // Typed text right after a coloured tag takes its colour, typed before it does not; undo
    // takes back the text only.
    window.setSelStart(3);
    window.replaceSelection(QStringLiteral("!"));
    window.setSelStart(0);
    window.replaceSelection(QStringLiteral("_"));
    EXPECT_EQ(colourMap(window), QStringLiteral("-rrrr-------bbb-----"));
    window.undo();
    window.undo();
    EXPECT_EQ(window.text(), QStringLiteral("<b>x</b>\r\n<i>y</i>"));
    EXPECT_FALSE(widget.document()->isUndoAvailable());
    EXPECT_EQ(colourMap(window), QStringLiteral("rrr-------bbb-----"));

    // Colours stay through the wrap switch, which lays every line out again.
    window.setWordWrap(false);
    window.setWordWrap(true);
    EXPECT_EQ(colourMap(window), QStringLiteral("rrr-------bbb-----"));

    // A later range wins where it overlaps an earlier one, also from a later pass.
    window.colorRange(1, 3, Qt::green);
    window.applyColors();
    window.colorRange(2, 9, Qt::blue);
    window.colorRange(12, 1, Qt::red);
    window.applyColors();
    EXPECT_EQ(colourMap(window), QStringLiteral("rgbbbbbb--bbr-----"));

    window.setText(QStringLiteral("new"));
    EXPECT_EQ(colourMap(window), QStringLiteral("---"));
}

TEST_F(PlainTextEditWindowTest, ColoursFollowEditsAcrossLines) {
    window.setText(QStringLiteral("<p>\r\n<b>\r\n<i>"));
    window.colorRange(0, 3, Qt::red);
    window.colorRange(5, 3, Qt::green);
    window.colorRange(10, 3, Qt::blue);
    window.applyColors();
    EXPECT_EQ(colourMap(window), QStringLiteral("rrr--ggg--bbb"));
    // A new line typed inside the first tag: the tag's rest goes to the new line with its
    // colour.
    window.setSelStart(1);
    window.replaceSelection(QStringLiteral("\n"));
    EXPECT_EQ(window.text(), QStringLiteral("<\r\np>\r\n<b>\r\n<i>"));
    EXPECT_EQ(colourMap(window), QStringLiteral("r--rr--ggg--bbb"));
    // Two lines joined by deleting the line end between them.
    window.setSelStart(5);
    window.setSelLength(2);
    window.replaceSelection(QString());
    EXPECT_EQ(window.text(), QStringLiteral("<\r\np><b>\r\n<i>"));
    EXPECT_EQ(colourMap(window), QStringLiteral("r--rrggg--bbb"));
    // A stretch over two tags replaced: the new text takes the first character's colour.
    window.setSelStart(4);
    window.setSelLength(6);
    window.replaceSelection(QStringLiteral("XY"));
    EXPECT_EQ(window.text(), QStringLiteral("<\r\npXY<i>"));
    EXPECT_EQ(colourMap(window), QStringLiteral("r--rrrbbb"));
}

TEST(ColorRuns, EditsMoveRunsAsCharacterFormatsWould) {
    using Run = PlainTextEditWindow::ColorRun;
    using Edit = PlainTextEditWindow::DocumentEdit;
    const auto show = [](const std::vector<Run>& runs) {
        QStringList out;
        for (const Run& r : runs)
            out << QStringLiteral("%1-%2:%3").arg(r.from).arg(r.to).arg(r.rgb & 0xff);
        return out.join(QLatin1Char(' '));
    };
    const struct {
        const char* name;
        std::vector<Edit> edits;
        const char* want;
    } rows[] = {
        {"insert before a run", {{2, 2, 3}}, "5-8:1 13-15:2"},
        {"insert at a run's end", {{5, 5, 2}}, "2-7:1 12-14:2"},
        {"insert inside", {{3, 3, 1}}, "2-6:1 11-13:2"},
        {"replace the first character", {{2, 3, 4}}, "2-8:1 13-15:2"},
        {"replace the stretch before a run", {{0, 2, 1}}, "1-4:1 9-11:2"},
        {"replace across both runs", {{4, 11, 1}}, "2-5:1 5-6:2"},
        {"delete a whole run", {{1, 6, 0}}, "5-7:2"},
        {"one for one, many", {{2, 3, 1}, {6, 7, 1}, {10, 11, 1}}, "2-5:1 10-12:2"},
        {"grow and shrink", {{0, 0, 2}, {3, 5, 0}, {11, 12, 3}}, "4-5:1 10-14:2"},
        {"after every run", {{20, 20, 5}}, "2-5:1 10-12:2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<Run> runs{{2, 5, 1}, {10, 12, 2}};
        PlainTextEditWindow::moveRuns(runs, r.edits);
        EXPECT_EQ(show(runs), QLatin1String(r.want));
    }
    // Overlay: the top wins, the base shows where the top has nothing.
    const std::vector<Run> base{{0, 4, 1}, {6, 10, 2}, {12, 14, 3}};
    EXPECT_EQ(show(PlainTextEditWindow::overlay(base, {{2, 7, 9}, {9, 13, 8}})),
              QStringLiteral("0-2:1 2-7:9 7-9:2 9-13:8 13-14:3"));
    EXPECT_EQ(show(PlainTextEditWindow::overlay(base, {{0, 20, 7}})), QStringLiteral("0-20:7"));
    EXPECT_EQ(show(PlainTextEditWindow::overlay({}, {{1, 2, 7}})), QStringLiteral("1-2:7"));
    EXPECT_EQ(show(PlainTextEditWindow::overlay(base, {})), show(base));
}

// What the widget really draws over a stretch of one line, counted by pixels: mostly red, green
// or blue ink, or dark ink (the editor's own text colour).
struct Ink {
    int red = 0;
    int green = 0;
    int blue = 0;
    int dark = 0;
};

Ink inkOver(QPlainTextEdit& widget, int from, int to) {
    const QImage image = widget.viewport()->grab().toImage();
    QTextCursor cursor(widget.document());
    cursor.setPosition(from);
    const QRect start = widget.cursorRect(cursor);
    cursor.setPosition(to);
    const QRect end = widget.cursorRect(cursor);
    Ink ink;
    const qreal ratio = image.devicePixelRatio();
    for (int y = start.top(); y <= start.bottom(); ++y) {
        for (int x = start.left() + 1; x < end.left(); ++x) {
            const QColor p = image.pixelColor(qRound(x * ratio), qRound(y * ratio));
            const int r = p.red(), g = p.green(), b = p.blue();
            if (r < 80 && g < 80 && b < 80)
                ++ink.dark;
            else if (r > 128 && g < 100 && b < 100)
                ++ink.red;
            else if (g > 90 && r < 80 && b < 80)
                ++ink.green;
            else if (b > 128 && r < 100 && g < 100)
                ++ink.blue;
        }
    }
    return ink;
}

TEST_F(PlainTextEditWindowTest, TagsThatTouchAreEachDrawnInTheirOwnColour) {
    widget.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    widget.resize(600, 200);
    window.setText(QStringLiteral("<B><I>x</I></B>\r\nplain"));
    // <B> and <I> touch, and so do </I> and </B>.
    window.colorRange(0, 3, QColor(255, 0, 0));
    window.colorRange(3, 3, QColor(0, 0, 255));
    window.colorRange(7, 4, QColor(0, 128, 0));
    window.colorRange(11, 4, QColor(255, 0, 0));
    window.applyColors();
    const Ink b = inkOver(widget, 0, 3);
    const Ink i = inkOver(widget, 3, 6);
    const Ink x = inkOver(widget, 6, 7);
    const Ink endI = inkOver(widget, 7, 11);
    const Ink endB = inkOver(widget, 11, 15);
    EXPECT_GT(b.red, 0);
    EXPECT_EQ(b.dark + b.blue + b.green, 0);
    EXPECT_GT(i.blue, 0);
    EXPECT_EQ(i.dark + i.red + i.green, 0);
    EXPECT_GT(x.dark, 0); // between the tags: the editor's own colour
    EXPECT_EQ(x.red + x.green + x.blue, 0);
    EXPECT_GT(endI.green, 0);
    EXPECT_EQ(endI.dark + endI.red + endI.blue, 0);
    EXPECT_GT(endB.red, 0);
    EXPECT_EQ(endB.dark + endB.green + endB.blue, 0);
}

TEST_F(PlainTextEditWindowTest, WordWrapMapsToTheWidgetsModes) {
    window.setWordWrap(false);
    EXPECT_EQ(widget.lineWrapMode(), QPlainTextEdit::NoWrap);
    window.setWordWrap(true);
    EXPECT_EQ(widget.lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST(PlainTextEditWindowGone, OperationsOnADeletedWidgetDoNothing) {
    auto* widget = new QPlainTextEdit;
    PlainTextEditWindow window(widget);
    window.setText(QStringLiteral("x"));
    delete widget;
    window.replaceSelection(QStringLiteral("y"));
    window.colorRange(0, 1, Qt::red);
    window.applyColors();
    EXPECT_EQ(window.text(), QString());
    EXPECT_EQ(window.length(), 0);
}

} // namespace
