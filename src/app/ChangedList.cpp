// ChangedList: sorted, duplicate-free list of paths to upload.
#include "app/ChangedList.h"

#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

void ChangedList::add(const QString& path) {
    if (path.isEmpty())
        return;
    m_paths << path;
    normalise();
    store();
}

void ChangedList::addAll(const QStringList& paths) {
    for (const QString& p : paths)
        if (!p.isEmpty())
            m_paths << p;
    normalise();
    store();
}

void ChangedList::clear() {
    m_paths.clear();
    store();
}

QString ChangedList::open(const QString& file) {
    m_file = file;
    m_paths.clear();
    m_written.clear();
    m_unreadable = false;
    m_problem.clear();
    if (file.isEmpty() || !pathExists(file))
        return {};
    const FileBytesResult read = readFileBytes(file);
    if (!read.ok || !looksLikeText(read.bytes)) {
        m_unreadable = true;
        m_problem = QStringLiteral("The upload list %1 could not be read (%2); it is not written "
                                   "over, and the files changed now are not kept in it.")
                        .arg(QDir::toNativeSeparators(file),
                             read.ok ? QStringLiteral("it is not a text file") : read.error);
        return m_problem;
    }
    m_paths = queueFromBytes(read.bytes);
    normalise();
    // What the file holds counts as written: it is not written again until the list changes.
    m_written = m_paths;
    if (queueBytes(m_paths) != read.bytes)
        m_written.clear();
    return {};
}

QString ChangedList::keepIn(const QString& file) {
    m_file = file;
    m_unreadable = false;
    m_problem.clear();
    if (!file.isEmpty() && pathExists(file)) {
        const FileBytesResult read = readFileBytes(file);
        if (!read.ok || !looksLikeText(read.bytes)) {
            m_unreadable = true;
            m_problem = QStringLiteral("The upload list %1 could not be read (%2); it is not "
                                       "written over.")
                            .arg(QDir::toNativeSeparators(file),
                                 read.ok ? QStringLiteral("it is not a text file") : read.error);
            return m_problem;
        }
    }
    m_written = QStringList{QStringLiteral("\n")}; // differs from any list: written now
    store();
    return m_problem;
}

namespace {

// The atomic write of a queue file; with a step to run before the rename, the same write
// through QSaveFile with that step between the bytes and the commit.
TextWriteResult writeQueue(const QString& file, const QByteArray& bytes,
                           const std::function<void()>& beforeRename) {
    if (!beforeRename)
        return writeFileAtomically(file, bytes);
    TextWriteResult result;
    QSaveFile out(file);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        result.error = out.errorString();
        out.cancelWriting();
        return result;
    }
    beforeRename();
    result.ok = out.commit();
    if (!result.ok)
        result.error = out.errorString();
    return result;
}

} // namespace

void ChangedList::store(bool always) {
    if (m_file.isEmpty() || m_unreadable || (!always && m_paths == m_written))
        return;
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    const TextWriteResult written = writeQueue(m_file, queueBytes(m_paths), beforeRename);
    if (!written.ok) {
        // The list goes on in memory; the next change tries again.
        m_problem = QStringLiteral("The upload list could not be saved to %1: %2")
                        .arg(QDir::toNativeSeparators(m_file), written.error);
        return;
    }
    m_problem.clear();
    m_written = m_paths;
}

QByteArray ChangedList::queueBytes(const QStringList& paths) {
    QByteArray out;
    for (const QString& path : paths) {
        if (path.contains(u'\r') || path.contains(u'\n'))
            continue;
        out += path.toUtf8();
        out += "\r\n";
    }
    return out;
}

QStringList ChangedList::queueFromBytes(const QByteArray& bytes) {
    QStringList paths;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            paths << decodeText(line).text;
    }
    return paths;
}

QString ChangedList::queueFileFor(const QString& programDirectory, const QString& projectPath) {
    const QString folder = programDirectory + QStringLiteral("queues/");
    if (projectPath.isEmpty())
        return folder + QStringLiteral("no-project.queue");
    const QString full = QFileInfo(projectPath).absoluteFilePath();
    QString base = QFileInfo(full).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("project");
    const QByteArray digest =
        QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    return folder + base + u'-' + QString::fromLatin1(digest) + QStringLiteral(".queue");
}

void ChangedList::replace(const QStringList& paths) {
    m_paths.clear();
    addAll(paths);
}

void ChangedList::normalise() {
    // Case-insensitive order first, then exact spelling, so that equal paths end up side by side
    // and the order of two paths differing only in case does not depend on insertion order.
    std::sort(m_paths.begin(), m_paths.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    m_paths.erase(std::unique(m_paths.begin(), m_paths.end()), m_paths.end());
}

namespace {
char16_t unit(QChar c) {
    return c.unicode();
}
char16_t unit(char c) {
    return static_cast<unsigned char>(c);
}

// Whether a value ends in ".gif" or ".jpg" in any case. Only ASCII letters lower-case to these
// letters, so this is the test on the lower-cased value without making that copy for every
// quoted value of a page.
template <typename Char> bool hasPictureExtension(const Char* value, qsizetype size) {
    if (size < 4 || unit(value[size - 4]) != u'.')
        return false;
    char ext[3];
    for (int i = 0; i < 3; ++i) {
        const char16_t c = unit(value[size - 3 + i]);
        if (c > 0x7F)
            return false;
        ext[i] = static_cast<char>(c >= u'A' && c <= u'Z' ? c + 32 : c);
    }
    return (ext[0] == 'g' && ext[1] == 'i' && ext[2] == 'f') ||
           (ext[0] == 'j' && ext[1] == 'p' && ext[2] == 'g');
}

// The name lower-cased. Lower-casing maps character by character and never makes a separator,
// so a name may be cut from its value before it is lower-cased.
QString lowerName(const QChar* name, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* to = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = name[i].unicode();
        if (c > 0x7F)
            return QStringView(name, size).toString().toLower();
        to[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    }
    return out;
}

// The next double quote from p on, or end; most characters of a page lie between quotes.
const QChar* findQuote(const QChar* p, const QChar* end) {
    const qsizetype at = QStringView(p, end).indexOf(u'"');
    return at < 0 ? end : p + at;
}
const char* findQuote(const char* p, const char* end) {
    // An empty file's bytes may have no address at all, which memchr must never be given.
    if (p == end)
        return end;
    const void* at = std::memchr(p, '"', static_cast<size_t>(end - p));
    return at ? static_cast<const char*>(at) : end;
}

// The first CR or LF from p on, or end: the rest of a value, mostly a few characters.
template <typename Char> const Char* findLineEnd(const Char* p, const Char* end) {
    while (p != end && unit(*p) != u'\r' && unit(*p) != u'\n')
        ++p;
    return p;
}

// The rule itself, over UTF-16 text or over the bytes of a file. A value runs from a quote to
// the next one; with linesInText, each CR or LF ends a line and a value still open there is
// dropped, else the text is one line. Each picture value's name (the part after its last
// separator, as it stands) goes to found in order.
template <bool linesInText, typename Char, typename Found>
void collectNames(const Char* text, qsizetype size, Found&& found) {
    const Char* const end = text + size;
    // Outside a value a line end changes nothing: straight to the next quote.
    const Char* open = findQuote(text, end);
    while (open != end) {
        const Char* const close = findQuote(open + 1, end);
        if (close == end)
            return;
        if constexpr (linesInText) {
            // Dropped at a line end: the quote just found is the next one after it and opens
            // the next value (every character is looked at once, however long the lines).
            if (findLineEnd(open + 1, close) != close) {
                open = close;
                continue;
            }
        }
        if (hasPictureExtension(open + 1, close - open - 1)) {
            const Char* cut = close;
            while (cut != open + 1 && unit(cut[-1]) != u'/' && unit(cut[-1]) != u'\\')
                --cut;
            found(cut, close - cut);
        }
        open = findQuote(close + 1, end);
    }
}
} // namespace

QStringList CollectImageNames(const QStringList& lines) {
    QStringList names;
    const auto found = [&names](const QChar* name, qsizetype size) {
        names << lowerName(name, size);
    };
    for (const QString& line : lines)
        collectNames<false>(line.constData(), line.size(), found);
    return names;
}

QStringList CollectImageNamesInText(QStringView text) {
    QStringList names;
    collectNames<true>(text.data(), text.size(), [&names](const QChar* name, qsizetype size) {
        names << lowerName(name, size);
    });
    return names;
}

void CollectImageNameBytes(QByteArrayView bytes, std::vector<QByteArrayView>& names) {
    collectNames<true>(bytes.data(), bytes.size(), [&names](const char* name, qsizetype size) {
        names.emplace_back(name, size);
    });
}
