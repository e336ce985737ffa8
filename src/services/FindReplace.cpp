// Find, replace and slash replacement.
#include "services/FindReplace.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "services/TagColors.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool isWholeWord(const QString& text, qsizetype start, qsizetype length) {
    return (start == 0 || !isWordChar(text.at(start - 1))) &&
           (start + length >= text.size() || !isWordChar(text.at(start + length)));
}

// A regular expression's replacement: \0 to \9 are the whole match and its groups, \\ a back
// slash; anything else stands as it is.
QString expand(const QString& replaceText, const QRegularExpressionMatch& m) {
    QString out;
    for (qsizetype i = 0; i < replaceText.size(); ++i) {
        const QChar c = replaceText.at(i);
        if (c == u'\\' && i + 1 < replaceText.size()) {
            const QChar next = replaceText.at(i + 1);
            if (next.isDigit()) {
                out += m.captured(next.digitValue());
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

MatchSearch findAllMatches(const QString& text, const QString& findText, const QString& replaceText,
                           bool matchCase, const FindOptions& options) {
    MatchSearch result;
    if (findText.isEmpty())
        return result;
    if (!options.regularExpression) {
        const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype m = text.indexOf(findText, 0, cs); m >= 0;) {
            if (!options.wholeWord || isWholeWord(text, m, findText.size())) {
                result.matches.append(
                    {static_cast<int>(m), static_cast<int>(findText.size()), replaceText});
                m = text.indexOf(findText, m + findText.size(), cs);
            } else {
                m = text.indexOf(findText, m + 1, cs);
            }
        }
        return result;
    }
    QString pattern = findText;
    if (options.wholeWord)
        pattern = QStringLiteral("\\b(?:") + pattern + QStringLiteral(")\\b");
    QRegularExpression::PatternOptions flags =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    const QRegularExpression re(pattern, flags);
    if (!re.isValid()) {
        result.error = re.errorString();
        return result;
    }
    // The expression sees one "\n" per line end, so that "$" ends a line; each position is
    // taken back to the editor's, where a line end counts two.
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    qsizetype lineEndsBefore = 0;
    qsizetype scanned = 0;
    const auto editPosition = [&](qsizetype p) {
        for (; scanned < p; ++scanned)
            if (lf.at(scanned) == u'\n')
                ++lineEndsBefore;
        return p + lineEndsBefore;
    };
    QRegularExpressionMatchIterator it = re.globalMatch(lf);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        // An empty match (of "^" or "x*") marks no text to find or replace.
        if (m.capturedLength() == 0)
            continue;
        const qsizetype start = editPosition(m.capturedStart());
        const qsizetype end = editPosition(m.capturedEnd());
        result.matches.append(
            {static_cast<int>(start), static_cast<int>(end - start), expand(replaceText, m)});
    }
    return result;
}

QString upperSameLength(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        c = c.toUpper();
    return t;
}

QList<int> slashPositionsInLine(QStringView line) {
    QList<int> positions;
    // The quotes dealt with are those before fromQuote: the quote search goes on from the last
    // one. A quoted value whose closing quote lies beyond the tag's ">" is passed over whole.
    qsizetype fromQuote = 0;
    forEachTagPair(line, [&](qsizetype, qsizetype b) {
        qsizetype beyond = -1;
        for (;;) {
            const qsizetype q1 = line.indexOf(u'"', fromQuote);
            if (q1 < 0 || q1 > b)
                break;
            fromQuote = q1 + 1;
            const qsizetype q2 = line.indexOf(u'"', fromQuote);
            if (q2 < 0)
                break;
            if (q2 > b) {
                beyond = q2;
                break;
            }
            for (qsizetype p = line.indexOf(u'\\', q1); p >= 0 && p < q2;
                 p = line.indexOf(u'\\', p + 1))
                positions << static_cast<int>(p);
            fromQuote = q2 + 1;
        }
        if (beyond >= 0)
            fromQuote = beyond + 1;
    });
    return positions;
}

FindReplace::FindReplace(EditWindow& editor, Prompter& prompter, HtmlDocument& document,
                         UiPump& pump, StopColoring& stop, const bool& wrapSetting)
    : m_editor(editor), m_prompter(prompter), m_document(document), m_pump(pump), m_stop(stop),
      m_wrapSetting(wrapSetting) {
}

QString FindReplace::notFoundText(const QString& findText) {
    return QLatin1Char('"') + findText + QStringLiteral("\" not found");
}
QString FindReplace::badExpressionText(const QString& findText, const QString& error) {
    return QStringLiteral("\"%1\" is not a valid regular expression: %2.").arg(findText, error);
}
QString FindReplace::slashAllQuestion() {
    return QStringLiteral("Replace ALL instance of \"\\\" with \"/\" (within tags and elsewhere) "
                          "in open file?");
}
QString FindReplace::slashInTagsQuestion() {
    return QStringLiteral("Replace PRECISE instances of \"\\\" with \"/\" (only when it appears "
                          "within quotes within a tag) in open file?");
}
QString FindReplace::slashCountText(int count) {
    return QStringLiteral("There were %1 slash characters replaced.").arg(count);
}

QString FindReplace::fold(const QString& text) const {
    return m_state.matchCase ? text : upperSameLength(text);
}

QString FindReplace::openDialog() {
    m_state.freshSearch = true;
    return m_editor.selText();
}

void FindReplace::beginSearch(const QString& pattern, bool matchCase) {
    m_state.matchCase = matchCase;
    m_state.snapshot = fold(m_editor.text());
    m_state.pattern = fold(pattern);
    m_state.position = 0;
}

bool FindReplace::findNextMatch() {
    if (m_state.position < 0)
        return false;
    // An empty pattern is never searched; it matches nothing.
    const qsizetype m = m_state.pattern.isEmpty()
                            ? -1
                            : m_state.snapshot.indexOf(m_state.pattern, m_state.position);
    if (m < 0) {
        m_state.position = -1;
        return false;
    }
    m_editor.setFocus();
    m_editor.setSelStart(static_cast<int>(m));
    m_editor.setSelLength(static_cast<int>(m_state.pattern.size()));
    m_state.position = static_cast<int>(m) + 1;
    return true;
}

void FindReplace::replaceCurrent() {
    const int start = m_editor.selStart();
    m_editor.replaceSelection(m_state.replacement);
    m_state.snapshot = fold(m_editor.text());
    m_state.position = start + static_cast<int>(m_state.replacement.size());
    m_document.setHtmlModified(true);
}

bool FindReplace::findNext(const QString& findDialogText) {
    if (!m_state.options.plain())
        return findWithOptions(m_state.typedPattern, m_state.matchCase, m_state.options,
                               findDialogText);
    if (findNextMatch())
        return true;
    m_prompter.inform(notFoundText(findDialogText));
    return false;
}

bool FindReplace::findNextButton(const QString& findText, bool matchCase,
                                 const FindOptions& options) {
    if (!options.plain()) {
        m_state.freshSearch = false;
        m_state.options = options;
        m_state.typedPattern = findText;
        m_state.matchCase = matchCase;
        return findWithOptions(findText, matchCase, options, findText);
    }
    if (m_state.freshSearch || !m_state.options.plain()) {
        m_state.freshSearch = false;
        m_state.options = {};
        beginSearch(findText, matchCase);
    }
    return findNext(findText);
}

std::optional<QList<TextMatch>> FindReplace::liveMatches(const QString& findText,
                                                         const QString& replaceText, bool matchCase,
                                                         const FindOptions& options) {
    MatchSearch found = findAllMatches(m_editor.text(), findText, replaceText, matchCase, options);
    if (!found.error.isEmpty()) {
        m_prompter.inform(badExpressionText(findText, found.error));
        return std::nullopt;
    }
    return std::move(found.matches);
}

bool FindReplace::findWithOptions(const QString& findText, bool matchCase,
                                  const FindOptions& options, const QString& shownText) {
    if (findText.isEmpty())
        return false;
    const std::optional<QList<TextMatch>> matches =
        liveMatches(findText, QString(), matchCase, options);
    if (!matches)
        return false;
    const int from = m_editor.selStart();
    const int to = from + m_editor.selLength();
    const TextMatch* hit = nullptr;
    if (options.backwards) {
        // The last match that starts before the selection.
        for (const TextMatch& m : *matches)
            if (m.start < from)
                hit = &m;
        if (!hit && options.wrapAround && !matches->isEmpty())
            hit = &matches->last();
    } else {
        // The first match that starts at or after the end of the selection (after its start
        // when nothing is selected, so that a caret on a match finds that match).
        const auto next = std::find_if(matches->begin(), matches->end(), [&](const TextMatch& m) {
            return to > from ? m.start >= to : m.start >= from;
        });
        if (next != matches->end())
            hit = &*next;
        else if (options.wrapAround && !matches->isEmpty())
            hit = &matches->first();
    }
    if (!hit) {
        m_prompter.inform(notFoundText(shownText));
        return false;
    }
    m_editor.setFocus();
    m_editor.setSelStart(hit->start);
    m_editor.setSelLength(hit->length);
    return true;
}

bool FindReplace::replaceButton(const QString& findText, const QString& replaceText, bool matchCase,
                                const FindOptions& options) {
    // Nothing selected and nothing to find would otherwise "match" and insert the replacement.
    if (findText.isEmpty())
        return false;
    if (!options.plain()) {
        const std::optional<QList<TextMatch>> matches =
            liveMatches(findText, replaceText, matchCase, options);
        if (!matches)
            return false;
        const int from = m_editor.selStart();
        const int length = m_editor.selLength();
        const auto selected =
            std::find_if(matches->begin(), matches->end(),
                         [&](const TextMatch& m) { return m.start == from && m.length == length; });
        if (selected == matches->end()) {
            // Not on a match: go to the next one first.
            findWithOptions(findText, matchCase, options, findText);
            return false;
        }
        m_editor.replaceSelection(selected->replacement);
        m_document.setHtmlModified(true);
        // The next match is looked for after the replacement, backwards before it.
        if (options.backwards)
            m_editor.setSelStart(from);
        m_state.options = options;
        m_state.typedPattern = findText;
        m_state.matchCase = matchCase;
        findWithOptions(findText, matchCase, options, findText);
        return true;
    }
    if (m_editor.selText().compare(findText, Qt::CaseInsensitive) != 0)
        return false;
    m_state.replacement = replaceText;
    replaceCurrent();
    return true;
}

int FindReplace::replaceAll(const QString& findText, const QString& replaceText, bool matchCase,
                            const FindOptions& options) {
    if (!options.plain()) {
        const std::optional<QList<TextMatch>> matches =
            liveMatches(findText, replaceText, matchCase, options);
        if (!matches || matches->isEmpty())
            return 0;
        QList<TextReplacement> replacements;
        replacements.reserve(matches->size());
        for (const TextMatch& m : *matches)
            replacements.append({m.start, m.length, m.replacement});
        m_editor.setFocus();
        m_editor.replaceRanges(replacements);
        m_document.setHtmlModified(true);
        return static_cast<int>(matches->size());
    }
    m_state.options = {};
    beginSearch(findText, matchCase);
    m_state.replacement = replaceText;
    return replaceAllMatches();
}

int FindReplace::replaceAllMatches() {
    // The loop of FindNextMatch and ReplaceCurrent goes on after each replacement at the match
    // start plus the replacement's length in the new text, which is the match end in the old
    // text: so the matches it replaces are the leftmost non-overlapping matches of the first
    // snapshot, and all of them can be found in one pass and put in as one edit.
    const QString& snap = m_state.snapshot;
    const QString& pattern = m_state.pattern;
    const QString& replacement = m_state.replacement;
    m_state.position = -1; // the loop ends on a search that finds nothing
    if (pattern.isEmpty())
        return 0;
    QList<TextReplacement> replacements;
    // The snapshot after the loop, built alongside: the folded text outside the matches with
    // the folded replacements, which is the new text folded.
    const QString foldedReplacement = fold(toCrLf(replacement));
    QString after;
    after.reserve(snap.size());
    qsizetype copied = 0;
    for (qsizetype m = snap.indexOf(pattern, 0); m >= 0;
         m = snap.indexOf(pattern, m + pattern.size())) {
        replacements.append({static_cast<int>(m), static_cast<int>(pattern.size()), replacement});
        after += QStringView(snap).mid(copied, m - copied);
        after += foldedReplacement;
        copied = m + pattern.size();
    }
    if (replacements.isEmpty())
        return 0;
    after += QStringView(snap).mid(copied);
    m_editor.setFocus();
    m_editor.replaceRanges(replacements);
    m_state.snapshot = after;
    m_document.setHtmlModified(true);
    return static_cast<int>(replacements.size());
}

int FindReplace::slashReplaceAll() {
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo, slashAllQuestion()) ==
        MessageAnswer::No)
        return -1;
    beginSearch(QStringLiteral("\\"), true);
    m_state.replacement = QStringLiteral("/");
    const int count = replaceAllMatches();
    m_prompter.inform(slashCountText(count));
    return count;
}

int FindReplace::slashReplaceInTags() {
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           slashInTagsQuestion()) == MessageAnswer::No)
        return -1;
    m_stop.stop = false;
    const quint64 document = m_document.generation();
    // As the colouring pass, line by line from the document itself, the word wrap left as it
    // is: each replacement puts one character for one, so the positions of the lines read stay
    // the editor's positions.
    int count = 0;
    const int lines = m_editor.lineCount();
    // The back slashes found since the last pump go in as one edit before the next pump, all
    // the pass's edits together one step of the undo history.
    QList<int> batch;
    bool joinPrevious = false;
    const auto putInBatch = [&] {
        if (batch.isEmpty())
            return;
        // Taken from the editor as it is now: only a back slash ever becomes a slash, even if
        // something typed while the pass yielded changed the text.
        const int from = batch.first();
        m_editor.setSelStart(from);
        m_editor.setSelLength(batch.last() + 1 - from);
        const QString live = m_editor.selText();
        QList<TextReplacement> replacements;
        for (int p : batch)
            if (p - from < live.size() && live[p - from] == u'\\')
                replacements.append({p, 1, QStringLiteral("/")});
        batch.clear();
        if (replacements.isEmpty())
            return;
        m_editor.replaceRanges(replacements, joinPrevious);
        joinPrevious = true;
        m_document.setHtmlModified(true);
        count += static_cast<int>(replacements.size());
    };
    qint64 lineStart = 0;
    for (int i = 0; i < lines; ++i) {
        if (m_pump.due()) {
            putInBatch();
            m_pump.pump();
            // Another page came in meanwhile: the pass ends without touching it, and without a
            // count that would read as if it had worked on it.
            if (m_document.generation() != document) {
                m_editor.setWordWrap(m_wrapSetting);
                return -1;
            }
            if (m_stop.stop) {
                m_editor.setWordWrap(m_wrapSetting);
                return -1;
            }
        }
        const QString line = m_editor.line(i);
        for (int p : slashPositionsInLine(line))
            batch.append(static_cast<int>(lineStart) + p);
        lineStart += line.size() + 2;
    }
    putInBatch();
    m_editor.setWordWrap(m_wrapSetting);
    m_editor.setSelStart(0);
    m_prompter.inform(slashCountText(count));
    return count;
}
