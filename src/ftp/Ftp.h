// TStarFtp: the program's own asynchronous FTP client. Its own socket is the
// control connection; its data channel (FtpDataChannel) makes and carries the data connection
// of each LIST and STOR (ListenerSocket and DataSocket are the channel's). Every operation returns at once and ends in OnFtpReady plus its completion event;
// every connection ends in exactly one OnFtpQuit. Nothing waits for ever: replies and the data
// connection have time-outs, and Abort() ends whatever is going on.
#pragma once

#include "ftp/FtpControlTls.h"
#include "ftp/FtpDataChannel.h"
#include "ftp/FtpListing.h"
#include "ftp/FtpReply.h"
#include "ftp/starsock.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class FtpOperation;
class FtpTransferOp;
enum class FtpStep : int;

enum class FtpInfo : int {
    Connected = 0,
    NotConnected = 1, // also "Disconnected" when the server closes the control connection
    LookupStarted = 2,
    LookupDone = 3,
    ControlRead = 4,
    CommandSent = 5,
    Busy = 6,
    DataProgress = 7,
    TransferDone = 9,
    ListingReady = 10,
    LoggedIn = 11,
    FileSize = 12,
    UnexpectedReply = 13,
    ListingLine = 14,
    // Passive mode: the PASV reply named another address than the control connection's peer;
    // the peer is used. The text names both.
    PassiveAddressIgnored = 15,
    // TLS is up on the control connection; the text names the protocol and cipher.
    TlsEstablished = 16,
};

enum class FtpError : int {
    QuitRefused = 0,
    WinsockNotStarted = 1,
    NetworkDown = 2,
    InvalidAddress = 3,
    Internal = 4,
    GeneralSocket = 5,
    ConnectionAborted = 6,
    ConnectionReset = 7,
    TimeOut = 8,
    OutOfSockets = 9,
    NetworkUnreachable = 10,
    AddressNotAvailable = 11,
    ConnectionRefused = 12,
    UnexpectedReply = 13,
    OtherSocket = 15,
    HostLookup = 16,
    HostUnreachable = 18,
    NoServer = 19,
    LocalFileOpen = 21,
    LocalFileRead = 23,
    NoRemoteFile = 24,
    BadGreeting = 26,
    LoginRefused = 27,
    DataConnection = 28,
    // FTP over TLS and passive mode.
    TlsNotOffered = 30,      // TLS required, the server refused AUTH TLS (no password was sent)
    TlsHandshake = 31,       // the TLS handshake on the control or data connection failed
    CertificateRefused = 32, // the server's certificate failed the check and was not trusted
    PassiveRefused = 33,     // EPSV and PASV refused where only passive mode may be used
};

// The FTP error a socket error number stands for.
FtpError FtpErrorFromSocketError(int socketError);

enum TTransferType : int { BinaryTransfer = 0, AsciiTransfer = 1 };

// How the data connection is made: the server connects back (PORT/EPRT), the client connects
// to the server (EPSV, then PASV), or passive first and active when both are refused.
enum class TDataConnection : int { Active = 0, Passive = 1, PassiveThenActive = 2 };

// Explicit FTP over TLS (AUTH TLS, PBSZ 0, PROT P).
enum class TFtpSecurity : int { None = 0, TlsIfOffered = 1, TlsRequired = 2 };

// A server certificate that failed the check against the system's trust store and host name.
struct TCertificateInfo {
    QString Subject;
    QString Issuer;
    QString NotBefore;
    QString NotAfter;
    QString Sha256Fingerprint; // upper-case hex pairs joined by ':'
    QString Problem;           // why the check failed, in words
};

enum TFtpInfoNeeded : int { NeedServer = 0, NeedUserName = 1, NeedPassword = 2, NeedAccount = 3 };

class TStarFtp : public TStarSocket, private FtpDataChannel::Owner {
    Q_OBJECT

public:
    // What one read of the control or data connection takes at most.
    static constexpr int ReadBlockSize = FtpDataChannel::ReadBlockSize;
    // Upload blocks where the system cannot send straight from the file.
    static constexpr int UploadBlockSize = FtpDataChannel::UploadBlockSize;
    // Upload progress (OnFtpInfo 7) is reported at most this often.
    static constexpr int ProgressIntervalMs = FtpDataChannel::ProgressIntervalMs;
    // Longest reply or listing line kept; the rest of a longer line is dropped.
    static constexpr qsizetype MaxLineLength = FtpReplyAssembler::MaxLineLength;
    // A listing keeps at most this many lines, however long the server goes on.
    static constexpr qsizetype MaxListingLines = 200000;

    using TFtpInfoEvent = std::function<void(TStarFtp*, FtpInfo, const QString&)>;
    using TFtpErrorEvent = std::function<void(TStarFtp*, FtpError, const QString&)>;
    using TFtpInfoNeededEvent = std::function<void(TStarFtp*, TFtpInfoNeeded, QString&)>;
    using TNotifyEvent = std::function<void(TStarFtp*)>;
    // Asked when the server's certificate fails the check; true trusts it for this connection.
    using TCertificateEvent = std::function<bool(TStarFtp*, const TCertificateInfo&)>;

    explicit TStarFtp(QObject* parent = nullptr);
    ~TStarFtp() override;

    // Properties.
    QString FtpServer() const { return m_hostName.isEmpty() ? m_numericAddress : m_hostName; }
    void SetFtpServer(const QString& server);
    QString NumericAddress() const { return m_numericAddress; }
    QString HostName() const { return m_hostName; }
    int FtpPort = 21;
    QString UserName;
    QString UserPassword;
    QString UserAccount;
    QString LocalFile;
    QString RemoteFile;
    // The name STOR sends, as bytes, when it is not empty: a local file name that is not UTF-8
    // reaches the server spelt as it is on disk. Empty: RemoteFile, as UTF-8.
    QByteArray RemoteFileBytes;
    TTransferType TransferMode = BinaryTransfer;
    QString InitialDirectory;
    TFTPServerType ServerType = ftpstDefault;
    // Active by default, as the engine has always worked; profiles choose passive.
    TDataConnection DataConnection = TDataConnection::Active;
    TFtpSecurity Security = TFtpSecurity::None;
    // A certificate with this SHA-256 fingerprint (as TCertificateInfo gives it) is accepted
    // without the check and without asking.
    QString TrustedFingerprint;
    // A PEM file of certificates trusted besides the system's (a site's own CA); empty: the
    // system's trust store only.
    QString TrustedCaFile;
    // Seconds a reply may take, from the command (or from Connect, for the greeting) to the
    // reply that ends it; 0 waits for ever. While a transfer runs, DataTimeOut counts instead.
    int ReplyTimeOut = 60;
    // Seconds the data connection may stay silent: the server's connection back after LIST or
    // STOR, and then between two pieces of progress; 0 waits for ever.
    int DataTimeOut = 60;
    // How long a STOR answered by 426 waits for the 2xx that some servers send after it;
    // servers that end the command with the 426 itself send nothing more.
    int AbortedStoreWaitMs = 3000;
    // Uploads go straight from the file to the socket (sendfile) where the system allows it;
    // off, or where it is refused, the file is read in blocks of UploadBlockSize.
    bool SendStraightFromFile = true;
    // How long Quit waits for the server's 221 before it closes the connection itself.
    int QuitWaitMs = 2000;
    bool WinsockStarted() const { return IsWinsockStarted(); }
    void SetWinsockStarted(bool started);
    QString Version() const { return QStringLiteral("TFtp 1.4.2"); }
    bool Success() const { return m_success; }

    // Events. Any handler may delete the engine (or call Abort, Quit or Connect); the engine
    // touches nothing of itself afterwards.
    TFtpInfoEvent OnFtpInfo;
    TFtpErrorEvent OnFtpError;
    TFtpInfoNeededEvent OnFtpNeedInfo;
    TNotifyEvent OnFtpReady;
    TNotifyEvent OnLoggedIn;
    TNotifyEvent OnDirectoryChanged;
    TNotifyEvent OnDirectoryCreated;
    TNotifyEvent OnDirectoryDeleted;
    TNotifyEvent OnFileDeleted;
    TNotifyEvent OnFileStored;
    TNotifyEvent OnListingDone;
    TNotifyEvent OnFileRenamed;
    TNotifyEvent OnQueryDone;
    TNotifyEvent OnFtpQuit;
    // Unset, a certificate that fails the check is refused (CertificateRefused).
    TCertificateEvent OnCertificateCheck;

    // Operations.
    void Connect();
    void GetListing();
    // Names typed by the user go to the server as UTF-8; names taken from a listing go back
    // as the bytes the server sent (FileNames, DirectoryNames), whatever their character set.
    void ChangeDirectory(const QString& dir);
    void ChangeDirectory(const QByteArray& dir);
    void MakeDirectory(const QString& name);
    void MakeDirectory(const QByteArray& name);
    void RemoveDirectory(const QString& name);
    void RemoveDirectory(const QByteArray& name);
    void DeleteFile(const QString& name);
    void DeleteFile(const QByteArray& name);
    void RenameFile(const QString& oldName, const QString& newName);
    void RenameFile(const QByteArray& oldName, const QByteArray& newName);
    void StoreFile();
    // Lists a folder (empty: the current one) with MLSD or with LIST, keeping each entry's
    // size and time (Entries()); the directory shown does not change. Ends in OnListingDone.
    void GetEntries(const QByteArray& folder, bool machineListing);
    // Sends one command whose whole reply is wanted (FEAT, SIZE, MDTM, TYPE I); ends in
    // OnQueryDone with QueryReply(), Success() when the reply was 2xx.
    void SendQuery(const QByteArray& command);
    // Never refused: idle, it sends QUIT and closes the connection on the 221; during an
    // operation it sends QUIT when the control connection can still take it and aborts after
    // QuitWaitMs without a 221.
    void Quit();
    // Always accepted: closes the data and control connections, clears Busy and reaches the
    // quit point (once per connection; an ended connection gets no second one). The object can
    // Connect again at once.
    void Abort();
    // Sends a command line; state is the number of the reply it waits for (see ReplyState).
    void SendCommand(const QString& text, int state);

    // State, read only.
    bool Connected() const { return m_connectedFtp; }
    bool Busy() const { return m_busy; }
    bool ShutDown() const { return m_shutDown; }
    // What the next final reply answers, numbered as the engine's reply table always was:
    // 0 greeting, 1 USER, 2 PASS, 3 ACCT, 5 SYST, 6 CWD after login, 7 PWD, 8 TYPE A for a
    // listing, 10 PORT for a listing, 12 LIST, 30 TYPE for an upload, 31 PORT for an upload,
    // 32 STOR, 40 RNFR, 41 RNTO, 50 CWD/MKD/RMD/DELE, 60 QUIT, 100 nothing; and for passive
    // mode and TLS: 13 EPSV and 14 PASV for a listing, 33 EPSV and 34 PASV for an upload,
    // 20 AUTH TLS (also while its handshake runs), 21 PBSZ, 22 PROT.
    int ReplyState() const;
    int LastFtpError() const { return m_lastFtpError; }
    qint64 BytesTransferred() const { return m_data.bytesTransferred(); }
    qint64 ElapsedMs() const { return m_data.elapsedMs(); }
    const QStringList& RawListing() const { return m_rawListing; }
    const QStringList& FileList() const { return m_fileList; }
    const QStringList& DirectoryList() const { return m_directoryList; }
    // The same names as the server's bytes: FileNames()[i] is the name FileList()[i] shows.
    const QList<QByteArray>& FileNames() const { return m_fileNames; }
    const QList<QByteArray>& DirectoryNames() const { return m_directoryNames; }
    // The entries of the last GetEntries, folders and files, with sizes and times.
    const QList<RemoteEntry>& Entries() const { return m_entries; }
    // Every line of the last query's reply, as it came (CR LF included).
    const QByteArray& QueryReply() const { return m_queryReply; }
    // The server counts in binary type now (SIZE gives the bytes of a file only then).
    bool BinaryType() const { return m_remoteType == RemoteType::Image; }
    qsizetype ControlRemainderSize() const { return m_replies.pendingSize(); }
    TStarSocket& ListenerSocket() { return m_data.listener(); }
    TStarSocket& DataSocket() { return m_data.socket(); }

protected:
    // The argument of the next PORT command; sets up ListenerSocket. Empty when it failed.
    virtual QString MakePortArgument();

private:
    enum PendingEventKind : int {
        PendingNone = 0,
        PendingLoggedIn = 1,
        PendingDirectoryChanged = 2,
        PendingDirectoryCreated = 3,
        PendingDirectoryDeleted = 4,
        PendingFileDeleted = 5,
        PendingFileStored = 7,
        PendingListingDone = 8,
        PendingFileRenamed = 9,
        PendingQueryDone = 10,
    };

    // The transfer type last accepted by the server on this connection.
    enum class RemoteType { Unknown, Ascii, Image };

    // Runs an owner handler; false when the handler deleted the engine or ended or replaced
    // the connection, so the caller must stop at once.
    template <typename Call> bool callOut(Call&& call);
    bool info(FtpInfo code, const QString& text = {});
    bool report(FtpError code);
    void fatal(FtpError code, bool socketError = false);
    bool checkSocketError();
    void closeAllSockets();
    void closeDataSockets();
    // Ends the connection's work: sockets closed, timers stopped, nothing awaited.
    void endConnection();
    void postReady();
    void postQuit();
    void readyPoint(quint64 epoch);
    void quitPoint(quint64 connection);
    bool guard();

    // The operations (FtpOperation.h) drive the connection through the engine's steps.
    friend class FtpOperation;
    friend class FtpLoginOp;
    friend class FtpTransferOp;
    friend class FtpListOp;
    friend class FtpStoreOp;
    friend class FtpCommandOp;
    friend class FtpRenameOp;
    friend class FtpQuitOp;

    // The operation under way: it takes the replies; one that is over is kept until the next
    // starts, since its handler may still be on the stack.
    void startOperation(std::unique_ptr<FtpOperation> operation);
    void retireOperation();
    FtpStep step() const;
    FtpTransferOp* transfer() const;

    // Sending: the line goes out now when the socket takes it, else on its write notification;
    // false when the connection was cut off meanwhile.
    bool sendLine(const QByteArray& text);
    // A command with a line break in it fails before it is sent (true then).
    bool refusedForLineBreak(const QByteArray& command);
    void flushControl();

    // Waiting: exactly one of the two time-outs guards each wait (the data channel has the
    // other).
    void awaitReply();
    bool dataInFlight() const;

    void onLookupDone();
    void onControlConnect();
    void onControlRead();
    void onControlClose();
    void handleReply(const FtpReply& reply);
    bool needValue(TFtpInfoNeeded need, QString& value);

    // TLS on the control connection: AUTH TLS, the handshake, the certificate check (the
    // user is asked when it fails), then PBSZ and PROT after the login.
    void startControlTls();
    void controlHandshake();
    bool certificateTrusted();

    // The data channel made ready for the current LIST or STOR.
    void prepareData(bool listing);
    void closedByQuit();

    void prepareListing();
    bool openLocalFile();

    // What the data channel tells.
    void dataConnected(bool passive) override;
    bool dataLine(const QByteArray& bytes) override;
    bool dataStarted(qint64 size) override;
    bool dataProgress() override;
    void dataEnded(FtpDataChannel::End end) override;

    QString m_hostName;
    QString m_numericAddress;
    bool m_success = true;
    bool m_connectedFtp = false;
    bool m_busy = false;
    bool m_shutDown = false;
    std::unique_ptr<FtpOperation> m_operation;
    std::vector<std::unique_ptr<FtpOperation>> m_retired;
    int m_pendingEvent = PendingNone;
    RemoteType m_remoteType = RemoteType::Unknown;
    FtpReplyAssembler m_replies;
    QByteArray m_controlOut;
    bool m_readerBusy = false;
    bool m_readMissed = false;

    // Passive mode, per connection: EPSV refused once is not asked again, and with
    // PassiveThenActive, passive refused once goes straight to PORT.
    bool m_epsvRefused = false;
    bool m_passiveRefused = false;

    FtpControlTls m_controlTls;

    // Epochs: m_connection counts connections (Connect) and their ends; m_epoch changes
    // whenever the exchange under way is cut off, so handlers know to stop; m_readyEpoch
    // voids ready points posted for an exchange that was cut off.
    quint64 m_connection = 0;
    quint64 m_epoch = 0;
    quint64 m_readyEpoch = 0;
    bool m_quitPosted = false;

    int m_lastFtpError = 0;
    QStringList m_rawListing;
    QStringList m_fileList;
    QStringList m_directoryList;
    QList<QByteArray> m_fileNames;
    QList<QByteArray> m_directoryNames;
    // GetEntries: the entries read.
    QList<RemoteEntry> m_entries;
    // SendQuery: its reply, collected while it runs.
    QByteArray m_queryReply;
    std::array<char, ReadBlockSize> m_buffer{};
    FtpDataChannel m_data{*this};
    QTimer m_replyTimer;
    QTimer m_abortedStoreTimer;
    QTimer m_quitTimer;
};
