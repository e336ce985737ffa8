// Live tag colouring over the editor's document.
#include "services/LiveTagHighlighter.h"

#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

// A block state: the scanner's state in the low 18 bits, then the kind of the tag that goes on
// past the line end (as its whole text gives it), then the generation.
constexpr int KindShift = 18;
constexpr int GenerationShift = 21;
constexpr int GenerationMask = 0xFF;
constexpr int ScanMask = (1 << KindShift) - 1;

// A slice of the first colouring: about this much time before the window runs again.
constexpr qint64 SliceNanoseconds = 12'000'000;
// The stretch one step of a slice adds (characters).
constexpr int SliceStep = 16 * 1024;

} // namespace

LiveTagHighlighter::LiveTagHighlighter(QObject* parent) : QSyntaxHighlighter(parent) {
    m_slices.setSingleShot(true);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, [this] { runSlice(); });
    m_mend.setSingleShot(true);
    m_mend.setInterval(0);
    connect(&m_mend, &QTimer::timeout, this, [this] { mendStale(); });
    setColors(TagColors{});
}

void LiveTagHighlighter::attach(QTextDocument* doc) {
    QObject::disconnect(m_edits);
    m_slices.stop();
    m_mend.stop();
    m_staleFrom = -1;
    QTextDocument* old = document();
    if (old && old != doc) {
        // The highlighter takes its formats away from every block; the view lays them out again.
        setDocument(nullptr);
        old->markContentsDirty(0, old->characterCount());
    }
    if (!doc) {
        m_frontier = NoFrontier;
        return;
    }
    // A document tells its edits only once it has a layout (an editor gives it one).
    doc->documentLayout();
    // Edits move the frontier and a stale tag start before the highlighter follows them, so this
    // connection comes first.
    m_edits = connect(doc, &QTextDocument::contentsChange, this,
                      [this](int position, int removed, int added) {
                          followEdit(position, removed, added);
                      });
    // Nothing is coloured until the slices come. Given a document, the highlighter queues a pass
    // over all of it and follows no edit until that has run: it runs now (the queued call then
    // finds nothing to do), finds every block past the frontier and leaves it as it is.
    m_frontier = 0;
    if (old != doc) {
        setDocument(doc);
        QMetaObject::invokeMethod(this, "_q_delayedRehighlight", Qt::DirectConnection);
    }
    restart();
}

void LiveTagHighlighter::setColors(const TagColors& colors) {
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
    if (document())
        restart();
}

void LiveTagHighlighter::restart() {
    m_generation = (m_generation + 1) & GenerationMask;
    m_frontier = 0;
    if (document()->characterCount() <= AtOnceUpTo)
        finish();
    else
        runSlice();
}

void LiveTagHighlighter::finish() {
    while (colouring() && document()) {
        m_slices.stop();
        runSlice();
    }
    m_slices.stop();
    mendStale();
}

void LiveTagHighlighter::runSlice() {
    QTextDocument* doc = document();
    if (!doc || !colouring())
        return;
    QElapsedTimer clock;
    clock.start();
    do {
        const QTextBlock from = doc->findBlock(m_frontier);
        if (!from.isValid()) {
            m_frontier = NoFrontier;
            break;
        }
        // The frontier goes to a block start past this step; the block state of every block
        // before it changes (its generation bit), so the highlighter goes on block by block up
        // to the first block past the frontier, which it leaves as it is.
        const QTextBlock to = doc->findBlock(from.position() + SliceStep);
        m_frontier = to.isValid() && to != from ? to.position() : NoFrontier;
        if (m_frontier == NoFrontier && to.isValid() && to.next().isValid())
            m_frontier = to.next().position();
        rehighlightBlock(from);
        // The highlighter stops early where a block's state came out as it was (a block that
        // an edit pulled the frontier back into): the blocks after it are coloured on their own.
        for (QTextBlock b = from.next(); b.isValid() && b.position() < m_frontier; b = b.next())
            if (b.userState() < 0 || (b.userState() >> GenerationShift) != m_generation)
                rehighlightBlock(b);
    } while (colouring() && clock.nsecsElapsed() < SliceNanoseconds);
    if (colouring()) {
        m_slices.start();
    } else {
        mendStale();
        emit finished();
    }
}

void LiveTagHighlighter::mendStale() {
    m_mend.stop();
    QTextDocument* doc = document();
    const int from = std::exchange(m_staleFrom, -1);
    if (!doc || from < 0)
        return;
    const QTextBlock block = doc->findBlock(from);
    if (block.isValid() && block.position() < m_frontier)
        rehighlightBlock(block);
}

void LiveTagHighlighter::followEdit(int position, int removed, int added) {
    if (added == removed)
        return;
    const auto follow = [&](int& at, int none) {
        if (at == none || at < position)
            return;
        at = at >= position + removed ? at + added - removed : position;
    };
    follow(m_frontier, NoFrontier);
    follow(m_staleFrom, -1);
    if (m_frontier != NoFrontier) {
        // The frontier stays at a block start: a block it falls inside waits for its slice.
        const QTextBlock block = document()->findBlock(m_frontier);
        if (block.isValid())
            m_frontier = block.position();
    }
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

void LiveTagHighlighter::highlightBlock(const QString& text) {
    const QTextBlock block = currentBlock();
    if (block.position() >= m_frontier) {
        // Not reached yet: it keeps what it shows and its state until its slice comes.
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            setFormat(r.start, r.length, r.format);
        return;
    }
    const int previous = previousBlockState();
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
            // The tag's earlier lines show another kind: colour them again after this edit.
            QTextBlock first = block;
            for (int i = 0; i < start.linesOpen && first.previous().isValid(); ++i)
                first = first.previous();
            m_staleFrom = m_staleFrom < 0 ? first.position()
                                          : std::min(m_staleFrom, first.position());
            m_mend.start();
        }
        kinds[t] = kind;
    }
    // The tags first, then what stands inside them and between them.
    for (const LivePiece& p : line.pieces)
        if (p.role == LivePiece::Tag)
            setFormat(p.start, p.length, m_tag[size_t(kinds[p.tag])]);
    for (const LivePiece& p : line.pieces) {
        switch (p.role) {
        case LivePiece::Tag:
            break;
        case LivePiece::Value:
            setFormat(p.start, p.length, m_value[size_t(kinds[p.tag])]);
            break;
        case LivePiece::Comment:
            setFormat(p.start, p.length, m_comment);
            break;
        case LivePiece::Entity:
            setFormat(p.start, p.length, m_entity);
            break;
        }
    }
    setCurrentBlockState(line.end.pack() | int(goesOn) << KindShift |
                         m_generation << GenerationShift);
}
