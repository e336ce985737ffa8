// FtpScreen over SFTP: the same commands and the same screen, over an SFTP session. The host
// key, passphrase and password questions come from the session and are put to the user here;
// a transfer runs the upload plan of the transfer list.
#include "publish/FtpScreen.h"

#include "platform/Prompter.h"
#include "publish/UploadPlan.h"
#include "publish/UploadRunner.h"
#include "sftp/SftpRemoteSession.h"

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

bool FtpScreen::connected() const {
    if (m_sftp)
        return m_sftp->connected();
    return m_connected;
}

void FtpScreen::connectSftp(const QString& hostField) {
    m_sftp = std::make_unique<SftpRemoteSession>();
    connect(m_sftp.get(), &RemoteSession::sessionEvent, this,
            [this](const RemoteEvent& e) { onRemoteEvent(e); });
    connect(m_sftp.get(), &SftpRemoteSession::question, this,
            [this](const SftpQuestion& q) { onSftpQuestion(q); });
    SshChannel::Settings c = sftpSettings;
    // A host may name its port ("example.org:2222"); without one the SFTP port counts.
    static const QRegularExpression withPort(QStringLiteral("^([^:]+):(\\d{1,5})$"));
    const QRegularExpressionMatch m = withPort.match(hostField);
    c.host = hostField;
    c.port = sftpPort;
    if (m.hasMatch() && m.captured(2).toInt() > 0 && m.captured(2).toInt() < 65536) {
        c.host = m.captured(1);
        c.port = m.captured(2).toInt();
    }
    c.user = m_current.user;
    // The password of the field (saved with the profile, or typed for this connection); without
    // one the server's question is put to the user.
    c.password = fields.password.isEmpty() ? std::nullopt : std::optional<QString>(fields.password);
    SftpSession& session = m_sftp->session();
    session.Connection = c;
    session.InitialDirectory = m_current.directory.toUtf8();
    m_remoteBase.clear();
    m_remoteCurrent.clear();
    setBusy(true);
    m_sftp->logIn();
}

void FtpScreen::onSftpQuestion(const SftpQuestion& question) {
    // Asked once the session's handler has returned; the session waits for the answer.
    QTimer::singleShot(0, this, [this, question] {
        if (!m_sftp)
            return;
        const bool wasBusy = m_busy;
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

void FtpScreen::remoteList() {
    if (m_sftp) {
        m_remoteOps.insert(m_sftp->list());
        return;
    }
    m_session->list();
}

void FtpScreen::remoteQuit() {
    if (m_sftp)
        m_sftp->quit();
    else
        m_session->quit();
}

void FtpScreen::remoteCommand(const std::function<RemoteOpId()>& call) {
    m_remoteOps.insert(call());
}

void FtpScreen::onRemoteEvent(const RemoteEvent& e) {
    switch (e.kind) {
    case RemoteEvent::Kind::Info:
        // The listing's lines show in the lists; the rest is the Log's.
        if (e.info != RemoteInfo::ListingLine)
            appendLog(e.text);
        return;
    case RemoteEvent::Kind::Progress:
        if (m_transferring) {
            m_bytes = QStringLiteral("%1 of %2").arg(e.bytesDone).arg(e.bytesTotal);
            emit changed();
        }
        return;
    case RemoteEvent::Kind::Error:
        setBusy(false);
        appendLog(e.text);
        // A transfer says itself that it stopped, and why.
        if (!m_transferring) {
            const QString text = e.text;
            QTimer::singleShot(0, this, [this, text] { m_prompter.inform(text); });
        }
        return;
    case RemoteEvent::Kind::Quit:
        m_remoteOps.clear();
        if (!m_transferring)
            onQuit();
        return;
    case RemoteEvent::Kind::Done:
        break;
    }
    if (e.opKind == RemoteOpKind::Login) {
        if (e.ok)
            afterChange();
        return;
    }
    if (!m_remoteOps.remove(e.op))
        return; // the runner's
    switch (e.opKind) {
    case RemoteOpKind::List:
        if (e.ok && e.listing)
            sftpListed(*e.listing);
        setBusy(false);
        emit changed();
        return;
    case RemoteOpKind::Quit:
        return;
    default:
        break;
    }
    const QString what = std::exchange(m_command, QString());
    if (!e.ok && connected() && !what.isEmpty()) {
        const QString text = refusedText(what, e.text);
        m_status = text;
        appendLog(text);
        QTimer::singleShot(0, this, [this, text] { m_prompter.inform(text); });
    }
    if (connected())
        afterChange();
    else
        setBusy(false);
}

namespace {

// A folder's entries come in the order of the server's disk: shown sorted, as a listing of an
// FTP server is, each shown name with its bytes.
void sortEntries(QStringList& shown, QList<QByteArray>& names) {
    std::vector<qsizetype> order(static_cast<size_t>(shown.size()));
    for (qsizetype i = 0; i < shown.size(); ++i)
        order[static_cast<size_t>(i)] = i;
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int c = QString::compare(shown.at(a), shown.at(b), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : names.at(a) < names.at(b);
    });
    QStringList sortedShown;
    QList<QByteArray> sortedNames;
    for (const qsizetype i : order) {
        sortedShown << shown.at(i);
        sortedNames << names.at(i);
    }
    shown = sortedShown;
    names = sortedNames;
}

} // namespace

void FtpScreen::sftpListed(const RemoteListing& listing) {
    m_remoteDirs = listing.directories;
    m_remoteDirNames = listing.directoryNames;
    sortEntries(m_remoteDirs, m_remoteDirNames);
    m_remoteDirs.prepend(QStringLiteral(".."));
    m_remoteDirNames.prepend(QByteArrayLiteral(".."));
    m_remoteFiles = listing.files;
    m_remoteFileNames = listing.fileNames;
    sortEntries(m_remoteFiles, m_remoteFileNames);
    m_remoteCurrent = listing.folder;
    // The first listing of a connection shows where the login ended: site files go below it.
    if (m_remoteBase.isEmpty())
        m_remoteBase = m_remoteCurrent;
    m_bytes.clear();
}

void FtpScreen::startSftpTransfer() {
    m_runner = std::make_unique<UploadRunner>(
        *m_sftp, UploadPlan::make(m_transfer, m_current.siteFolder, m_remoteBase, m_remoteCurrent));
    UploadRunner& runner = *m_runner;
    connect(&runner, &UploadRunner::fileStarted, this, &FtpScreen::fileStarted);
    connect(&runner, &UploadRunner::fileDone, this, &FtpScreen::fileDone);
    connect(&runner, &UploadRunner::finished, this, [this] { finishTransfer(); });
    connect(&runner, &UploadRunner::stopped, this, [this](int, const RemoteEvent& cause) {
        if (cause.kind == RemoteEvent::Kind::Error) {
            transferLost(cause.text);
        } else {
            // Stopped by the user: the status line says how far it got.
            m_transferring = false;
        }
        onQuit();
        m_status =
            QStringLiteral("Transfer stopped: sent %1 of %2 files.").arg(m_sent).arg(m_count);
        emit changed();
    });
    setBusy(true);
    runner.start();
}
