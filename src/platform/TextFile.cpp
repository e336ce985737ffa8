// Reading and writing the user's text files: encoding detection, CR LF line ends, atomic writes.
#include "platform/TextFile.h"

#include "platform/NativeNames.h"
#include "platform/PieceWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

DecodedText decodeText(const QByteArray& bytes) {
    // Stateless so that a sequence cut off at the end counts as invalid instead of being held
    // back; the byte-order mark stays a character so that writing puts it back.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {text, TextEncoding::Utf8};
    return {QString::fromLatin1(bytes), TextEncoding::Latin1};
}

bool fitsLatin1(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

EncodedText encodeText(const QString& text, TextEncoding wanted) {
    if (wanted == TextEncoding::Latin1 && fitsLatin1(text))
        return {text.toLatin1(), TextEncoding::Latin1};
    return {text.toUtf8(), TextEncoding::Utf8};
}

TextEncoding encodingThatReadsBack(const QString& text, TextEncoding wanted) {
    if (wanted != TextEncoding::Latin1 || !fitsLatin1(text))
        return TextEncoding::Utf8;
    const QByteArray bytes = text.toLatin1();
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && decodeText(bytes).encoding == TextEncoding::Utf8 ? TextEncoding::Utf8
                                                                      : TextEncoding::Latin1;
}

QString toCrLf(const QString& text) {
    // One look for the line ends that are not CR LF, then the text written once at its final
    // size: a big page read from disk is never built a character at a time. A text with CR LF
    // throughout (every page this program wrote) comes back as it is.
    const qsizetype n = text.size();
    const QChar* in = text.constData();
    qsizetype added = 0;
    bool changes = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (in[i] == u'\r') {
            if (i + 1 < n && in[i + 1] == u'\n') {
                ++i;
            } else {
                changes = true;
                ++added;
            }
        } else if (in[i] == u'\n') {
            changes = true;
            ++added;
        }
    }
    if (!changes)
        return text;
    QString out(n + added, Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c == u'\r' || c == u'\n') {
            *o++ = u'\r';
            *o++ = u'\n';
            if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
        } else {
            *o++ = c;
        }
    }
    return out;
}

QString notRegularFileText(const QString& path) {
    return QStringLiteral("%1 is not a regular file").arg(QFileInfo(path).fileName());
}

namespace {
// readFileBytes of name relative to the folder dir (AT_FDCWD: the working folder); path names the
// file in the refusal texts.
FileBytesResult readFileBytesAt(int dir, const char* name, const QString& path) {
    FileBytesResult result;
    struct stat st {};
    if (*name == '\0' || ::fstatat(dir, name, &st, 0) != 0) {
        result.error = qt_error_string(*name == '\0' ? ENOENT : errno);
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        result.error = qt_error_string(EISDIR);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = notRegularFileText(path);
        return result;
    }
    // Non-blocking and checked again on the open descriptor: the name may have been swapped for a
    // pipe between the two looks.
    const int fd = ::openat(dir, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.error = qt_error_string(errno);
        return result;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = notRegularFileText(path);
        return result;
    }
    // Read straight from the descriptor into a buffer of the size just seen: site passes read
    // many small files, and a file that grows meanwhile is still read to its end.
    QByteArray bytes(static_cast<qsizetype>(st.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(bytes.size() * 2 + 4096);
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = qt_error_string(errno);
            ::close(fd);
            return result;
        }
        if (n == 0)
            break;
        got += n;
        // A regular file reads short only at its end: no second call just to be told so.
        if (got < bytes.size())
            break;
    }
    ::close(fd);
    bytes.truncate(got);
    result.bytes = std::move(bytes);
    result.ok = true;
    return result;
}
} // namespace

FileBytesResult readFileBytes(const QString& path) {
    return readFileBytesAt(AT_FDCWD, nativePath(path).constData(), path);
}

OpenFolder::OpenFolder(const QString& folder) : m_path(folder) {
    // O_PATH: the folder is only a starting point for names, never read; it needs no read
    // permission, as a path walk needs none.
    m_fd = folder.isEmpty()
               ? AT_FDCWD
               : ::open(nativePath(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

OpenFolder::~OpenFolder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool OpenFolder::isOpen() const {
    return m_fd >= 0 || m_fd == AT_FDCWD;
}

qint64 OpenFolder::regularFileSize(const QByteArray& name) const {
    struct stat st {};
    if (!isOpen() || name.isEmpty() || ::fstatat(m_fd, name.constData(), &st, 0) != 0 ||
        !S_ISREG(st.st_mode))
        return -1;
    return static_cast<qint64>(st.st_size);
}

qint64 regularFileSize(const QString& path) {
    const QByteArray native = nativePath(path);
    struct stat st {};
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<qint64>(st.st_size);
}

FileBytesResult OpenFolder::readFile(const QByteArray& name, const QString& path) const {
    if (!isOpen() || name.isEmpty())
        return readFileBytes(path);
    return readFileBytesAt(m_fd, name.constData(), path);
}

bool looksLikeText(const QByteArray& bytes) {
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            return false;
        if (c == 0x7F)
            return false;
    }
    // Valid UTF-8 or not, every remaining byte is a character: UTF-8 sequences, Latin-1 letters,
    // or the printable characters the Windows code page keeps in 0x80-0x9F (quotes, dashes, the
    // euro sign) that settings files carried over from Windows hold.
    return true;
}

TextReadResult readTextFile(const QString& path) {
    TextReadResult result;
    const FileBytesResult file = readFileBytes(path);
    if (!file.ok) {
        result.error = file.error;
        return result;
    }
    const DecodedText decoded = decodeText(file.bytes);
    result.text = toCrLf(decoded.text);
    result.encoding = decoded.encoding;
    result.ok = true;
    return result;
}

TextWriteResult writeTextFile(const QString& path, const QString& text, TextEncoding encoding) {
    return writeTextFileInPieces(path, text, encoding, {}).result;
}

PieceWriteResult writeTextFileInPieces(const QString& path, const QString& text,
                                       TextEncoding encoding, const WriteProgress& progress) {
    const EncodedText encoded = encodeText(toCrLf(text), encoding);
    PieceWriteResult written = writeFileInPieces(path, encoded.bytes, progress);
    written.result.encoding = encoded.encoding;
    return written;
}

namespace {
// The atomic write for a file whose name Qt cannot spell (Latin-1 bytes): a temporary file beside
// it, the old file's permissions, then a rename over it, as QSaveFile does for every other name.
PieceWriteResult writeNativeAtomically(const QByteArray& native, const QByteArray& bytes,
                                       const WriteProgress& progress) {
    PieceWriteResult written;
    TextWriteResult& result = written.result;
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : native.left(slash == 0 ? 1 : slash);
    const QByteArray base = slash < 0 ? native : native.mid(slash + 1);
    QByteArray temp = folder + (folder.endsWith('/') ? "" : "/") + '.' + base + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        result.error = qt_error_string(errno);
        return written;
    }
    struct stat old {};
    mode_t mode = 0;
    if (::stat(native.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    qsizetype done = 0;
    int error = 0;
    bool stopped = false;
    while (done < bytes.size()) {
        const qsizetype piece = std::min(bytes.size() - done, WritePiece);
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(piece));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            break;
        }
        done += n;
        if (progress && !progress(done, bytes.size())) {
            stopped = true;
            break;
        }
    }
    if (stopped) {
        ::close(fd);
        ::unlink(temp.constData());
        written.stopped = true;
        return written;
    }
    if (error == 0 && ::fchmod(fd, mode) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.constData(), native.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        result.error = qt_error_string(error);
        return written;
    }
    result.ok = true;
    return written;
}
} // namespace

TextWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return writeFileInPieces(path, bytes, {}).result;
}

PieceWriteResult writeFileInPieces(const QString& path, const QByteArray& bytes,
                                   const WriteProgress& progress) {
    const QByteArray native = nativePath(path);
    if (native != QFile::encodeName(path))
        return writeNativeAtomically(native, bytes, progress);
    PieceWriteResult written;
    TextWriteResult& result = written.result;
    // Never fall back to writing the target in place: a failure half-way would destroy it.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered: each piece goes to the system as it is written, so a disk that fills up fails
    // a write with the system's reason; through Qt's buffer the failure came at the commit,
    // told as "Unknown error".
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = file.errorString();
        return written;
    }
    for (qsizetype done = 0; done < bytes.size();) {
        const qsizetype piece = std::min(bytes.size() - done, WritePiece);
        // A short write is no failure yet (it carries no reason): the rest is written again,
        // and the write that fails tells why.
        const qint64 n = file.write(bytes.constData() + done, piece);
        if (n <= 0) {
            result.error = file.errorString();
            file.cancelWriting();
            return written;
        }
        done += n;
        if (progress && !progress(done, bytes.size())) {
            file.cancelWriting();
            written.stopped = true;
            return written;
        }
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return written;
    }
    result.ok = true;
    return written;
}
