// TStarSocket over POSIX sockets: readiness comes from QSocketNotifiers, count-downs from a
// one-second QTimer, host lookups from getaddrinfo() on a worker thread whose answer is queued
// back to the socket's thread.
#include "ftp/starsock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

int WinsockErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return wsa::NoError;
    case EINTR:
        return wsa::Interrupted;
    case EBADF:
    case ENOTSOCK:
        return wsa::NotSocket;
    case EACCES:
    case EPERM:
        return wsa::AccessDenied;
    case EFAULT:
        return wsa::Fault;
    case EINVAL:
        return wsa::Invalid;
    case EMFILE:
    case ENFILE:
        return wsa::TooManyFiles;
    case EAGAIN:
    case EINPROGRESS:
        return wsa::WouldBlock;
    case EALREADY:
        return wsa::InProgress;
    case EMSGSIZE:
        return wsa::MessageSize;
    case EOPNOTSUPP:
        return wsa::NotSupported;
    case EAFNOSUPPORT:
        return wsa::FamilyNoSupport;
    case EADDRINUSE:
        return wsa::AddressInUse;
    case EADDRNOTAVAIL:
        return wsa::AddressNotAvailable;
    case ENETDOWN:
        return wsa::NetworkDown;
    case ENETUNREACH:
        return wsa::NetworkUnreachable;
    case ENETRESET:
        return wsa::NetworkReset;
    case ECONNABORTED:
        return wsa::ConnectionAborted;
    case ECONNRESET:
    case EPIPE: // the peer is gone; a send after its reset ends here
        return wsa::ConnectionReset;
    case ENOBUFS:
    case ENOMEM:
        return wsa::NoBuffers;
    case EISCONN:
        return wsa::IsConnected;
    case ENOTCONN:
        return wsa::NotConnected;
    case ESHUTDOWN:
        return wsa::Shutdown;
    case ETIMEDOUT:
        return wsa::TimedOut;
    case ECONNREFUSED:
        return wsa::ConnectionRefused;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return wsa::HostUnreachable;
    default:
        return wsa::Other;
    }
}

int WinsockErrorFromLookup(int eaiError, int systemErrno) {
    switch (eaiError) {
    case 0:
        return wsa::NoError;
    case EAI_NONAME:
        return wsa::HostNotFound;
    case EAI_AGAIN:
        return wsa::TryAgain;
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return wsa::NoData;
    case EAI_SYSTEM:
        return systemErrno == 0 ? wsa::NoRecovery : WinsockErrorFromErrno(systemErrno);
    default:
        return wsa::NoRecovery;
    }
}

namespace {

// Owner messages travel as posted events, so they run after the current notification returns.
class OwnerMessageEvent : public QEvent {
public:
    static QEvent::Type type() {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    explicit OwnerMessageEvent(int message) : QEvent(type()), m_message(message) {}
    int message() const { return m_message; }

private:
    int m_message;
};

unsigned long nextLookupId() {
    static unsigned long counter = 0;
    return ++counter;
}

} // namespace

// The lookup thread may outlive its socket; it reaches the socket only through this relay,
// whose target the socket clears under the lock when it goes away.
struct TStarSocket::LookupRelay {
    std::mutex mutex;
    TStarSocket* target = nullptr;
};

TStarSocket::TStarSocket(QObject* parent)
    : QObject(parent), m_lookupRelay(std::make_shared<LookupRelay>()) {
    m_lookupRelay->target = this;
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] { countdownTick(); });
}

TStarSocket::~TStarSocket() {
    {
        std::lock_guard lock(m_lookupRelay->mutex);
        m_lookupRelay->target = nullptr;
    }
    // No handler may run from here on: the owner is being torn down.
    OnConnect = OnClose = OnRead = OnWrite = OnAccept = OnTimeOut = OnLookupDone = nullptr;
    OnOwnerMessage = nullptr;
    CloseSocket();
    StopWinsock();
}

bool TStarSocket::StartWinsock() {
    m_winsockStarted = true;
    return true;
}

void TStarSocket::StopWinsock() {
    m_winsockStarted = false;
}

void TStarSocket::CreateSocket() {
    if (m_handle >= 0)
        return;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        LastError = WinsockErrorFromErrno(errno);
        return;
    }
    m_handle = fd;
    LastError = 0;
}

void TStarSocket::LookupHost(const QString& name) {
    if (m_lookupId != 0)
        return;
    const unsigned long id = nextLookupId();
    auto relay = m_lookupRelay;
    std::string host = name.toStdString();
    try {
        std::thread([relay, id, host] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* result = nullptr;
            const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &result);
            const int error = WinsockErrorFromLookup(rc, errno);
            std::uint32_t address = 0;
            if (rc == 0 && result && result->ai_addr) {
                address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
            }
            if (result)
                ::freeaddrinfo(result);
            std::lock_guard lock(relay->mutex);
            if (TStarSocket* target = relay->target) {
                QMetaObject::invokeMethod(
                    target,
                    [target, id, error, address] { target->lookupFinished(id, error, address); },
                    Qt::QueuedConnection);
            }
        }).detach();
    } catch (const std::system_error&) {
        LastError = wsa::NoBuffers;
        return;
    }
    m_lookupId = id;
    LastError = 0;
    startCountdown(TimeOutArp);
}

void TStarSocket::lookupFinished(unsigned long id, int error, std::uint32_t address) {
    if (id != m_lookupId)
        return; // cancelled by CloseSocket
    stopCountdown();
    LastError = error;
    if (error == 0)
        m_resolvedAddress = address;
    m_lookupId = 0;
    if (auto handler = OnLookupDone)
        handler(this);
}

void TStarSocket::cancelLookup() {
    m_lookupId = 0;
}

void TStarSocket::SetAddressFromText(const QString& dotted) {
    in_addr parsed{};
    if (::inet_pton(AF_INET, dotted.toLatin1().constData(), &parsed) == 1)
        m_address = parsed.s_addr;
    else
        m_address = INADDR_NONE; // what the old converter gave for bad text
}

void TStarSocket::SetPort(std::uint16_t hostOrderPort) {
    m_port = htons(hostOrderPort);
}

QString TStarSocket::AddressText() const {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = m_address;
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return QString::fromLatin1(text);
}

std::uint16_t TStarSocket::PortHostOrder() const {
    return ntohs(m_port);
}

void TStarSocket::ConnectSocket() {
    sockaddr_in to{};
    to.sin_family = m_family;
    to.sin_port = m_port;
    to.sin_addr.s_addr = m_address;
    if (m_handle < 0) {
        LastError = wsa::NotSocket;
        return;
    }
    watch(EventRead | EventWrite | EventConnect | EventClose);
    const int rc = ::connect(m_handle, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (rc != 0 && errno != EINPROGRESS) {
        LastError = WinsockErrorFromErrno(errno);
        unwatch();
        return;
    }
    // Completion (also an immediate one) is reported when the socket turns writable.
    m_connecting = true;
    m_writeNotifier->setEnabled(true);
    LastError = 0;
    startCountdown(TimeOutConnect);
}

void TStarSocket::ListenSocket() {
    sockaddr_in local{};
    local.sin_family = m_family;
    local.sin_port = m_port;
    local.sin_addr.s_addr = m_address;
    if (m_handle < 0) {
        LastError = wsa::NotSocket;
        return;
    }
    if (::bind(m_handle, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        LastError = WinsockErrorFromErrno(errno);
        return;
    }
    watch(EventAccept);
    if (::listen(m_handle, 2) != 0) {
        LastError = WinsockErrorFromErrno(errno);
        return;
    }
    LastError = 0;
    armRead();
}

void TStarSocket::AcceptInto(TStarSocket& target) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int fd = ::accept4(m_handle, reinterpret_cast<sockaddr*>(&peer), &length,
                             SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int error = fd < 0 ? errno : 0;
    armRead(); // the listener goes on listening
    if (fd < 0) {
        target.LastError = WinsockErrorFromErrno(error);
        return;
    }
    // A handle the target still holds would otherwise leak.
    target.CloseSocket();
    target.m_handle = fd;
    target.m_address = peer.sin_addr.s_addr;
    target.m_port = peer.sin_port;
    target.LastError = 0;
    target.m_connected = true;
    target.watch(EventRead | EventWrite | EventClose);
    target.armRead();
}

int TStarSocket::SendData(const char* bytes, int count, bool moreFollows) {
    if (m_handle < 0) {
        LastError = wsa::NotSocket;
        return 0;
    }
    if (count <= 0) {
        LastError = 0;
        return 0;
    }
    const int flags = MSG_NOSIGNAL | (moreFollows ? MSG_MORE : 0);
    const ssize_t sent = ::send(m_handle, bytes, static_cast<size_t>(count), flags);
    if (sent > 0) {
        LastError = 0;
        return static_cast<int>(sent);
    }
    const int error = sent < 0 ? WinsockErrorFromErrno(errno) : 0;
    LastError = error == wsa::WouldBlock ? 0 : error;
    return 0;
}

int TStarSocket::ReceiveData(char* buffer, int count) {
    if (m_handle < 0) {
        LastError = wsa::NotSocket;
        return 0;
    }
    const ssize_t got = count > 0 ? ::recv(m_handle, buffer, static_cast<size_t>(count), 0) : 0;
    const int error = got < 0 ? WinsockErrorFromErrno(errno) : 0;
    // A receive asks for the next read notification, as the old library did.
    armRead();
    if (got > 0) {
        LastError = 0;
        return static_cast<int>(got);
    }
    LastError = error == wsa::WouldBlock ? 0 : error;
    return 0;
}

void TStarSocket::CloseSocket() {
    cancelLookup();
    stopCountdown();
    if (m_handle < 0)
        return;
    unwatch();
    LastError = ::close(m_handle) == 0 ? 0 : WinsockErrorFromErrno(errno);
    m_handle = -1;
    m_connected = false;
    m_connecting = false;
}

QString TStarSocket::LocalAddressText() {
    if (m_handle < 0) {
        LastError = wsa::NotSocket;
        return {};
    }
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(m_handle, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        LastError = WinsockErrorFromErrno(errno);
        return {};
    }
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
    LastError = 0;
    return QString::fromLatin1(text);
}

std::uint16_t TStarSocket::LocalPort() {
    if (m_handle < 0) {
        LastError = wsa::NotSocket;
        return 0;
    }
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(m_handle, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        LastError = WinsockErrorFromErrno(errno);
        return 0;
    }
    LastError = 0;
    return ntohs(local.sin_port);
}

void TStarSocket::WaitForWritable() {
    if (m_writeNotifier && !m_connecting)
        m_writeNotifier->setEnabled(true);
}

void TStarSocket::PostOwnerMessage(int message) {
    QCoreApplication::postEvent(this, new OwnerMessageEvent(message));
}

bool TStarSocket::event(QEvent* e) {
    if (e->type() == OwnerMessageEvent::type()) {
        const int message = static_cast<OwnerMessageEvent*>(e)->message();
        if (message > SocketNotify) {
            if (auto handler = OnOwnerMessage)
                handler(message);
        }
        return true;
    }
    return QObject::event(e);
}

void TStarSocket::startCountdown(int seconds) {
    m_timer->stop();
    if (seconds > 0) {
        TimeOutCountdown = seconds;
        m_timer->start();
    }
}

void TStarSocket::stopCountdown() {
    m_timer->stop();
}

void TStarSocket::countdownTick() {
    if (--TimeOutCountdown > 0)
        return;
    CloseSocket();
    if (auto handler = OnTimeOut)
        handler(this);
}

void TStarSocket::watch(int mask) {
    unwatch();
    m_mask = mask;
    m_readNotifier = new QSocketNotifier(m_handle, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, [this] { readReady(); });
    m_writeNotifier = new QSocketNotifier(m_handle, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] { writeReady(); });
}

void TStarSocket::unwatch() {
    // The notifiers may be the senders of the signal being handled right now: disable them at
    // once and let the event loop delete them.
    for (QSocketNotifier* n : {m_readNotifier, m_writeNotifier}) {
        if (n) {
            n->setEnabled(false);
            n->disconnect(this);
            n->deleteLater();
        }
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    m_mask = 0;
}

void TStarSocket::armRead() {
    if (m_readNotifier && !m_connecting)
        m_readNotifier->setEnabled(true);
}

void TStarSocket::readReady() {
    // One notification until the owner receives or accepts again, like the old library.
    m_readNotifier->setEnabled(false);
    if (m_mask & EventAccept) {
        notify(EventAccept, 0);
        return;
    }
    char probe;
    const ssize_t n = ::recv(m_handle, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        notify(EventRead, 0);
    } else if (n == 0) {
        notify(EventClose, 0);
    } else {
        const int error = WinsockErrorFromErrno(errno);
        if (error == wsa::WouldBlock || error == wsa::Interrupted)
            armRead();
        else
            notify(EventClose, error);
    }
}

void TStarSocket::writeReady() {
    m_writeNotifier->setEnabled(false);
    if (!m_connecting) {
        notify(EventWrite, 0);
        return;
    }
    m_connecting = false;
    int soError = 0;
    socklen_t length = sizeof soError;
    if (::getsockopt(m_handle, SOL_SOCKET, SO_ERROR, &soError, &length) != 0)
        soError = errno;
    const int error = WinsockErrorFromErrno(soError);
    if (error == 0)
        armRead();
    notify(EventConnect, error);
}

void TStarSocket::notify(int event, int error) {
    // A handler may delete this socket (or its owner): nothing of it is touched afterwards.
    QPointer<TStarSocket> self(this);
    stopCountdown();
    LastError = error;
    switch (event) {
    case EventRead:
        if (auto handler = OnRead)
            handler(this);
        break;
    case EventWrite:
        if (auto handler = OnWrite)
            handler(this);
        break;
    case EventAccept:
        if (auto handler = OnAccept)
            handler(this);
        break;
    case EventConnect:
        // A failed connect is not a connection; the owner reads the reason from LastError.
        if (error == 0)
            m_connected = true;
        if (auto handler = OnConnect)
            handler(this);
        break;
    case EventClose:
        if (auto handler = OnClose)
            handler(this);
        if (self && m_connected) {
            const int keep = LastError;
            CloseSocket();
            LastError = keep;
        }
        break;
    default:
        break;
    }
}
