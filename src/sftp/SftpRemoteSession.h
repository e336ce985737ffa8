// SftpRemoteSession: the remote operations over an SFTP session. SftpSession already runs its
// operations in order and reports each one's end; this turns its events into RemoteEvents (log
// lines, upload progress, one Done per operation, the fatal error, the end of the connection).
// The connection's settings (host, port, user, password, known hosts, keys) and its questions (an
// unknown host key, a passphrase, a password) stay with the SFTP session, which session() gives:
// a screen answers them there.
#pragma once

#include "remote/RemoteSession.h"
#include "sftp/SftpSession.h"

#include <QElapsedTimer>
#include <QHash>

class SftpRemoteSession : public RemoteSession {
    Q_OBJECT

public:
    explicit SftpRemoteSession(QObject* parent = nullptr);
    ~SftpRemoteSession() override;

    SftpSession& session() { return m_session; }
    const SftpSession& session() const { return m_session; }

    RemoteOpId logIn() override;
    RemoteOpId list() override;
    RemoteOpId changeDir(const QByteArray& folder) override;
    RemoteOpId makeDir(const QByteArray& name) override;
    RemoteOpId removeDir(const QByteArray& name) override;
    RemoteOpId rename(const QByteArray& from, const QByteArray& to) override;
    RemoteOpId deleteFile(const QByteArray& name) override;
    RemoteOpId store(const QString& localFile, const QByteArray& remoteName) override;
    RemoteOpId quit() override;
    void abort() override;
    bool connected() const override { return m_session.Connected(); }
    bool busy() const override { return m_session.Busy(); }

    // The neutral words for an SFTP error, and the kind of log line of an SFTP info.
    static RemoteError remoteError(SftpError error);
    static RemoteInfo remoteInfo(SftpInfo info);
    // The listing as the screen shows it: folders and files by the server's bytes and as
    // shown, each entry as a log line.
    static RemoteListing listingOf(const SftpList& list);

signals:
    // The session waits for the answer, given through session().Answer...().
    void question(const SftpQuestion& question);

private:
    struct Op {
        RemoteOpId id = 0;
        RemoteOpKind kind = RemoteOpKind::Login;
        std::shared_ptr<const SftpOperation> operation;
        QElapsedTimer clock; // from the call
    };
    RemoteOpId track(const std::shared_ptr<const SftpOperation>& op, RemoteOpKind kind);
    void onEvent(const SftpEvent& event);

    SftpSession m_session;
    QHash<const SftpOperation*, Op> m_ops;
};
