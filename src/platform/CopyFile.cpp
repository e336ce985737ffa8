// CopyFileTo: chunked, atomic file copies.
#include "platform/CopyFile.h"

#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t ChunkSize = 64 * 1024;

FileCopyResult failed(const QString& error, const QString& reason, const QString& destination) {
    FileCopyResult r;
    r.error = error;
    r.reason = reason;
    r.destination = destination;
    return r;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}
} // namespace

FileCopyResult copyNativeFile(const QByteArray& sourceBytes, const QString& source,
                              const QByteArray& targetBytes) {
    const QString to = nameFromNative(targetBytes);
    const QString cannotOpen = QStringLiteral("Cannot open file ") + source;
    const QString cannotCreate = QStringLiteral("Cannot create file ") + to;

    // A pipe or a device among the files would block the copy in open() or read() for ever.
    struct stat st {};
    if (sourceBytes.isEmpty() || ::stat(sourceBytes.constData(), &st) != 0)
        return failed(cannotOpen, qt_error_string(sourceBytes.isEmpty() ? ENOENT : errno), to);
    if (!S_ISREG(st.st_mode))
        return failed(cannotOpen,
                      S_ISDIR(st.st_mode) ? qt_error_string(EISDIR) : notRegularFileText(source),
                      to);
    const int in = ::open(sourceBytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (in < 0)
        return failed(cannotOpen, qt_error_string(errno), to);
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return failed(cannotOpen, notRegularFileText(source), to);
    }
    const struct timespec modified = st.st_mtim;

    // The copy is written beside its target and renamed over it: a copy that fails half-way
    // leaves the file of that name as it was. A new file gets the usual permissions, a file
    // replaced keeps its own.
    const qsizetype slash = targetBytes.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : targetBytes.left(slash == 0 ? 1 : slash);
    QByteArray temp = folder + (folder.endsWith('/') ? "" : "/") + ".quillon-copy-XXXXXX";
    const int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return failed(cannotCreate, qt_error_string(error), to);
    }
    mode_t mode = 0;
    struct stat old {};
    if (::stat(targetBytes.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const auto fail = [&](const QString& error, int code) {
        ::close(in);
        ::close(out);
        ::unlink(temp.constData());
        return failed(error, qt_error_string(code), to);
    };
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, chunk.data(), ChunkSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(cannotOpen, errno);
        if (n == 0)
            break;
        if (!writeAll(out, chunk.constData(), static_cast<size_t>(n)))
            return fail(cannotCreate, errno == 0 ? ENOSPC : errno);
    }
    ::close(in);
    if (::fchmod(out, mode) != 0 || ::fsync(out) != 0)
        return fail(cannotCreate, errno);
    if (::close(out) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return failed(cannotCreate, qt_error_string(error), to);
    }
    if (::rename(temp.constData(), targetBytes.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return failed(cannotCreate, qt_error_string(error), to);
    }
    // Access time as now, modification time as the source's; a failure here leaves a good copy.
    const struct timespec times[2] = {{0, UTIME_NOW}, modified};
    ::utimensat(AT_FDCWD, targetBytes.constData(), times, 0);
    FileCopyResult r;
    r.ok = true;
    r.destination = to;
    return r;
}

FileCopyResult copyFileTo(const QString& source, const QString& destination) {
    const QByteArray sourceBytes = nativePath(source);
    QByteArray target = nativePath(destination);
    struct stat st {};
    if (!target.isEmpty() && ::stat(target.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        // Into the folder under the name the source has on disk.
        if (!target.endsWith('/'))
            target += '/';
        target += sourceBytes.mid(sourceBytes.lastIndexOf('/') + 1);
    }
    return copyNativeFile(sourceBytes, source, target);
}
