// CopyFileTo: chunked, atomic file copies.
#include "platform/CopyFile.h"

#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 ChunkSize = 64 * 1024;

FileCopyResult failed(const QString& error, const QString& reason, const QString& destination) {
    FileCopyResult r;
    r.error = error;
    r.reason = reason;
    r.destination = destination;
    return r;
}
} // namespace

FileCopyResult copyFileTo(const QString& source, const QString& destination) {
    const QFileInfo target(destination);
    const QString to =
        target.isDir()
            ? destination +
                  (destination.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) +
                  QFileInfo(source).fileName()
            : destination;
    const QString cannotOpen = QStringLiteral("Cannot open file ") + source;
    const QString cannotCreate = QStringLiteral("Cannot create file ") + to;

    // A pipe or a device among the files would block the copy in open() or read() for ever.
    const QByteArray native = nativePath(source);
    struct stat st {};
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0)
        return failed(cannotOpen, qt_error_string(native.isEmpty() ? ENOENT : errno), to);
    if (!S_ISREG(st.st_mode))
        return failed(cannotOpen,
                      S_ISDIR(st.st_mode) ? qt_error_string(EISDIR) : notRegularFileText(source),
                      to);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failed(cannotOpen, qt_error_string(errno), to);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(cannotOpen, notRegularFileText(source), to);
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(cannotOpen, in.errorString(), to);
    }
    const struct timespec modified = st.st_mtim;

    QSaveFile out(to);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return failed(cannotCreate, out.errorString(), to);
    QByteArray chunk;
    for (;;) {
        chunk = in.read(ChunkSize);
        if (in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            return failed(cannotOpen, in.errorString(), to);
        }
        if (!chunk.isEmpty() && out.write(chunk) != chunk.size()) {
            const QString reason = out.errorString();
            out.cancelWriting();
            return failed(cannotCreate, reason, to);
        }
        if (chunk.size() < ChunkSize)
            break;
    }
    in.close();
    if (!out.commit())
        return failed(cannotCreate, out.errorString(), to);
    // Access time as now, modification time as the source's; a failure here leaves a good copy.
    const struct timespec times[2] = {{0, UTIME_NOW}, modified};
    ::utimensat(AT_FDCWD, nativePath(to).constData(), times, 0);
    FileCopyResult r;
    r.ok = true;
    r.destination = to;
    return r;
}
