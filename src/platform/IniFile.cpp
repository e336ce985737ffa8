// IniFile: reads and rewrites the settings files line by line, keeping what it does not touch.
#include "platform/IniFile.h"
#include "platform/IniText.h"

#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <optional>

namespace {

bool sameName(QStringView a, QStringView b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Narrows [from, to) of text to its part without surrounding blanks.
void trim(QStringView text, qsizetype& from, qsizetype& to) {
    while (from < to && text.at(from).isSpace())
        ++from;
    while (to > from && text.at(to - 1).isSpace())
        --to;
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

// A value as it can stand on one line.
QString oneLineValue(const QString& value) {
    QString clean = value;
    clean.remove(u'\r');
    clean.remove(u'\n');
    return clean.trimmed();
}

} // namespace

IniText::Line IniText::parseLine(QStringView text, qsizetype start, qsizetype length, bool first) {
    Line line;
    line.start = start;
    line.length = length;
    qsizetype from = start;
    qsizetype to = start + length;
    // A byte-order mark stays in the file but is no part of the first name.
    if (first && from < to && text.at(from) == QChar(0xFEFF))
        ++from;
    trim(text, from, to);
    if (from < to && text.at(from) == u'[') {
        for (qsizetype close = from + 1; close < to; ++close) {
            if (text.at(close) != u']')
                continue;
            qsizetype nameFrom = from + 1;
            qsizetype nameTo = close;
            trim(text, nameFrom, nameTo);
            line.kind = LineKind::Section;
            line.nameStart = nameFrom;
            line.nameLength = nameTo - nameFrom;
            break;
        }
        // "[" without "]" is no section header; the line is kept as it is.
        return line;
    }
    if (from < to && text.at(from) == u';')
        return line;
    qsizetype equals = from;
    while (equals < to && text.at(equals) != u'=')
        ++equals;
    if (equals == to || equals == from)
        return line;
    qsizetype nameFrom = from;
    qsizetype nameTo = equals;
    trim(text, nameFrom, nameTo);
    if (nameFrom == nameTo)
        return line;
    qsizetype valueFrom = equals + 1;
    qsizetype valueTo = to;
    trim(text, valueFrom, valueTo);
    line.kind = LineKind::Key;
    line.nameStart = nameFrom;
    line.nameLength = nameTo - nameFrom;
    line.valueStart = valueFrom;
    line.valueLength = valueTo - valueFrom;
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
    m_text = toCrLf(decoded.text);
    // The last line's end is written whether or not the file had one.
    if (!m_text.isEmpty() && !m_text.endsWith(QStringLiteral("\r\n")))
        m_text += QStringLiteral("\r\n");
    const QStringView text(m_text);
    m_lines.reserve(text.count(u'\r'));
    qsizetype start = 0;
    while (start < text.size()) {
        // After toCrLf every CR begins a CR LF.
        const qsizetype end = text.indexOf(u'\r', start);
        m_lines.append(parseLine(text, start, end - start, start == 0));
        start = end + 2;
    }
}

IniText IniText::unreadable() {
    IniText text;
    text.m_readable = false;
    return text;
}

EncodedText IniText::encoded() const {
    return encodeText(m_text, encodingThatReadsBack(m_text, m_encoding));
}

void IniText::markWritten(TextEncoding encoding) {
    m_encoding = encoding;
    m_changed = false;
}

QStringView IniText::raw(qsizetype i) const {
    const Line& l = m_lines.at(i);
    return QStringView(m_text).mid(l.start, l.length);
}

QStringView IniText::name(qsizetype i) const {
    const Line& l = m_lines.at(i);
    return QStringView(m_text).mid(l.nameStart, l.nameLength);
}

QStringView IniText::lineValue(qsizetype i) const {
    const Line& l = m_lines.at(i);
    return QStringView(m_text).mid(l.valueStart, l.valueLength);
}

// Replaces count lines from index first (first == size: appends) by the given lines, written
// without their line ends, and reads them anew.
void IniText::replaceLines(qsizetype first, qsizetype count, const QStringList& raws) {
    m_changed = true;
    const auto shiftLine = [](Line& line, qsizetype by) {
        line.start += by;
        line.nameStart += by;
        line.valueStart += by;
    };
    const qsizetype total = m_lines.size();
    const qsizetype from = first < total ? m_lines.at(first).start : m_text.size();
    const qsizetype to = first + count < total ? m_lines.at(first + count).start : m_text.size();
    qsizetype addedSize = 0;
    for (const QString& raw : raws)
        addedSize += raw.size() + 2;
    QString added;
    added.reserve(addedSize);
    for (const QString& raw : raws) {
        added += raw;
        added += QLatin1String("\r\n");
    }
    m_text.replace(from, to - from, added);
    const qsizetype shift = added.size() - (to - from);

    QList<Line> parsed;
    parsed.reserve(raws.size());
    qsizetype at = from;
    for (qsizetype k = 0; k < raws.size(); ++k) {
        parsed.append(parseLine(m_text, at, raws.at(k).size(), first + k == 0));
        at += raws.at(k).size() + 2;
    }
    if (parsed.size() == count) {
        for (qsizetype k = 0; k < count; ++k)
            m_lines[first + k] = parsed.at(k);
        if (shift != 0) {
            for (qsizetype i = first + count; i < total; ++i)
                shiftLine(m_lines[i], shift);
        }
        return;
    }
    QList<Line> lines;
    lines.reserve(total - count + parsed.size());
    lines.append(m_lines.mid(0, first));
    lines.append(parsed);
    for (qsizetype i = first + count; i < total; ++i) {
        lines.append(m_lines.at(i));
        shiftLine(lines.last(), shift);
    }
    m_lines = std::move(lines);
}

// Index of the header of the first section of that name, or -1.
qsizetype IniText::findSection(const QString& section) const {
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).kind == LineKind::Section && sameName(name(i), wanted))
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
        if (m_lines.at(i).kind == LineKind::Key && sameName(name(i), wanted))
            return i;
    }
    return -1;
}

// The lines of that kind from index from up to to, the first of each name (names compared
// without regard to case, as every lookup does).
QList<qsizetype> IniText::firstOfEachName(qsizetype from, qsizetype to, LineKind kind) const {
    // The few names of a usual section are each compared with those kept so far; past that, a
    // set of folded names keeps a long list from being compared with itself.
    constexpr qsizetype fewNames = 16;
    QList<qsizetype> found;
    QSet<QString> seen;
    for (qsizetype i = from; i < to; ++i) {
        if (m_lines.at(i).kind != kind)
            continue;
        const QStringView n = name(i);
        if (found.size() < fewNames) {
            if (std::none_of(found.cbegin(), found.cend(),
                             [&](qsizetype k) { return sameName(name(k), n); }))
                found << i;
            continue;
        }
        if (seen.isEmpty())
            for (const qsizetype k : found)
                seen.insert(name(k).toString().toCaseFolded());
        const QString folded = n.toString().toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        found << i;
    }
    return found;
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(header, key);
    if (at < 0)
        return std::nullopt;
    return lineValue(at).toString();
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
    QStringList keys;
    const qsizetype header = findSection(section);
    if (header < 0)
        return keys;
    for (const qsizetype i : firstOfEachName(header + 1, sectionEnd(header), LineKind::Key))
        keys << name(i).toString();
    return keys;
}

QStringList IniText::sections() const {
    QStringList names;
    for (const qsizetype i : firstOfEachName(0, m_lines.size(), LineKind::Section))
        names << name(i).toString();
    return names;
}

QList<std::pair<QString, QString>> IniText::readSectionValues(const QString& section) const {
    QList<std::pair<QString, QString>> values;
    const qsizetype header = findSection(section);
    if (header < 0)
        return values;
    for (const qsizetype i : firstOfEachName(header + 1, sectionEnd(header), LineKind::Key))
        values.append({name(i).toString(), lineValue(i).toString()});
    return values;
}

// Sets one key; the names are valid and the value clean. Returns whether a line changed.
bool IniText::setValue(const QString& sectionName, const QString& keyName, const QString& value) {
    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        replaceLines(m_lines.size(), 0,
                     {QStringLiteral("[%1]").arg(sectionName), keyName + u'=' + value});
        return true;
    }
    const qsizetype at = findKey(header, keyName);
    if (at >= 0) {
        if (lineValue(at) == value)
            return false;
        // Keep the key as it was spelt; only the value changes.
        const QStringView line = raw(at);
        replaceLines(at, 1, {line.left(line.indexOf(u'=') + 1).toString() + value});
        return true;
    }
    // A new key goes after the last non-blank line of its section.
    qsizetype insertAt = sectionEnd(header);
    while (insertAt > header + 1 && raw(insertAt - 1).trimmed().isEmpty())
        --insertAt;
    replaceLines(insertAt, 0, {keyName + u'=' + value});
    return true;
}

bool IniText::writeString(const QString& section, const QString& key, const QString& value) {
    return writeStrings({{section, key, value}});
}

bool IniText::writeStrings(const QList<IniValue>& values) {
    if (!m_readable)
        return false;
    for (const IniValue& v : values) {
        if (!validSectionName(v.section.trimmed()) || !validKeyName(v.key.trimmed()))
            return false;
    }
    // A line break in a value would split it into lines of their own.
    for (const IniValue& v : values)
        setValue(v.section.trimmed(), v.key.trimmed(), oneLineValue(v.value));
    return true;
}

bool IniText::replaceSection(const QString& section,
                             const QList<std::pair<QString, QString>>& values) {
    const QString sectionName = section.trimmed();
    if (!m_readable || !validSectionName(sectionName))
        return false;
    QStringList body;
    body.reserve(values.size());
    for (const auto& [key, value] : values) {
        const QString keyName = key.trimmed();
        if (validKeyName(keyName))
            body << keyName + u'=' + oneLineValue(value);
    }
    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        replaceLines(m_lines.size(), 0, QStringList{QStringLiteral("[%1]").arg(sectionName)} + body);
        return true;
    }
    // Later sections of the same name would show through no more than before: only the first
    // is read, so only the first is replaced. Blank lines that end the section stay.
    qsizetype keep = sectionEnd(header);
    while (keep > header + 1 && raw(keep - 1).trimmed().isEmpty())
        --keep;
    replaceLines(header + 1, keep - header - 1, body);
    return true;
}

bool IniText::eraseSection(const QString& section) {
    if (!m_readable)
        return false;
    // Every section of that name goes, so that none of them shows through afterwards.
    for (qsizetype header = findSection(section); header >= 0; header = findSection(section))
        replaceLines(header, sectionEnd(header) - header, {});
    return true;
}

bool IniText::deleteKey(const QString& section, const QString& key) {
    if (!m_readable)
        return false;
    const qsizetype header = findSection(section);
    if (header < 0)
        return true;
    for (qsizetype at = findKey(header, key); at >= 0; at = findKey(header, key))
        replaceLines(at, 1, {});
    return true;
}

namespace {

// What tells a file's content changed without reading it: a write gives a new size, time of
// change or (for a file replaced by rename, as every save here is) a new inode.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path) {
    struct stat st {};
    if (::stat(nativePath(path).constData(), &st) != 0)
        return {};
    const auto ns = [](const timespec& t) {
        return static_cast<qint64>(t.tv_sec) * 1000000000 + static_cast<qint64>(t.tv_nsec);
    };
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = static_cast<qint64>(st.st_size);
    stamp.modifiedNs = ns(st.st_mtim);
    stamp.changedNs = ns(st.st_ctim);
    stamp.inode = static_cast<quint64>(st.st_ino);
    stamp.device = static_cast<quint64>(st.st_dev);
    return stamp;
}

qint64 nowNs() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + static_cast<qint64>(t.tv_nsec);
}

// The texts last read, by path. Every access still asks the disk (one stat) whether the file is
// the one read; only then is the parse skipped, so a file another program changed is read again,
// and two IniFile objects over one path always agree.
class DocumentCache {
public:
    template <class F> auto read(const QString& path, F&& look) {
        QMutexLocker lock(&m_mutex);
        return look(std::as_const(current(path)));
    }

    // change edits the text in place and returns false when it refuses (then it changed
    // nothing); a changed text is written once. error receives why nothing was written, or is
    // emptied.
    template <class F> bool write(const QString& path, QString& error, F&& change) {
        QMutexLocker lock(&m_mutex);
        error.clear();
        IniText& doc = current(path);
        if (!doc.readable()) {
            error = QStringLiteral("it cannot be read as a settings file, so it is not written over");
            return false;
        }
        if (!change(doc)) {
            error = QStringLiteral("a name would not read back as written");
            return false;
        }
        if (!doc.changed())
            return true;
        const EncodedText encoded = doc.encoded();
        ++writes;
        if (const TextWriteResult written = writeFileAtomically(path, encoded.bytes); !written.ok) {
            // The edit is in the cached copy only: read the file as it is next time.
            m_entries.remove(path);
            error = written.error;
            return false;
        }
        doc.markWritten(encoded.encoding);
        if (const auto it = m_entries.find(path); it != m_entries.end()) {
            Entry& entry = **it;
            entry.stamp = stampOf(path);
            entry.hash = qHash(encoded.bytes);
            entry.verifiedNs = nowNs();
        }
        return true;
    }

    std::atomic<quint64> parses{0};
    std::atomic<quint64> writes{0};

private:
    struct Entry {
        FileStamp stamp;
        IniText doc;
        size_t hash = 0;       // of the bytes the text was read from or written as
        qint64 verifiedNs = 0; // when the file was last known to hold those bytes
        // A file changed within a moment of being read may have changed again within the file
        // system's time resolution, leaving its stamp as it was: only the bytes tell then.
        bool racy() const {
            return stamp.exists &&
                   verifiedNs - std::max(stamp.modifiedNs, stamp.changedNs) < RacyNs;
        }
    };
    // Wider than any file system's time resolution in use (two seconds on the oldest).
    static constexpr qint64 RacyNs = 3'000'000'000;
    // The settings files, FTP.INI, the spell checker's and a few more: enough for all.
    static constexpr qsizetype MaxEntries = 8;

    IniText& current(const QString& path) {
        const FileStamp stamp = stampOf(path);
        const auto it = m_entries.find(path);
        const qint64 now = nowNs();
        std::optional<FileBytesResult> file;
        if (it != m_entries.end() && (*it)->stamp == stamp) {
            Entry& entry = **it;
            if (!entry.racy())
                return entry.doc;
            file = readFileBytes(path);
            if (file->ok && qHash(file->bytes) == entry.hash) {
                entry.verifiedNs = now;
                return entry.doc;
            }
        }
        if (it == m_entries.end() && m_entries.size() >= MaxEntries)
            m_entries.erase(m_entries.begin());
        auto entry = std::make_shared<Entry>();
        // The stamp and the time are taken before the read: a change during it is seen next time.
        entry->stamp = stamp;
        entry->verifiedNs = now;
        if (stamp.exists) {
            if (!file)
                file = readFileBytes(path);
            entry->doc = file->ok ? IniText(file->bytes) : IniText::unreadable();
            entry->hash = file->ok ? qHash(file->bytes) : 0;
            ++parses;
        }
        m_entries.insert(path, entry);
        return entry->doc;
    }

    QMutex m_mutex;
    QHash<QString, std::shared_ptr<Entry>> m_entries;
};

DocumentCache& documents() {
    static DocumentCache cache;
    return cache;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {
}

IniText loadIniText(const IniFile& file) {
    return documents().read(file.path(), [](const IniText& text) { return text; });
}

bool saveIniText(const IniFile& file, const IniText& text) {
    if (!text.readable())
        return false;
    QString error;
    return documents().write(file.path(), error, [&](IniText& doc) {
        if (text.changed())
            doc = text;
        return true;
    });
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return documents().read(m_path, [&](const IniText& text) {
        return text.readString(section, key, def);
    });
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    return documents().read(m_path, [&](const IniText& text) {
        return text.readInteger(section, key, def);
    });
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    return writeStrings({{section, key, value}});
}

bool IniFile::writeStrings(const QList<IniValue>& values) const {
    return documents().write(m_path, m_lastError,
                             [&](IniText& text) { return text.writeStrings(values); });
}

bool IniFile::writeInteger(const QString& section, const QString& key, int value) const {
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString& section, const QString& key, bool value) const {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::isIgnored() const {
    return documents().read(m_path, [](const IniText& text) { return !text.readable(); });
}

bool IniFile::sectionExists(const QString& section) const {
    return documents().read(m_path,
                            [&](const IniText& text) { return text.sectionExists(section); });
}

QStringList IniFile::readSection(const QString& section) const {
    return documents().read(m_path,
                            [&](const IniText& text) { return text.readSection(section); });
}

QStringList IniFile::sections() const {
    return documents().read(m_path, [](const IniText& text) { return text.sections(); });
}

QList<std::pair<QString, QString>> IniFile::readSectionValues(const QString& section) const {
    return documents().read(m_path,
                            [&](const IniText& text) { return text.readSectionValues(section); });
}

bool IniFile::replaceSection(const QString& section,
                             const QList<std::pair<QString, QString>>& values) const {
    return documents().write(m_path, m_lastError, [&](IniText& text) {
        return text.replaceSection(section, values);
    });
}

bool IniFile::eraseSection(const QString& section) const {
    return documents().write(m_path, m_lastError,
                             [&](IniText& text) { return text.eraseSection(section); });
}

bool IniFile::deleteKey(const QString& section, const QString& key) const {
    return documents().write(m_path, m_lastError,
                             [&](IniText& text) { return text.deleteKey(section, key); });
}

quint64 IniFile::parseCount() {
    return documents().parses;
}

quint64 IniFile::writeCount() {
    return documents().writes;
}
