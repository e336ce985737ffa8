// FtpScreen over SFTP: the same commands, events and screen, over an SFTP session. What is the
// protocol's own is here: the connection's settings, and the host key, passphrase and password
// questions the session asks, put to the user.
#include "publish/FtpScreen.h"

#include "platform/Prompter.h"
#include "sftp/SftpRemoteSession.h"

#include <QTimer>

#include <tuple>

void FtpScreen::connectSftp(const QString& hostField) {
    m_sftp = std::make_unique<SftpRemoteSession>();
    connect(m_sftp.get(), &RemoteSession::sessionEvent, this, &FtpScreen::onSessionEvent);
    connect(m_sftp.get(), &SftpRemoteSession::question, this,
            [this](const SftpQuestion& q) { onSftpQuestion(q); });
    SshChannel::Settings c = m_sftpSettings;
    // A host may name its port ("example.org:2222"); without one the SFTP port counts.
    std::tie(c.host, c.port) = hostAndPort(hostField, m_sftpPort);
    c.user = m_connection.m_current.user;
    // The password of the field (saved with the profile, or typed for this connection); without
    // one the server's question is put to the user.
    const QString& password = m_connection.m_fields.password;
    c.password = password.isEmpty() ? std::nullopt : std::optional<QString>(password);
    SftpSession& session = m_sftp->session();
    session.Connection = c;
    session.InitialDirectory = m_connection.m_current.directory.toUtf8();
    setBusy(true);
    m_sftp->logIn();
}

void FtpScreen::onSftpQuestion(const SftpQuestion& question) {
    // Asked once the session's handler has returned; the session waits for the answer.
    QTimer::singleShot(0, this, [this, question] {
        if (!m_sftp)
            return;
        const bool wasBusy = busy();
        setBusy(false);
        SftpSession& session = m_sftp->session();
        switch (question.kind) {
        case SftpQuestion::Kind::HostKey:
            session.AnswerHostKey(m_prompter.message(MessageKind::Confirmation,
                                                     MessageButtons::YesNo,
                                                     question.text) == MessageAnswer::Yes);
            break;
        case SftpQuestion::Kind::Passphrase:
            session.AnswerPassphrase(
                m_prompter.secret(QStringLiteral("Passphrase"), question.text));
            break;
        case SftpQuestion::Kind::Password: {
            // Typed for this login only: kept nowhere.
            const std::optional<QString> typed =
                m_prompter.secret(QStringLiteral("Password"), question.text);
            session.AnswerPassword(typed && !typed->isEmpty() ? typed : std::nullopt);
            break;
        }
        }
        if (m_sftp)
            setBusy(wasBusy);
    });
}
