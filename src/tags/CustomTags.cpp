// Custom tags: custom.dat, the Custom tab's list and the add dialog's rules.
#include "tags/CustomTags.h"

#include "platform/Prompter.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <algorithm>

std::optional<CustomTagParts> customTagParts(const QString& entry) {
    const qsizetype open = entry.indexOf(QLatin1Char('<'));
    if (open < 0)
        return std::nullopt;
    const qsizetype close = entry.indexOf(QLatin1Char('>'), open);
    if (close < 0)
        return std::nullopt;
    CustomTagParts parts;
    parts.start = entry.mid(open, close - open + 1);
    const qsizetype endOpen = entry.indexOf(QLatin1Char('<'), close + 1);
    if (endOpen >= 0) {
        const qsizetype endClose = entry.indexOf(QLatin1Char('>'), endOpen);
        // A hand-edited end tag without its ">" is taken to the end of the line.
        parts.end = endClose < 0 ? entry.mid(endOpen) : entry.mid(endOpen, endClose - endOpen + 1);
    }
    return parts;
}

CustomTagCheck checkNewCustomTag(const QString& name, const QString& start, const QString& end,
                                 Prompter& prompter) {
    if (name.isEmpty()) {
        prompter.inform(QStringLiteral("You must supply a NAME for this tag."));
        return CustomTagCheck::FocusName;
    }
    if (name.startsWith(QLatin1Char(' '))) {
        prompter.inform(QStringLiteral("The NAME may not start with a blank space."));
        return CustomTagCheck::FocusName;
    }
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('<')) ||
        name.contains(QLatin1Char('>'))) {
        prompter.inform(QStringLiteral("The NAME cannot contain any asterisk(*), \"<\", or \">\" "
                                       "characters. Please fix."));
        return CustomTagCheck::FocusName;
    }
    if (start.isEmpty() || start == QLatin1String("<>")) {
        prompter.inform(
            QStringLiteral("You have not entered a START tag. This is a required field."));
        return CustomTagCheck::FocusStart;
    }
    if (end.isEmpty()) {
        const MessageAnswer answer = prompter.message(
            MessageKind::Information, MessageButtons::YesNo,
            QStringLiteral("You have not entered an END tag. Do you wish to continue without a "
                           "END tag?"));
        if (answer == MessageAnswer::No)
            return CustomTagCheck::FocusEnd;
    }
    return CustomTagCheck::Accepted;
}

std::optional<CompletedStart> completeStartTag(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    QString t = text;
    if (!t.startsWith(QLatin1Char('<')))
        t.prepend(QLatin1Char('<'));
    if (!t.endsWith(QLatin1Char('>')))
        t.append(QLatin1Char('>'));
    CompletedStart result;
    result.start = {t, static_cast<int>(t.size()) - 1};
    result.end = QStringLiteral("</") + t.mid(1);
    return result;
}

std::optional<CompletedField> completeEndTag(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    QString t = text;
    if (!t.startsWith(QLatin1Char('<')))
        t.prepend(QLatin1Char('<'));
    if (t.size() < 2 || t.at(1) != QLatin1Char('/'))
        t.insert(1, QLatin1Char('/'));
    if (!t.endsWith(QLatin1Char('>')))
        t.append(QLatin1Char('>'));
    return CompletedField{t, static_cast<int>(t.size()) - 1};
}

// The list ----------------------------------------------------------------------------------------

namespace {

void sortEntries(QStringList& entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

} // namespace

CustomTags::CustomTags(QString path, Prompter& prompter)
    : m_path(std::move(path)), m_prompter(prompter) {
}

QString CustomTags::selectEntry() {
    return QStringLiteral("  Select a Custom Tag to Insert");
}
QString CustomTags::noneEntry() {
    return QStringLiteral(" NONE");
}

QString CustomTags::writeFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("The custom tags could not be saved to \"%1\": %2").arg(path, reason);
}

void CustomTags::loadCustomTags() {
    m_custom.clear();
    m_unreadable.clear();
    const TextReadResult file = readTextFile(m_path);
    if (!file.ok) {
        // A file that is there but cannot be read holds the user's tags all the same: writing
        // the list over it would lose them.
        if (QFileInfo(m_path).exists() || QFileInfo(m_path).isSymLink())
            m_unreadable = file.error;
        return;
    }
    m_encoding = file.encoding;
    for (const QString& line : file.text.split(QStringLiteral("\r\n"))) {
        if (!line.isEmpty())
            m_custom << line;
    }
    sortEntries(m_custom);
}

QStringList CustomTags::entries() const {
    return QStringList{selectEntry(), noneEntry()} + m_custom;
}

std::optional<CustomTagParts> CustomTags::pick(int index) const {
    if (index < 2 || index - 2 >= m_custom.size())
        return std::nullopt;
    return customTagParts(m_custom.at(index - 2));
}

bool CustomTags::add(const QString& name, const QString& start, const QString& end) {
    m_custom << name + QStringLiteral(" * ") + start + end;
    sortEntries(m_custom);
    return save();
}

bool CustomTags::replaceAll(const QStringList& entries) {
    m_custom = entries;
    sortEntries(m_custom);
    return save();
}

QString CustomTags::unreadableReason(const QString& error) {
    return QStringLiteral("the file could not be read (%1), so it was left as it is").arg(error);
}

bool CustomTags::save() {
    if (!m_unreadable.isEmpty()) {
        m_prompter.error(writeFailedText(m_path, unreadableReason(m_unreadable)));
        return false;
    }
    QString text;
    for (const QString& line : m_custom)
        text += line + QStringLiteral("\r\n");
    const TextWriteResult written = writeTextFile(m_path, text, m_encoding);
    if (!written.ok)
        m_prompter.error(writeFailedText(m_path, written.error));
    return written.ok;
}
