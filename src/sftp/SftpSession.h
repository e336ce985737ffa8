// SftpSession: publishing over SSH. The same operations as the FTP engine (log in, list, change
// folder, make folder, rename, delete, remove folder, store, quit, abort), each an operation
// object with its own state, run in the order they were asked for over one SSH connection.
//
// Every call returns at once. What happens comes back as SftpEvents, queued and delivered from
// the event loop, never from inside a call: a handler may call anything, or delete the session.
// Operations asked for while another runs wait their turn (once an upload's last bytes are out,
// the next upload of another file may open its own); each ends in one Done event, in the order
// they were asked for, whose operation object tells the outcome: all but those that Abort, or
// the end of the connection, cancelled before they started. A connection ends in exactly one
// Quit event: after Quit, after Abort, or after a fatal Error. Every wait for the server has a
// time-out.
#pragma once

#include "sftp/SftpEvent.h"
#include "sftp/SftpOperation.h"
#include "sftp/SshChannel.h"

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <deque>
#include <memory>
#include <vector>

class SftpSession : public QObject, private SshChannel::Owner, private SftpOperationContext {
    Q_OBJECT

public:
    // The block of one write request when the server names no limit of its own.
    static constexpr std::uint32_t StandardWriteBlock = 32 * 1024;
    static constexpr std::uint32_t LargestWriteBlock = 256 * 1024;

    explicit SftpSession(QObject* parent = nullptr);
    ~SftpSession() override;

    // Read at Connect(): host, port, user, password, known hosts, key folder, agent, time-outs.
    SshChannel::Settings Connection;
    // The folder changed to after login: relative to the home folder, or absolute. A folder
    // that cannot be reached leaves the home folder current (an InitialFolderRefused info).
    QByteArray InitialDirectory;
    // Uploads replace an existing file with the server's one-step rename where it offers one;
    // off, or on a server without it, the old file is removed first and the new one renamed.
    bool UseAtomicRename = true;

    std::shared_ptr<const SftpLogin> Connect();
    // Names are the server's bytes: a name from a listing goes back exactly as it came; a name
    // typed by the user goes as UTF-8 (QString::toUtf8). Relative names are taken from the
    // current folder.
    std::shared_ptr<const SftpList> GetListing(const QByteArray& folder = {});
    std::shared_ptr<const SftpChangeDirectory> ChangeDirectory(const QByteArray& folder);
    std::shared_ptr<const SftpSimpleCommand> MakeDirectory(const QByteArray& name);
    std::shared_ptr<const SftpSimpleCommand> RemoveDirectory(const QByteArray& name);
    std::shared_ptr<const SftpSimpleCommand> DeleteFile(const QByteArray& name);
    std::shared_ptr<const SftpStat> Stat(const QByteArray& name);
    std::shared_ptr<const SftpRename> RenameFile(const QByteArray& from, const QByteArray& to);
    // Uploads the local file (a path as the program shows it; Latin-1 names on disk are found)
    // under the remote name, which may hold folders ("images/logo.png").
    std::shared_ptr<const SftpStore> StoreFile(const QString& localFile,
                                               const QByteArray& remoteName);
    // Ends the connection once every operation asked for before it is done.
    std::shared_ptr<const SftpQuit> Quit();
    // Ends everything at once: operations under way and waiting are cancelled (without Done
    // events), the connection closes, and the Quit event follows. Nothing happens when no
    // connection is under way.
    void Abort();

    // The answers to the questions of SftpEvent::Question.
    void AnswerHostKey(bool trust);
    void AnswerPassphrase(const std::optional<QString>& passphrase);
    void AnswerPassword(const std::optional<QString>& password);

    // Logged in and not ended.
    bool Connected() const { return m_state == State::Ready; }
    // Connecting, or an operation runs or waits.
    bool Busy() const {
        return m_state == State::Connecting || !m_active.empty() || !m_queue.empty();
    }
    QByteArray CurrentDirectory() const { return m_currentFolder; }
    std::uint32_t WriteBlockSize() const { return m_writeBlock; }

signals:
    void sessionEvent(const SftpEvent& event);

private:
    enum class State { Disconnected, Connecting, Ready };

    template <typename Op> std::shared_ptr<const Op> enqueue(std::shared_ptr<Op> op);
    void startNext();
    void endConnection(SftpError error, const QString& text);
    // What waited is cancelled, nothing is awaited, and the Quit event comes (once).
    void wrapUp(const QString& why);
    void post(SftpEvent event);
    void deliverEvents();
    void postDone(const std::shared_ptr<SftpOperation>& op);
    std::shared_ptr<SftpOperation> activeOwner(const SftpOperation& op) const;
    void dispatch(const sftp::Packet& packet);
    void updateAwaiting();

    // SshChannel::Owner
    void channelInfo(SftpInfo info, const QString& text) override;
    void channelQuestion(const SftpQuestion& question) override;
    void channelOpen() override;
    void channelReceived(const char* bytes, qsizetype size) override;
    void channelFailed(SftpError error, const QString& text) override;

    // SftpOperationContext
    std::uint32_t nextId() override;
    void send(SftpOperation& op, std::uint32_t id, QByteArray packet,
              const QString& logLine) override;
    QByteArray currentFolder() const override { return m_currentFolder; }
    void setCurrentFolder(const QByteArray& folder) override { m_currentFolder = folder; }
    const sftp::Version& serverVersion() const override { return m_version; }
    bool atomicRename() const override {
        return UseAtomicRename && m_version.hasExtension("posix-rename@openssh.com", "1");
    }
    std::uint32_t writeBlockSize() const override { return m_writeBlock; }
    void info(SftpInfo info, const QString& text) override;
    void progress(SftpOperation& op, std::int64_t done, std::int64_t total) override;
    void letNextStart() override { startNext(); }
    void finished(SftpOperation& op) override;
    void fatal(SftpError error, const QString& text) override;

    State m_state = State::Disconnected;
    std::unique_ptr<SshChannel> m_channel;
    std::shared_ptr<SftpLogin> m_login;
    std::deque<std::shared_ptr<SftpOperation>> m_queue;
    std::vector<std::shared_ptr<SftpOperation>> m_active;
    QHash<std::uint32_t, SftpOperation*> m_pending; // request id -> the operation awaiting it
    std::uint32_t m_nextId = 1;
    sftp::PacketAssembler m_packets;
    sftp::Version m_version;
    std::uint32_t m_writeBlock = StandardWriteBlock;
    QByteArray m_currentFolder;
    bool m_starting = false;
    bool m_quitPosted = true; // no connection yet: nothing to end

    std::deque<SftpEvent> m_events;
    bool m_deliveryPosted = false;
};
