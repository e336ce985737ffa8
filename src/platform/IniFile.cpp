// IniFile: reads and rewrites the settings files line by line, keeping what it does not touch.
#include "platform/IniFile.h"

#include "platform/TextFile.h"

#include <QFileInfo>
#include <QList>
#include <QSet>

#include <limits>

namespace {

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

// Names that would read back as something else are refused rather than written.
bool validSectionName(const QString& section) {
    return !section.isEmpty() && !hasLineBreak(section) && !section.contains(u']');
}

bool validKeyName(const QString& key) {
    return !key.isEmpty() && !hasLineBreak(key) && !key.contains(u'=') && !key.startsWith(u'[') &&
           !key.startsWith(u';');
}

// A value on one line, as it reads back.
QString oneLineValue(const QString& value) {
    QString clean = value;
    clean.remove(u'\r');
    clean.remove(u'\n');
    return clean.trimmed();
}

} // namespace

IniText::Line IniText::parseLine(const QString& raw, bool first) {
    Line line;
    line.raw = raw;
    QString text = raw;
    // A byte-order mark stays in the file but is no part of the first name.
    if (first && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text = text.trimmed();
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close > 0) {
            line.kind = LineKind::Section;
            line.name = text.mid(1, close - 1).trimmed();
        }
        // "[" without "]" is no section header; the line is kept as it is.
        return line;
    }
    if (text.startsWith(u';'))
        return line;
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return line;
    const QString name = text.left(equals).trimmed();
    if (name.isEmpty())
        return line;
    line.kind = LineKind::Key;
    line.name = name;
    line.value = text.mid(equals + 1).trimmed();
    return line;
}

IniText::IniText(const QByteArray& bytes) {
    // A file that is not text is not ours to rewrite: keeping only the lines that parse would
    // destroy whatever it really holds.
    if (!looksLikeText(bytes)) {
        m_readable = false;
        return;
    }
    const DecodedText decoded = decodeText(bytes);
    m_encoding = decoded.encoding;
    const QString text = toCrLf(decoded.text);
    if (text.isEmpty())
        return;
    QStringList raws = text.split(QStringLiteral("\r\n"));
    if (raws.last().isEmpty())
        raws.removeLast(); // the line end of the last line, not an empty line
    m_lines.reserve(raws.size());
    for (qsizetype i = 0; i < raws.size(); ++i)
        m_lines.append(parseLine(raws.at(i), i == 0));
}

IniText IniText::unreadable() {
    IniText text;
    text.m_readable = false;
    return text;
}

QByteArray IniText::bytes() const {
    QString text;
    for (const Line& line : m_lines) {
        text += line.raw;
        text += QStringLiteral("\r\n");
    }
    return encodeText(text, m_encoding).bytes;
}

// Index of the header of the first section of that name, or -1.
qsizetype IniText::findSection(const QString& section) const {
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        if (line.kind == LineKind::Section && sameName(line.name, wanted))
            return i;
    }
    return -1;
}

// One past the last line of the section whose header is at index header.
qsizetype IniText::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < m_lines.size() && m_lines.at(i).kind != LineKind::Section)
        ++i;
    return i;
}

// Index of the first line of the key in the section at header, or -1.
qsizetype IniText::findKey(qsizetype header, const QString& key) const {
    const QString wanted = key.trimmed();
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = m_lines.at(i);
        if (line.kind == LineKind::Key && sameName(line.name, wanted))
            return i;
    }
    return -1;
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(header, key);
    if (at < 0)
        return std::nullopt;
    return m_lines.at(at).value;
}

QString IniText::readString(const QString& section, const QString& key, const QString& def) const {
    return value(section, key).value_or(def);
}

int IniText::readInteger(const QString& section, const QString& key, int def) const {
    const std::optional<QString> value = this->value(section, key);
    if (!value)
        return def;
    const QString& v = *value;
    qsizetype i = 0;
    bool negative = false;
    if (i < v.size() && (v.at(i) == u'-' || v.at(i) == u'+')) {
        negative = v.at(i) == u'-';
        ++i;
    }
    const qsizetype digitsStart = i;
    long long number = 0;
    while (i < v.size() && v.at(i) >= u'0' && v.at(i) <= u'9') {
        number = number * 10 + (v.at(i).unicode() - u'0');
        // A number too large for an int is no setting this program wrote.
        if (number > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return def;
        ++i;
    }
    if (i == digitsStart)
        return def;
    if (negative)
        number = -number;
    if (number > std::numeric_limits<int>::max() || number < std::numeric_limits<int>::min())
        return def;
    return static_cast<int>(number);
}

bool IniText::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniText::sectionExists(const QString& section) const {
    return findSection(section) >= 0;
}

QStringList IniText::readSection(const QString& section) const {
    const qsizetype header = findSection(section);
    QStringList keys;
    if (header < 0)
        return keys;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = m_lines.at(i);
        if (line.kind == LineKind::Key && !keys.contains(line.name, Qt::CaseInsensitive))
            keys << line.name;
    }
    return keys;
}

QStringList IniText::sections() const {
    QStringList names;
    for (const Line& line : m_lines) {
        if (line.kind == LineKind::Section && !names.contains(line.name, Qt::CaseInsensitive))
            names << line.name;
    }
    return names;
}

QList<std::pair<QString, QString>> IniText::readSectionValues(const QString& section) const {
    const qsizetype header = findSection(section);
    QList<std::pair<QString, QString>> values;
    if (header < 0)
        return values;
    QSet<QString> seen;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = m_lines.at(i);
        if (line.kind != LineKind::Key)
            continue;
        const QString folded = line.name.toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        values.append({line.name, line.value});
    }
    return values;
}

bool IniText::writeString(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!m_readable || !validSectionName(sectionName) || !validKeyName(keyName))
        return false;
    // A line break in a value would split it into lines of their own.
    const QString cleanValue = oneLineValue(value);
    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        m_lines.append(parseLine(QStringLiteral("[%1]").arg(sectionName), false));
        m_lines.append(parseLine(keyName + u'=' + cleanValue, false));
        m_changed = true;
        return true;
    }
    const qsizetype at = findKey(header, keyName);
    if (at >= 0) {
        Line& line = m_lines[at];
        if (line.value == cleanValue)
            return true;
        // Keep the key as it was spelt; only the value changes.
        line.raw = line.raw.left(line.raw.indexOf(u'=') + 1) + cleanValue;
        line.value = cleanValue;
        m_changed = true;
        return true;
    }
    // A new key goes after the last non-blank line of its section.
    qsizetype insertAt = sectionEnd(header);
    while (insertAt > header + 1 && m_lines.at(insertAt - 1).raw.trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, parseLine(keyName + u'=' + cleanValue, false));
    m_changed = true;
    return true;
}

bool IniText::replaceSection(const QString& section,
                             const QList<std::pair<QString, QString>>& values) {
    const QString sectionName = section.trimmed();
    if (!m_readable || !validSectionName(sectionName))
        return false;
    QList<Line> body;
    for (const auto& [key, value] : values) {
        const QString keyName = key.trimmed();
        if (validKeyName(keyName))
            body.append(parseLine(keyName + u'=' + oneLineValue(value), false));
    }
    m_changed = true;
    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        m_lines.append(parseLine(QStringLiteral("[%1]").arg(sectionName), false));
        m_lines.append(body);
        return true;
    }
    // Later sections of the same name would show through no more than before: only the first
    // is read, so only the first is replaced. Blank lines that end the section stay.
    qsizetype keep = sectionEnd(header);
    while (keep > header + 1 && m_lines.at(keep - 1).raw.trimmed().isEmpty())
        --keep;
    m_lines.remove(header + 1, keep - header - 1);
    for (qsizetype i = 0; i < body.size(); ++i)
        m_lines.insert(header + 1 + i, body.at(i));
    return true;
}

bool IniText::eraseSection(const QString& section) {
    if (!m_readable)
        return false;
    // Every section of that name goes, so that none of them shows through afterwards.
    for (qsizetype header = findSection(section); header >= 0; header = findSection(section)) {
        m_lines.remove(header, sectionEnd(header) - header);
        m_changed = true;
    }
    return true;
}

bool IniText::deleteKey(const QString& section, const QString& key) {
    if (!m_readable)
        return false;
    const qsizetype header = findSection(section);
    if (header < 0)
        return true;
    for (qsizetype at = findKey(header, key); at >= 0; at = findKey(header, key)) {
        m_lines.remove(at);
        m_changed = true;
    }
    return true;
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {
}

IniText IniFile::load() const {
    if (!QFileInfo(m_path).exists())
        return IniText();
    const FileBytesResult file = readFileBytes(m_path);
    return file.ok ? IniText(file.bytes) : IniText::unreadable();
}

bool IniFile::save(const IniText& text) const {
    return text.readable() && writeFileAtomically(m_path, text.bytes()).ok;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return load().readString(section, key, def);
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    return load().readInteger(section, key, def);
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return load().readBool(section, key, def);
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    IniText text = load();
    if (!text.writeString(section, key, value))
        return false;
    return !text.changed() || save(text);
}

bool IniFile::writeInteger(const QString& section, const QString& key, int value) const {
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString& section, const QString& key, bool value) const {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::isIgnored() const {
    return !load().readable();
}

bool IniFile::sectionExists(const QString& section) const {
    return load().sectionExists(section);
}

QStringList IniFile::readSection(const QString& section) const {
    return load().readSection(section);
}

QStringList IniFile::sections() const {
    return load().sections();
}

QList<std::pair<QString, QString>> IniFile::readSectionValues(const QString& section) const {
    return load().readSectionValues(section);
}

bool IniFile::replaceSection(const QString& section,
                             const QList<std::pair<QString, QString>>& values) const {
    IniText text = load();
    return text.replaceSection(section, values) && save(text);
}

bool IniFile::eraseSection(const QString& section) const {
    IniText text = load();
    if (!text.eraseSection(section))
        return false;
    return !text.changed() || save(text);
}

bool IniFile::deleteKey(const QString& section, const QString& key) const {
    IniText text = load();
    if (!text.deleteKey(section, key))
        return false;
    return !text.changed() || save(text);
}
