// The insertion routines of the tag commands.
#include "tags/TagInsertion.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/Clipboard.h"
#include "platform/TextFile.h"
#include "tags/TagText.h"

#include <QLocale>
#include <algorithm>

namespace {

const QString crlf = QStringLiteral("\r\n");

} // namespace

const QStringList& pointTags() {
    static const QStringList tags = {
        QStringLiteral("<P>"),    QStringLiteral("<BR>"),    QStringLiteral("&nbsp;"),
        QStringLiteral("<LI>"),   QStringLiteral("<DT>"),    QStringLiteral("<DD>"),
        QStringLiteral("&copy;"), QStringLiteral("&trade;"), QStringLiteral("&reg;"),
        QStringLiteral("&#188;"), QStringLiteral("&#189;"),  QStringLiteral("&#190;"),
        QStringLiteral("&amp;"),  QStringLiteral("&lt;"),    QStringLiteral("&gt;"),
        QStringLiteral("<FRAME>")};
    return tags;
}

// ScratchLines ---------------------------------------------------------------------------------

int ScratchLines::lineCount() const {
    if (m_text.isEmpty())
        return 0;
    const qsizetype breaks = m_text.count(crlf);
    // An empty last line after a final break is no line.
    return static_cast<int>(m_text.endsWith(crlf) ? breaks : breaks + 1);
}

void ScratchLines::prefixLines(const QString& prefix) {
    if (m_text.isEmpty() || prefix.isEmpty())
        return;
    const int lines = lineCount();
    QString out;
    out.reserve(m_text.size() + qsizetype(lines) * prefix.size());
    qsizetype start = 0;
    for (int i = 0; i < lines; ++i) {
        qsizetype end = m_text.indexOf(crlf, start);
        end = end < 0 ? m_text.size() : end + 2;
        out += prefix;
        out += QStringView(m_text).mid(start, end - start);
        start = end;
    }
    m_text = std::move(out);
}

void ScratchLines::insertFirst(const QString& line) {
    m_text.prepend(line + crlf);
}

void ScratchLines::append(const QString& line) {
    // The last line is empty when the text is empty or ends with a break.
    if (m_text.isEmpty() || m_text.endsWith(crlf))
        m_text += line + crlf;
    else
        m_text += crlf + line;
}

// Texts -----------------------------------------------------------------------------------------

QString blockText(const QString& tagName, const QString& selected, bool lowerCase) {
    if (tagName == QLatin1String("NEW"))
        return tagCase(HtmlDocument::newPageSkeleton(), lowerCase);
    QString prefix;
    if (tagName == QLatin1String("UL") || tagName == QLatin1String("OL"))
        prefix = QStringLiteral("   <LI>");
    else if (tagName == QLatin1String("FRAMESET") || tagName == QLatin1String("NOFRAMES"))
        prefix = QStringLiteral("   ");
    ScratchLines lines;
    if (!selected.isEmpty()) {
        lines.paste(toCrLf(selected));
        lines.prefixLines(tagCase(prefix, lowerCase));
    }
    lines.insertFirst(tagCase(QLatin1Char('<') + tagName + QLatin1Char('>'), lowerCase));
    lines.append(tagCase(QStringLiteral("</") + tagName + QLatin1Char('>'), lowerCase));
    return lines.text();
}

QString tableGridText(int rows, int columns, bool lowerCase) {
    rows = std::clamp(rows, 1, 5);
    columns = std::clamp(columns, 1, 5);
    QString text = QStringLiteral("<TABLE>") + crlf;
    for (int r = 0; r < rows; ++r) {
        text += QStringLiteral("<TR>") + crlf;
        for (int c = 0; c < columns; ++c)
            text += QStringLiteral("    <TD></TD>") + crlf;
        text += QStringLiteral("</TR>") + crlf;
    }
    return tagCase(text + QStringLiteral("</TABLE>") + crlf, lowerCase);
}

QString lastModifiedText(const QDateTime& when) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDate date = when.date();
    const QTime time = when.time();
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12; // noon and midnight
    return QStringLiteral("<!--Last Modified: %1, %2 %3, %4, at %5:%6 %7-->")
        .arg(english.dayName(date.dayOfWeek(), QLocale::LongFormat),
             english.monthName(date.month(), QLocale::ShortFormat), QString::number(date.day()),
             QString::number(date.year()), QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0')),
             QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0')),
             time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

// TagInserter -----------------------------------------------------------------------------------

TagInserter::TagInserter(EditWindow& editor, Clipboard& clipboard,
                         std::function<void()> markModified)
    : m_editor(editor), m_clipboard(clipboard), m_markModified(std::move(markModified)) {
}

void TagInserter::selectInserted(int start, const QString& text) {
    m_editor.setSelStart(start);
    m_editor.setSelLength(static_cast<int>(toCrLf(text).size()));
}

void TagInserter::insertTag(const QString& text, TagInvoker invoker) {
    if (pointTags().contains(text)) {
        m_editor.setFocus();
        if (text == QLatin1String("<BR>"))
            m_editor.setSelStart(m_editor.selStart() + m_editor.selLength());
        else
            m_editor.setSelLength(0);
        m_editor.replaceSelection(tagCase(text, lowerCase()));
        m_markModified();
        return;
    }
    if (text.isEmpty() && m_editor.selLength() == 0)
        return; // nothing would change
    const int c = m_editor.selStart();
    m_editor.setFocus();
    m_editor.replaceSelection(text);
    m_markModified();
    if (invoker == TagInvoker::MailTo || invoker == TagInvoker::Comment)
        m_editor.setSelStart(c + static_cast<int>(toCrLf(text).size()) - 4);
    else
        selectInserted(c, text);
}

void TagInserter::wrap(const QString& start, const QString& end, TagInvoker invoker) {
    const bool lower = lowerCase();
    insertTag(tagCase(start, lower) + m_editor.selText() + tagCase(end, lower), invoker);
}

void TagInserter::insertBlock(const QString& tagName) {
    const QString text = blockText(tagName, m_editor.selText(), lowerCase());
    m_clipboard.clear();
    m_clipboard.setText(text);
    m_editor.setFocus();
    m_editor.replaceSelection(text);
    m_markModified();
}

void TagInserter::insertTableGrid(int rows, int columns) {
    const QString text = tableGridText(rows, columns, lowerCase());
    m_clipboard.clear();
    m_clipboard.setText(text);
    m_editor.setFocus();
    m_editor.setSelLength(0); // the table goes before the selected text, which stays
    m_editor.replaceSelection(text);
    m_markModified();
}

void TagInserter::pasteDialogResult(const TagDialogResult& result, bool collapseFirst) {
    if (!result.accepted)
        return;
    m_editor.setFocus();
    if (collapseFirst)
        m_editor.setSelLength(0);
    const QString text = m_clipboard.text();
    if (text.isEmpty() && m_editor.selLength() == 0)
        return;
    const int c = m_editor.selStart();
    m_editor.replaceSelection(text);
    m_markModified();
    // What was pasted gets selected, even should the clipboard have changed under the dialog.
    m_editor.setSelStart(c);
    m_editor.setSelLength(static_cast<int>(toCrLf(text).size()));
}

void TagInserter::comment() {
    if (m_editor.selLength() > 0) {
        wrap(QStringLiteral("<!-- "), QStringLiteral(" -->"), TagInvoker::Comment);
        return;
    }
    m_editor.setFocus();
    const int c = m_editor.selStart();
    const QString text = QStringLiteral("<!--  -->");
    m_editor.replaceSelection(text);
    m_markModified();
    m_editor.setSelStart(c + static_cast<int>(text.size()) - 5);
}

bool TagInserter::mailTo(const std::optional<QString>& address) {
    if (!address)
        return false;
    // The address is a value like any other: a quote in it would end the attribute early.
    wrap(QStringLiteral("<A HREF=\"mailto:") + attributeValue(*address) + QStringLiteral("\">"),
         QStringLiteral("</A>"), TagInvoker::MailTo);
    return true;
}

void TagInserter::insertLastModified(const QDateTime& when) {
    insertTag(lastModifiedText(when));
}

void TagInserter::insertPanelTag(const QString& entry) {
    const int c = m_editor.selStart();
    const QString s = m_editor.selText();
    const qsizetype point = entry.indexOf(QLatin1Char('.'));
    const bool lower = lowerCase();
    const QString head = tagCase(point < 0 ? entry : entry.left(point), lower);
    const QString tail = tagCase(point < 0 ? QString() : entry.mid(point + 1), lower);
    m_editor.setFocus();
    m_editor.replaceSelection(head + s + tail);
    m_markModified();
    m_editor.setSelStart(c + static_cast<int>(toCrLf(head).size()));
    m_editor.setSelLength(static_cast<int>(s.size()));
}

void TagInserter::insertPanelAttribute(const QString& entry) {
    // The entries are bare attribute names ("WIDTH=", "NOWRAP").
    const QString attribute = lowerCase() ? entry.toLower() : entry;
    const int c = m_editor.selStart();
    m_editor.replaceSelection(attribute + m_editor.selText());
    m_editor.setFocus();
    m_markModified();
    m_editor.setSelStart(c + static_cast<int>(attribute.size()));
}

void TagInserter::insertCustomTag(const QString& start, const QString& end) {
    const int c = m_editor.selStart();
    const QString text = start + m_editor.selText() + end;
    m_editor.setFocus();
    m_editor.replaceSelection(text);
    m_markModified();
    selectInserted(c, text);
}
