// What an SFTP session reports: progress lines for the log, questions the screen answers, the end
// of each operation, fatal errors and the end of the connection.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class SftpOperation;

enum class SftpInfo : int {
    LookupStarted = 0, // the host name
    Connecting = 1,    // "address port N"
    Connected = 2,     // the address the connection reached
    ServerVersion = 3, // the server's SSH version line
    HostKeyKnown = 4,  // the key type and fingerprint, found in known_hosts
    HostKeyStored = 5, // the key was trusted and added to known_hosts
    LoggedIn = 6,      // how: "password", "public key ~/.ssh/id_ed25519", "agent key ..."
    SftpStarted = 7,   // "SFTP version 3"
    Folder = 8,        // the current folder after login or a folder change
    Request = 9,       // a request sent, as a command line ("MKDIR /www/images")
    ListingLine = 10,  // one entry of a listing, as SftpEntryLine shows it
    Disconnected = 11, // the connection ended
    KeyRefused = 12,   // a key or password was tried and refused; the text says which
    // The initial folder could not be reached; the home folder stays current. The text says why.
    InitialFolderRefused = 13,
    Encryption = 14, // "key exchange curve25519-sha256, cipher chacha20-poly1305@openssh.com"
};

enum class SftpError : int {
    None = 0,
    // Fatal: the connection ends, a Quit event follows.
    NoServer = 1,
    HostLookup = 2,
    ConnectionRefused = 3,
    ConnectFailed = 4,
    TimeOut = 5,
    SshFailed = 6,          // the SSH handshake failed
    HostKeyChanged = 7,     // the key differs from the one known for the host: refused
    HostKeyNotTrusted = 8,  // an unknown key the user did not trust
    KnownHostsUnusable = 9, // the known hosts file could not be read or written
    LoginRefused = 10,      // no way of logging in was accepted
    SftpUnavailable = 11,   // no SFTP service, or an SFTP version other than 3
    ProtocolError = 12,     // the server broke the SFTP protocol
    ConnectionLost = 13,
    // Of one operation: the connection goes on.
    NotConnected = 20,
    AlreadyConnected = 21,
    ServerRefused = 22, // the server's status and words are in the text
    LocalFileOpen = 23,
    LocalFileRead = 24,
    NoRemoteFile = 25,
    NotAFolder = 26,
    IsAFolder = 27,
    Cancelled = 28, // Abort or the end of the connection came first
};

// A question to the user. The session waits (with no time-out: the user may take long) until
// the matching Answer... call of the session.
struct SftpQuestion {
    enum class Kind { HostKey, Passphrase, Password };
    Kind kind = Kind::HostKey;
    QString text; // the whole question, ready to show
    QString host; // as given
    int port = 22;
    QString keyType;     // HostKey: "ED25519", "RSA", ...
    QString fingerprint; // HostKey: "SHA256:" and the base64 digest, as OpenSSH shows it
    QString keyFile;     // Passphrase: the private key file
    int attempt = 1;     // Passphrase, Password: 2 and up after a wrong answer
};

struct SftpEvent {
    enum class Kind { Info, Question, Progress, Done, Error, Quit };
    Kind kind = Kind::Info;
    SftpInfo info = SftpInfo::LookupStarted;
    SftpError error = SftpError::None;
    QString text;
    SftpQuestion question;
    // Done and Progress: the operation; Done comes once per operation that started or failed
    // to start, after its state is final.
    std::shared_ptr<const SftpOperation> operation;
    std::int64_t bytesDone = 0; // Progress: bytes the server has acknowledged
    std::int64_t bytesTotal = 0;
};
