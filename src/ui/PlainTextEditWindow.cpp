// PlainTextEditWindow: position conversion, selection and colouring over a QPlainTextEdit.
#include "ui/PlainTextEditWindow.h"

#include "platform/LongStep.h"
#include "platform/TextFile.h"

#include <QHash>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace {

// Text for the document: each line end (CR LF, LF or a lone CR) one "\n", which QTextCursor
// turns into one block break (it would make two of a CR LF). Written once at its final size:
// QString::replace over the line ends of a big page takes seconds.
QString toDocumentText(QStringView text) {
    if (!text.contains(u'\r'))
        return text.toString();
    const qsizetype n = text.size();
    const QChar* in = text.constData();
    QString out(n, Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (in[i] == u'\r') {
            *o++ = u'\n';
            if (i + 1 < n && in[i + 1] == u'\n')
                ++i;
        } else {
            *o++ = in[i];
        }
    }
    out.truncate(o - out.constData());
    return out;
}

// The document's text with each block break (a paragraph separator) a CR LF.
QString fromDocumentText(const QString& text) {
    const qsizetype breaks = text.count(QChar::ParagraphSeparator);
    if (breaks == 0)
        return text;
    QString out(text.size() + breaks, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : text) {
        if (c == QChar::ParagraphSeparator) {
            *o++ = u'\r';
            *o++ = u'\n';
        } else {
            *o++ = c;
        }
    }
    return out;
}

// Converts ascending edit positions to document positions in one walk over the blocks, where a
// conversion of its own would search the document for each.
class BlockWalk {
public:
    explicit BlockWalk(const PlainTextEditWindow& window)
        : m_window(window), m_doc(window.editor()->document()), m_length(window.length()) {}

    // The document position toDocumentPosition() gives.
    int toDocument(qint64 position) {
        const qint64 p = std::clamp<qint64>(position, 0, m_length);
        if (!m_block.isValid() || p < m_editStart)
            seek(p);
        for (;;) {
            const int textLength = m_block.length() - 1;
            if (p < m_editStart + textLength + 2)
                break;
            const QTextBlock next = m_block.next();
            if (!next.isValid())
                break;
            m_editStart += textLength + 2;
            m_docStart += textLength + 1;
            m_block = next;
            m_text.reset();
        }
        const int textLength = m_block.length() - 1;
        // Past the text of the block is only the LF of its line end: that goes before the line end.
        const int offset = static_cast<int>(std::min<qint64>(p - m_editStart, textLength));
        int q = m_docStart + offset;
        // Never between the two halves of a character outside the basic plane.
        if (offset > 0 && offset < textLength) {
            if (!m_text)
                m_text = m_block.text();
            if (m_text->at(offset - 1).isHighSurrogate() && m_text->at(offset).isLowSurrogate())
                --q;
        }
        m_last = q;
        return q;
    }
    // The edit position of the document position toDocument() gave last.
    qint64 editOfLast() const { return m_editStart + (m_last - m_docStart); }

private:
    void seek(qint64 p) {
        m_block = m_doc->findBlock(m_window.toDocumentPosition(p));
        if (!m_block.isValid())
            m_block = m_doc->lastBlock();
        m_docStart = m_block.position();
        m_editStart = qint64(m_docStart) + m_block.blockNumber();
        m_text.reset();
    }

    const PlainTextEditWindow& m_window;
    const QTextDocument* m_doc;
    const qint64 m_length;
    QTextBlock m_block;
    qint64 m_editStart = 0;
    int m_docStart = 0;
    int m_last = 0;
    std::optional<QString> m_text;
};

// Paints one run over sorted runs: the new colour wins where they overlap. The pass gives its
// tags in the order of the text, so a new run nearly always goes at the end.
void paintRun(std::vector<PlainTextEditWindow::ColorRun>& runs,
              const PlainTextEditWindow::ColorRun& run) {
    using Run = PlainTextEditWindow::ColorRun;
    if (run.from >= run.to)
        return;
    if (runs.empty() || runs.back().to <= run.from) {
        runs.push_back(run);
        return;
    }
    const auto first = std::lower_bound(runs.begin(), runs.end(), run.from,
                                        [](const Run& r, int v) { return r.to <= v; });
    auto last = first;
    while (last != runs.end() && last->from < run.to)
        ++last;
    Run pieces[3];
    int count = 0;
    if (first != last && first->from < run.from)
        pieces[count++] = {first->from, run.from, first->rgb};
    pieces[count++] = run;
    if (first != last && std::prev(last)->to > run.to)
        pieces[count++] = {run.to, std::prev(last)->to, std::prev(last)->rgb};
    const auto at = runs.erase(first, last);
    runs.insert(at, pieces, pieces + count);
}

// No replaceRanges since the text was set: nothing to join.
constexpr int NoRevision = -1;

// Takes a big document apart from the event loop, a slice of blocks at a time, then deletes it:
// deleting 50 MB of laid-out, coloured blocks in one go holds the window for half a second.
// Nothing hears the document any more (its signals are blocked); it stays the editor's child, so
// a window closed meanwhile deletes what is left at once.
void dropInSlices(QTextDocument* doc) {
    constexpr int sliceBlocks = 20000;
    if (doc->blockCount() <= sliceBlocks) {
        delete doc;
        return;
    }
    doc->blockSignals(true);
    doc->setUndoRedoEnabled(false);
    auto* timer = new QTimer(doc);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, doc, [doc] {
        const int count = doc->blockCount();
        if (count <= sliceBlocks) {
            delete doc;
            return;
        }
        QTextCursor cut(doc);
        cut.setPosition(doc->findBlockByNumber(count - sliceBlocks).position());
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    });
    timer->start();
}

} // namespace

PlainTextEditWindow::PlainTextEditWindow(QPlainTextEdit* editor) : m_editor(editor) {
    m_colorTimer.setSingleShot(true);
    m_colorTimer.setInterval(0);
    QObject::connect(&m_colorTimer, &QTimer::timeout, &m_colorTimer, [this] { applyColors(); });
    watchDocument();
    if (m_editor)
        QObject::connect(m_editor, &QPlainTextEdit::textChanged, &m_colorTimer,
                         [this] { keepToMaxLength(); });
}

void PlainTextEditWindow::setMaxLength(int maxLength) {
    EditWindow::setMaxLength(maxLength);
    // Only what comes in from now on counts: a longer text stays as it is.
    m_lastEditAdded = 0;
}

void PlainTextEditWindow::keepToMaxLength() {
    const int added = std::exchange(m_lastEditAdded, 0);
    if (m_ownEdit || !m_editor || maxLength() <= 0 || added <= 0)
        return;
    int over = length() - maxLength();
    if (over <= 0)
        return;
    QTextDocument* doc = m_editor->document();
    const int from = qBound(0, m_lastEditPosition, doc->characterCount() - 1);
    const int to = qBound(from, m_lastEditPosition + added, doc->characterCount() - 1);
    QTextCursor cursor(doc);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    const QString inserted = cursor.selectedText();
    qsizetype keep = inserted.size();
    while (over > 0 && keep > 0) {
        // A line break is two characters of the limit (CR LF).
        over -= inserted.at(keep - 1) == QChar::ParagraphSeparator ? 2 : 1;
        --keep;
    }
    cursor.setPosition(from + static_cast<int>(keep));
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    // Part of the same undo step: an undo takes back the edit whole, not only the cut.
    m_ownEdit = true;
    cursor.joinPreviousEditBlock();
    cursor.removeSelectedText();
    cursor.endEditBlock();
    m_ownEdit = false;
}

void PlainTextEditWindow::watchDocument() {
    QObject::disconnect(m_contentsWatch);
    if (m_editor)
        m_contentsWatch =
            QObject::connect(m_editor->document(), &QTextDocument::contentsChange, &m_colorTimer,
                             [this](int position, int removed, int added) {
                                 onContentsChange(position, removed, added);
                             });
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

std::optional<EditWindow::TextCopy>
PlainTextEditWindow::textCopy(const std::function<bool(qint64)>& between) const {
    // A slice is a few milliseconds of copying; the whole of a 50 MB page in one go held the
    // window for a third of a second.
    constexpr int sliceBlocks = 20000;
    if (!m_editor)
        return TextCopy{};
    const QPointer<QTextDocument> doc = m_editor->document();
    const int blocks = doc->blockCount();
    if (blocks <= sliceBlocks)
        return TextCopy{doc->toRawText(), &fromDocumentText};
    const int characters = doc->characterCount();
    const int revision = doc->revision();
    QString copy;
    // Each block's text and, but after the last, two characters for its line end.
    copy.reserve(qsizetype(characters) + blocks - 2);
    int copied = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (copied > 0)
            copy += QLatin1String("\r\n");
        copy += block.text();
        if (++copied % sliceBlocks != 0 || copied == blocks)
            continue;
        if (!between(qint64(copied) * 1000 / blocks))
            return std::nullopt;
        // Nothing the user does reaches the editor meanwhile. A document gone is a copy stopped;
        // should the program itself have changed the text, the copy is taken again whole.
        if (!m_editor || !doc || doc != m_editor->document())
            return std::nullopt;
        if (doc->revision() != revision || doc->characterCount() != characters ||
            doc->blockCount() != blocks)
            return TextCopy{doc->toRawText(), &fromDocumentText};
    }
    return TextCopy{copy};
}

void PlainTextEditWindow::resetForNewText() {
    m_colorTimer.stop();
    m_pending.clear();
    m_runs.clear();
    m_formatsShown = false;
    m_rangesRevision = NoRevision;
    m_lastEditAdded = 0;
}

void PlainTextEditWindow::setLiveColouring(bool on) {
    if (on == m_live)
        return;
    m_live = on;
    m_colorTimer.stop();
    m_pending.clear();
    m_runs.clear();
    m_formatsShown = false;
}

void PlainTextEditWindow::setText(const QString& text) {
    if (!m_editor)
        return;
    resetForNewText();
    // New blocks come without formats.
    m_ownEdit = true;
    m_editor->setPlainText(toDocumentText(text));
    m_ownEdit = false;
    m_editor->setTextCursor(QTextCursor(m_editor->document()));
}

QTextDocument* PlainTextEditWindow::swapInEmptyDocument() {
    QTextDocument* old = m_editor->document();
    // The new document looks as the old one did: plain-text layout, font, margins, tab stops.
    auto* doc = new QTextDocument(m_editor);
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    doc->setDocumentMargin(old->documentMargin());
    // The editor deletes a document of its own making when it gets another: this one stays.
    if (old->parent() != m_editor)
        old->setParent(m_editor);
    m_editor->setDocument(doc);
    return old;
}

void PlainTextEditWindow::clear() {
    if (!m_editor || length() < StepLoadFrom) {
        setText(QString());
        return;
    }
    // Emptying a big page in place holds the window as long as deleting its blocks.
    resetForNewText();
    m_ownEdit = true;
    QTextDocument* old = swapInEmptyDocument();
    m_ownEdit = false;
    watchDocument();
    dropInSlices(old);
}

bool PlainTextEditWindow::loadText(const QString& text, LongStep* steps, const QString& label) {
    if (!m_editor)
        return true;
    // A small page replacing a big one also comes in a new document: clearing the big one's
    // blocks in place would hold the window as long as deleting them.
    if (!steps || (text.size() < StepLoadFrom && length() < StepLoadFrom)) {
        setText(text);
        return true;
    }
    // Each piece's line ends become the document's as it goes in (a piece never ends between a
    // CR and its LF), so the window never waits for all of them at once.
    const QString& all = text;
    // The view gets the new document while it is still empty, so that it lays out only what
    // comes in: a full document given at the end would be laid out again block by block, in one
    // go, after the progress has gone. The old one is kept so that Cancel can give it back; no
    // key reaches the editor meanwhile.
    const bool wasReadOnly = m_editor->isReadOnly();
    // Where the user was in the old page, for Cancel to put back with it.
    const QTextCursor previousCursor = m_editor->textCursor();
    const int previousAnchor = previousCursor.anchor();
    const int previousPosition = previousCursor.position();
    const int previousTop = m_editor->verticalScrollBar()->value();
    const int previousLeft = m_editor->horizontalScrollBar()->value();
    m_editor->setReadOnly(true);
    m_ownEdit = true;
    const QPointer<QTextDocument> previous(swapInEmptyDocument());
    QTextDocument* doc = m_editor->document();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    // Pieces of about 256 KB, each ending after a line end where there is one, so that a line
    // goes into the document in one go.
    constexpr qsizetype piece = 256 * 1024;
    steps->begin(label, all.size());
    qsizetype done = 0;
    bool cancelled = false;
    while (done < all.size()) {
        qsizetype end = std::min(all.size(), done + piece);
        if (end < all.size()) {
            const qsizetype lineEnd = all.indexOf(u'\n', end);
            end = lineEnd < 0 ? all.size() : lineEnd + 1;
        }
        cursor.insertText(toDocumentText(QStringView(all).mid(done, end - done)));
        done = end;
        if (!steps->advance(done)) {
            cancelled = true;
            break;
        }
    }
    steps->end();
    if (cancelled) {
        if (previous) {
            m_editor->setDocument(previous.data());
            QTextCursor cursor(previous.data());
            cursor.setPosition(previousAnchor);
            cursor.setPosition(previousPosition, QTextCursor::KeepAnchor);
            m_editor->setTextCursor(cursor);
            m_editor->verticalScrollBar()->setValue(previousTop);
            m_editor->horizontalScrollBar()->setValue(previousLeft);
        }
        m_ownEdit = false;
        m_editor->setReadOnly(wasReadOnly);
        dropInSlices(doc);
        return false;
    }
    m_ownEdit = false;
    m_editor->setReadOnly(wasReadOnly);
    doc->setUndoRedoEnabled(true);
    resetForNewText();
    watchDocument();
    if (previous)
        dropInSlices(previous.data());
    m_editor->setTextCursor(QTextCursor(doc));
    return true;
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

void PlainTextEditWindow::replaceRanges(const QList<TextReplacement>& replacements,
                                        bool joinPrevious) {
    if (!m_editor || replacements.isEmpty())
        return;
    QTextDocument* doc = m_editor->document();
    std::vector<DocumentEdit> edits;
    QStringList texts;
    edits.reserve(replacements.size());
    BlockWalk walk(*this);
    int previousEnd = 0;
    for (const TextReplacement& r : replacements) {
        const int from = std::max(walk.toDocument(r.start), previousEnd);
        const int to = std::max(walk.toDocument(walk.editOfLast() + std::max(r.length, 0)), from);
        QString inserted = toDocumentText(r.text);
        if (to > from || !inserted.isEmpty()) {
            edits.push_back({from, to, static_cast<int>(inserted.size())});
            texts << inserted;
        }
        previousEnd = to;
    }
    if (edits.empty())
        return;

    // The edits go in from the last one, so the positions of those before stay valid; within
    // one edit block the document lays nothing out until the end.
    QTextCursor cursor(doc);
    const bool join = joinPrevious && m_rangesRevision == doc->revision();
    m_ownEdit = true;
    if (join)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    for (qsizetype i = qsizetype(edits.size()) - 1; i >= 0; --i) {
        cursor.setPosition(edits[i].from);
        cursor.setPosition(edits[i].to, QTextCursor::KeepAnchor);
        if (texts[i].isEmpty())
            cursor.removeSelectedText();
        else
            cursor.insertText(texts[i]);
    }
    cursor.endEditBlock();
    m_ownEdit = false;
    m_rangesRevision = doc->revision();

    // The runs follow each edit; the blocks the edits touched get their formats anew, blocks
    // next to each other in one go.
    qint64 delta = 0;
    if (!m_runs.empty())
        moveRuns(m_runs, edits);
    int refreshFrom = -1;
    int refreshTo = -1;
    for (const DocumentEdit& e : edits) {
        const int from = static_cast<int>(e.from + delta);
        const int to = from + e.count;
        delta += e.count - (e.to - e.from);
        if (!m_formatsShown)
            continue;
        if (refreshFrom >= 0 && from > refreshTo + 256) {
            refreshFormats(refreshFrom, refreshTo);
            refreshFrom = -1;
        }
        if (refreshFrom < 0)
            refreshFrom = from;
        refreshTo = to;
    }
    if (refreshFrom >= 0)
        refreshFormats(refreshFrom, refreshTo);

    const DocumentEdit& last = edits.back();
    QTextCursor caret(doc);
    caret.setPosition(
        static_cast<int>(last.from + delta - (last.count - (last.to - last.from)) + last.count));
    m_editor->setTextCursor(caret);
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
    if (!m_editor || length <= 0 || m_live)
        return;
    m_pending.push_back({start, length, color.rgb()});
    if (!m_colorTimer.isActive())
        m_colorTimer.start();
}

int PlainTextEditWindow::lineCount() const {
    if (!m_editor)
        return 0;
    const QTextDocument* doc = m_editor->document();
    // The block after the last line end is no line when it is empty (and an empty text has none).
    const int blocks = doc->blockCount();
    return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

QString PlainTextEditWindow::line(int index) const {
    if (!m_editor || index < 0 || index >= lineCount())
        return {};
    return m_editor->document()->findBlockByNumber(index).text();
}

void PlainTextEditWindow::applyColors() {
    m_colorTimer.stop();
    if (!m_editor || m_pending.empty())
        return;
    // The ranges given, as document runs, a later one winning where two overlap.
    std::vector<ColorRun> top;
    top.reserve(m_pending.size());
    BlockWalk walk(*this);
    for (const PendingColor& p : m_pending) {
        const int from = walk.toDocument(p.start);
        const int to = walk.toDocument(walk.editOfLast() + p.length);
        paintRun(top, {from, to, p.rgb});
    }
    m_pending.clear();
    if (top.empty())
        return;
    if (m_runs.empty() || m_runs.back().to <= top.front().from)
        m_runs.insert(m_runs.end(), top.begin(), top.end());
    else
        m_runs = overlay(m_runs, top);
    refreshFormats(top.front().from, top.back().to);
}

QColor PlainTextEditWindow::colorAt(int position) const {
    if (!m_editor)
        return {};
    const int q = toDocumentPosition(position);
    const QTextBlock block = m_editor->document()->findBlock(q);
    if (!block.isValid() || !block.layout())
        return {};
    const int offset = q - block.position();
    for (const QTextLayout::FormatRange& f : block.layout()->formats())
        if (offset >= f.start && offset < f.start + f.length)
            return f.format.foreground().color();
    return {};
}

void PlainTextEditWindow::onContentsChange(int position, int removed, int added) {
    if (!m_ownEdit) {
        m_lastEditPosition = position;
        m_lastEditAdded = added;
    }
    if (m_ownEdit || !m_editor || m_live || (m_runs.empty() && !m_formatsShown))
        return;
    // An edit block reports the stretch its edits spanned: where that kept its length (one
    // character put in place of another, an undo of such edits), the runs stay where they are.
    if (removed != added)
        moveRuns(m_runs, {{position, position + removed, added}});
    refreshFormats(position, position + added);
}

void PlainTextEditWindow::refreshFormats(int from, int to) {
    if (!m_editor)
        return;
    QTextDocument* doc = m_editor->document();
    QTextBlock block = doc->findBlock(std::max(from, 0));
    if (!block.isValid())
        block = doc->lastBlock();
    QTextBlock endBlock = doc->findBlock(std::max(to, from));
    if (!endBlock.isValid())
        endBlock = doc->lastBlock();
    QHash<QRgb, QTextCharFormat> formats;
    int blockPos = block.position();
    const int firstPos = blockPos;
    int changedEnd = -1;
    auto run = std::lower_bound(m_runs.begin(), m_runs.end(), blockPos,
                                [](const ColorRun& r, int v) { return r.to <= v; });
    for (;;) {
        const int textEnd = blockPos + block.length() - 1;
        QList<QTextLayout::FormatRange> ranges;
        while (run != m_runs.end() && run->from < textEnd) {
            const int s = std::max(run->from, blockPos);
            const int e = std::min(run->to, textEnd);
            if (s < e) {
                auto f = formats.find(run->rgb);
                if (f == formats.end()) {
                    QTextCharFormat format;
                    format.setForeground(QColor::fromRgb(run->rgb));
                    f = formats.insert(run->rgb, format);
                }
                ranges.append({s - blockPos, e - s, *f});
            }
            if (run->to > textEnd)
                break; // goes on into the next block
            ++run;
        }
        QTextLayout* layout = block.layout();
        if (layout->formats() != ranges) {
            layout->setFormats(ranges);
            changedEnd = blockPos + block.length();
            if (!ranges.isEmpty())
                m_formatsShown = true;
        }
        if (block == endBlock)
            break;
        const int next = blockPos + block.length();
        block = block.next();
        if (!block.isValid())
            break;
        blockPos = next;
    }
    // One notice to the layout for the whole stretch: the blocks are laid out again when they
    // are next drawn. The notice is needed: each block's new formats are a change the document
    // holds on to until told, and would otherwise fold into the stretch the next edit reports.
    if (changedEnd >= 0)
        doc->markContentsDirty(firstPos, changedEnd - firstPos);
}

void PlainTextEditWindow::moveRuns(std::vector<ColorRun>& runs,
                                   const std::vector<DocumentEdit>& edits) {
    if (runs.empty() || edits.empty())
        return;
    // The start and the end of a run move differently at the edge of an edit, so each has its
    // own way through the edits; both go forward only, as the runs do.
    size_t startEdit = 0;
    size_t endEdit = 0;
    qint64 startDelta = 0;
    qint64 endDelta = 0;
    const auto change = [](const DocumentEdit& e) { return qint64(e.count) - (e.to - e.from); };
    size_t kept = 0;
    for (const ColorRun& r : runs) {
        // A start at or after an edit's end moves with the text after it; a start inside a
        // replaced stretch (not at its first character) goes to the end of the new text.
        while (startEdit < edits.size() && r.from >= edits[startEdit].to)
            startDelta += change(edits[startEdit++]);
        qint64 from = r.from + startDelta;
        if (startEdit < edits.size() && edits[startEdit].from < r.from)
            from = edits[startEdit].from + startDelta + edits[startEdit].count;
        // An end past a replaced stretch moves with the text after it; an end inside it or at
        // its end (the run holds its first character) takes the new text in; an end at an
        // insertion point takes the inserted text in.
        const auto passed = [&](const DocumentEdit& e) {
            return e.to > e.from ? r.to > e.to : r.to >= e.from;
        };
        while (endEdit < edits.size() && passed(edits[endEdit]))
            endDelta += change(edits[endEdit++]);
        qint64 to = r.to + endDelta;
        if (endEdit < edits.size() && edits[endEdit].to > edits[endEdit].from &&
            edits[endEdit].from < r.to)
            to = edits[endEdit].from + endDelta + edits[endEdit].count;
        if (from < to)
            runs[kept++] = {static_cast<int>(from), static_cast<int>(to), r.rgb};
    }
    runs.resize(kept);
}

std::vector<PlainTextEditWindow::ColorRun>
PlainTextEditWindow::overlay(const std::vector<ColorRun>& base, const std::vector<ColorRun>& top) {
    std::vector<ColorRun> out;
    out.reserve(base.size() + top.size());
    size_t i = 0;
    size_t j = 0;
    int done = std::numeric_limits<int>::min(); // everything before is in out
    while (i < base.size() || j < top.size()) {
        const int baseFrom = i < base.size() ? std::max(base[i].from, done) : 0;
        if (j < top.size() && (i >= base.size() || top[j].from <= baseFrom)) {
            out.push_back(top[j]);
            done = top[j].to;
            ++j;
            continue;
        }
        if (baseFrom >= base[i].to) {
            ++i;
            continue;
        }
        const int baseTo = j < top.size() ? std::min(base[i].to, top[j].from) : base[i].to;
        out.push_back({baseFrom, baseTo, base[i].rgb});
        done = baseTo;
        if (baseTo == base[i].to)
            ++i;
    }
    return out;
}
