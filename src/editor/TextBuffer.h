// TextBuffer: an EditWindow held in memory.
#pragma once

#include "editor/EditWindow.h"

#include <QList>

#include <vector>

class TextBuffer : public EditWindow {
public:
    struct ColoredRange {
        int start;
        int length;
        QColor color;
    };

    QString text() const override { return m_text; }
    void setText(const QString& text) override;
    int length() const override { return static_cast<int>(m_text.size()); }
    int selStart() const override { return m_selStart; }
    void setSelStart(int position) override;
    int selLength() const override { return m_selLength; }
    void setSelLength(int length) override;
    QString selText() const override;
    void replaceSelection(const QString& text) override;
    void replaceRanges(const QList<TextReplacement>& replacements,
                       bool joinPrevious = false) override;
    void undo() override;
    void setFocus() override {}
    bool wordWrap() const override { return m_wordWrap; }
    void setWordWrap(bool on) override { m_wordWrap = on; }
    void colorRange(int start, int length, const QColor& color) override;
    const QList<ColoredRange>& coloredRanges() const { return m_colored; }
    int lineCount() const override;
    QString line(int index) const override;

private:
    // Where each line starts, found once after each change of the text.
    const std::vector<qsizetype>& lineStarts() const;
    void textChanged() { m_lineStarts.clear(); }

    QString m_text;
    int m_selStart = 0;
    int m_selLength = 0;
    bool m_wordWrap = true;
    QList<ColoredRange> m_colored;
    // One step of undo: the text and selection before the last replacement.
    bool m_canUndo = false;
    // The last change was replaceRanges: a joining replaceRanges keeps its undo text.
    bool m_lastWasRanges = false;
    QString m_undoText;
    int m_undoSelStart = 0;
    int m_undoSelLength = 0;
    mutable std::vector<qsizetype> m_lineStarts; // empty: not found yet
};
