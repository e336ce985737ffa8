// The data connection of one LIST or STOR: the engine's listening socket for the server's
// connection back (active mode) or its own connection to the server (passive mode), TLS on
// it when the data is protected, the reader of a listing or the pump of an upload, and the
// half-close that ends a TLS upload. It ends once, with a reason (End), told to its owner.
#pragma once

#include "ftp/starsock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>

class FtpTlsContext;
class FtpTlsChannel;

class FtpDataChannel {
public:
    enum class Direction { Listing, Upload };
    // How the data connection ended.
    enum class End {
        Complete,    // the listing was read whole, or the whole file went out
        ClosedEarly, // the server closed it before the whole file was out
        FileRead,    // the local file could not be read to its end
        Broken,      // the connection failed (connect, accept, send, receive)
        TlsFailed,   // the TLS handshake failed, or another certificate than the control's
        TimedOut,    // silent longer than the data time-out
    };

    // What the channel tells the engine that owns it. A false return means the engine was cut
    // off or deleted by the handler it called: the channel touches nothing of itself then.
    class Owner {
    public:
        virtual ~Owner() = default;
        // The connection is up: accepted from the server (active mode), or made to it
        // (passive mode: the command can go out now).
        virtual void dataConnected(bool passive) = 0;
        // One line of a listing, without its CR LF.
        virtual bool dataLine(const QByteArray& line) = 0;
        // An upload's first bytes are about to go: the size of the file.
        virtual bool dataStarted(qint64 size) = 0;
        // More of the upload went out. The next is told only after progressShown, and at
        // least ProgressIntervalMs after it.
        virtual bool dataProgress() = 0;
        // The channel is closed already; called once per transfer.
        virtual void dataEnded(End end) = 0;
    };

    static constexpr int ReadBlockSize = 64 * 1024;
    static constexpr int UploadBlockSize = 256 * 1024;
    static constexpr int ProgressIntervalMs = 50;

    explicit FtpDataChannel(Owner& owner);
    ~FtpDataChannel();
    FtpDataChannel(const FtpDataChannel&) = delete;
    FtpDataChannel& operator=(const FtpDataChannel&) = delete;

    // Seconds the connection may stay silent (0: for ever).
    int TimeOut = 60;
    // Uploads go straight from the file (sendfile) where the system allows it.
    bool SendStraightFromFile = true;

    // Gets the channel ready for a transfer: what it carries and, for protected data, the
    // TLS context, the control connection's channel (its session is offered for resumption)
    // and the fingerprint the data connection's certificate must have. Closes what was open.
    void prepare(Direction direction, FtpTlsContext* tls = nullptr,
                 const FtpTlsChannel* control = nullptr, const QString& fingerprint = {});
    // Active mode: listens on the address; false when no listener could be made.
    bool listen(const QString& address, QString& listenAddress, std::uint16_t& port);
    // Passive mode: connects to the server; false when the connect failed at once. The owner
    // hears dataConnected once the connection is up.
    bool connectTo(const QString& address, std::uint16_t port);
    // The server said (1xx) that the command is under way: TLS may start.
    void transferUnderway();
    // STOR went out: the file may go as soon as the connection is up.
    void commandSent();
    // The server's final reply came before its end of a TLS upload: nothing more is needed
    // from the connection; what it sent there is read first, then the transfer ends.
    void finalReplyCame();

    // The file an upload sends; the channel owns the descriptor until closeFile.
    void setFile(int fd, qint64 size);
    qint64 fileSize() const { return m_fileSize; }
    // The sockets and the TLS channel (close_notify first when TLS is up).
    void closeSockets();
    void closeFile();
    void close() {
        closeSockets();
        closeFile();
    }
    // The owner has shown the last progress: the clock to the next one starts now.
    void progressShown();
    // Still waiting for the TLS upload's end from the server.
    bool awaitingEnd() const { return m_awaitingEnd; }

    qint64 bytesTransferred() const { return m_bytes; }
    qint64 elapsedMs() const { return m_elapsedMs; }
    TStarSocket& listener() { return m_listener; }
    TStarSocket& socket() { return m_socket; }

private:
    void touch();
    void end(End reason);
    void fail(End reason, int socketError = 0);
    void accepted();
    void connected();
    void maybeStartTls();
    bool up();
    void tlsReady();
    // False when the transfer ended (or the owner was cut off) while it ran.
    bool drainTls();
    int receive();
    bool readListing();
    void listingEnd();
    void startUpload();
    bool progress();
    void pump();
    void uploadSent();
    void uploadClosed();
    void appendBounded(const QByteArray& bytes);

    Owner& m_owner;
    Direction m_direction = Direction::Listing;
    TStarSocket m_listener;
    TStarSocket m_socket;
    QTimer m_timer;
    // Counts the transfers: a posted step of an earlier one is dropped.
    quint64 m_generation = 0;
    bool m_ended = false;

    FtpTlsContext* m_tlsContext = nullptr;
    const FtpTlsChannel* m_controlTls = nullptr;
    QString m_fingerprint;
    std::unique_ptr<FtpTlsChannel> m_tls;
    bool m_tlsClosed = false;
    bool m_up = false;
    bool m_underway = false;
    bool m_shutdownSent = false;
    bool m_awaitingEnd = false;

    // The listing.
    QByteArray m_remainder;
    std::array<char, ReadBlockSize> m_buffer{};

    // The upload.
    int m_fileFd = -1;
    qint64 m_fileSize = 0;
    bool m_commandSent = false;
    bool m_started = false;
    bool m_sending = false;
    bool m_useSendfile = true;
    QByteArray m_block;
    qsizetype m_blockOffset = 0;
    qint64 m_reportedBytes = 0;
    QElapsedTimer m_progressClock;
    bool m_progressPending = false;

    qint64 m_bytes = 0;
    qint64 m_elapsedMs = 0;
    QElapsedTimer m_startTick;
};
