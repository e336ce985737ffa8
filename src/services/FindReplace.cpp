// Find, replace and slash replacement.
#include "services/FindReplace.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "platform/UiPump.h"
#include "services/TagColors.h"

QString upperSameLength(const QString& text) {
    QString t = text;
    for (QChar& c : t)
        c = c.toUpper();
    return t;
}

QList<int> slashPositionsInLine(const QString& line) {
    QList<int> positions;
    // The quotes dealt with become "$" in this copy, and the quote search goes on from the last
    // one. A quoted value whose closing quote lies beyond the tag's ">" is passed over whole.
    QString q = line;
    const QChar done = QLatin1Char('$');
    qsizetype fromQuote = 0;
    forEachTagPair(line, [&](const QString&, qsizetype, qsizetype b) {
        qsizetype beyond = -1;
        for (;;) {
            const qsizetype q1 = q.indexOf(QLatin1Char('"'), fromQuote);
            if (q1 < 0 || q1 > b)
                break;
            q[q1] = done;
            fromQuote = q1 + 1;
            const qsizetype q2 = q.indexOf(QLatin1Char('"'), fromQuote);
            if (q2 < 0)
                break;
            if (q2 > b) {
                beyond = q2;
                break;
            }
            for (qsizetype p = q1; p <= q2; ++p)
                if (q[p] == QLatin1Char('\\'))
                    positions << static_cast<int>(p);
            q[q2] = done;
            fromQuote = q2 + 1;
        }
        if (beyond >= 0) {
            q[beyond] = done;
            fromQuote = beyond + 1;
        }
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
    if (findNextMatch())
        return true;
    m_prompter.inform(notFoundText(findDialogText));
    return false;
}

bool FindReplace::findNextButton(const QString& findText, bool matchCase) {
    if (m_state.freshSearch) {
        m_state.freshSearch = false;
        beginSearch(findText, matchCase);
    }
    return findNext(findText);
}

bool FindReplace::replaceButton(const QString& findText, const QString& replaceText) {
    // Nothing selected and nothing to find would otherwise "match" and insert the replacement.
    if (findText.isEmpty())
        return false;
    if (m_editor.selText().compare(findText, Qt::CaseInsensitive) != 0)
        return false;
    m_state.replacement = replaceText;
    replaceCurrent();
    return true;
}

int FindReplace::replaceAll(const QString& findText, const QString& replaceText, bool matchCase) {
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
    if (pattern.isEmpty()) {
        m_state.position = -1;
        return 0;
    }
    const QString live = m_editor.text();
    QString middle;
    qsizetype first = -1;
    qsizetype copied = 0; // in live: where the text not yet copied into middle starts
    int count = 0;
    for (qsizetype m = snap.indexOf(pattern, 0); m >= 0; m = snap.indexOf(pattern, m)) {
        if (first < 0) {
            first = m;
            copied = m;
        }
        middle += QStringView(live).mid(copied, m - copied);
        middle += replacement;
        m += pattern.size();
        copied = m;
        ++count;
    }
    if (count > 0) {
        m_editor.setFocus();
        m_editor.setSelStart(static_cast<int>(first));
        m_editor.setSelLength(static_cast<int>(copied - first));
        m_editor.replaceSelection(middle);
        m_state.snapshot = fold(m_editor.text());
        m_document.setHtmlModified(true);
    }
    // The loop ends on a search that finds nothing.
    m_state.position = -1;
    return count;
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
    m_editor.setWordWrap(false);
    int count = 0;
    // One character for one: the positions of the copy stay the editor's positions.
    const QString text = m_editor.text();
    const QString lineEnd = QStringLiteral("\r\n");
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        m_pump.pump();
        if (m_stop.stop) {
            m_editor.setWordWrap(m_wrapSetting);
            return -1;
        }
        qsizetype lineEndAt = text.indexOf(lineEnd, lineStart);
        if (lineEndAt < 0)
            lineEndAt = text.size();
        const QString line = text.mid(lineStart, lineEndAt - lineStart);
        const QList<int> positions = slashPositionsInLine(line);
        if (!positions.isEmpty()) {
            // The line's replacements as one edit of the stretch they lie in.
            const int from = positions.first();
            const int to = positions.last() + 1;
            // Taken from the editor, not the copy: only a back slash ever becomes a slash, even
            // if something typed while the pass yielded changed the text.
            m_editor.setSelStart(static_cast<int>(lineStart) + from);
            m_editor.setSelLength(to - from);
            QString stretch = m_editor.selText();
            int replaced = 0;
            for (int p : positions) {
                if (p - from < stretch.size() && stretch[p - from] == QLatin1Char('\\')) {
                    stretch[p - from] = QLatin1Char('/');
                    ++replaced;
                }
            }
            if (replaced > 0) {
                m_editor.replaceSelection(stretch);
                m_document.setHtmlModified(true);
                count += replaced;
            }
        }
        lineStart = lineEndAt + lineEnd.size();
    }
    m_editor.setWordWrap(m_wrapSetting);
    m_editor.setSelStart(0);
    m_prompter.inform(slashCountText(count));
    return count;
}
