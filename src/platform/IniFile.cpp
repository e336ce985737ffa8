// IniFile: reads and rewrites the settings files line by line, keeping what it does not touch.
#include "platform/IniFile.h"

#include "platform/TextFile.h"

#include <QFileInfo>
#include <QList>
#include <QSet>

#include <limits>
#include <optional>

namespace {

enum class LineKind { Other, Section, Key };

struct IniLine {
    QString raw; // the line as it stands in the file, without its line end
    LineKind kind = LineKind::Other;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed
};

struct IniDocument {
    // False when the file exists but could not be read: writing then would destroy it.
    bool readable = true;
    TextEncoding encoding = TextEncoding::Utf8;
    QList<IniLine> lines;
};

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

IniLine parseLine(const QString& raw, bool first) {
    IniLine line;
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

IniDocument load(const QString& path) {
    IniDocument doc;
    if (!QFileInfo(path).exists())
        return doc;
    // A file that is not text is not ours to rewrite: keeping only the lines that parse would
    // destroy whatever it really holds.
    const FileBytesResult file = readFileBytes(path);
    if (!file.ok || !looksLikeText(file.bytes)) {
        doc.readable = false;
        return doc;
    }
    const QByteArray& bytes = file.bytes;
    const DecodedText decoded = decodeText(bytes);
    doc.encoding = decoded.encoding;
    const QString text = toCrLf(decoded.text);
    if (text.isEmpty())
        return doc;
    QStringList raws = text.split(QStringLiteral("\r\n"));
    if (raws.last().isEmpty())
        raws.removeLast(); // the line end of the last line, not an empty line
    doc.lines.reserve(raws.size());
    for (qsizetype i = 0; i < raws.size(); ++i)
        doc.lines.append(parseLine(raws.at(i), i == 0));
    return doc;
}

bool save(const QString& path, const IniDocument& doc, QString& error) {
    QString text;
    for (const IniLine& line : doc.lines) {
        text += line.raw;
        text += QStringLiteral("\r\n");
    }
    const TextWriteResult written = writeFileAtomically(path, encodeText(text, doc.encoding).bytes);
    error = written.ok ? QString() : written.error;
    return written.ok;
}

// Why a file that exists but could not be read is not written.
QString unreadableText() {
    return QStringLiteral("it cannot be read as a settings file, so it is not written over");
}

// Index of the header of the first section of that name, or -1.
qsizetype findSection(const IniDocument& doc, const QString& section) {
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const IniLine& line = doc.lines.at(i);
        if (line.kind == LineKind::Section && sameName(line.name, wanted))
            return i;
    }
    return -1;
}

// One past the last line of the section whose header is at index header.
qsizetype sectionEnd(const IniDocument& doc, qsizetype header) {
    qsizetype i = header + 1;
    while (i < doc.lines.size() && doc.lines.at(i).kind != LineKind::Section)
        ++i;
    return i;
}

// Index of the first line of the key in the section at header, or -1.
qsizetype findKey(const IniDocument& doc, qsizetype header, const QString& key) {
    const QString wanted = key.trimmed();
    const qsizetype end = sectionEnd(doc, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const IniLine& line = doc.lines.at(i);
        if (line.kind == LineKind::Key && sameName(line.name, wanted))
            return i;
    }
    return -1;
}

std::optional<QString> lookup(const QString& path, const QString& section, const QString& key) {
    const IniDocument doc = load(path);
    const qsizetype header = findSection(doc, section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(doc, header, key);
    if (at < 0)
        return std::nullopt;
    return doc.lines.at(at).value;
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

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return lookup(m_path, section, key).value_or(def);
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    const std::optional<QString> value = lookup(m_path, section, key);
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

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!validSectionName(sectionName) || !validKeyName(keyName))
        return false;
    // A line break in a value would split it into lines of their own.
    QString cleanValue = value;
    cleanValue.remove(u'\r');
    cleanValue.remove(u'\n');
    cleanValue = cleanValue.trimmed();

    IniDocument doc = load(m_path);
    if (!doc.readable) {
        m_lastError = unreadableText();
        return false;
    }
    const qsizetype header = findSection(doc, sectionName);
    if (header < 0) {
        doc.lines.append(parseLine(QStringLiteral("[%1]").arg(sectionName), false));
        doc.lines.append(parseLine(keyName + u'=' + cleanValue, false));
        return save(m_path, doc, m_lastError);
    }
    const qsizetype at = findKey(doc, header, keyName);
    if (at >= 0) {
        IniLine& line = doc.lines[at];
        if (line.value == cleanValue)
            return true;
        // Keep the key as it was spelt; only the value changes.
        line.raw = line.raw.left(line.raw.indexOf(u'=') + 1) + cleanValue;
        line.value = cleanValue;
        return save(m_path, doc, m_lastError);
    }
    // A new key goes after the last non-blank line of its section.
    qsizetype insertAt = sectionEnd(doc, header);
    while (insertAt > header + 1 && doc.lines.at(insertAt - 1).raw.trimmed().isEmpty())
        --insertAt;
    doc.lines.insert(insertAt, parseLine(keyName + u'=' + cleanValue, false));
    return save(m_path, doc, m_lastError);
}

bool IniFile::writeInteger(const QString& section, const QString& key, int value) const {
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString& section, const QString& key, bool value) const {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::isIgnored() const {
    return !load(m_path).readable;
}

bool IniFile::sectionExists(const QString& section) const {
    return findSection(load(m_path), section) >= 0;
}

QStringList IniFile::readSection(const QString& section) const {
    const IniDocument doc = load(m_path);
    const qsizetype header = findSection(doc, section);
    QStringList keys;
    if (header < 0)
        return keys;
    const qsizetype end = sectionEnd(doc, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const IniLine& line = doc.lines.at(i);
        if (line.kind == LineKind::Key && !keys.contains(line.name, Qt::CaseInsensitive))
            keys << line.name;
    }
    return keys;
}

QStringList IniFile::sections() const {
    const IniDocument doc = load(m_path);
    QStringList names;
    for (const IniLine& line : doc.lines) {
        if (line.kind == LineKind::Section && !names.contains(line.name, Qt::CaseInsensitive))
            names << line.name;
    }
    return names;
}

QList<std::pair<QString, QString>> IniFile::readSectionValues(const QString& section) const {
    const IniDocument doc = load(m_path);
    const qsizetype header = findSection(doc, section);
    QList<std::pair<QString, QString>> values;
    if (header < 0)
        return values;
    QSet<QString> seen;
    const qsizetype end = sectionEnd(doc, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const IniLine& line = doc.lines.at(i);
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

bool IniFile::replaceSection(const QString& section,
                             const QList<std::pair<QString, QString>>& values) const {
    const QString sectionName = section.trimmed();
    if (!validSectionName(sectionName))
        return false;
    IniDocument doc = load(m_path);
    if (!doc.readable) {
        m_lastError = unreadableText();
        return false;
    }
    QList<IniLine> body;
    for (const auto& [key, value] : values) {
        const QString keyName = key.trimmed();
        if (!validKeyName(keyName))
            continue;
        QString cleanValue = value;
        cleanValue.remove(u'\r');
        cleanValue.remove(u'\n');
        body.append(parseLine(keyName + u'=' + cleanValue.trimmed(), false));
    }
    qsizetype header = findSection(doc, sectionName);
    if (header < 0) {
        doc.lines.append(parseLine(QStringLiteral("[%1]").arg(sectionName), false));
        doc.lines.append(body);
        return save(m_path, doc, m_lastError);
    }
    // Later sections of the same name would show through no more than before: only the first
    // is read, so only the first is replaced. Blank lines that end the section stay.
    qsizetype end = sectionEnd(doc, header);
    qsizetype keep = end;
    while (keep > header + 1 && doc.lines.at(keep - 1).raw.trimmed().isEmpty())
        --keep;
    doc.lines.remove(header + 1, keep - header - 1);
    for (qsizetype i = 0; i < body.size(); ++i)
        doc.lines.insert(header + 1 + i, body.at(i));
    return save(m_path, doc, m_lastError);
}

bool IniFile::eraseSection(const QString& section) const {
    IniDocument doc = load(m_path);
    if (!doc.readable) {
        m_lastError = unreadableText();
        return false;
    }
    bool erased = false;
    // Every section of that name goes, so that none of them shows through afterwards.
    for (qsizetype header = findSection(doc, section); header >= 0;
         header = findSection(doc, section)) {
        doc.lines.remove(header, sectionEnd(doc, header) - header);
        erased = true;
    }
    return erased ? save(m_path, doc, m_lastError) : true;
}

bool IniFile::deleteKey(const QString& section, const QString& key) const {
    IniDocument doc = load(m_path);
    if (!doc.readable) {
        m_lastError = unreadableText();
        return false;
    }
    const qsizetype header = findSection(doc, section);
    if (header < 0)
        return true;
    bool deleted = false;
    for (qsizetype at = findKey(doc, header, key); at >= 0; at = findKey(doc, header, key)) {
        doc.lines.remove(at);
        deleted = true;
    }
    return deleted ? save(m_path, doc, m_lastError) : true;
}
