// FtpSession: the remote operations over the FTP engine. It keeps the queue of operations asked
// for, starts each on the engine when the one before it has ended, and turns the engine's
// events into RemoteEvents (log lines, upload progress, one Done per operation, the fatal error,
// the end of the connection). The engine's connection settings, its questions (a password, a
// certificate) and its own texts stay with the engine, which engine() gives.
#pragma once

#include "ftp/Ftp.h"
#include "remote/RemoteSession.h"

#include <deque>
#include <memory>
#include <optional>

class FtpSession : public RemoteSession {
    Q_OBJECT

public:
    explicit FtpSession(QObject* parent = nullptr);
    ~FtpSession() override;

    TStarFtp& engine() { return *m_engine; }
    const TStarFtp& engine() const { return *m_engine; }

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
    bool connected() const override;
    bool busy() const override;

    // The neutral words for an engine error.
    static RemoteError remoteError(FtpError code);

private:
    struct Op {
        RemoteOpId id = 0;
        RemoteOpKind kind = RemoteOpKind::Login;
        QByteArray name;
        QByteArray target;
        QString localFile;
        std::int64_t size = 0;
        // Filled while it runs: the last reply line and the engine error it met.
        QString lastReply;
        std::optional<FtpError> error;
    };

    RemoteOpId enqueue(RemoteOpKind kind, QByteArray name = {}, QByteArray target = {},
                       QString localFile = {});
    void startNext();
    void startOp();
    // The engine's completion event of the operation under way.
    void completed();
    void finishCurrent(bool ok);
    void onInfo(FtpInfo code, const QString& text);
    void onError(FtpError code);
    void onQuit();

    std::unique_ptr<TStarFtp> m_engine;
    std::deque<Op> m_queue;
    std::optional<Op> m_current;
    // A connection is under way (Connect called, its end not reported yet).
    bool m_connection = false;
    // The fatal error of this connection, reported already as an Error event.
    std::optional<FtpError> m_fatal;
};
