// File names as the disk holds them: decoding for display and finding the bytes again.
#include "platform/NativeNames.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString nameFromNative(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

namespace {
bool exists(const QByteArray& native) {
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0;
}

bool isAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

bool fitsLatin1Bytes(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}
} // namespace

QByteArray nativePath(const QString& path) {
    const QByteArray utf8 = QFile::encodeName(path);
    // Only a name with letters beyond ASCII can differ between the two encodings.
    if (isAscii(path) || exists(utf8))
        return utf8;
    QByteArray out;
    qsizetype start = 0;
    if (path.startsWith(u'/')) {
        out = "/";
        start = 1;
    }
    bool found = true; // whether out, so far, names something that exists
    while (start <= path.size()) {
        qsizetype end = path.indexOf(u'/', start);
        if (end < 0)
            end = path.size();
        const QString part = path.mid(start, end - start);
        if (!part.isEmpty()) {
            QByteArray candidate = out + part.toUtf8();
            if (found && !isAscii(part) && !exists(candidate) && fitsLatin1Bytes(part)) {
                const QByteArray latin1 = out + part.toLatin1();
                if (exists(latin1))
                    candidate = latin1;
            }
            out = candidate;
            found = found && exists(out);
        }
        if (end < path.size())
            out += '/';
        start = end + 1;
    }
    return out;
}

FolderListing listFolder(const QString& folder) {
    FolderListing listing;
    const QByteArray native = nativePath(folder.isEmpty() ? QStringLiteral(".") : folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        listing.error = qt_error_string(errno);
        return listing;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        listing.error = qt_error_string(errno);
        ::close(fd);
        return listing;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        FolderEntry item;
        item.native = name;
        item.name = nameFromNative(name);
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0) {
            if (S_ISREG(st.st_mode))
                item.kind = FolderEntry::Kind::File;
            else if (S_ISDIR(st.st_mode))
                item.kind = FolderEntry::Kind::Folder;
        }
        listing.entries.push_back(std::move(item));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        listing.error = qt_error_string(readError);
        return listing;
    }
    listing.ok = true;
    return listing;
}

bool pathExists(const QString& path) {
    return !path.isEmpty() && exists(nativePath(path));
}
