// Live tag colouring: a block highlighter over the editor's document that colours every tag by
// its kind (the kinds and colours of the colouring pass) as the text is typed, and also tags
// written over several lines, comments, attribute values and entities. The content of SCRIPT
// and STYLE elements stays uncoloured.
//
// It works the way a syntax highlighter does: each block keeps the scanner's state at its end,
// and an edit colours the blocks it changed plus the following ones whose state came out
// different. Unlike QSyntaxHighlighter, which colours a filled document whole as soon as it is
// given one, a big document is coloured (and later uncoloured) from its start in slices between
// turns of the event loop, and the view is told of each slice once, so that neither switching
// colouring on or off nor new colours ever hold the window still for long.
#pragma once

#include "services/LiveTagScan.h"
#include "services/TagColors.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTimer>

#include <array>
#include <limits>

class QTextDocument;

class LiveTagHighlighter : public QObject {
    Q_OBJECT
public:
    explicit LiveTagHighlighter(QObject* parent = nullptr);

    // Colours `document` from now on; nullptr takes the live colours away from the one coloured.
    // The colours of a document left go in slices too (or at once when it is small).
    void attach(QTextDocument* document);
    QTextDocument* attached() const { return m_doc; }

    // New colours: the whole document is coloured again (nothing happens for the same colours).
    void setColors(const TagColors& colors);
    const TagColors& colors() const { return m_colors; }

    // Documents up to this many characters are coloured (and uncoloured) at once; bigger ones in
    // slices. An edit that brings in more than this is coloured in slices too.
    static constexpr int AtOnceUpTo = 256 * 1024;
    // About how long a slice runs before the window runs again (tests make it tiny: a slice
    // then does the few blocks it does between two looks at the clock).
    void setSliceTime(qint64 nanoseconds) { m_sliceTime = nanoseconds; }
    // Whether slices are still to come, colouring the attached document or uncolouring the one
    // left.
    bool colouring() const { return m_frontier != NoFrontier || m_clearing; }
    // Runs every slice still to come now.
    void finish();
    // Takes the colours of a document left away now, so that no later slice takes away colours
    // put on it afterwards by other means.
    void finishUncolouring();

    // The formats of the pieces, as drawn.
    QTextCharFormat tagFormat(TagKind kind) const { return m_tag[size_t(kind)]; }
    QTextCharFormat valueFormat(TagKind kind) const { return m_value[size_t(kind)]; }
    QTextCharFormat commentFormat() const { return m_comment; }
    QTextCharFormat entityFormat() const { return m_entity; }

signals:
    // The last slice is done: every block has its live colours, or none is left on the document
    // left.
    void finished();

private:
    static constexpr int NoFrontier = std::numeric_limits<int>::max();

    // Colours the document again from its start.
    void restart();
    // Uncolours a small document left at once; the slices to come run from the event loop.
    void carryOn();
    void runSlice();
    bool colourSlice();
    bool uncolourSlice();
    void followEdit(int position, int removed, int added);
    // Colours the blocks from `block` on while they lie before `end` or their state changed,
    // never past the frontier. Returns the end of the last block coloured.
    int colourOn(QTextBlock block, int end);
    // Gives one block its formats and its end state; false when its formats stayed as they
    // were.
    bool colourBlock(const QTextBlock& block);
    // Tells the document's layout that the blocks from `from` to `to` have new formats, and the
    // view to draw them now and then while slices run (always for the last one).
    void markFormatsChanged(QTextDocument& doc, int from, int to, bool last, bool& unshown);
    // The kind the rest of a tag adds, from `block` (which starts inside it) to its end.
    static TagKind kindOfRest(QTextBlock block, LiveScanState state);

    TagColors m_colors;
    std::array<QTextCharFormat, 6> m_tag;
    std::array<QTextCharFormat, 6> m_value;
    QTextCharFormat m_comment;
    QTextCharFormat m_entity;
    QPointer<QTextDocument> m_doc;
    // Blocks from this document position on wait for a slice (their colours are left as they
    // are); NoFrontier: every block is live.
    int m_frontier = NoFrontier;
    // The start of a tag whose earlier lines a colouring of a later line gave another kind.
    int m_staleFrom = -1;
    // A document left while coloured, and where its colours still stand from.
    QPointer<QTextDocument> m_clearing;
    int m_clearFrom = 0;
    qint64 m_sliceTime = 12'000'000;
    QElapsedTimer m_sinceShown;
    // Blocks were given new formats that the view has not been told to draw yet.
    bool m_unshown = false;
    bool m_clearUnshown = false;
    QTimer m_slices;
    QMetaObject::Connection m_edits;
    QMetaObject::Connection m_clearEdits;
};
