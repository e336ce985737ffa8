// TStarFtp: the program's own asynchronous FTP client (active mode only). Its own socket is the
// control connection; ListenerSocket waits for the server's data connection and DataSocket
// carries it. Every operation returns at once and ends in OnFtpReady plus its completion event.
#pragma once

#include "ftp/FtpListing.h"
#include "ftp/starsock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <array>
#include <functional>

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
};

// The FTP error a socket error number stands for.
FtpError FtpErrorFromSocketError(int socketError);

enum TTransferType : int { BinaryTransfer = 0, AsciiTransfer = 1 };

enum TFtpInfoNeeded : int { NeedServer = 0, NeedUserName = 1, NeedPassword = 2, NeedAccount = 3 };

class TStarFtp : public TStarSocket {
    Q_OBJECT

public:
    static constexpr int QuitMessage = LookupDoneMessage + 2;
    static constexpr int ReadyMessage = LookupDoneMessage + 4;
    // Reads and upload blocks go through one buffer of this size.
    static constexpr int BlockSize = 2048;

    using TFtpInfoEvent = std::function<void(TStarFtp*, FtpInfo, const QString&)>;
    using TFtpErrorEvent = std::function<void(TStarFtp*, FtpError, const QString&)>;
    using TFtpInfoNeededEvent = std::function<void(TStarFtp*, TFtpInfoNeeded, QString&)>;
    using TNotifyEvent = std::function<void(TStarFtp*)>;

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
    TTransferType TransferMode = BinaryTransfer;
    QString InitialDirectory;
    TFTPServerType ServerType = ftpstDefault;
    // How long a STOR answered by 426 waits for the 2xx that some servers send after it;
    // servers that end the command with the 426 itself send nothing more.
    int AbortedStoreWaitMs = 3000;
    bool WinsockStarted() const { return IsWinsockStarted(); }
    void SetWinsockStarted(bool started);
    QString Version() const { return QStringLiteral("TFtp 1.4.2"); }
    bool Success() const { return m_success; }

    // Events.
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
    TNotifyEvent OnFtpQuit;

    // Operations.
    void Connect();
    void GetListing();
    // Names typed by the user go to the server as UTF-8; names taken from a listing go back
    // as the bytes the server sent (FileNames, DirectoryNames), whatever their character set.
    void ChangeDirectory(const QString& dir);
    void ChangeDirectory(const QByteArray& dir);
    void MakeDirectory(const QString& name);
    void RemoveDirectory(const QString& name);
    void RemoveDirectory(const QByteArray& name);
    void DeleteFile(const QString& name);
    void DeleteFile(const QByteArray& name);
    void RenameFile(const QString& oldName, const QString& newName);
    void RenameFile(const QByteArray& oldName, const QByteArray& newName);
    void StoreFile();
    void Quit();
    void SendCommand(const QString& text, int state);
    void SendCommand(const QByteArray& text, int state);

    // State, read only.
    bool Connected() const { return m_connectedFtp; }
    bool Busy() const { return m_busy; }
    bool ShutDown() const { return m_shutDown; }
    int ReplyState() const { return m_replyState; }
    int LastFtpError() const { return m_lastFtpError; }
    qint64 BytesTransferred() const { return m_bytesTransferred; }
    qint64 ElapsedMs() const { return m_elapsedMs; }
    const QStringList& RawListing() const { return m_rawListing; }
    const QStringList& FileList() const { return m_fileList; }
    const QStringList& DirectoryList() const { return m_directoryList; }
    // The same names as the server's bytes: FileNames()[i] is the name FileList()[i] shows.
    const QList<QByteArray>& FileNames() const { return m_fileNames; }
    const QList<QByteArray>& DirectoryNames() const { return m_directoryNames; }
    qsizetype ControlRemainderSize() const { return m_controlRemainder.size(); }
    TStarSocket& ListenerSocket() { return m_listenerSocket; }
    TStarSocket& DataSocket() { return m_dataSocket; }

    // Longest reply or listing line kept; the rest of a longer line is dropped.
    static constexpr qsizetype MaxLineLength = 8192;
    // A listing keeps at most this many lines, however long the server goes on.
    static constexpr qsizetype MaxListingLines = 200000;

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
    };

    bool guard();
    // CWD, MKD, RMD and DELE: one command, one reply (state 50); false when not sent.
    bool simpleCommand(int pendingEvent, const QByteArray& command);
    bool refusedForLineBreak(const QByteArray& command);
    void info(FtpInfo code, const QString& text = {});
    void report(FtpError code);
    void fatal(FtpError code);
    bool checkSocketError();
    void closeAllSockets();
    void closeDataSockets();
    void postReady() { PostOwnerMessage(ReadyMessage); }
    void dataOperationDone();
    bool sendAll(TStarSocket& socket, const char* bytes, int count, bool controlLine,
                 bool moreFollows = false);
    void ownerMessage(int message);
    void readyPoint();
    void quitPoint();

    void onLookupDone();
    void onControlConnect();
    void onControlRead();
    void onControlClose();
    void handleReplyLine(const QString& line);
    void handleReply(const QString& line);
    void sendPort(int nextState);

    void prepareListing();
    void listingAccepted();
    void listingRead();
    void listingEnd();
    void listingLine(const QByteArray& bytes);

    void prepareUpload();
    void uploadAccepted();
    void uploadSendBlocks();
    void uploadEnd();

    static void appendBounded(QByteArray& remainder, const QByteArray& bytes);

    QString m_hostName;
    QString m_numericAddress;
    bool m_success = true;
    bool m_connectedFtp = false;
    bool m_busy = false;
    bool m_shutDown = false;
    int m_replyState = 100;
    int m_pendingEvent = PendingNone;
    bool m_multiLine = false;
    QString m_multiLineCode;
    QByteArray m_controlRemainder;
    QByteArray m_dataRemainder;
    bool m_readerBusy = false;
    bool m_controlDone = false;
    bool m_dataDone = false;
    bool m_uploading = false;
    bool m_storSent = false;
    bool m_dataAccepted = false;
    bool m_uploadStarted = false;
    qint64 m_bytesTransferred = 0;
    qint64 m_elapsedMs = 0;
    QElapsedTimer m_startTick;
    int m_lastFtpError = 0;
    QFile m_localFile;
    QByteArray m_renameTarget;
    QStringList m_rawListing;
    QStringList m_fileList;
    QStringList m_directoryList;
    QList<QByteArray> m_fileNames;
    QList<QByteArray> m_directoryNames;
    std::array<char, BlockSize> m_buffer{};
    // The upload block has a buffer of its own: replies read while the block is being sent
    // (the sender lets events run) would otherwise overwrite it.
    std::array<char, BlockSize> m_uploadBlock{};
    TStarSocket m_listenerSocket;
    TStarSocket m_dataSocket;
    // Counts uploads, so that a late wait for an aborted STOR cannot end a later upload.
    quint64 m_storeGeneration = 0;
    // When the sender last let pending events run (see sendAll).
    QElapsedTimer m_pumpClock;
};
