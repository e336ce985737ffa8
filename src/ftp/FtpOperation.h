// The operations of an FTP connection, one object each with its own state: which reply it waits
// for, what it still has to send, and how far its data connection got. The engine keeps the
// control connection and the data channel, runs one operation at a time and routes each final
// reply to it. Publishing reaches every protocol through RemoteSession; these are what the FTP
// session's calls become on the wire.
#pragma once

#include "ftp/Ftp.h"
#include "ftp/FtpReply.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// What the next final reply answers, numbered as the engine's reply table always was
// (TStarFtp::ReplyState).
enum class FtpStep : int {
    Greeting = 0,
    User = 1,
    Password = 2,
    Account = 3,
    System = 5,
    InitialCwd = 6,
    Pwd = 7,
    ListingType = 8,
    ListingPort = 10,
    List = 12,
    ListingEpsv = 13,
    ListingPasv = 14,
    Auth = 20,
    Pbsz = 21,
    Prot = 22,
    StoreType = 30,
    StorePort = 31,
    Stor = 32,
    StoreEpsv = 33,
    StorePasv = 34,
    RenameFrom = 40,
    RenameTo = 41,
    Command = 50,
    QuitReply = 60,
    Idle = 100,
};

class FtpOperation {
public:
    enum class Kind { Login, List, Store, Command, Rename, Quit };

    virtual ~FtpOperation() = default;
    FtpOperation(const FtpOperation&) = delete;
    FtpOperation& operator=(const FtpOperation&) = delete;

    Kind kind() const { return m_kind; }
    FtpStep step() const { return m_step; }
    void setStep(FtpStep step) { m_step = step; }

    // Sends the operation's first command.
    virtual void start() = 0;
    // A final reply (2xx-5xx) to what the operation sent.
    virtual void reply(const FtpReply& reply) = 0;
    // Every piece the control connection brought while the operation runs.
    virtual void received(const QByteArray& bytes) { Q_UNUSED(bytes); }

protected:
    FtpOperation(TStarFtp& ftp, Kind kind, FtpStep step = FtpStep::Idle)
        : m_ftp(ftp), m_kind(kind), m_step(step) {}
    // Sends a command and waits for its reply at step; false when the engine was cut off.
    bool send(const QByteArray& command, FtpStep step);
    // The end of a one-reply command: a reply other than 2xx is told as unexpected, and the
    // ready point follows.
    void finishWith(const FtpReply& reply);

    TStarFtp& m_ftp;

private:
    Kind m_kind;
    FtpStep m_step;
};

// Connect's greeting, AUTH TLS and its handshake, USER/PASS/ACCT, PBSZ and PROT, SYST and the
// first CWD.
class FtpLoginOp final : public FtpOperation {
public:
    explicit FtpLoginOp(TStarFtp& ftp) : FtpOperation(ftp, Kind::Login, FtpStep::Greeting) {}
    void start() override {}
    void reply(const FtpReply& reply) override;
    // The control connection's TLS is up and its certificate trusted.
    void tlsUp() { sendUser(); }

private:
    void sendUser();
    void afterLogin();
    void refused();
    void loggedIn();
};

// What LIST and STOR share: the transfer type, the data connection (PORT, or EPSV then PASV),
// and the join of the final reply with the end of the data connection, in either order.
class FtpTransferOp : public FtpOperation {
public:
    // The data channel is up (passive: the command can go out) or has ended.
    void dataConnected(bool passive);
    void dataPartDone();
    bool dataInFlight() const;

protected:
    using Type = TStarFtp::RemoteType;
    FtpTransferOp(TStarFtp& ftp, Kind kind) : FtpOperation(ftp, kind) {}
    bool listing() const { return kind() == Kind::List; }
    bool controlDone() const { return m_controlDone; }
    void sendType(Type wanted);
    // The data commands' replies; false when the reply was none of them.
    bool dataReply(const FtpReply& reply);
    void controlPartDone();
    virtual void sendTransferCommand() = 0;

private:
    void typeAccepted(const FtpReply& reply);
    void openDataConnection();
    void prepareData();
    void sendPassive(bool extended);
    void passiveReply(const FtpReply& reply);
    void connectPassive(const QString& named, std::uint16_t port);
    void sendPort();
    void finish();

    Type m_wantedType = Type::Unknown;
    bool m_controlDone = false;
    bool m_dataDone = false;
};

// GetListing (PWD first) and GetEntries (LIST or MLSD of a folder, entries kept).
class FtpListOp final : public FtpTransferOp {
public:
    FtpListOp(TStarFtp& ftp, QByteArray command, bool machineListing, bool keepEntries, bool pwd)
        : FtpTransferOp(ftp, Kind::List), m_command(std::move(command)),
          m_machineListing(machineListing), m_keepEntries(keepEntries), m_pwd(pwd) {}
    void start() override;
    void reply(const FtpReply& reply) override;
    bool line(const QByteArray& bytes);

private:
    void sendTransferCommand() override;

    QByteArray m_command;
    bool m_machineListing;
    bool m_keepEntries;
    bool m_pwd;
};

class FtpStoreOp final : public FtpTransferOp {
public:
    FtpStoreOp(TStarFtp& ftp, QByteArray remoteName, bool ascii)
        : FtpTransferOp(ftp, Kind::Store), m_remoteName(std::move(remoteName)), m_ascii(ascii) {}
    void start() override;
    void reply(const FtpReply& reply) override;
    // A STOR answered by 426 got no 2xx after it in time: the 426 was the final reply.
    void abortedStoreWaitOver();

private:
    void sendTransferCommand() override;

    QByteArray m_remoteName;
    bool m_ascii;
};

// One command, one reply: CWD, MKD, RMD, DELE, and the queries (FEAT, SIZE, MDTM, TYPE I)
// whose whole reply is kept.
class FtpCommandOp final : public FtpOperation {
public:
    FtpCommandOp(TStarFtp& ftp, QByteArray command, bool query)
        : FtpOperation(ftp, Kind::Command), m_command(std::move(command)), m_query(query) {}
    void start() override;
    void reply(const FtpReply& reply) override;
    void received(const QByteArray& bytes) override;

private:
    QByteArray m_command;
    bool m_query;
};

class FtpRenameOp final : public FtpOperation {
public:
    FtpRenameOp(TStarFtp& ftp, QByteArray from, QByteArray to)
        : FtpOperation(ftp, Kind::Rename), m_from(std::move(from)), m_to(std::move(to)) {}
    void start() override;
    void reply(const FtpReply& reply) override;

private:
    QByteArray m_from;
    QByteArray m_to;
};

// QUIT; during an operation it was given up for, replies of that operation may still come
// before the 221.
class FtpQuitOp final : public FtpOperation {
public:
    FtpQuitOp(TStarFtp& ftp, bool duringOperation)
        : FtpOperation(ftp, Kind::Quit), m_duringOperation(duringOperation) {}
    void start() override;
    void reply(const FtpReply& reply) override;

private:
    bool m_duringOperation;
};
