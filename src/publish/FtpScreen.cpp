// FtpScreen: the FTP screen's logic over its FTP session.
#include "publish/FtpScreen.h"

#include "app/ChangedList.h"
#include "app/Settings.h"
#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/FilesTab.h"
#include "project/ProjectFiles.h"
#include "publish/UploadPlan.h"
#include "publish/UploadRunner.h"
#include "sftp/SftpRemoteSession.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// The errors that end one file of a transfer but not the connection.
bool fileError(RemoteError error) {
    return error == RemoteError::LocalFileOpen || error == RemoteError::LocalFileRead ||
           error == RemoteError::NoRemoteFile;
}

} // namespace

FtpScreen::FtpScreen(QString programDirectory, ChangedList& changedList, const Settings& settings,
                     Prompter& prompter, QObject* parent)
    : QObject(parent), m_programDirectory(std::move(programDirectory)), m_changedList(changedList),
      m_settings(settings), m_prompter(prompter), m_profiles(m_programDirectory),
      m_session(std::make_unique<FtpSession>()) {
    wireEngine();
}

FtpScreen::~FtpScreen() {
    // No event or question may reach a screen that is going away.
    m_runner.reset();
    if (m_sftp) {
        disconnect(m_sftp.get(), nullptr, this, nullptr);
        m_sftp->abort();
    }
    disconnect(m_session.get(), nullptr, this, nullptr);
    engine().OnFtpNeedInfo = {};
    engine().OnCertificateCheck = {};
    m_session.reset();
}

void FtpScreen::wireEngine() {
    TStarFtp& f = engine();
    f.FtpPort = 21;
    // The one place where the transfer type and the server type are chosen.
    f.TransferMode = BinaryTransfer;
    f.ServerType = ftpstDefault;
    // The questions of a login are the engine's own, asked while it waits.
    f.OnFtpNeedInfo = [this](TStarFtp*, TFtpInfoNeeded need, QString& value) {
        onNeedInfo(need, value);
    };
    f.OnCertificateCheck = [this](TStarFtp*, const TCertificateInfo& c) {
        return onCertificate(c);
    };
    connect(m_session.get(), &RemoteSession::sessionEvent, this, &FtpScreen::onSessionEvent);
}

void FtpScreen::open() {
    m_hostList = m_profiles.readNames();
    pruneChangedList();
    m_auto = m_changedList.paths();
    m_status.clear();
    if (m_hostList.size() == 1)
        selectHost(0);
    emit changed();
}

void FtpScreen::pruneChangedList() {
    // A file deleted since it was queued has nothing to send: it leaves the queue, and the Log
    // says which one went.
    QStringList kept;
    for (const QString& path : m_changedList.paths()) {
        if (pathExists(path))
            kept << path;
        else
            m_log << removedFromQueueText(path);
    }
    if (kept.size() != m_changedList.count())
        m_changedList.replace(kept);
    if (!m_changedList.problem().isEmpty())
        m_log << m_changedList.problem();
}

QString FtpScreen::removedFromQueueText(const QString& path) {
    return QStringLiteral("%1 is no longer on disk: taken off the Auto-FTP List.").arg(path);
}

// ---- page 1 ----

void FtpScreen::selectHost(int index) {
    if (index < 0 || index >= m_hostList.size())
        return;
    m_selectedHost = index;
    const QString name = m_hostList.at(index);
    fields = m_profiles.read(name);
    m_selectedLabel = QStringLiteral("Selected FTP Host: ") + name;
    m_current = fields;
    m_currentSection = name;
    emit changed();
}

void FtpScreen::deleteHost() {
    if (m_selectedHost < 0 || m_selectedHost >= m_hostList.size())
        return;
    const QString name = m_hostList.at(m_selectedHost);
    QStringList list = m_hostList;
    list.removeAt(m_selectedHost);
    const auto erase = [&] { return m_profiles.erase(name); };
    if (!saveHostList(list, name, erase, false))
        return;
    m_selectedHost = -1;
    emit changed();
}

bool FtpScreen::saveHostList(const QStringList& list, const QString& name,
                             const std::function<ProfileFileWrite()>& writeProfile, bool saving) {
    const auto refused = [&](const QString& path, const QString& reason) {
        m_prompter.inform(saving ? profileNotSavedText(name, path, reason)
                                 : profileNotDeletedText(name, path, reason));
        return false;
    };
    const HostProfiles::Snapshot before = m_profiles.snapshot();
    if (const ProfileFileWrite written = writeProfile(); !written)
        return refused(m_profiles.profilesPath(), written.error);
    if (const ProfileFileWrite written = m_profiles.writeNames(list); !written) {
        // FTP.INI goes back to what it was: the two files never disagree on a change half made.
        m_profiles.restore(before);
        return refused(m_profiles.namesPath(), written.error);
    }
    m_hostList = list;
    return true;
}

void FtpScreen::clearFields() {
    fields = HostProfile();
    emit changed();
}

bool FtpScreen::profileNameRefused(const QString& missingText) {
    QString text;
    if (fields.profile.isEmpty())
        text = missingText;
    else if (!HostProfiles::validName(fields.profile))
        text = HostProfiles::invalidNameText(fields.profile);
    else
        return false;
    m_prompter.inform(text);
    emit focusProfileName();
    return true;
}

void FtpScreen::addToList() {
    if (profileNameRefused(profileNameMissingText()))
        return;
    saveProfile(m_hostList);
}

void FtpScreen::modify() {
    // Refused before anything is removed, so a bad name loses no entry.
    if (profileNameRefused(modifyNameMissingText()))
        return;
    QStringList list = m_hostList;
    const qsizetype at = list.indexOf(fields.profile);
    if (at >= 0)
        list.removeAt(at);
    saveProfile(list);
}

void FtpScreen::saveProfile(QStringList list) {
    // Nothing changes unless both files are written: a profile that could not be stored must
    // not appear in the list, and what the user typed stays in the fields.
    list << fields.profile;
    const HostProfile profile = fields;
    const auto write = [&] { return m_profiles.write(profile, savePassword); };
    if (!saveHostList(list, profile.profile, write, true))
        return;
    m_selectedHost = -1;
    fields = HostProfile();
    emit changed();
}

// ---- page 2 ----

bool FtpScreen::addExisting(const QString& path) {
    // By the name's bytes on disk: a Latin-1 name is found as well as a UTF-8 one.
    if (regularFileSize(path) >= 0) {
        m_transfer << path;
        return true;
    }
    m_prompter.inform(fileMissingText(path));
    return false;
}

void FtpScreen::removeFromTransferList(const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted)
        if (row >= 0 && row < m_transfer.size())
            m_transfer.removeAt(row);
    emit changed();
}

void FtpScreen::clearTransferList() {
    m_transfer.clear();
    emit changed();
}

void FtpScreen::addFromAutoList(const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    for (int row : sorted)
        if (row >= 0 && row < m_auto.size())
            addExisting(m_auto.at(row));
    emit changed();
}

void FtpScreen::addAllFromAutoList() {
    if (m_auto.isEmpty())
        return;
    for (const QString& path : m_auto)
        addExisting(path);
    emit changed();
}

void FtpScreen::removeFromAutoList(const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted)
        if (row >= 0 && row < m_auto.size())
            m_auto.removeAt(row);
    m_changedList.replace(m_auto);
    emit changed();
}

void FtpScreen::clearAutoList() {
    m_auto.clear();
    m_changedList.clear();
    emit changed();
}

QStringList FtpScreen::projectNames() const {
    const QDir dir(m_programDirectory + QStringLiteral("projects"));
    QStringList names;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.out")}, QDir::Files | QDir::Readable, QDir::Name))
        names << name.toUpper();
    return names;
}

void FtpScreen::chooseProject(const QString& name) {
    // The box shows the names upper-cased; the file on disk keeps its own case.
    const QDir dir(m_programDirectory + QStringLiteral("projects"));
    QString real;
    for (const QString& entry : dir.entryList({QStringLiteral("*.out")}, QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            real = entry;
            break;
        }
    }
    ProjectRead read;
    if (real.isEmpty())
        read.failure = ProjectRead::Failure::Missing;
    else
        read = readProject(dir.filePath(real));
    if (!read.ok()) {
        m_projectPages.clear();
        emit changed();
        m_prompter.inform(badProjectText());
        return;
    }
    m_projectPages = read.pages;
    emit changed();
}

void FtpScreen::addProjectPage(int item) {
    if (item < 1 || item > static_cast<int>(m_projectPages.size()))
        return;
    addExisting(m_projectPages.at(static_cast<size_t>(item - 1)).link);
    emit changed();
}

void FtpScreen::addAllProjectPages() {
    for (const ProjectPage& page : m_projectPages)
        addExisting(page.link);
    emit changed();
}

void FtpScreen::addFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        m_transfer << FilesTab::joinPath(folder, name);
    emit changed();
}

// ---- page 3 ----

void FtpScreen::setBusy(bool busy) {
    if (m_busy == busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

void FtpScreen::appendLog(const QString& line) {
    m_log << line;
    emit changed();
}

void FtpScreen::connectToHost() {
    if (connected() || m_busy)
        return;
    // The password may stay empty: a profile saved without it asks for it at the login.
    if (fields.profile.isEmpty() || fields.host.isEmpty() || fields.user.isEmpty()) {
        m_prompter.inform(fieldsMissingText());
        emit showPage(HostPage);
        return;
    }
    appendLog(QStringLiteral("Connecting.."));
    m_runner.reset();
    m_sftp.reset();
    if (m_current.protocol == HostProtocol::Sftp) {
        connectSftp(m_current.host);
        return;
    }
    TStarFtp& f = engine();
    // A host may name its port ("ftp.example.com:2121"); without one the screen's port counts.
    QString host = m_current.host;
    f.FtpPort = ftpPort;
    static const QRegularExpression withPort(QStringLiteral("^([^:]+):(\\d{1,5})$"));
    const QRegularExpressionMatch m = withPort.match(host);
    if (m.hasMatch() && m.captured(2).toInt() > 0 && m.captured(2).toInt() < 65536) {
        host = m.captured(1);
        f.FtpPort = m.captured(2).toInt();
    }
    f.SetFtpServer(host);
    f.UserName = m_current.user;
    // The password is the one in the field: typed there for a profile saved without it, it
    // is used for this connection and stored nowhere.
    f.UserPassword = fields.password;
    f.UserAccount = m_current.account;
    f.InitialDirectory = m_current.directory;
    f.DataConnection = m_current.dataConnection;
    f.Security = m_current.effectiveSecurity();
    f.TrustedFingerprint = m_current.fingerprint;
    m_remoteBase.clear();
    m_remoteCurrent.clear();
    setBusy(true);
    m_session->logIn();
}

void FtpScreen::disconnectFromHost() {
    m_closeEnabled = true;
    if (connected() && !m_busy) {
        remoteQuit();
        m_notice = false;
    }
    emit changed();
}

void FtpScreen::transferFiles() {
    if (!connected()) {
        m_prompter.inform(notConnectedText());
        return;
    }
    if (m_transfer.isEmpty()) {
        m_prompter.inform(nothingToTransferText());
        return;
    }
    if (m_busy)
        return;
    m_transferring = true;
    m_stopPressed = false;
    m_count = static_cast<int>(m_transfer.size());
    m_sent = 0;
    m_gaugeMax = m_count;
    m_gaugePos = 0;
    m_gaugeVisible = true;
    if (m_sftp) {
        startSftpTransfer();
        return;
    }
    m_runner = std::make_unique<UploadRunner>(
        *m_session,
        UploadPlan::make(m_transfer, m_current.siteFolder, m_remoteBase, m_remoteCurrent));
    UploadRunner& runner = *m_runner;
    connect(&runner, &UploadRunner::fileStarted, this, &FtpScreen::fileStarted);
    connect(&runner, &UploadRunner::fileProgress, this, [this](int, qint64 done, qint64) {
        m_bytes = QStringLiteral("%1 of %2").arg(done).arg(m_size);
        emit changed();
    });
    connect(&runner, &UploadRunner::fileDone, this, &FtpScreen::fileDone);
    connect(&runner, &UploadRunner::finished, this, &FtpScreen::finishTransfer);
    connect(&runner, &UploadRunner::stopped, this,
            [this](int, const RemoteEvent& cause) { transferStopped(cause); });
    setBusy(true);
    runner.start();
}

void FtpScreen::fileStarted(int index) {
    const UploadPlan::File& file = m_runner->plan().files.at(index);
    m_status = QStringLiteral("Sending file #%1 of %2").arg(index + 1).arg(m_count);
    m_gaugePos = index;
    m_size = m_runner->results().at(index).size;
    m_log << QStringLiteral("Sending %1 to %2").arg(file.localPath, file.remotePath);
    setBusy(true);
    emit changed();
}

void FtpScreen::fileDone(int index, const UploadRunner::FileResult& result) {
    const QString path = m_runner->plan().files.at(index).localPath;
    using Outcome = UploadRunner::FileResult::Outcome;
    if (result.outcome == Outcome::Skipped) {
        // A name with a line break cannot go into a command: it is skipped with its reason.
        appendLog(lineBreakInNameText(path));
        return;
    }
    if (result.outcome == Outcome::Stored) {
        ++m_sent;
        m_uploaded.insert(path);
        appendRate(result.bytes, result.elapsedMs);
    } else {
        // The server's own words, or what kept the file from going at all; a local file the FTP
        // engine could not open or read is told in its own words (SFTP's text already says it).
        QString why = !m_sftp && fileError(result.error) ? errorText(result.protocolCode, path)
                                                         : result.text;
        if (why.isEmpty())
            why = QStringLiteral("the server did not accept it");
        appendLog(QStringLiteral("Could not send %1: %2").arg(path, why));
    }
    m_bytes.clear();
    m_lastReply.clear();
}

void FtpScreen::transferStopped(const RemoteEvent& cause) {
    if (m_stopPressed) {
        // Stop ended the connection: the status says how far it got, no message.
        m_transferring = false;
        m_gaugeVisible = false;
        m_bytes.clear();
        m_status =
            QStringLiteral("Transfer stopped: sent %1 of %2 files.").arg(m_sent).arg(m_count);
        setBusy(false);
        emit changed();
        return;
    }
    const int code = cause.kind == RemoteEvent::Kind::Error
                         ? cause.protocolCode
                         : static_cast<int>(FtpError::ConnectionAborted);
    QString text = errorText(code, {});
    if (text.isEmpty())
        text = errorText(static_cast<int>(FtpError::ConnectionAborted), {});
    transferLost(text);
}

QString FtpScreen::remotePathFor(const QString& localPath, const QString& siteFolder,
                                 const QString& remoteBase, const QString& remoteCurrent,
                                 QStringList* folders) {
    const UploadPlan::Target target =
        UploadPlan::targetFor(localPath, siteFolder, remoteBase, remoteCurrent);
    if (folders)
        *folders = target.folders;
    return target.path;
}

void FtpScreen::appendRate(qint64 bytes, qint64 ms) {
    if (ms == 0)
        return;
    appendLog(QStringLiteral("%1 bytes transferred in %2.%3 seconds (%4K per second)")
                  .arg(bytes)
                  .arg(ms / 1000)
                  .arg(ms % 1000, 3, 10, QLatin1Char('0'))
                  .arg(bytes / ms));
}

void FtpScreen::transferLost(const QString& cause) {
    const int index = m_runner ? m_runner->currentFile() : 0;
    const QString path = m_runner ? m_runner->plan().files.at(index).localPath : QString();
    m_transferring = false;
    setBusy(false);
    m_gaugeVisible = false;
    m_bytes.clear();
    m_status = QStringLiteral("Transfer stopped: sent %1 of %2 files.").arg(m_sent).arg(m_count);
    emit changed();
    appendLog(QStringLiteral("Could not send %1: the connection to the server was lost (%2)")
                  .arg(path, cause));
    const QString text = connectionLostText(path, m_sent, m_count, cause);
    QTimer::singleShot(0, this, [this, text] { m_prompter.inform(text); });
}

void FtpScreen::finishTransfer() {
    m_transferring = false;
    m_status = m_sent == m_count
                   ? QStringLiteral("Completed sending %1 files.").arg(m_count)
                   : QStringLiteral("Completed sending %1 of %2 files.").arg(m_sent).arg(m_count);
    m_gaugeVisible = false;
    m_bytes.clear();
    emit changed();
    if (connected()) {
        setBusy(true);
        afterChange();
    } else {
        setBusy(false);
    }
}

void FtpScreen::abort() {
    m_stopPressed = m_transferring;
    if (m_sftp)
        m_sftp->abort();
    else
        m_session->abort();
}

void FtpScreen::afterChange() {
    remoteList();
    m_closeEnabled = false;
    m_notice = true;
    emit changed();
}

void FtpScreen::makeDirectory() {
    if (!connected() || m_busy)
        return;
    const std::optional<QString> name = m_prompter.input(
        QStringLiteral("Create Directory"), QStringLiteral("Enter new directory name:"), {});
    if (!name)
        return;
    startCommand(QStringLiteral("create the directory %1").arg(*name));
    if (m_sftp)
        remoteCommand([&] { return m_sftp->makeDir(name->toUtf8()); });
    else
        m_session->makeDir(name->toUtf8());
}

void FtpScreen::startCommand(const QString& what) {
    m_command = what;
    m_lastReply.clear();
    setBusy(true);
}

void FtpScreen::reportRefusal(bool succeeded) {
    const QString what = std::exchange(m_command, QString());
    // A connection that ended is no refusal: its end is told by itself.
    if (what.isEmpty() || succeeded || !m_session->connected())
        return;
    // The server's own words say why (a folder that is not empty, a name that is taken).
    const QString text = refusedText(what, m_lastReply);
    m_status = text;
    emit changed();
    // Shown once the engine's handler has returned: a modal box must not run inside it.
    QTimer::singleShot(0, this, [this, text] { m_prompter.inform(text); });
}

QString FtpScreen::remoteName(int row, bool directory) const {
    const QStringList& names = directory ? m_remoteDirs : m_remoteFiles;
    return row >= 0 && row < names.size() ? names.at(row) : QString();
}

void FtpScreen::removeDirectory(int row) {
    const QString name = remoteName(row, true);
    if (!connected() || name.isEmpty() || m_busy || name == QLatin1String(".."))
        return;
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           QStringLiteral("Are you sure you want to remove ") + name +
                               QStringLiteral(" ?")) != MessageAnswer::Yes)
        return;
    startCommand(QStringLiteral("remove the directory %1").arg(name));
    if (m_sftp)
        remoteCommand([&] { return m_sftp->removeDir(m_remoteDirNames.at(row)); });
    else
        m_session->removeDir(m_remoteDirNames.at(row));
}

void FtpScreen::renameFile(int row) {
    const QString name = remoteName(row, false);
    if (!connected() || name.isEmpty() || m_busy)
        return;
    const std::optional<QString> to =
        m_prompter.input(QStringLiteral("Rename File"), QStringLiteral("Enter new File name:"), {});
    if (!to)
        return;
    startCommand(QStringLiteral("rename %1 to %2").arg(name, *to));
    if (m_sftp)
        remoteCommand([&] { return m_sftp->rename(m_remoteFileNames.at(row), to->toUtf8()); });
    else
        m_session->rename(m_remoteFileNames.at(row), to->toUtf8());
}

void FtpScreen::deleteFile(int row) {
    const QString name = remoteName(row, false);
    if (!connected() || name.isEmpty() || m_busy)
        return;
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           QStringLiteral("Are you sure you want to delete ") + name +
                               QStringLiteral(" ?")) != MessageAnswer::Yes)
        return;
    startCommand(QStringLiteral("delete %1").arg(name));
    if (m_sftp)
        remoteCommand([&] { return m_sftp->deleteFile(m_remoteFileNames.at(row)); });
    else
        m_session->deleteFile(m_remoteFileNames.at(row));
}

void FtpScreen::refresh() {
    if (!connected() || m_busy)
        return;
    setBusy(true);
    remoteList();
}

void FtpScreen::openDirectory(int row) {
    const QString name = remoteName(row, true);
    if (!connected() || name.isEmpty() || m_busy)
        return;
    startCommand(QStringLiteral("change to the directory %1").arg(name));
    if (m_sftp)
        remoteCommand([&] { return m_sftp->changeDir(m_remoteDirNames.at(row)); });
    else
        m_session->changeDir(m_remoteDirNames.at(row));
}

bool FtpScreen::close() {
    if (!connected() && !m_busy) {
        setBusy(false);
        if (m_settings.ftpFlush && !m_uploaded.isEmpty()) {
            // Only files that reached the server leave the list; the others still wait.
            QStringList waiting;
            for (const QString& path : m_changedList.paths())
                if (!m_uploaded.contains(path))
                    waiting << path;
            m_changedList.replace(waiting);
            m_auto = waiting;
        }
        return true;
    }
    // Whatever runs is given up: the FTP engine's Quit cuts an operation short.
    if (!m_sftp && m_session->busy())
        engine().Quit();
    else
        remoteQuit();
    setBusy(false);
    emit changed();
    return false;
}

// ---- the session's events ----

void FtpScreen::onSessionEvent(const RemoteEvent& event) {
    switch (event.kind) {
    case RemoteEvent::Kind::Info:
        onInfo(static_cast<FtpInfo>(event.protocolCode), event.text);
        break;
    case RemoteEvent::Kind::Progress:
        break; // an upload's progress comes through its runner
    case RemoteEvent::Kind::Error:
        onError(static_cast<FtpError>(event.protocolCode));
        break;
    case RemoteEvent::Kind::Done:
        onDone(event);
        break;
    case RemoteEvent::Kind::Quit:
        onQuit();
        break;
    }
}

void FtpScreen::onDone(const RemoteEvent& event) {
    switch (event.opKind) {
    case RemoteOpKind::Login:
        m_connected = event.ok;
        if (event.ok)
            afterChange();
        break;
    case RemoteOpKind::List:
        if (event.listing)
            onListingDone(*event.listing);
        else
            setBusy(false);
        break;
    case RemoteOpKind::ChangeDir:
    case RemoteOpKind::MakeDir:
    case RemoteOpKind::RemoveDir:
    case RemoteOpKind::Rename:
    case RemoteOpKind::Delete:
        // A transfer's own folders are its runner's.
        if (m_transferring)
            break;
        reportRefusal(event.ok);
        if (connected())
            afterChange();
        break;
    case RemoteOpKind::Store:
    case RemoteOpKind::Quit:
        break;
    }
}

void FtpScreen::onInfo(FtpInfo code, const QString& text) {
    switch (code) {
    case FtpInfo::ControlRead:
    case FtpInfo::CommandSent: {
        QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        for (QString line : lines) {
            // The password never reaches the screen.
            if (code == FtpInfo::CommandSent && line.startsWith(QLatin1String("PASS ")))
                line = QStringLiteral("PASS ********");
            m_log << line;
        }
        if (code == FtpInfo::ControlRead && !lines.isEmpty())
            m_lastReply = lines.last();
        emit changed();
        break;
    }
    case FtpInfo::PassiveAddressIgnored:
        appendLog(QStringLiteral("Passive mode: ") + text);
        break;
    case FtpInfo::TlsEstablished:
        appendLog(QStringLiteral("Secure connection: ") + text);
        break;
    default:
        break;
    }
}

void FtpScreen::onError(FtpError code) {
    // The session reports only the errors that end the connection.
    const QString text = errorText(static_cast<int>(code), {});
    if (m_transferring)
        return; // the transfer's end gives the one message, with this cause
    setBusy(false);
    if (text.isEmpty())
        return;
    // Shown once the engine's handler has returned: a modal box must not run inside it.
    QTimer::singleShot(0, this, [this, text] { m_prompter.inform(text); });
}

void FtpScreen::onNeedInfo(TFtpInfoNeeded need, QString& value) {
    if (need != NeedPassword && need != NeedAccount)
        return;
    // The normal pointer while the user types; the login waits for the answer.
    const bool wasBusy = m_busy;
    setBusy(false);
    const QString prompt =
        (need == NeedPassword ? QStringLiteral("Enter the password for %1 at %2:")
                              : QStringLiteral("Enter the account for %1 at %2:"))
            .arg(m_current.user, m_current.host);
    // Asked for this login only: the answer is kept nowhere.
    const std::optional<QString> typed =
        need == NeedPassword ? m_prompter.secret(QStringLiteral("Password"), prompt)
                             : m_prompter.input(QStringLiteral("Account"), prompt, {});
    setBusy(wasBusy);
    if (!typed || typed->isEmpty()) {
        appendLog(QStringLiteral("Connection cancelled: no %1 given.")
                      .arg(need == NeedPassword ? QStringLiteral("password")
                                                : QStringLiteral("account")));
        m_session->abort();
        return;
    }
    value = *typed;
}

void FtpScreen::onListingDone(const RemoteListing& listing) {
    m_remoteDirs = listing.directories;
    m_remoteDirNames = listing.directoryNames;
    if (!m_remoteDirs.contains(QStringLiteral(".."))) {
        m_remoteDirs.prepend(QStringLiteral(".."));
        m_remoteDirNames.prepend(QByteArrayLiteral(".."));
    }
    m_remoteFiles = listing.files;
    m_remoteFileNames = listing.fileNames;
    // The first listing of a connection shows where the login ended: site files go below it.
    m_remoteCurrent = listing.folder;
    if (m_remoteBase.isEmpty())
        m_remoteBase = m_remoteCurrent;
    setBusy(false);
    m_bytes.clear();
    emit changed();
}

bool FtpScreen::onCertificate(const TCertificateInfo& certificate) {
    // The normal pointer while the user reads the question; the connection waits for it.
    const bool wasBusy = m_busy;
    setBusy(false);
    const bool trusted =
        m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           certificateQuestionText(certificate, m_currentSection)) ==
        MessageAnswer::Yes;
    setBusy(wasBusy);
    if (!trusted)
        return false;
    m_current.fingerprint = certificate.Sha256Fingerprint;
    if (!m_currentSection.isEmpty() &&
        m_profiles.trust(m_currentSection, certificate.Sha256Fingerprint)) {
        if (m_selectedHost >= 0 && m_hostList.value(m_selectedHost) == m_currentSection)
            fields.fingerprint = certificate.Sha256Fingerprint;
        appendLog(QStringLiteral("Certificate %1 trusted for the profile %2")
                      .arg(certificate.Sha256Fingerprint, m_currentSection));
    }
    emit changed();
    return true;
}

void FtpScreen::onQuit() {
    m_connected = false;
    // A transfer under way is ended by its runner, which hears the same event.
    if (!m_transferring)
        setBusy(false);
    // Without a connection the screen can be left again, and shows no remote listing.
    m_closeEnabled = true;
    m_notice = false;
    m_remoteDirs.clear();
    m_remoteDirNames.clear();
    m_remoteFiles.clear();
    m_remoteFileNames.clear();
    m_remoteCurrent.clear();
    m_command.clear();
    emit changed();
}

// ---- texts ----

QString FtpScreen::caption() {
    return QStringLiteral("Quillon Pro:    FTP Module");
}

QString FtpScreen::noticeText() {
    return QStringLiteral(
        "Connected to FTP Server:    You must press the DISCONNECT button before closing");
}

QString FtpScreen::profileNameMissingText() {
    return QStringLiteral("You must enter a Profile Name before adding to the Host List");
}

QString FtpScreen::modifyNameMissingText() {
    return QStringLiteral("You must include the Profile Name that you wish to have modified.");
}

QString FtpScreen::fieldsMissingText() {
    return QStringLiteral("Please verify that the host you have selected has a Profile Name, Host "
                          "Name, User Name, and Password. These fields are all required to "
                          "connect to an FTP host.");
}

QString FtpScreen::notConnectedText() {
    return QStringLiteral("You must press the CONNECT button to connect to the FTP server before "
                          "beginning to transfer files.");
}

QString FtpScreen::nothingToTransferText() {
    return QStringLiteral("You haven't selected any files to transfer. Select the files you wish "
                          "to transfer from Tab #2.");
}

QString FtpScreen::fileMissingText(const QString& path) {
    return QStringLiteral("The file: ") + path +
           QStringLiteral("  does not exist. Please be sure the location is correct and the "
                          "file has not been deleted.");
}

QString FtpScreen::badProjectText() {
    return QStringLiteral("You cannot type in a project name. You must select it from the list.");
}

QString FtpScreen::lineBreakInNameText(const QString& path) {
    QString shown = path;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return QStringLiteral("Skipped %1: a file name holding a line break cannot be sent.")
        .arg(shown);
}

QString FtpScreen::connectionLostText(const QString& path, int sent, int count,
                                      const QString& cause) {
    return QStringLiteral("The connection to the server was lost while sending %1, so the "
                          "transfer stopped after %2 of %3 files.\n\n%4")
        .arg(path)
        .arg(sent)
        .arg(count)
        .arg(cause);
}

QString FtpScreen::refusedText(const QString& what, const QString& reply) {
    return QStringLiteral("The server refused to %1: %2")
        .arg(what, reply.isEmpty() ? QStringLiteral("the command could not be sent") : reply);
}

QString FtpScreen::profileNotSavedText(const QString& name, const QString& path,
                                       const QString& reason) {
    return QStringLiteral("The host profile \"%1\" was not saved: %2 could not be written (%3).")
        .arg(name, path, reason);
}

QString FtpScreen::profileNotDeletedText(const QString& name, const QString& path,
                                         const QString& reason) {
    return QStringLiteral("The host profile \"%1\" was not deleted: %2 could not be written "
                          "(%3).")
        .arg(name, path, reason);
}

QString FtpScreen::certificateQuestionText(const TCertificateInfo& c, const QString& profile) {
    return QStringLiteral("The server's certificate could not be verified: %1\n\n"
                          "Subject: %2\nIssuer: %3\nValid from %4 to %5\n"
                          "SHA-256 fingerprint: %6\n\n"
                          "Do you want to trust this certificate for the profile \"%7\"?")
        .arg(c.Problem, c.Subject, c.Issuer, c.NotBefore, c.NotAfter, c.Sha256Fingerprint, profile);
}

QString FtpScreen::errorText(int code, const QString& extra) {
    switch (code) {
    case 1:
        return QStringLiteral("The winsock interface could not be initialized. Make sure that "
                              "winsock is installed on your system.");
    case 2:
    case 10:
    case 11:
    case 18:
        return QStringLiteral("The network is down. Make sure that you have established a "
                              "connection to the network.");
    case 3:
    case 16:
        return QStringLiteral("Could not find your FTP server. Check that you are connected to "
                              "your service provider and that your setup information is correct.");
    case 4:
    case 5:
    case 15:
        return QStringLiteral("An unexpected error occured");
    case 6:
    case 7:
        return QStringLiteral("The connection was unexpectedly closed by the remote server");
    case 8:
        return QStringLiteral("The connection attempt to the server timed out.");
    case 9:
        return QStringLiteral("The winsock is out of sockets. Close a winsock application before "
                              "trying again.");
    case 12:
        return QStringLiteral("The server refused the connection. Make sure that you have entered "
                              "the correct value in setup for your FTP server.");
    case 13:
        return QStringLiteral("An unexpected response was received from the server. Make sure "
                              "that you have entered the correct value in setup for your FTP "
                              "port.");
    case 19:
        return QStringLiteral("No server specified");
    case 21:
    case 24:
        return QStringLiteral("Error opening ") + extra;
    case 23:
        return QStringLiteral("Error reading from ") + extra;
    case 26:
        return QStringLiteral("The FTP server is down.");
    case 27:
        return QStringLiteral("Access denied. Check your user ID and password.");
    case 28:
        return QStringLiteral("An error occured while transferring data.");
    case 30:
        return QStringLiteral("The server does not offer a secure (TLS) connection, and this "
                              "profile requires one. The password was not sent.");
    case 31:
        return QStringLiteral("The secure (TLS) connection to the server could not be "
                              "established.");
    case 32:
        return QStringLiteral("The server's certificate was not trusted, so the connection was "
                              "closed.");
    case 33:
        return QStringLiteral("The server refused passive mode. Choose \"Active\" or \"Passive, "
                              "then active if refused\" as this profile's transfer mode.");
    default:
        return {};
    }
}
