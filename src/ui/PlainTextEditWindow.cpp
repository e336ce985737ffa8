// PlainTextEditWindow: position conversion, selection and colouring over a QPlainTextEdit.
#include "ui/PlainTextEditWindow.h"

#include "platform/TextFile.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Text for the document: each line end one "\n", which QTextCursor turns into one block break
// (it would make two of a CR LF).
QString toDocumentText(const QString& text) {
    QString t = toCrLf(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QString fromDocumentText(QString text) {
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

// Batches of colours go to the widget at most this often during a long colouring pass.
constexpr int ColorBatchMilliseconds = 50;

} // namespace

PlainTextEditWindow::PlainTextEditWindow(QPlainTextEdit* editor) : m_editor(editor) {
    m_colorTimer.setSingleShot(true);
    m_colorTimer.setInterval(ColorBatchMilliseconds);
    QObject::connect(&m_colorTimer, &QTimer::timeout, &m_colorTimer, [this] { applyColors(); });
}

int PlainTextEditWindow::toEditPosition(int documentPosition) const {
    if (!m_editor)
        return 0;
    const QTextDocument* doc = m_editor->document();
    const int q = std::clamp(documentPosition, 0, doc->characterCount() - 1);
    // Every line end before the block adds one character.
    return q + doc->findBlock(q).blockNumber();
}

int PlainTextEditWindow::toDocumentPosition(qint64 position) const {
    if (!m_editor)
        return 0;
    const QTextDocument* doc = m_editor->document();
    const qint64 p = std::clamp<qint64>(position, 0, length());
    // Block b starts at edit position block.position() + b; find the last block starting at or
    // before p by bisection over block numbers.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= p)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const int textLength = block.length() - 1;
    // Past the text of the block is only the LF of its line end: that goes before the line end.
    const int offset = static_cast<int>(std::min<qint64>(p - (block.position() + low), textLength));
    int q = block.position() + offset;
    // Never between the two halves of a character outside the basic plane.
    if (q > 0 && doc->characterAt(q - 1).isHighSurrogate() && doc->characterAt(q).isLowSurrogate())
        --q;
    return q;
}

QString PlainTextEditWindow::text() const {
    // Raw text: toPlainText() would turn non-breaking spaces into plain ones.
    return m_editor ? fromDocumentText(m_editor->document()->toRawText()) : QString();
}

void PlainTextEditWindow::setText(const QString& text) {
    if (!m_editor)
        return;
    m_colorTimer.stop();
    m_colors.clear();
    m_editor->setExtraSelections({});
    m_editor->setPlainText(toDocumentText(text));
    m_editor->setTextCursor(QTextCursor(m_editor->document()));
}

int PlainTextEditWindow::length() const {
    if (!m_editor)
        return 0;
    const QTextDocument* doc = m_editor->document();
    // characterCount() holds one separator per block, the last one not part of the text.
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

int PlainTextEditWindow::selStart() const {
    return m_editor ? toEditPosition(m_editor->textCursor().selectionStart()) : 0;
}

void PlainTextEditWindow::setSelStart(int position) {
    if (!m_editor)
        return;
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(toDocumentPosition(position));
    m_editor->setTextCursor(cursor);
}

int PlainTextEditWindow::selLength() const {
    if (!m_editor)
        return 0;
    const QTextCursor cursor = m_editor->textCursor();
    return toEditPosition(cursor.selectionEnd()) - toEditPosition(cursor.selectionStart());
}

void PlainTextEditWindow::setSelLength(int length) {
    if (!m_editor)
        return;
    const int start = selStart();
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(toDocumentPosition(start));
    cursor.setPosition(toDocumentPosition(qint64(start) + std::max(length, 0)),
                       QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

QString PlainTextEditWindow::selText() const {
    return m_editor ? fromDocumentText(m_editor->textCursor().selectedText()) : QString();
}

void PlainTextEditWindow::replaceSelection(const QString& text) {
    if (!m_editor)
        return;
    QTextCursor cursor = m_editor->textCursor();
    const QString inserted = toDocumentText(text);
    if (inserted.isEmpty() && !cursor.hasSelection())
        return;
    // One edit block is one undo step, however the document would merge adjacent inserts.
    cursor.beginEditBlock();
    cursor.insertText(inserted);
    cursor.endEditBlock();
    m_editor->setTextCursor(cursor);
}

void PlainTextEditWindow::undo() {
    if (m_editor)
        m_editor->undo();
}

void PlainTextEditWindow::setFocus() {
    if (m_editor)
        m_editor->setFocus();
}

bool PlainTextEditWindow::wordWrap() const {
    return m_editor && m_editor->lineWrapMode() == QPlainTextEdit::WidgetWidth;
}

void PlainTextEditWindow::setWordWrap(bool on) {
    if (m_editor)
        m_editor->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void PlainTextEditWindow::colorRange(int start, int length, const QColor& color) {
    if (!m_editor)
        return;
    const int from = toDocumentPosition(start);
    const int to = toDocumentPosition(qint64(toEditPosition(from)) + std::max(length, 0));
    if (to <= from)
        return;
    // A cursor pair follows later edits the way a character format would: text typed inside
    // or right after a coloured tag takes its colour, text typed before it does not.
    QTextEdit::ExtraSelection colored;
    colored.cursor = QTextCursor(m_editor->document());
    colored.cursor.setPosition(from);
    colored.cursor.setPosition(to, QTextCursor::KeepAnchor);
    colored.format.setForeground(color);
    m_colors.append(colored);
    if (!m_colorTimer.isActive())
        m_colorTimer.start();
}

void PlainTextEditWindow::applyColors() {
    m_colorTimer.stop();
    if (!m_editor)
        return;
    // Ranges whose text was deleted since hold nothing to colour.
    m_colors.removeIf([](const QTextEdit::ExtraSelection& s) { return !s.cursor.hasSelection(); });
    m_editor->setExtraSelections(m_colors);
}
