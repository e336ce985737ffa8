// Reading references as the server will, and asking the disk about them.
#include "checks/LinkTargets.h"

#include "platform/NativeNames.h"

#include <sys/stat.h>

namespace {

bool isSchemeChar(QChar c, bool first) {
    const char16_t u = c.unicode();
    const bool letter = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
    if (first)
        return letter;
    return letter || (u >= '0' && u <= '9') || u == '+' || u == '-' || u == '.';
}

// The scheme of "scheme:rest", lower-cased; empty when the text has none.
QString schemeOf(const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return {};
    for (qsizetype i = 0; i < colon; ++i)
        if (!isSchemeChar(text[i], i == 0))
            return {};
    return text.left(colon).toLower();
}

// Applies the "/"-separated parts of rel to the folder parts in `parts`. Returns whether a ".."
// had nothing left to climb.
bool walk(QStringList& parts, const QString& rel) {
    bool clamped = false;
    for (const QString& part : rel.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (parts.isEmpty())
                clamped = true;
            else
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    return clamped;
}

QStringList partsOf(const QString& folder) {
    return folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString joined(const QString& root, const QStringList& parts, bool folder) {
    QString path = root + parts.join(QLatin1Char('/'));
    if (folder && !parts.isEmpty())
        path += QLatin1Char('/');
    return path;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isIndexName(const QString& name) {
    return name.startsWith(QLatin1String("index."), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("default."), Qt::CaseInsensitive);
}

} // namespace

QString decodeUrlPath(const QString& text) {
    if (!text.contains(QLatin1Char('%')))
        return text;
    // Qt's own decoder reads any two characters after "%" as digits ("100%.html" would lose
    // its dot): only "%" and two hex digits are an escape here.
    const QByteArray in = text.toUtf8();
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int high = i + 2 < in.size() && in[i] == '%' ? hexValue(in[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(in[i + 2]) : -1;
        if (low < 0) {
            out += in[i];
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return nameFromNative(out);
}

QString commonFolder(const QStringList& paths) {
    if (paths.isEmpty())
        return {};
    QStringList common = partsOf(folderOf(paths.first()));
    for (const QString& p : paths) {
        const QStringList parts = partsOf(folderOf(p));
        qsizetype n = 0;
        while (n < common.size() && n < parts.size() && common[n] == parts[n])
            ++n;
        common = common.mid(0, n);
    }
    return joined(QStringLiteral("/"), common, true);
}

ResolvedTarget resolveTarget(const QString& target, const QString& pageFolder,
                             const QString& siteFolder) {
    ResolvedTarget r;
    // Browsers drop tabs and line ends inside a URL and the blanks around it, and read a back
    // slash as a slash.
    QString t;
    t.reserve(target.size());
    for (const QChar c : target)
        if (c != u'\t' && c != u'\n' && c != u'\r')
            t += c == u'\\' ? QChar(u'/') : c;
    t = t.trimmed();
    if (t.startsWith(QLatin1String("//")))
        return r; // another host
    const QString scheme = schemeOf(t);
    if (!scheme.isEmpty()) {
        // "c:/site/a.gif" is a drive letter, not a scheme.
        if (scheme == QLatin1String("file") || scheme.size() == 1)
            r.kind = ResolvedTarget::Kind::ThisComputer;
        return r;
    }
    if (const qsizetype hash = t.indexOf(QLatin1Char('#')); hash >= 0) {
        r.fragment = decodeUrlPath(t.mid(hash + 1));
        t.truncate(hash);
    }
    if (const qsizetype query = t.indexOf(QLatin1Char('?')); query >= 0)
        t.truncate(query);
    if (t.isEmpty()) {
        r.kind = ResolvedTarget::Kind::SamePage;
        return r;
    }
    r.kind = ResolvedTarget::Kind::Local;
    const QString path = decodeUrlPath(t);
    r.folder = path.endsWith(QLatin1Char('/'));
    const bool fromRoot = path.startsWith(QLatin1Char('/'));
    if (fromRoot)
        r.rootPath = path;
    const bool inSite = !siteFolder.isEmpty() && pageFolder.startsWith(siteFolder);
    if (inSite) {
        QStringList parts = fromRoot ? QStringList() : partsOf(pageFolder.mid(siteFolder.size()));
        r.aboveSite = walk(parts, path);
        r.path = joined(siteFolder, parts, r.folder);
        if (r.aboveSite) {
            QStringList local = fromRoot ? QStringList() : partsOf(pageFolder);
            walk(local, path);
            r.localPath = joined(QStringLiteral("/"), local, r.folder);
        }
    } else {
        QStringList parts = fromRoot ? QStringList() : partsOf(pageFolder);
        walk(parts, path);
        r.path = joined(QStringLiteral("/"), parts, r.folder);
    }
    return r;
}

const DiskEntry& FileLookup::entry(const QString& path) {
    if (const auto it = m_entries.constFind(path); it != m_entries.constEnd())
        return *it;
    DiskEntry e;
    struct stat st {};
    const QByteArray native = nativePath(path);
    const bool found = ::stat(native.constData(), &st) == 0;
    if (found && S_ISREG(st.st_mode)) {
        e.kind = DiskEntry::Kind::File;
        e.size = static_cast<qint64>(st.st_size);
    } else if (found && S_ISDIR(st.st_mode)) {
        e.kind = DiskEntry::Kind::Folder;
        const QString folder = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
        for (const QString& name : namesIn(folder))
            if (isIndexName(name)) {
                e.hasIndexPage = true;
                break;
            }
    } else {
        e.otherCase = findOtherCase(path);
    }
    return *m_entries.insert(path, e);
}

const QStringList& FileLookup::namesIn(const QString& folder) {
    if (const auto it = m_folders.constFind(folder); it != m_folders.constEnd())
        return *it;
    QStringList names;
    const FolderListing listing = listFolder(folder);
    for (const FolderEntry& e : listing.entries)
        names << e.name;
    return *m_folders.insert(folder, names);
}

QString FileLookup::findOtherCase(const QString& path) {
    // Up to the deepest folder that exists as written, then down again name by name, each taken
    // in whatever case the disk has it.
    const bool folder = path.endsWith(QLatin1Char('/'));
    QStringList parts = partsOf(path);
    QStringList missing;
    while (!parts.isEmpty()) {
        missing.prepend(parts.takeLast());
        const QString base = joined(QStringLiteral("/"), parts, true);
        struct stat st {};
        if (::stat(nativePath(base).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            break;
    }
    QString current = joined(QStringLiteral("/"), parts, true);
    for (qsizetype i = 0; i < missing.size(); ++i) {
        QString found;
        for (const QString& name : namesIn(current))
            if (name.compare(missing[i], Qt::CaseInsensitive) == 0) {
                found = name;
                break;
            }
        if (found.isEmpty())
            return {};
        current += found;
        if (i + 1 < missing.size() || folder)
            current += QLatin1Char('/');
    }
    return current == path ? QString() : current;
}
