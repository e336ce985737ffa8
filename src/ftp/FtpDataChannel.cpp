// The data connection: connect or accept, TLS once the server has the command under way, a
// listing read line by line, an upload sent as fast as the socket takes it (continued on its
// write notification, never in a loop of its own), and the end told once.
#include "ftp/FtpDataChannel.h"

#include "ftp/FtpReply.h"
#include "ftp/FtpTls.h"

#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");
// The longest stretch one write notification keeps sending before it lets other events run;
// a peer that takes everything at once must not freeze the program.
constexpr qint64 kSendSliceNs = 10 * 1000 * 1000;
// The most one sendfile() call is asked for; the socket's buffer limits it anyway.
constexpr size_t kSendfileChunk = 16 * 1024 * 1024;

// sendfile() has no MSG_NOSIGNAL: a server that has gone away would end the program with
// SIGPIPE. The signal is blocked around the call, and one it raised is taken back.
ssize_t sendfileWithoutSigpipe(int socket, int file, off_t* offset, size_t count) {
    sigset_t pipeSet, oldSet, pendingBefore;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    sigpending(&pendingBefore);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &oldSet);
    const ssize_t sent = ::sendfile(socket, file, offset, count);
    const int error = errno;
    if (sent < 0 && error == EPIPE && !sigismember(&pendingBefore, SIGPIPE)) {
        const timespec noWait{};
        sigtimedwait(&pipeSet, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &oldSet, nullptr);
    errno = error;
    return sent;
}

} // namespace

FtpDataChannel::FtpDataChannel(Owner& owner) : m_owner(owner) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, &m_socket, [this] { fail(End::TimedOut); });
}

FtpDataChannel::~FtpDataChannel() {
    m_tls.reset();
    m_listener.CloseSocket();
    m_socket.CloseSocket();
    closeFile();
}

void FtpDataChannel::prepare(Direction direction, FtpTlsContext* tls, const FtpTlsChannel* control,
                             const QString& fingerprint) {
    closeSockets();
    ++m_generation;
    m_ended = false;
    m_direction = direction;
    m_tlsContext = tls;
    m_controlTls = control;
    m_fingerprint = fingerprint;
    m_remainder.clear();
    m_commandSent = false;
    m_started = false;
    m_socket.OnConnect = nullptr;
    m_listener.OnAccept = [this](TStarSocket*) { accepted(); };
    if (direction == Direction::Listing) {
        m_socket.OnRead = [this](TStarSocket*) { readListing(); };
        m_socket.OnClose = [this](TStarSocket*) { listingEnd(); };
        // Only a TLS handshake ever waits for the socket to take data.
        m_socket.OnWrite = [this](TStarSocket*) { up(); };
        return;
    }
    m_socket.OnRead = [this](TStarSocket* socket) {
        if (m_tlsContext) {
            if (m_tls)
                drainTls();
            return;
        }
        // Nothing is expected from the server here; what comes is dropped, and reading on
        // keeps its close in sight.
        char sink[512];
        socket->ReceiveData(sink, sizeof sink);
    };
    m_socket.OnClose = [this](TStarSocket*) { uploadClosed(); };
    m_socket.OnWrite = [this](TStarSocket*) { pump(); };
}

bool FtpDataChannel::listen(const QString& address, QString& listenAddress, std::uint16_t& port) {
    m_listener.CloseSocket();
    m_listener.SetAddressFromText(address);
    m_listener.SetPort(0);
    m_listener.CreateSocket();
    if (m_listener.LastError == 0)
        m_listener.ListenSocket();
    if (address.isEmpty() || m_listener.LastError != 0) {
        m_listener.CloseSocket();
        return false;
    }
    listenAddress = m_listener.LocalAddressText();
    port = m_listener.LocalPort();
    if (m_listener.LastError != 0)
        return false;
    touch();
    return true;
}

bool FtpDataChannel::connectTo(const QString& address, std::uint16_t port) {
    m_socket.OnConnect = [this](TStarSocket*) { connected(); };
    m_socket.SetAddressFromText(address);
    m_socket.SetPort(port);
    m_socket.CreateSocket();
    if (m_socket.LastError == 0)
        m_socket.ConnectSocket();
    if (m_socket.LastError != 0)
        return false;
    // The same time-out as the server's connection back in active mode.
    touch();
    return true;
}

void FtpDataChannel::transferUnderway() {
    m_underway = true;
    maybeStartTls();
}

void FtpDataChannel::commandSent() {
    m_commandSent = true;
    // Connected before STOR went out: the file goes now.
    if (m_direction == Direction::Upload)
        startUpload();
}

void FtpDataChannel::finalReplyCame() {
    if (!m_awaitingEnd)
        return;
    // What the server sent there (a session ticket) is taken first.
    if (drainTls())
        uploadClosed();
}

void FtpDataChannel::setFile(int fd, qint64 size) {
    closeFile();
    m_fileFd = fd;
    m_fileSize = size;
}

void FtpDataChannel::closeSockets() {
    // A TLS data connection ends with close_notify: servers forget a session whose
    // connection ended without it, and the next data connection could not resume it.
    if (m_tls && m_tls->established() && !m_shutdownSent && m_socket.HasHandle())
        m_tls->shutdown();
    // The channel goes first: it only borrows the socket.
    m_tls.reset();
    m_up = false;
    m_underway = false;
    m_tlsClosed = false;
    m_shutdownSent = false;
    m_awaitingEnd = false;
    m_socket.CloseSocket();
    m_listener.CloseSocket();
    m_timer.stop();
}

void FtpDataChannel::closeFile() {
    if (m_fileFd >= 0)
        ::close(m_fileFd);
    m_fileFd = -1;
    m_sending = false;
    m_block.clear();
    m_blockOffset = 0;
}

void FtpDataChannel::touch() {
    if (TimeOut > 0)
        m_timer.start(TimeOut * 1000);
}

void FtpDataChannel::end(End reason) {
    m_ended = true;
    close();
    m_owner.dataEnded(reason);
}

void FtpDataChannel::fail(End reason, int socketError) {
    if (socketError != 0)
        m_socket.LastError = socketError;
    end(reason);
}

// ---- connecting ----

void FtpDataChannel::accepted() {
    m_listener.AcceptInto(m_socket);
    if (m_socket.LastError != 0) {
        fail(End::Broken);
        return;
    }
    // One data connection per command: nobody else gets to connect to us.
    m_listener.CloseSocket();
    touch();
    m_up = true;
    if (m_direction == Direction::Listing) {
        m_bytes = 0;
        m_startTick.start();
        m_elapsedMs = 0;
        m_remainder.clear();
    }
    m_owner.dataConnected(false);
    maybeStartTls();
    // The file goes out only after STOR: before it the server has nowhere to put the bytes.
    if (m_direction == Direction::Upload && m_commandSent)
        startUpload();
}

void FtpDataChannel::connected() {
    m_socket.OnConnect = nullptr;
    if (m_socket.LastError != 0) {
        fail(End::Broken);
        return;
    }
    touch();
    if (m_direction == Direction::Listing) {
        m_bytes = 0;
        m_startTick.start();
        m_elapsedMs = 0;
        m_remainder.clear();
    }
    m_up = true;
    m_owner.dataConnected(true);
}

// ---- TLS ----

// The handshake starts once the connection is up and the server has said (1xx) that the
// command is under way: some servers drop a data connection that talks before they have a
// transfer for it, and the others only answer the handshake after the command anyway.
void FtpDataChannel::maybeStartTls() {
    if (!m_tlsContext || m_tls || !m_up || !m_underway || !m_socket.HasHandle())
        return;
    m_tls = std::make_unique<FtpTlsChannel>(*m_tlsContext, m_socket.Handle(), QString());
    if (!m_tls->ok()) {
        fail(End::TlsFailed);
        return;
    }
    if (m_controlTls)
        m_tls->resumeFrom(*m_controlTls, *m_tlsContext);
    up();
}

// True when the data can flow: no TLS, or its handshake is through. Otherwise it drives the
// handshake on and arms the notification it waits for.
bool FtpDataChannel::up() {
    if (!m_tls)
        return !m_tlsContext;
    if (m_tls->established())
        return true;
    switch (m_tls->handshake()) {
    case FtpTlsChannel::Result::WantRead:
        m_socket.WaitForReadable();
        return false;
    case FtpTlsChannel::Result::WantWrite:
        m_socket.WaitForWritable();
        return false;
    case FtpTlsChannel::Result::Done:
        break;
    default:
        fail(End::TlsFailed);
        return false;
    }
    // The data connection must be the control connection's server: the same certificate.
    if (m_tls->certificate().Sha256Fingerprint != m_fingerprint) {
        fail(End::TlsFailed);
        return false;
    }
    touch();
    QMetaObject::invokeMethod(
        &m_socket,
        [this, generation = m_generation] {
            if (generation == m_generation && !m_ended)
                tlsReady();
        },
        Qt::QueuedConnection);
    return true;
}

// The handshake is through: the side that waited for it goes on.
void FtpDataChannel::tlsReady() {
    if (!m_tls || !m_socket.HasHandle())
        return;
    if (m_direction == Direction::Listing) {
        m_socket.WaitForReadable();
        readListing();
    } else if (m_commandSent) {
        startUpload();
    }
}

// Uploads read nothing, but TLS may still send records (session tickets, close_notify): they
// are read and dropped, so that the channel stays whole and the close stays in sight. Once the
// upload and its close_notify are out, the server's close_notify or the end of the connection
// ends the transfer.
bool FtpDataChannel::drainTls() {
    if (!up())
        return !m_ended;
    char sink[4096];
    for (int i = 0; i < 16; ++i) {
        int count = 0;
        const FtpTlsChannel::Result result = m_tls->read(sink, sizeof sink, count);
        if (result == FtpTlsChannel::Result::Done)
            continue;
        if (m_awaitingEnd &&
            (result == FtpTlsChannel::Result::Closed || result == FtpTlsChannel::Result::Failed)) {
            // Everything of ours was out before; whether the file arrived whole is for the
            // server's final reply to say.
            uploadClosed();
            return false;
        }
        if (result == FtpTlsChannel::Result::Failed) {
            fail(End::Broken, wsa::ConnectionReset);
            return false;
        }
        break;
    }
    m_socket.WaitForReadable();
    return true;
}

// ---- the listing ----

int FtpDataChannel::receive() {
    if (!m_tls)
        return m_socket.ReceiveData(m_buffer.data(), ReadBlockSize);
    m_socket.LastError = 0;
    int total = 0;
    // Records are taken until the socket has no more for now (one read gives one record).
    while (total < ReadBlockSize && !m_tlsClosed) {
        int count = 0;
        const FtpTlsChannel::Result result =
            m_tls->read(m_buffer.data() + total, ReadBlockSize - total, count);
        if (result == FtpTlsChannel::Result::Done) {
            total += count;
            continue;
        }
        if (result == FtpTlsChannel::Result::Closed)
            m_tlsClosed = true; // close_notify: the listing is whole
        else if (result == FtpTlsChannel::Result::Failed)
            m_socket.LastError = wsa::ConnectionReset;
        break;
    }
    m_socket.WaitForReadable();
    return total;
}

bool FtpDataChannel::readListing() {
    if (!up())
        return !m_ended;
    const int count = receive();
    if (m_socket.LastError != 0) {
        fail(End::Broken);
        return false;
    }
    if (count <= 0) {
        // The server ended TLS: the end of the listing, even before its TCP close.
        if (m_tlsClosed && m_socket.HasHandle()) {
            listingEnd();
            return false;
        }
        return true;
    }
    touch();
    m_bytes += count;
    appendBounded(QByteArray(m_buffer.data(), count));
    qsizetype lineEnd;
    while ((lineEnd = m_remainder.indexOf(kCrLf)) >= 0) {
        const QByteArray line = m_remainder.left(lineEnd);
        m_remainder.remove(0, lineEnd + 2);
        m_elapsedMs = m_startTick.isValid() ? m_startTick.elapsed() : 0;
        if (!m_owner.dataLine(line))
            return false;
    }
    if (m_tlsClosed) {
        listingEnd();
        return false;
    }
    return true;
}

void FtpDataChannel::listingEnd() {
    if (m_ended)
        return;
    if (m_socket.OnRead && !m_tlsClosed) {
        // The read may have met the end of TLS and finished the listing itself.
        if (!readListing() || m_ended)
            return;
    }
    // A last line the server did not end with CR LF is still part of the listing.
    if (!m_remainder.isEmpty()) {
        const QByteArray line = m_remainder;
        m_remainder.clear();
        m_elapsedMs = m_startTick.isValid() ? m_startTick.elapsed() : 0;
        if (!m_owner.dataLine(line))
            return;
    }
    m_elapsedMs = m_startTick.isValid() ? m_startTick.elapsed() : 0;
    m_socket.OnRead = nullptr;
    end(End::Complete);
}

void FtpDataChannel::appendBounded(const QByteArray& bytes) {
    m_remainder.append(bytes);
    // Nothing beyond MaxLineLength of one line matters; keep a trailing CR so that a CR LF
    // split across reads still ends the line.
    const qsizetype lastBreak = m_remainder.lastIndexOf(kCrLf);
    const qsizetype tailStart = lastBreak < 0 ? 0 : lastBreak + 2;
    if (m_remainder.size() - tailStart > FtpReplyAssembler::MaxLineLength) {
        const bool endsWithCr = m_remainder.endsWith('\r');
        m_remainder.truncate(tailStart + FtpReplyAssembler::MaxLineLength);
        if (endsWithCr)
            m_remainder.append('\r');
    }
}

// ---- the upload ----

void FtpDataChannel::startUpload() {
    if (!m_up || m_started || !m_socket.HasHandle() || !m_commandSent)
        return;
    // Over TLS the file waits for the handshake (tlsReady comes back here).
    if (m_tlsContext && (!m_tls || !m_tls->established()))
        return;
    m_started = true;
    m_sending = true;
    m_bytes = 0;
    m_reportedBytes = 0;
    m_progressPending = false;
    // TLS encrypts in our memory: the file is read in blocks.
    m_useSendfile = SendStraightFromFile && !m_tlsContext;
    m_startTick.start();
    m_progressClock.invalidate();
    m_elapsedMs = 0;
    touch();
    if (!m_owner.dataStarted(m_fileSize))
        return;
    // The first bytes go on the socket's first write notification, after this reply or
    // accept has been handled.
    m_socket.WaitForWritable();
}

bool FtpDataChannel::progress() {
    m_elapsedMs = m_startTick.elapsed();
    // The first bytes out are reported at once, later ones at most every ProgressIntervalMs
    // after the owner has shown the one before; the end of the file is told by the end of the
    // transfer right after.
    if (m_bytes == m_reportedBytes || m_progressPending ||
        (m_progressClock.isValid() && m_progressClock.elapsed() < ProgressIntervalMs))
        return true;
    m_progressPending = true;
    m_reportedBytes = m_bytes;
    return m_owner.dataProgress();
}

void FtpDataChannel::progressShown() {
    m_progressPending = false;
    m_progressClock.start();
}

void FtpDataChannel::pump() {
    if (!up() || m_awaitingEnd)
        return;
    if (m_shutdownSent) {
        uploadSent();
        return;
    }
    if (!m_sending || m_fileFd < 0 || !m_socket.HasHandle())
        return;
    const int socket = m_socket.Handle();
    QElapsedTimer slice;
    slice.start();
    while (m_bytes < m_fileSize) {
        const qint64 left = m_fileSize - m_bytes;
        ssize_t sent;
        if (m_useSendfile) {
            off_t offset = static_cast<off_t>(m_bytes);
            sent = sendfileWithoutSigpipe(socket, m_fileFd, &offset,
                                          static_cast<size_t>(qMin<qint64>(left, kSendfileChunk)));
            if (sent < 0 && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                // Not every file system sends straight from the file: read it instead.
                m_useSendfile = false;
                continue;
            }
            if (sent == 0) {
                // The file is shorter than it was when the upload started.
                end(End::FileRead);
                return;
            }
        } else {
            if (m_blockOffset == m_block.size()) {
                m_block.resize(static_cast<qsizetype>(qMin<qint64>(left, UploadBlockSize)));
                const ssize_t got =
                    ::pread(m_fileFd, m_block.data(), static_cast<size_t>(m_block.size()),
                            static_cast<off_t>(m_bytes));
                if (got <= 0) {
                    end(End::FileRead);
                    return;
                }
                m_block.resize(got);
                m_blockOffset = 0;
            }
            const bool more = m_bytes + (m_block.size() - m_blockOffset) < m_fileSize;
            if (m_tls) {
                int count = 0;
                const FtpTlsChannel::Result result =
                    m_tls->write(m_block.constData() + m_blockOffset,
                                 static_cast<int>(m_block.size() - m_blockOffset), count);
                if (result == FtpTlsChannel::Result::Done) {
                    sent = count;
                } else if (result == FtpTlsChannel::Result::WantRead ||
                           result == FtpTlsChannel::Result::WantWrite) {
                    sent = -1;
                    errno = EAGAIN;
                } else {
                    sent = -1;
                    errno = ECONNRESET;
                }
            } else {
                sent = ::send(socket, m_block.constData() + m_blockOffset,
                              static_cast<size_t>(m_block.size() - m_blockOffset),
                              MSG_NOSIGNAL | (more ? MSG_MORE : 0));
            }
            if (sent > 0)
                m_blockOffset += sent;
        }
        if (sent < 0) {
            const int error = WinsockErrorFromErrno(errno);
            if (error == wsa::WouldBlock || error == wsa::Interrupted)
                break;
            fail(End::Broken, error);
            return;
        }
        m_bytes += sent;
        if (!progress())
            return;
        if (slice.nsecsElapsed() >= kSendSliceNs)
            break;
    }
    if (m_bytes < m_fileSize) {
        // Full for now: the rest follows on the next write notification.
        touch();
        m_socket.WaitForWritable();
        return;
    }
    uploadSent();
}

void FtpDataChannel::uploadSent() {
    m_sending = false;
    // Over TLS the end of the file is told by close_notify before the connection closes, so
    // the server can tell a whole file from a cut one.
    if (m_tls && m_socket.HasHandle()) {
        // A session ticket the server sent on this connection is taken before it closes:
        // the next data connection resumes with it.
        if (!m_shutdownSent) {
            char sink[4096];
            int count = 0;
            while (m_tls->read(sink, sizeof sink, count) == FtpTlsChannel::Result::Done) {
            }
        }
        m_shutdownSent = true;
        if (m_tls->shutdown() == FtpTlsChannel::Result::WantWrite) {
            touch();
            m_socket.WaitForWritable();
            return;
        }
        // The socket stays open until the server has seen it all. Closed now, with a record
        // of the server's still unread (a session ticket that came late), the system would
        // reset the connection and drop what it had not sent yet, close_notify included: the
        // server would take the whole file for a cut one. Our side ends here, for servers
        // that read up to the end of the stream rather than to close_notify; the server's
        // close_notify, its close or its final reply ends the wait (under the data time-out).
        ::shutdown(m_socket.Handle(), SHUT_WR);
        m_awaitingEnd = true;
        touch();
        drainTls();
        return;
    }
    // Closing the data connection is the end of the file for the server.
    m_elapsedMs = m_startTick.elapsed();
    end(End::Complete);
}

void FtpDataChannel::uploadClosed() {
    // Reset while the file was still going out: the same broken connection a send would have
    // met, whichever of the two notifications comes first.
    if (m_sending && m_socket.LastError != 0) {
        fail(End::Broken);
        return;
    }
    // The server closed the data connection before we finished sending: the file is not
    // complete on the server, whatever the server says next.
    const End reason = m_sending || !m_started ? End::ClosedEarly : End::Complete;
    m_elapsedMs = m_startTick.isValid() ? m_startTick.elapsed() : 0;
    end(reason);
}
