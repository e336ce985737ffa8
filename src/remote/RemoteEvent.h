// What a remote session reports: lines for the log, the progress of an upload, the end of each
// operation, an error that ends the connection, and the end of the connection itself. The same
// for every protocol: a protocol's own numbers travel only in protocolCode, for its own texts.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

using RemoteOpId = std::uint64_t;

enum class RemoteOpKind : int {
    Login,
    List,
    ChangeDir,
    MakeDir,
    RemoveDir,
    Rename,
    Delete,
    Store,
    Quit,
    ListEntries,
    Stat,
};

// Why an operation failed or a connection ended, in words any protocol can use.
enum class RemoteError : int {
    None = 0,
    // Of one operation: the connection goes on.
    NotConnected,     // asked without a connection
    AlreadyConnected, // a login asked while a connection is under way
    Refused,          // the server refused it; the text holds the server's own words
    BadName,          // a name that cannot be sent (a line break in it)
    LocalFileOpen,
    LocalFileRead,
    NoRemoteFile, // no remote name given
    Cancelled,    // Abort or the end of the connection came first
    // Ending the connection.
    NoServer,
    HostLookup,
    ConnectionRefused,
    ConnectFailed,
    TimeOut,
    ConnectionLost,
    LoginRefused,
    SecurityFailed, // TLS, a certificate or a host key
    ProtocolError,  // the server broke the protocol
    Other,
};

// The kinds of log line a session reports.
enum class RemoteInfo : int {
    Status,      // a state of the connection, in words
    CommandSent, // a command or request as a line ("MKD images"); secrets already masked
    Reply,       // the server's answer, as it came
    ListingLine, // one entry of a listing
    Security,    // the protection of the connection ("TLSv1.3 ..."), a key or certificate
    Connected,
    Disconnected,
};

// One entry of a folder, with what the server tells of its size and time.
struct RemoteEntry {
    // How far the time can be trusted: to the second in UTC (MLSD, MDTM, SFTP), or the minute
    // or the day of a listing line, in the server's own zone (modified then holds that wall
    // clock as if it were UTC; whoever compares it knows the zone or asks for the exact time).
    enum class Time { None, Exact, ServerMinute, ServerDay };
    QByteArray name; // the server's bytes
    QString text;    // as shown
    bool isDirectory = false;
    std::int64_t size = -1; // -1: not told
    QDateTime modified;
    Time time = Time::None;

    bool operator==(const RemoteEntry&) const = default;
};

// The folder a List operation read: names as shown, and as the server's bytes (a name taken
// from here goes back to the server exactly as it came).
struct RemoteListing {
    QString folder; // the folder listed, as shown
    QStringList directories;
    QList<QByteArray> directoryNames;
    QStringList files;
    QList<QByteArray> fileNames;
    QStringList rawLines;
    // A ListEntries' Done: every entry with its size and time (folders too).
    QList<RemoteEntry> entries;
};

struct RemoteEvent {
    enum class Kind { Info, Progress, Done, Error, Quit };
    Kind kind = Kind::Info;
    RemoteInfo info = RemoteInfo::Status; // Info
    // Progress and Done: the operation, as its call returned it.
    RemoteOpId op = 0;
    RemoteOpKind opKind = RemoteOpKind::Login;
    // Done: the outcome; Error: why the connection ends.
    bool ok = false;
    RemoteError error = RemoteError::None;
    // The protocol's own number for the info or error (its session's texts use it); 0: none.
    int protocolCode = 0;
    // Info: the line; Done after a failure and Error: what went wrong, the server's own words
    // where it gave some.
    QString text;
    // Progress and a Store's Done: bytes sent and the file's size; Done: the time it took.
    std::int64_t bytesDone = 0;
    std::int64_t bytesTotal = 0;
    std::int64_t elapsedMs = 0;
    // A List's Done.
    std::shared_ptr<const RemoteListing> listing;
    // A Stat's Done.
    std::shared_ptr<const RemoteEntry> entry;
};

// The lines of a command or reply text as the log shows them: split at CR LF, CR or LF, with
// the empty lines its last line break leaves dropped.
QStringList LogLines(const QString& text);
