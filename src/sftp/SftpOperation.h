// The operations of an SFTP session, one object each with its own state: what it asked the
// server, what it is waiting for, and how it ended. The session starts them in the order they
// were asked for and routes each reply to the operation that sent the request.
#pragma once

#include "sftp/SftpEvent.h"
#include "sftp/SftpListing.h"
#include "sftp/SftpPacket.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>

class SftpOperation;

// What an operation may ask of its session.
class SftpOperationContext {
public:
    virtual ~SftpOperationContext() = default;
    // A new request id, for a packet that the operation then sends with send().
    virtual std::uint32_t nextId() = 0;
    // Sends a request packet; its reply comes back to op.reply() under id. The log line, when
    // not empty, is reported as an SftpInfo::Request.
    virtual void send(SftpOperation& op, std::uint32_t id, QByteArray packet,
                      const QString& logLine) = 0;
    virtual QByteArray currentFolder() const = 0;
    virtual void setCurrentFolder(const QByteArray& folder) = 0;
    virtual const sftp::Version& serverVersion() const = 0;
    // The server renames over an existing file in one step (posix-rename@openssh.com).
    virtual bool atomicRename() const = 0;
    // Largest data block of one write request.
    virtual std::uint32_t writeBlockSize() const = 0;
    virtual void info(SftpInfo info, const QString& text) = 0;
    virtual void progress(SftpOperation& op, std::int64_t done, std::int64_t total) = 0;
    // The operation has come to a step where the next one may start (lettingNextStart).
    virtual void letNextStart() = 0;
    // The operation's state is final: the session reports it and goes on with the next one.
    virtual void finished(SftpOperation& op) = 0;
    // The connection cannot go on (the server broke the protocol, or offers no usable SFTP).
    virtual void fatal(SftpError error, const QString& text) = 0;
};

class SftpOperation {
public:
    enum class Kind {
        Login,
        List,
        ChangeDirectory,
        MakeDirectory,
        RemoveDirectory,
        Delete,
        Rename,
        Store,
        Quit,
        Stat,
    };
    enum class State { Queued, Running, Succeeded, Failed };

    virtual ~SftpOperation();
    SftpOperation(const SftpOperation&) = delete;
    SftpOperation& operator=(const SftpOperation&) = delete;

    Kind kind() const { return m_kind; }
    State state() const { return m_state; }
    bool finished() const { return m_state == State::Succeeded || m_state == State::Failed; }
    bool succeeded() const { return m_state == State::Succeeded; }
    // Why it failed: the kind, and the words to show.
    SftpError error() const { return m_error; }
    QString errorText() const { return m_errorText; }
    // The server's status code when the server refused (ServerRefused), else FxOk.
    std::uint32_t serverStatus() const { return m_serverStatus; }
    // The request as a line for the log: "MKDIR images".
    virtual QString description() const = 0;

    // The session's side.
    void begin(SftpOperationContext& context);
    virtual void reply(SftpOperationContext& context, const sftp::Packet& packet) = 0;
    // Whether the next operation (not started yet; relative names are taken from the folder)
    // may start while this one goes on: only when neither can disturb the other, since the
    // server answers in order but works on what each asks at once.
    virtual bool lettingNextStart(const SftpOperation& next, const QByteArray& folder) const {
        Q_UNUSED(next);
        Q_UNUSED(folder);
        return false;
    }
    // Ends a queued or running operation without the server (Abort, a lost connection).
    void cancel(SftpError error, const QString& text);
    // Sets the failure state; the caller reports it through context.finished().
    void setFailed(SftpError error, const QString& text, std::uint32_t serverStatus = sftp::FxOk);
    void setSucceeded();

protected:
    explicit SftpOperation(Kind kind) : m_kind(kind) {}
    virtual void start(SftpOperationContext& context) = 0;
    // The reply is an FxpStatus: its status, or a protocol error (nullopt) reported already.
    std::optional<sftp::Status> status(SftpOperationContext& context, const sftp::Packet& packet);
    // Fails with the server's status and words, after "what" ("Cannot make the folder
    // images").
    void refused(SftpOperationContext& context, const QString& what, const sftp::Status& status);
    void fail(SftpOperationContext& context, SftpError error, const QString& text);
    void succeed(SftpOperationContext& context);
    // A packet of a type the request cannot get.
    void unexpected(SftpOperationContext& context, const sftp::Packet& packet);

private:
    Kind m_kind;
    State m_state = State::Queued;
    SftpError m_error = SftpError::None;
    QString m_errorText;
    std::uint32_t m_serverStatus = sftp::FxOk;
};

// The name as it shows in messages.
QString SftpPathText(const QByteArray& path);

// Looks a folder up for a change of folder: its absolute path as the server resolves it, and
// whether it is a folder (REALPATH and STAT, asked at once).
class SftpFolderLookup {
public:
    enum class Outcome { Waiting, Folder, NotAFolder, Refused, Broken, Ignored };
    void ask(SftpOperationContext& context, SftpOperation& op, const QByteArray& path);
    bool answers(std::uint32_t id) const {
        return id != 0 && (id == m_realpathId || id == m_statId);
    }
    // Takes one of the two replies: Waiting after the first, the outcome after the second or
    // after a refusal, Ignored after that. Broken: the connection ends (reported already).
    Outcome take(SftpOperationContext& context, const sftp::Packet& packet);
    QByteArray resolved() const { return m_resolved; }
    sftp::Status refusal() const { return m_refusal; }

private:
    std::uint32_t m_realpathId = 0, m_statId = 0;
    QByteArray m_resolved;
    sftp::Status m_refusal;
    bool m_done = false;
};

// Starts the SFTP protocol once the channel is open: the version exchange, the server's limits,
// the home folder, then the initial folder when one is set.
class SftpLogin final : public SftpOperation {
public:
    explicit SftpLogin(QByteArray initialFolder)
        : SftpOperation(Kind::Login), m_initialFolder(std::move(initialFolder)) {}
    QString description() const override { return QStringLiteral("LOGIN"); }
    // The session hands the version reply over (it has no request id).
    void version(SftpOperationContext& context, const sftp::Packet& packet);
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    const sftp::Version& serverVersion() const { return m_version; }
    const sftp::Limits& limits() const { return m_limits; }
    QByteArray homeFolder() const { return m_home; }
    // Why the initial folder could not be reached (the home folder is current then).
    QString initialFolderProblem() const { return m_folderProblem; }

private:
    void start(SftpOperationContext& context) override;
    void initialFolderRefused(SftpOperationContext& context, const QString& text);
    QString m_folderProblem;
    QByteArray m_initialFolder;
    sftp::Version m_version;
    sftp::Limits m_limits;
    QByteArray m_home;
    SftpFolderLookup m_lookup;
    std::uint32_t m_limitsId = 0, m_homeId = 0;
};

// Lists a folder (the current one when none is named). Links are looked up, so a link to a
// folder lists as a folder.
class SftpList final : public SftpOperation {
public:
    // Most entries kept, however long the server goes on.
    static constexpr qsizetype MaxEntries = 200000;
    explicit SftpList(QByteArray folder = {}) : SftpOperation(Kind::List), m_folder(folder) {}
    QString description() const override;
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    // The folder that was listed, as an absolute path.
    QByteArray folder() const { return m_path; }
    const QList<SftpEntry>& entries() const { return m_entries; }

private:
    void start(SftpOperationContext& context) override;
    void readMore(SftpOperationContext& context);
    void closeHandle(SftpOperationContext& context);
    void resolveLinks(SftpOperationContext& context);
    void end(SftpOperationContext& context);
    QByteArray m_folder;
    QByteArray m_path;
    QByteArray m_handle;
    QList<SftpEntry> m_entries;
    std::uint32_t m_openId = 0, m_readId = 0, m_closeId = 0;
    QHash<std::uint32_t, qsizetype> m_linkIds; // STAT request -> entry index
    sftp::Status m_readFailure;
    bool m_readFailed = false;
};

// Makes the folder the current one: its absolute path as the server resolves it, and only when
// it is a folder.
class SftpChangeDirectory final : public SftpOperation {
public:
    explicit SftpChangeDirectory(QByteArray folder)
        : SftpOperation(Kind::ChangeDirectory), m_folder(std::move(folder)) {}
    QString description() const override;
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    QByteArray requested() const { return m_folder; }
    QByteArray folder() const { return m_resolved; } // after success: the new current folder

private:
    void start(SftpOperationContext& context) override;
    QByteArray m_folder;
    QByteArray m_resolved;
    SftpFolderLookup m_lookup;
};

// MKDIR, RMDIR and REMOVE: one request, one status.
class SftpSimpleCommand final : public SftpOperation {
public:
    SftpSimpleCommand(Kind kind, QByteArray name) : SftpOperation(kind), m_name(std::move(name)) {}
    QString description() const override;
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    QByteArray name() const { return m_name; }

private:
    void start(SftpOperationContext& context) override;
    QByteArray m_name;
    QByteArray m_path;
};

// The attributes of one file or folder (STAT: a link is followed).
class SftpStat final : public SftpOperation {
public:
    explicit SftpStat(QByteArray name) : SftpOperation(Kind::Stat), m_name(std::move(name)) {}
    QString description() const override;
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    // Once succeeded: the entry, named as asked.
    const SftpEntry& entry() const { return m_entry; }

private:
    void start(SftpOperationContext& context) override;
    QByteArray m_name;
    QByteArray m_path;
    SftpEntry m_entry;
};

// Renames a file or folder; an existing target is not replaced (the server refuses).
class SftpRename final : public SftpOperation {
public:
    SftpRename(QByteArray from, QByteArray to)
        : SftpOperation(Kind::Rename), m_from(std::move(from)), m_to(std::move(to)) {}
    QString description() const override;
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    QByteArray from() const { return m_from; }
    QByteArray to() const { return m_to; }

private:
    void start(SftpOperationContext& context) override;
    QByteArray m_from;
    QByteArray m_to;
};

// Uploads a local file. The bytes go to a temporary name beside the target (".name.part"),
// many write requests on the way at once; only when every write and the close succeeded is the
// temporary file renamed over the target, so the target is never half-written. A target that
// exists keeps its permissions. Whatever fails, the temporary file is removed when the
// connection still allows.
class SftpStore final : public SftpOperation {
public:
    // Write requests and bytes on the way at most.
    static constexpr int MaxWritesInFlight = 64;
    static constexpr std::int64_t MaxBytesInFlight = 4 * 1024 * 1024;

    SftpStore(QString localFile, QByteArray remoteName)
        : SftpOperation(Kind::Store), m_localFile(std::move(localFile)),
          m_remoteName(std::move(remoteName)) {}
    ~SftpStore() override;
    QString description() const override;
    void reply(SftpOperationContext& context, const sftp::Packet& packet) override;
    // Once its last bytes are out, the next upload may open its file: the two touch different
    // names, and this one's rename still goes out before the next one's first write.
    bool lettingNextStart(const SftpOperation& next, const QByteArray& folder) const override;

    QString localFile() const { return m_localFile; }
    QByteArray remoteName() const { return m_remoteName; }
    QByteArray target() const { return m_target; }       // absolute
    QByteArray temporary() const { return m_temporary; } // absolute
    std::int64_t size() const { return m_size; }
    std::int64_t bytesAcknowledged() const { return m_acknowledged; }

    // The temporary name of a target name: ".name.part", cut to fit 255 bytes.
    static QByteArray temporaryName(const QByteArray& name);

private:
    enum class Step { Opening, Writing, Closing, Renaming, ReplacingOld, RemovingTemporary, Done };
    void start(SftpOperationContext& context) override;
    void pump(SftpOperationContext& context);
    void sendClose(SftpOperationContext& context);
    void afterClose(SftpOperationContext& context);
    void rename(SftpOperationContext& context, bool replace);
    void removeTemporary(SftpOperationContext& context);
    void noteFailure(SftpError error, const QString& text, std::uint32_t serverStatus = sftp::FxOk);
    void failAndClean(SftpOperationContext& context, SftpError error, const QString& text,
                      std::uint32_t serverStatus = sftp::FxOk);
    void closeLocal();

    QString m_localFile;
    QByteArray m_remoteName;
    QByteArray m_target;
    QByteArray m_temporary;
    QByteArray m_handle;
    int m_fd = -1;
    std::int64_t m_size = 0;
    std::int64_t m_offset = 0;       // next byte to send
    std::int64_t m_acknowledged = 0; // bytes the server confirmed
    std::int64_t m_inFlightBytes = 0;
    QHash<std::uint32_t, std::int64_t> m_writes; // write request -> its length
    Step m_step = Step::Opening;
    std::uint32_t m_statId = 0, m_openId = 0, m_setstatId = 0, m_closeId = 0, m_renameId = 0,
                  m_removeId = 0;
    bool m_targetKnown = false; // the STAT of the target has come back
    bool m_targetExists = false;
    bool m_targetIsFolder = false;
    std::uint32_t m_targetPermissions = 0;
    bool m_hasTargetPermissions = false;
    bool m_closeSent = false;
    bool m_atomicRename = false;
    // The first failure; the temporary file is cleaned away before it is reported.
    SftpError m_failure = SftpError::None;
    QString m_failureText;
    std::uint32_t m_failureStatus = sftp::FxOk;
    QElapsedTimer m_progressClock;
};

// Ends the connection once every operation before it is done.
class SftpQuit final : public SftpOperation {
public:
    SftpQuit() : SftpOperation(Kind::Quit) {}
    QString description() const override { return QStringLiteral("QUIT"); }
    void reply(SftpOperationContext&, const sftp::Packet&) override {}

private:
    void start(SftpOperationContext&) override {}
};
