// TStarSocket: one non-blocking IPv4 stream socket that reports connect, read, write, accept,
// close, host-lookup completion and time-outs through handlers run from the Qt event loop, and
// keeps the error code of its last step in LastError (Winsock numbering, see
// WinsockErrorFromErrno).
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

// Error numbers as the FTP engine knows them (Winsock 1.1 numbering).
namespace wsa {
constexpr int NoError = 0;
constexpr int Interrupted = 10004;  // EINTR
constexpr int BadHandle = 10009;    // EBADF
constexpr int AccessDenied = 10013; // EACCES
constexpr int Fault = 10014;        // EFAULT
constexpr int Invalid = 10022;      // EINVAL
constexpr int TooManyFiles = 10024; // EMFILE / ENFILE
constexpr int WouldBlock = 10035;   // EWOULDBLOCK / EAGAIN / EINPROGRESS
constexpr int InProgress = 10036;   // EALREADY (an operation is already running)
constexpr int NotSocket = 10038;    // ENOTSOCK
constexpr int MessageSize = 10040;  // EMSGSIZE
constexpr int NotSupported = 10045; // EOPNOTSUPP
constexpr int FamilyNoSupport = 10047;
constexpr int AddressInUse = 10048;
constexpr int AddressNotAvailable = 10049;
constexpr int NetworkDown = 10050;
constexpr int NetworkUnreachable = 10051;
constexpr int NetworkReset = 10052;
constexpr int ConnectionAborted = 10053;
constexpr int ConnectionReset = 10054;
constexpr int NoBuffers = 10055;
constexpr int IsConnected = 10056;
constexpr int NotConnected = 10057;
constexpr int Shutdown = 10058;
constexpr int TimedOut = 10060;
constexpr int ConnectionRefused = 10061;
constexpr int HostUnreachable = 10065;
constexpr int NotInitialised = 10093;
constexpr int HostNotFound = 11001;
constexpr int TryAgain = 11002;
constexpr int NoRecovery = 11003;
constexpr int NoData = 11004;
// Anything the table above has no number for.
constexpr int Other = 10000;
} // namespace wsa

// Maps an errno value to the error number the engine's error table expects.
int WinsockErrorFromErrno(int error);
// Maps a getaddrinfo() result (EAI_*) to a host-lookup error number (11001-11004).
int WinsockErrorFromLookup(int eaiError, int systemErrno);

class TStarSocket : public QObject {
    Q_OBJECT

public:
    // Message numbers of the socket window; owner messages are numbers above SocketNotify.
    static constexpr int LookupDoneMessage = 1024;
    static constexpr int SocketNotify = 1025;

    // Notification events, also the bits of the notification masks.
    enum Event : int {
        EventRead = 1,
        EventWrite = 2,
        EventAccept = 8,
        EventConnect = 16,
        EventClose = 32,
    };

    using Handler = std::function<void(TStarSocket*)>;
    using OwnerHandler = std::function<void(int message)>;

    explicit TStarSocket(QObject* parent = nullptr);
    ~TStarSocket() override;

    TStarSocket(const TStarSocket&) = delete;
    TStarSocket& operator=(const TStarSocket&) = delete;

    // There is no library to start here; kept so the engine's steps read as they always did.
    bool StartWinsock();
    void StopWinsock();
    bool IsWinsockStarted() const { return m_winsockStarted; }

    void CreateSocket();
    void LookupHost(const QString& name);
    void UseResolvedAddress() { m_address = m_resolvedAddress; }
    void SetAddressFromText(const QString& dotted);
    void SetPort(std::uint16_t hostOrderPort);
    void ConnectSocket();
    void ListenSocket();
    void AcceptInto(TStarSocket& target);
    // moreFollows lets the system gather small sends into full segments (the upload's blocks);
    // the last send of a burst goes without it so nothing waits in the system.
    int SendData(const char* bytes, int count, bool moreFollows = false);
    int ReceiveData(char* buffer, int count);
    void CloseSocket();
    QString LocalAddressText();
    std::uint16_t LocalPort();

    // Arms a one-shot write notification: OnWrite runs once the socket can take data again.
    // Senders that got a would-block result use it to sleep instead of spinning.
    void WaitForWritable();
    // Arms the read notification again without a receive (a reader that had to skip one).
    void WaitForReadable() { armRead(); }

    // Posts a message to this socket's window; the owner handler receives it once the current
    // notification has returned.
    void PostOwnerMessage(int message);

    bool HasHandle() const { return m_handle >= 0; }
    int Handle() const { return m_handle; }
    bool SocketConnected() const { return m_connected; }
    QString AddressText() const;
    std::uint16_t PortHostOrder() const;
    bool LookupPending() const { return m_lookupId != 0; }

    int LastError = 0;
    int TimeOutConnect = 0;
    int TimeOutArp = 0;
    int TimeOutCountdown = 0;

    Handler OnConnect;
    Handler OnClose;
    Handler OnRead;
    Handler OnWrite;
    Handler OnAccept;
    Handler OnTimeOut;
    Handler OnLookupDone;
    OwnerHandler OnOwnerMessage;

protected:
    bool event(QEvent* e) override;

private:
    struct LookupRelay;

    void startCountdown(int seconds);
    void stopCountdown();
    void countdownTick();
    void watch(int mask);
    void unwatch();
    void armRead();
    void readReady();
    void writeReady();
    void lookupFinished(unsigned long id, int error, std::uint32_t address);
    void notify(int event, int error);
    void cancelLookup();

    int m_handle = -1;
    std::uint16_t m_family = 2;
    std::uint16_t m_port = 0;    // network order
    std::uint32_t m_address = 0; // network order
    bool m_connected = false;
    bool m_connecting = false;
    bool m_winsockStarted = false;
    int m_mask = 0;
    std::uint32_t m_resolvedAddress = 0;
    unsigned long m_lookupId = 0;
    std::shared_ptr<LookupRelay> m_lookupRelay;
    QTimer* m_timer = nullptr;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};
