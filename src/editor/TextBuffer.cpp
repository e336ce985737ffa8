// TextBuffer: the editor operations over a string held with CR LF line ends.
#include "editor/TextBuffer.h"

#include "platform/TextFile.h"

#include <algorithm>

// A position may not split a line end or a character made of two UTF-16 units; such a position
// goes back to the start of the line end or of the character, as the widget editor does.
static int snapPosition(const QString& text, qint64 wanted) {
    int position = static_cast<int>(std::clamp<qint64>(wanted, 0, text.size()));
    if (position > 0 && position < text.size()) {
        const QChar before = text.at(position - 1);
        const QChar after = text.at(position);
        if ((before == u'\r' && after == u'\n') ||
            (before.isHighSurrogate() && after.isLowSurrogate()))
            --position;
    }
    return position;
}

void TextBuffer::setText(const QString& text) {
    m_text = toCrLf(text);
    textChanged();
    m_selStart = 0;
    m_selLength = 0;
    m_colored.clear();
    m_canUndo = false;
}

void TextBuffer::setSelStart(int position) {
    m_selStart = snapPosition(m_text, position);
    m_selLength = 0;
}

void TextBuffer::setSelLength(int length) {
    const int end = snapPosition(m_text, qint64(m_selStart) + std::max(length, 0));
    m_selLength = std::max(end - m_selStart, 0);
}

QString TextBuffer::selText() const {
    return m_text.mid(m_selStart, m_selLength);
}

void TextBuffer::replaceSelection(const QString& text) {
    const QString inserted = toCrLf(text);
    if (inserted.isEmpty() && m_selLength == 0)
        return; // nothing changes, so nothing to undo either
    m_canUndo = true;
    m_lastWasRanges = false;
    m_undoText = m_text;
    m_undoSelStart = m_selStart;
    m_undoSelLength = m_selLength;
    m_text.replace(m_selStart, m_selLength, inserted);
    textChanged();
    m_selStart += static_cast<int>(inserted.size());
    m_selLength = 0;
}

void TextBuffer::replaceRanges(const QList<TextReplacement>& replacements, bool joinPrevious) {
    if (replacements.isEmpty())
        return;
    if (!(joinPrevious && m_canUndo && m_lastWasRanges)) {
        m_undoText = m_text;
        m_undoSelStart = m_selStart;
        m_undoSelLength = m_selLength;
    }
    m_canUndo = true;
    m_lastWasRanges = true;
    // One pass: the kept stretches and the new texts in order.
    QString result;
    result.reserve(m_text.size());
    qsizetype copied = 0;
    qsizetype caret = 0;
    for (const TextReplacement& r : replacements) {
        const int from = static_cast<int>(std::max<qsizetype>(
            snapPosition(m_text, std::max<qsizetype>(r.start, copied)), copied));
        const int to = std::max(from, snapPosition(m_text, qint64(from) + std::max(r.length, 0)));
        result += QStringView(m_text).mid(copied, from - copied);
        result += toCrLf(r.text);
        caret = result.size();
        copied = to;
    }
    result += QStringView(m_text).mid(copied);
    m_text = result;
    textChanged();
    m_selStart = static_cast<int>(caret);
    m_selLength = 0;
}

void TextBuffer::undo() {
    if (!m_canUndo)
        return;
    m_canUndo = false;
    m_lastWasRanges = false;
    m_text = m_undoText;
    textChanged();
    m_selStart = m_undoSelStart;
    m_selLength = m_undoSelLength;
}

void TextBuffer::colorRange(int start, int length, const QColor& color) {
    const int from = snapPosition(m_text, start);
    const int to = snapPosition(m_text, qint64(from) + std::max(length, 0));
    if (to > from)
        m_colored.append({from, to - from, color});
}

const std::vector<qsizetype>& TextBuffer::lineStarts() const {
    if (!m_lineStarts.empty())
        return m_lineStarts;
    // The starts of the lines and, last, where a line after the last would start.
    m_lineStarts.push_back(0);
    for (qsizetype at = m_text.indexOf(QStringLiteral("\r\n")); at >= 0;
         at = m_text.indexOf(QStringLiteral("\r\n"), at + 2))
        m_lineStarts.push_back(at + 2);
    if (m_lineStarts.back() != m_text.size())
        m_lineStarts.push_back(m_text.size() + 2);
    return m_lineStarts;
}

int TextBuffer::lineCount() const {
    return static_cast<int>(lineStarts().size()) - 1;
}

QString TextBuffer::line(int index) const {
    const std::vector<qsizetype>& starts = lineStarts();
    if (index < 0 || static_cast<size_t>(index) + 1 >= starts.size())
        return {};
    const qsizetype from = starts[static_cast<size_t>(index)];
    return m_text.mid(from, starts[static_cast<size_t>(index) + 1] - 2 - from);
}
