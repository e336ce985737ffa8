// Live tag colouring over the editor's document.
#include "services/LiveTagHighlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <utility>

namespace {

// A block state: the scanner's state in the low 18 bits, then the kind of the tag that goes on
// past the line end (as its whole text gives it).
constexpr int KindShift = 18;
constexpr int ScanMask = (1 << KindShift) - 1;

// Blocks coloured between two looks at the clock.
constexpr int BlocksPerLook = 16;

// Where a position in the text moves when [position, position + removed) becomes `added`
// characters: one inside the stretch goes to its start.
int followed(int at, int position, int removed, int added) {
    if (at < position)
        return at;
    return at >= position + removed ? at + added - removed : position;
}

// The start of the block holding `position` (a position past the text: the last block's).
int blockStartAt(const QTextDocument& doc, int position) {
    const QTextBlock block = doc.findBlock(position);
    return block.isValid() ? block.position() : doc.lastBlock().position();
}

// How often the view draws again while slices run: drawing the lines in view again after every
// slice would cost more than colouring them.
constexpr qint64 ShowEveryMs = 250;

} // namespace

void LiveTagHighlighter::markFormatsChanged(QTextDocument& doc, int from, int to, bool last,
                                            bool& unshown) {
    // Told once, the document's layout lays the blocks from `from` to `to` out again when they
    // are next drawn. Without the notice the document would hold the change and fold it into the
    // stretch the next edit reports.
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    if (from < to) {
        const QSignalBlocker quiet(layout);
        doc.markContentsDirty(from, to - from);
        unshown = true;
    }
    if (unshown && (last || !m_sinceShown.isValid() || m_sinceShown.elapsed() >= ShowEveryMs)) {
        emit layout->update();
        unshown = false;
        m_sinceShown.start();
    }
}

LiveTagHighlighter::LiveTagHighlighter(QObject* parent) : QObject(parent) {
    m_slices.setSingleShot(true);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, [this] { runSlice(); });
    setColors(TagColors{});
}

void LiveTagHighlighter::attach(QTextDocument* doc) {
    if (doc == m_doc)
        return;
    QObject::disconnect(m_edits);
    m_staleFrom = -1;
    m_frontier = NoFrontier;
    QTextDocument* old = std::exchange(m_doc, doc);
    if (old) {
        // Its colours go from the start (a document being uncoloured already goes first).
        finishUncolouring();
        m_clearing = old;
        m_clearFrom = 0;
        m_sinceShown.invalidate();
        m_clearEdits = connect(old, &QTextDocument::contentsChange, this,
                               [this](int position, int removed, int added) {
                                   // Text put in where the colours still stand from takes the
                                   // place of the block there, which still has them.
                                   if (m_clearFrom > position)
                                       m_clearFrom =
                                           followed(m_clearFrom, position, removed, added);
                               });
    }
    if (doc && doc == m_clearing) {
        // Coloured again before its colours were all gone: the colouring goes over every block.
        QObject::disconnect(m_clearEdits);
        m_clearing = nullptr;
    }
    if (doc) {
        // A document tells its edits only once it has a layout (an editor gives it one).
        doc->documentLayout();
        m_edits = connect(
            doc, &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) { followEdit(position, removed, added); });
        restart();
    } else {
        carryOn();
    }
}

void LiveTagHighlighter::setColors(const TagColors& colors) {
    const bool same = colors.colors == m_colors.colors;
    m_colors = colors;
    for (size_t k = 0; k < m_tag.size(); ++k) {
        const QColor c = colors.colors[k];
        m_tag[k] = QTextCharFormat();
        m_tag[k].setForeground(c);
        // A value in a darker shade of its tag's colour (black stays black).
        m_value[k] = QTextCharFormat();
        m_value[k].setForeground(c.darker(150));
    }
    const QColor other = colors.of(TagKind::Default);
    m_comment = QTextCharFormat();
    m_comment.setForeground(other);
    m_comment.setFontItalic(true);
    m_entity = QTextCharFormat();
    m_entity.setForeground(other);
    m_entity.setFontWeight(QFont::Bold);
    if (m_doc && !same)
        restart();
}

void LiveTagHighlighter::restart() {
    m_frontier = 0;
    m_staleFrom = -1;
    m_sinceShown.invalidate(); // the first slice shows at once
    // A small document is coloured at once, a big one from a first slice now.
    const bool small = m_doc->characterCount() <= AtOnceUpTo;
    while (colourSlice() && small) {
    }
    carryOn();
}

void LiveTagHighlighter::carryOn() {
    if (m_clearing && m_clearing->characterCount() <= AtOnceUpTo)
        finishUncolouring();
    else if (m_clearing && m_frontier == NoFrontier)
        uncolourSlice(); // the first slice now: the top of a big page loses its colours at once
    if (colouring())
        m_slices.start();
}

void LiveTagHighlighter::finish() {
    m_slices.stop();
    while (m_frontier != NoFrontier && m_doc)
        colourSlice();
    m_frontier = NoFrontier;
    finishUncolouring();
}

void LiveTagHighlighter::finishUncolouring() {
    while (m_clearing)
        uncolourSlice();
}

void LiveTagHighlighter::runSlice() {
    m_slices.stop();
    // The colouring of the document shown comes first; the old one's colours go after it.
    const bool more = m_frontier != NoFrontier && m_doc ? colourSlice() : uncolourSlice();
    if (more || colouring())
        m_slices.start();
    else
        emit finished();
}

bool LiveTagHighlighter::colourSlice() {
    QTextDocument* doc = m_doc;
    if (!doc || m_frontier == NoFrontier) {
        m_frontier = NoFrontier;
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = doc->findBlock(m_frontier);
    int changedFrom = -1;
    int changedTo = -1;
    for (int n = 1; block.isValid(); ++n) {
        if (colourBlock(block)) {
            if (changedFrom < 0)
                changedFrom = block.position();
            changedTo = block.position() + block.length();
        }
        block = block.next();
        if (n % BlocksPerLook == 0 && clock.nsecsElapsed() >= m_sliceTime)
            break;
    }
    m_frontier = block.isValid() ? block.position() : NoFrontier;
    markFormatsChanged(*doc, changedFrom, changedTo, m_frontier == NoFrontier, m_unshown);
    // A tag whose earlier lines another kind reached while this slice ran.
    if (m_staleFrom >= 0) {
        const int stale = std::exchange(m_staleFrom, -1);
        const QTextBlock first = doc->findBlock(stale);
        if (first.isValid() && first.position() < m_frontier) {
            const int end = colourOn(first, first.position() + first.length());
            markFormatsChanged(*doc, first.position(), end, m_frontier == NoFrontier, m_unshown);
        }
    }
    return m_frontier != NoFrontier;
}

bool LiveTagHighlighter::uncolourSlice() {
    QTextDocument* doc = m_clearing;
    if (!doc) {
        m_clearing = nullptr;
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    QTextBlock block = doc->findBlock(m_clearFrom);
    int changedFrom = -1;
    int changedTo = -1;
    for (int n = 1; block.isValid(); ++n) {
        QTextLayout* layout = block.layout();
        if (!layout->formats().isEmpty()) {
            layout->clearFormats();
            if (changedFrom < 0)
                changedFrom = block.position();
            changedTo = block.position() + block.length();
        }
        block = block.next();
        if (n % (BlocksPerLook * 8) == 0 && clock.nsecsElapsed() >= m_sliceTime)
            break;
    }
    markFormatsChanged(*doc, changedFrom, changedTo, !block.isValid(), m_clearUnshown);
    if (block.isValid()) {
        m_clearFrom = block.position();
        return true;
    }
    QObject::disconnect(m_clearEdits);
    m_clearing = nullptr;
    return false;
}

void LiveTagHighlighter::followEdit(int position, int removed, int added) {
    QTextDocument* doc = m_doc;
    if (!doc)
        return;
    if (m_frontier != NoFrontier)
        m_frontier = blockStartAt(*doc, followed(m_frontier, position, removed, added));
    if (m_staleFrom >= 0)
        m_staleFrom = followed(m_staleFrom, position, removed, added);
    const QTextBlock first = doc->findBlock(position);
    if (!first.isValid() || first.position() >= m_frontier)
        return; // its slice comes
    if (added > AtOnceUpTo) {
        // A new text or a big paste is coloured in slices from its first block; the blocks
        // after it keep what they show until then.
        m_frontier = first.position();
        m_slices.start();
        return;
    }
    // The document lays out the blocks given new formats here after this notice, with the edit.
    const QTextBlock last = doc->findBlock(position + added + (removed > 0 ? 1 : 0));
    colourOn(first, last.isValid() ? last.position() + last.length() : doc->characterCount());
    // The earlier lines of a tag whose kind the edit changed.
    while (m_staleFrom >= 0) {
        const QTextBlock stale = doc->findBlock(std::exchange(m_staleFrom, -1));
        if (stale.isValid() && stale.position() < m_frontier)
            colourOn(stale, stale.position() + stale.length());
    }
}

int LiveTagHighlighter::colourOn(QTextBlock block, int end) {
    bool stateChanged = false;
    int done = block.position();
    while (block.isValid() && block.position() < m_frontier &&
           (block.position() < end || stateChanged)) {
        const int before = block.userState();
        colourBlock(block);
        stateChanged = block.userState() != before;
        done = block.position() + block.length();
        block = block.next();
    }
    return done;
}

TagKind LiveTagHighlighter::kindOfRest(QTextBlock block, LiveScanState state) {
    TagKind kind = TagKind::Default;
    for (; block.isValid(); block = block.next()) {
        const LiveLine line = scanLiveLine(block.text(), state);
        if (line.tagKinds.isEmpty())
            break;
        kind = laterKind(kind, line.tagKinds.first());
        if (!line.lastContinues || line.tagKinds.size() > 1)
            break;
        state = line.end;
    }
    return kind;
}

bool LiveTagHighlighter::colourBlock(const QTextBlock& block) {
    const QString text = block.text();
    const QTextBlock before = block.previous();
    const int previous = before.isValid() ? before.userState() : -1;
    LiveScanState start;
    TagKind startWhole = TagKind::Default;
    if (previous >= 0) {
        start = LiveScanState::unpack(previous & ScanMask);
        startWhole = TagKind((previous >> KindShift) & 7);
    }
    const LiveLine line = scanLiveLine(text, start);
    const qsizetype tags = line.tagKinds.size();
    TagKind goesOn = TagKind::Default;
    QList<TagKind> kinds = line.tagKinds;
    for (qsizetype t = 0; t < tags; ++t) {
        TagKind kind = kinds[t];
        if (t == 0 && line.firstContinues)
            kind = laterKind(start.prefixKind, kind);
        if (t == tags - 1 && line.lastContinues) {
            kind = laterKind(kind, kindOfRest(block.next(), line.end));
            goesOn = kind;
        }
        if (t == 0 && line.firstContinues && kind != startWhole) {
            // The tag's earlier lines show another kind: they are coloured again.
            QTextBlock first = block;
            for (int i = 0; i < start.linesOpen && first.previous().isValid(); ++i)
                first = first.previous();
            m_staleFrom =
                m_staleFrom < 0 ? first.position() : std::min(m_staleFrom, first.position());
        }
        kinds[t] = kind;
    }

    // The formats without overlaps, as they are drawn: each tag in its kind's colour around the
    // values inside it, and the comments and entities between the tags. The scanner gives the
    // tags in order, and the other pieces in order.
    QList<QTextLayout::FormatRange> ranges;
    const auto add = [&ranges](int from, int to, const QTextCharFormat& format) {
        if (from >= to)
            return;
        if (!ranges.isEmpty() && ranges.last().start + ranges.last().length == from &&
            ranges.last().format == format) {
            ranges.last().length += to - from;
            return;
        }
        ranges.append({from, to - from, format});
    };
    const auto innerFormat = [&](const LivePiece& p) -> const QTextCharFormat& {
        switch (p.role) {
        case LivePiece::Value:
            return m_value[size_t(kinds[p.tag])];
        case LivePiece::Comment:
            return m_comment;
        default:
            return m_entity;
        }
    };
    const QList<LivePiece>& pieces = line.pieces;
    qsizetype inner = 0;
    const auto nextInner = [&] {
        while (inner < pieces.size() && pieces[inner].role == LivePiece::Tag)
            ++inner;
        return inner < pieces.size();
    };
    for (const LivePiece& tag : pieces) {
        if (tag.role != LivePiece::Tag)
            continue;
        const int tagEnd = tag.start + tag.length;
        while (nextInner() && pieces[inner].start < tag.start) {
            const LivePiece& p = pieces[inner++];
            add(p.start, p.start + p.length, innerFormat(p));
        }
        int at = tag.start;
        const QTextCharFormat& format = m_tag[size_t(kinds[tag.tag])];
        while (nextInner() && pieces[inner].start < tagEnd) {
            const LivePiece& p = pieces[inner++];
            add(at, p.start, format);
            add(p.start, p.start + p.length, innerFormat(p));
            at = p.start + p.length;
        }
        add(at, tagEnd, format);
    }
    while (nextInner()) {
        const LivePiece& p = pieces[inner++];
        add(p.start, p.start + p.length, innerFormat(p));
    }

    const int state = line.end.pack() | int(goesOn) << KindShift;
    if (block.userState() != state)
        QTextBlock(block).setUserState(state);
    QTextLayout* layout = block.layout();
    if (layout->formats() == ranges)
        return false;
    layout->setFormats(ranges);
    return true;
}
