// Live tag colouring: a syntax highlighter over the editor's document that colours every tag by
// its kind (the kinds and colours of the colouring pass) as the text is typed, and also tags
// written over several lines, comments, attribute values and entities. The content of SCRIPT
// and STYLE elements stays uncoloured.
//
// A big document is coloured from its start in slices between turns of the event loop, so that
// neither switching colouring on nor new colours ever hold the window still for long.
#pragma once

#include "services/LiveTagScan.h"
#include "services/TagColors.h"

#include <QElapsedTimer>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTimer>

#include <array>
#include <limits>

class LiveTagHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit LiveTagHighlighter(QObject* parent = nullptr);

    // Colours `document` from now on; nullptr takes the live colours away from the one coloured.
    void attach(QTextDocument* document);
    QTextDocument* attached() const { return document(); }

    // New colours: the whole document is coloured again.
    void setColors(const TagColors& colors);
    const TagColors& colors() const { return m_colors; }

    // Documents up to this many characters are coloured at once; bigger ones in slices.
    static constexpr int AtOnceUpTo = 256 * 1024;
    // Whether slices are still to come.
    bool colouring() const { return m_frontier != NoFrontier; }
    // Runs every slice still to come now (and mends what an edit left behind).
    void finish();

    // The formats of the pieces, as drawn.
    QTextCharFormat tagFormat(TagKind kind) const { return m_tag[size_t(kind)]; }
    QTextCharFormat valueFormat(TagKind kind) const { return m_value[size_t(kind)]; }
    QTextCharFormat commentFormat() const { return m_comment; }
    QTextCharFormat entityFormat() const { return m_entity; }

signals:
    // The last slice is done: every block has its live colours.
    void finished();

protected:
    void highlightBlock(const QString& text) override;

private:
    static constexpr int NoFrontier = std::numeric_limits<int>::max();

    // Colours the document again from its start.
    void restart();
    void runSlice();
    void mendStale();
    void followEdit(int position, int removed, int added);
    // The kind the rest of a tag adds, from `block` (which starts inside it) to its end.
    static TagKind kindOfRest(QTextBlock block, LiveScanState state);

    TagColors m_colors;
    std::array<QTextCharFormat, 6> m_tag;
    std::array<QTextCharFormat, 6> m_value;
    QTextCharFormat m_comment;
    QTextCharFormat m_entity;
    // A part of every block state that changes with each colouring from the start, so that
    // colouring a block again always goes on to the next.
    int m_generation = 0;
    // Blocks from this document position on wait for a slice (their colours are left as they
    // are); NoFrontier: every block is live.
    int m_frontier = NoFrontier;
    // The start of a tag whose earlier lines an edit on a later line gave another kind: coloured
    // again right after the edit.
    int m_staleFrom = -1;
    QTimer m_slices;
    QTimer m_mend;
    QMetaObject::Connection m_edits;
};
