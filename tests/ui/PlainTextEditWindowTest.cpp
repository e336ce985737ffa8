// The two EditWindow implementations against one table: the in-memory TextBuffer and the adapter
// over a real QPlainTextEdit must agree on every position, selection and replacement.
#include "ui/PlainTextEditWindow.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

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

TEST_F(PlainTextEditWindowTest, ColouringAddsNoUndoStepAndLeavesTheDocumentUnmodified) {
    window.setText(QStringLiteral("<b>x</b>\r\n<i>y</i>"));
    window.colorRange(0, 3, Qt::red);
    window.colorRange(10, 3, Qt::blue);
    window.colorRange(8, 1, Qt::green); // between CR and LF: nothing to colour
    window.colorRange(50, 3, Qt::green);
    window.applyColors();
    const QList<QTextEdit::ExtraSelection> colors = widget.extraSelections();
    ASSERT_EQ(colors.size(), 2);
    EXPECT_EQ(colors[0].cursor.selectionStart(), 0);
    EXPECT_EQ(colors[0].cursor.selectionEnd(), 3);
    EXPECT_EQ(colors[0].format.foreground().color(), QColor(Qt::red));
    EXPECT_EQ(colors[1].cursor.selectedText(), QStringLiteral("<i>"));
    EXPECT_EQ(colors[1].format.foreground().color(), QColor(Qt::blue));
    EXPECT_FALSE(widget.document()->isUndoAvailable());
    EXPECT_FALSE(widget.document()->isModified());

    // Typed text right after a coloured tag takes its colour; undo takes back the text only.
    window.setSelStart(3);
    window.replaceSelection(QStringLiteral("!"));
    window.applyColors();
    EXPECT_EQ(widget.extraSelections()[0].cursor.selectedText(), QStringLiteral("<b>!"));
    window.undo();
    EXPECT_EQ(window.text(), QStringLiteral("<b>x</b>\r\n<i>y</i>"));
    EXPECT_FALSE(widget.document()->isUndoAvailable());
    window.applyColors();
    EXPECT_EQ(widget.extraSelections().size(), 2);

    window.setText(QStringLiteral("new"));
    EXPECT_TRUE(widget.extraSelections().isEmpty());
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
