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

// Sets a value of a page; true when it changed.
template <typename T> bool update(T& value, const T& to) {
    if (value == to)
        return false;
    value = to;
    return true;
}

} // namespace

void FtpConnectionPage::setFields(const HostProfile& fields) {
    if (update(m_fields, fields))
        emit changed();
}

void FtpConnectionPage::setSavePassword(bool on) {
    if (update(m_savePassword, on))
        emit changed();
}

FtpScreen::FtpScreen(QString programDirectory, ChangedList& changedList, const Settings& settings,
                     Prompter& prompter, QObject* parent)
    : QObject(parent), m_programDirectory(std::move(programDirectory)), m_changedList(changedList),
      m_settings(settings), m_prompter(prompter), m_profiles(m_programDirectory),
      m_session(std::make_unique<FtpSession>()) {
    wireEngine();
}

FtpScreen::~FtpScreen() {
    // No event or question may reach a screen that is going away.
    disconnect(m_deleteWatch);
    m_sync.reset();
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
    m_connection.m_hostList = m_profiles.readNames();
    const qsizetype logged = m_transfer.m_log.size();
    pruneChangedList();
    m_local.m_auto = m_changedList.paths();
    const bool statusShown = !m_transfer.m_status.isEmpty();
    m_transfer.m_status.clear();
    if (m_connection.m_hostList.size() == 1)
        selectHost(0);
    emit m_connection.changed();
    emit m_local.changed();
    if (statusShown || logged != m_transfer.m_log.size())
        emit m_transfer.changed();
}

void FtpScreen::pruneChangedList() {
    // A file deleted since it was queued has nothing to send: it leaves the queue, and the Log
    // says which one went.
    QStringList kept;
    for (const QString& path : m_changedList.paths()) {
        if (pathExists(path))
            kept << path;
        else
            m_transfer.m_log << removedFromQueueText(path);
    }
    if (kept.size() != m_changedList.count())
        m_changedList.replace(kept);
    if (!m_changedList.problem().isEmpty())
        m_transfer.m_log << m_changedList.problem();
}

QString FtpScreen::removedFromQueueText(const QString& path) {
    return QStringLiteral("%1 is no longer on disk: taken off the Auto-FTP List.").arg(path);
}

// ---- page 1 ----

void FtpScreen::selectHost(int index) {
    FtpConnectionPage& c = m_connection;
    if (index < 0 || index >= c.m_hostList.size())
        return;
    c.m_selectedHost = index;
    const QString name = c.m_hostList.at(index);
    c.m_fields = m_profiles.read(name);
    c.m_selectedLabel = QStringLiteral("Selected FTP Host: ") + name;
    c.m_current = c.m_fields;
    m_currentSection = name;
    emit c.changed();
}

void FtpScreen::deleteHost() {
    FtpConnectionPage& c = m_connection;
    if (c.m_selectedHost < 0 || c.m_selectedHost >= c.m_hostList.size())
        return;
    const QString name = c.m_hostList.at(c.m_selectedHost);
    QStringList list = c.m_hostList;
    list.removeAt(c.m_selectedHost);
    const auto erase = [&] { return m_profiles.erase(name); };
    if (!saveHostList(list, name, erase, false))
        return;
    c.m_selectedHost = -1;
    emit c.changed();
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
    m_connection.m_hostList = list;
    return true;
}

void FtpScreen::clearFields() {
    m_connection.setFields(HostProfile());
}

bool FtpScreen::profileNameRefused(const QString& missingText) {
    const QString& name = m_connection.m_fields.profile;
    QString text;
    if (name.isEmpty())
        text = missingText;
    else if (!HostProfiles::validName(name))
        text = HostProfiles::invalidNameText(name);
    else
        return false;
    m_prompter.inform(text);
    emit focusProfileName();
    return true;
}

void FtpScreen::addToList() {
    if (profileNameRefused(profileNameMissingText()))
        return;
    saveProfile(m_connection.m_hostList);
}

void FtpScreen::modify() {
    // Refused before anything is removed, so a bad name loses no entry.
    if (profileNameRefused(modifyNameMissingText()))
        return;
    QStringList list = m_connection.m_hostList;
    const qsizetype at = list.indexOf(m_connection.m_fields.profile);
    if (at >= 0)
        list.removeAt(at);
    saveProfile(list);
}

void FtpScreen::saveProfile(QStringList list) {
    // Nothing changes unless both files are written: a profile that could not be stored must
    // not appear in the list, and what the user typed stays in the fields.
    FtpConnectionPage& c = m_connection;
    list << c.m_fields.profile;
    const HostProfile profile = c.m_fields;
    const auto write = [&] { return m_profiles.write(profile, c.m_savePassword); };
    if (!saveHostList(list, profile.profile, write, true))
        return;
    c.m_selectedHost = -1;
    c.m_fields = HostProfile();
    emit c.changed();
}

// ---- page 2 ----

bool FtpScreen::addExisting(const QString& path) {
    // By the name's bytes on disk: a Latin-1 name is found as well as a UTF-8 one.
    if (regularFileSize(path) >= 0) {
        m_local.m_transfer << path;
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
        if (row >= 0 && row < m_local.m_transfer.size())
            m_local.m_transfer.removeAt(row);
    emit m_local.changed();
}

void FtpScreen::clearTransferList() {
    m_local.m_transfer.clear();
    emit m_local.changed();
}

void FtpScreen::addFromAutoList(const QList<int>& rows) {
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    for (int row : sorted)
        if (row >= 0 && row < m_local.m_auto.size())
            addExisting(m_local.m_auto.at(row));
    emit m_local.changed();
}

void FtpScreen::addAllFromAutoList() {
    if (m_local.m_auto.isEmpty())
        return;
    for (const QString& path : std::as_const(m_local.m_auto))
        addExisting(path);
    emit m_local.changed();
}

void FtpScreen::removeFromAutoList(const QList<int>& rows) {
    QStringList& autoList = m_local.m_auto;
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted)
        if (row >= 0 && row < autoList.size())
            autoList.removeAt(row);
    m_changedList.replace(autoList);
    emit m_local.changed();
}

void FtpScreen::clearAutoList() {
    m_local.m_auto.clear();
    m_changedList.clear();
    emit m_local.changed();
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
        m_local.m_projectPages.clear();
        emit m_local.changed();
        m_prompter.inform(badProjectText());
        return;
    }
    m_local.m_projectPages = read.pages;
    emit m_local.changed();
}

void FtpScreen::addProjectPage(int item) {
    const std::vector<ProjectPage>& pages = m_local.m_projectPages;
    if (item < 1 || item > static_cast<int>(pages.size()))
        return;
    addExisting(pages.at(static_cast<size_t>(item - 1)).link);
    emit m_local.changed();
}

void FtpScreen::addAllProjectPages() {
    for (const ProjectPage& page : m_local.m_projectPages)
        addExisting(page.link);
    emit m_local.changed();
}

void FtpScreen::addFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names)
        m_local.m_transfer << FilesTab::joinPath(folder, name);
    emit m_local.changed();
}

// ---- page 3 ----

RemoteSession& FtpScreen::activeSession() {
    if (m_sftp)
        return *m_sftp;
    return *m_session;
}

void FtpScreen::setBusy(bool busy) {
    if (m_connection.m_busy == busy)
        return;
    m_connection.m_busy = busy;
    emit busyChanged(busy);
    emit m_connection.changed();
}

void FtpScreen::appendLog(const QString& line) {
    m_transfer.m_log << line;
    emit m_transfer.changed();
}

void FtpScreen::informLater(const QString& text) {
    // A modal box must not run inside the session's handler.
    QTimer::singleShot(0, this, [this, text] { m_prompter.inform(text); });
}

void FtpScreen::connectToHost() {
    if (connected() || busy())
        return;
    const HostProfile& fields = m_connection.m_fields;
    // The password may stay empty: a profile saved without it asks for it at the login.
    if (fields.profile.isEmpty() || fields.host.isEmpty() || fields.user.isEmpty()) {
        m_prompter.inform(fieldsMissingText());
        emit showPage(HostPage);
        return;
    }
    appendLog(QStringLiteral("Connecting.."));
    m_runner.reset();
    m_sftp.reset();
    m_remoteOps.clear();
    m_remoteBase.clear();
    m_endAsked = false;
    m_endTold = false;
    m_lostCause.clear();
    const HostProfile& current = m_connection.m_current;
    if (current.protocol == HostProtocol::Sftp) {
        connectSftp(current.host);
        return;
    }
    TStarFtp& f = engine();
    // A host may name its port; without one the screen's port counts.
    const auto [host, port] = hostAndPort(current.host, m_ftpPort);
    f.FtpPort = port;
    f.SetFtpServer(host);
    f.UserName = current.user;
    // The password is the one in the field: typed there for a profile saved without it, it
    // is used for this connection and stored nowhere.
    f.UserPassword = fields.password;
    f.UserAccount = current.account;
    f.InitialDirectory = current.directory;
    f.DataConnection = current.dataConnection;
    f.Security = current.effectiveSecurity();
    f.TrustedFingerprint = current.fingerprint;
    setBusy(true);
    m_session->logIn();
}

std::pair<QString, int> FtpScreen::hostAndPort(const QString& field, int port) {
    static const QRegularExpression withPort(QStringLiteral("^([^:]+):(\\d{1,5})$"));
    const QRegularExpressionMatch m = withPort.match(field);
    if (m.hasMatch() && m.captured(2).toInt() > 0 && m.captured(2).toInt() < 65536)
        return {m.captured(1), m.captured(2).toInt()};
    return {field, port};
}

void FtpScreen::disconnectFromHost() {
    FtpConnectionPage& c = m_connection;
    c.m_closeEnabled = true;
    if (connected() && !busy()) {
        m_endAsked = true;
        activeSession().quit();
        c.m_notice = false;
    }
    emit c.changed();
}

void FtpScreen::transferFiles() {
    if (!connected()) {
        m_prompter.inform(notConnectedText());
        return;
    }
    if (m_local.m_transfer.isEmpty()) {
        m_prompter.inform(nothingToTransferText());
        return;
    }
    if (busy())
        return;
    startUpload(UploadPlan::make(m_local.m_transfer, m_connection.m_current.siteFolder,
                                 m_remoteBase, m_remote.m_current));
}

void FtpScreen::startUpload(UploadPlan plan) {
    FtpTransferPage& t = m_transfer;
    t.m_transferring = true;
    m_stopPressed = false;
    m_count = static_cast<int>(plan.files.size());
    m_sent = 0;
    t.m_gaugeMax = m_count;
    t.m_gaugePos = 0;
    t.m_gaugeVisible = true;
    m_runner = std::make_unique<UploadRunner>(activeSession(), std::move(plan));
    UploadRunner& runner = *m_runner;
    connect(&runner, &UploadRunner::fileStarted, this, &FtpScreen::fileStarted);
    connect(&runner, &UploadRunner::fileProgress, this, [this](int, qint64 done, qint64) {
        m_transfer.m_bytes = QStringLiteral("%1 of %2").arg(done).arg(m_size);
        emit m_transfer.changed();
    });
    connect(&runner, &UploadRunner::fileDone, this, &FtpScreen::fileDone);
    connect(&runner, &UploadRunner::finished, this, &FtpScreen::finishTransfer);
    connect(&runner, &UploadRunner::stopped, this,
            [this](int, const RemoteEvent& cause) { transferStopped(cause); });
    emit t.changed();
    setBusy(true);
    runner.start();
}

void FtpScreen::fileStarted(int index) {
    FtpTransferPage& t = m_transfer;
    const UploadPlan::File& file = m_runner->plan().files.at(index);
    t.m_status = QStringLiteral("Sending file #%1 of %2").arg(index + 1).arg(m_count);
    t.m_gaugePos = index;
    m_size = m_runner->results().at(index).size;
    t.m_log << QStringLiteral("Sending %1 to %2").arg(file.localPath, file.remotePath);
    setBusy(true);
    emit t.changed();
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
    if (!m_transfer.m_bytes.isEmpty()) {
        m_transfer.m_bytes.clear();
        emit m_transfer.changed();
    }
}

void FtpScreen::transferStopped(const RemoteEvent& cause) {
    if (m_stopPressed) {
        // Stop ended the connection: the status says how far it got, no message.
        FtpTransferPage& t = m_transfer;
        t.m_transferring = false;
        t.m_gaugeVisible = false;
        t.m_bytes.clear();
        t.m_status =
            QStringLiteral("Transfer stopped: sent %1 of %2 files.").arg(m_sent).arg(m_count);
        setBusy(false);
        emit t.changed();
        return;
    }
    transferLost(errorTextOf(cause));
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
    FtpTransferPage& t = m_transfer;
    const int index = m_runner ? m_runner->currentFile() : 0;
    const QString path = m_runner ? m_runner->plan().files.at(index).localPath : QString();
    t.m_transferring = false;
    setBusy(false);
    t.m_gaugeVisible = false;
    t.m_bytes.clear();
    t.m_status = QStringLiteral("Transfer stopped: sent %1 of %2 files.").arg(m_sent).arg(m_count);
    // The cause is told once: in this line and in the message.
    m_endTold = true;
    appendLog(QStringLiteral("Could not send %1: the connection to the server was lost (%2)")
                  .arg(path, cause));
    informLater(connectionLostText(path, m_sent, m_count, cause));
}

void FtpScreen::finishTransfer() {
    FtpTransferPage& t = m_transfer;
    t.m_transferring = false;
    t.m_status = m_sent == m_count
                     ? QStringLiteral("Completed sending %1 files.").arg(m_count)
                     : QStringLiteral("Completed sending %1 of %2 files.").arg(m_sent).arg(m_count);
    t.m_gaugeVisible = false;
    t.m_bytes.clear();
    emit t.changed();
    if (connected()) {
        setBusy(true);
        afterChange();
    } else {
        setBusy(false);
    }
}

void FtpScreen::abort() {
    m_stopPressed = m_transfer.m_transferring;
    m_endAsked = true;
    activeSession().abort();
}

void FtpScreen::afterChange() {
    remoteList();
    FtpConnectionPage& c = m_connection;
    if (update(c.m_closeEnabled, false) | update(c.m_notice, true))
        emit c.changed();
}

void FtpScreen::remoteList() {
    m_remoteOps.insert(activeSession().list());
}

void FtpScreen::makeDirectory() {
    if (!connected() || busy())
        return;
    const std::optional<QString> name = m_prompter.input(
        QStringLiteral("Create Directory"), QStringLiteral("Enter new directory name:"), {});
    if (!name)
        return;
    startCommand(QStringLiteral("create the directory %1").arg(*name),
                 [&] { return activeSession().makeDir(name->toUtf8()); });
}

void FtpScreen::startCommand(const QString& what, const std::function<RemoteOpId()>& call) {
    m_command = what;
    setBusy(true);
    m_remoteOps.insert(call());
}

void FtpScreen::reportRefusal(const RemoteEvent& done) {
    const QString what = std::exchange(m_command, QString());
    // A connection that ended is no refusal: its end is told by itself.
    if (what.isEmpty() || done.ok || !activeSession().connected())
        return;
    // The server's own words say why (a folder that is not empty, a name that is taken).
    const QString text = refusedText(what, done.text);
    m_transfer.m_status = text;
    appendLog(text);
    informLater(text);
}

QString FtpScreen::remoteName(int row, bool directory) const {
    const QStringList& names = directory ? m_remote.m_dirs : m_remote.m_files;
    return row >= 0 && row < names.size() ? names.at(row) : QString();
}

void FtpScreen::removeDirectory(int row) {
    const QString name = remoteName(row, true);
    if (!connected() || name.isEmpty() || busy() || name == QLatin1String(".."))
        return;
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           QStringLiteral("Are you sure you want to remove ") + name +
                               QStringLiteral(" ?")) != MessageAnswer::Yes)
        return;
    startCommand(QStringLiteral("remove the directory %1").arg(name),
                 [&] { return activeSession().removeDir(m_remote.m_dirNames.at(row)); });
}

void FtpScreen::renameFile(int row) {
    const QString name = remoteName(row, false);
    if (!connected() || name.isEmpty() || busy())
        return;
    const std::optional<QString> to =
        m_prompter.input(QStringLiteral("Rename File"), QStringLiteral("Enter new File name:"), {});
    if (!to)
        return;
    startCommand(QStringLiteral("rename %1 to %2").arg(name, *to), [&] {
        return activeSession().rename(m_remote.m_fileNames.at(row), to->toUtf8());
    });
}

void FtpScreen::deleteFile(int row) {
    const QString name = remoteName(row, false);
    if (!connected() || name.isEmpty() || busy())
        return;
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           QStringLiteral("Are you sure you want to delete ") + name +
                               QStringLiteral(" ?")) != MessageAnswer::Yes)
        return;
    startCommand(QStringLiteral("delete %1").arg(name),
                 [&] { return activeSession().deleteFile(m_remote.m_fileNames.at(row)); });
}

void FtpScreen::refresh() {
    if (!connected() || busy())
        return;
    setBusy(true);
    remoteList();
}

void FtpScreen::openDirectory(int row) {
    const QString name = remoteName(row, true);
    if (!connected() || name.isEmpty() || busy())
        return;
    startCommand(QStringLiteral("change to the directory %1").arg(name),
                 [&] { return activeSession().changeDir(m_remote.m_dirNames.at(row)); });
}

bool FtpScreen::close() {
    if (!connected() && !busy()) {
        setBusy(false);
        if (m_settings.ftpFlush && !m_uploaded.isEmpty()) {
            // Only files that reached the server leave the list; the others still wait.
            QStringList waiting;
            for (const QString& path : m_changedList.paths())
                if (!m_uploaded.contains(path))
                    waiting << path;
            m_changedList.replace(waiting);
            m_local.m_auto = waiting;
            emit m_local.changed();
        }
        return true;
    }
    // Whatever runs is given up: the FTP engine's Quit cuts an operation short.
    m_endAsked = true;
    if (!m_sftp && m_session->busy())
        engine().Quit();
    else
        activeSession().quit();
    setBusy(false);
    return false;
}

// ---- the session's events, of either protocol ----

void FtpScreen::onSessionEvent(const RemoteEvent& event) {
    switch (event.kind) {
    case RemoteEvent::Kind::Info:
        onInfo(event);
        break;
    case RemoteEvent::Kind::Progress:
        break; // an upload's progress comes through its runner
    case RemoteEvent::Kind::Error:
        onError(event);
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
    if (event.opKind == RemoteOpKind::Login) {
        if (!event.ok)
            return; // the Error and Quit events tell the rest
        if (update(m_connection.m_connected, true))
            emit m_connection.changed();
        afterChange();
        return;
    }
    // What the screen did not ask for itself is the runner's or the comparison's.
    if (!m_remoteOps.remove(event.op))
        return;
    switch (event.opKind) {
    case RemoteOpKind::List:
        if (event.ok && event.listing)
            onListed(*event.listing);
        setBusy(false);
        return;
    case RemoteOpKind::ChangeDir:
    case RemoteOpKind::MakeDir:
    case RemoteOpKind::RemoveDir:
    case RemoteOpKind::Rename:
    case RemoteOpKind::Delete:
        reportRefusal(event);
        // The list shows what is there now.
        if (connected() && activeSession().connected())
            afterChange();
        else
            setBusy(false);
        return;
    default:
        return;
    }
}

void FtpScreen::onInfo(const RemoteEvent& event) {
    QString line;
    switch (event.info) {
    case RemoteInfo::ListingLine:
        return; // the listing's lines show in the lists
    case RemoteInfo::CommandSent:
    case RemoteInfo::Reply: {
        QStringList lines = LogLines(event.text);
        for (QString& l : lines) {
            // The password never reaches the screen.
            if (event.info == RemoteInfo::CommandSent && l.startsWith(QLatin1String("PASS ")))
                l = QStringLiteral("PASS ********");
        }
        if (lines.isEmpty())
            return;
        m_transfer.m_log << lines;
        emit m_transfer.changed();
        return;
    }
    default:
        break;
    }
    if (m_sftp) {
        line = event.text;
    } else {
        // The FTP engine's notes that are worth a line, in the screen's words.
        switch (static_cast<FtpInfo>(event.protocolCode)) {
        case FtpInfo::PassiveAddressIgnored:
            line = QStringLiteral("Passive mode: ") + event.text;
            break;
        case FtpInfo::TlsEstablished:
            line = QStringLiteral("Secure connection: ") + event.text;
            break;
        case FtpInfo::UnexpectedReply: {
            // Before the login is done this is the Initial Dir the server would not open: the
            // session goes on where the server started it, and a file sent now would land
            // there, so the user hears of it. Later refusals end their own operation, which
            // says so.
            const QString folder = m_connection.m_current.directory;
            if (connected() || folder.isEmpty())
                break;
            const QString reply = m_transfer.m_log.isEmpty() ? QString() : m_transfer.m_log.last();
            line = initialDirRefusedText(folder, reply);
            informLater(line);
            break;
        }
        default:
            break;
        }
    }
    if (!line.isEmpty())
        appendLog(line);
}

QString FtpScreen::initialDirRefusedText(const QString& folder, const QString& reply) {
    return QStringLiteral("The server did not open the Initial Dir \"%1\" (%2).\nYou are in the "
                          "folder the server started in; files transferred now go there.")
        .arg(folder, reply);
}

QString FtpScreen::errorTextOf(const RemoteEvent& event) const {
    QString text;
    if (event.kind == RemoteEvent::Kind::Error)
        text = m_sftp ? event.text : errorText(event.protocolCode, {});
    if (text.isEmpty())
        text = errorText(static_cast<int>(FtpError::ConnectionAborted), {});
    return text;
}

void FtpScreen::onError(const RemoteEvent& event) {
    // The session reports only the errors that end the connection; a transfer's end gives the
    // one message, with this cause.
    const QString text = m_sftp ? event.text : errorText(event.protocolCode, {});
    if (m_transfer.m_transferring) {
        m_lostCause = text;
        return;
    }
    setBusy(false);
    if (text.isEmpty())
        return;
    m_endTold = true;
    // A connection that was made and is lost is told in the Log too; one that could not be
    // made, by the message.
    if (connected())
        appendLog(text);
    informLater(text);
}

void FtpScreen::onNeedInfo(TFtpInfoNeeded need, QString& value) {
    if (need != NeedPassword && need != NeedAccount)
        return;
    // The normal pointer while the user types; the login waits for the answer.
    const bool wasBusy = busy();
    setBusy(false);
    const HostProfile& current = m_connection.m_current;
    const QString prompt =
        (need == NeedPassword ? QStringLiteral("Enter the password for %1 at %2:")
                              : QStringLiteral("Enter the account for %1 at %2:"))
            .arg(current.user, current.host);
    // Asked for this login only: the answer is kept nowhere.
    const std::optional<QString> typed =
        need == NeedPassword ? m_prompter.secret(QStringLiteral("Password"), prompt)
                             : m_prompter.input(QStringLiteral("Account"), prompt, {});
    setBusy(wasBusy);
    if (!typed || typed->isEmpty()) {
        appendLog(QStringLiteral("Connection cancelled: no %1 given.")
                      .arg(need == NeedPassword ? QStringLiteral("password")
                                                : QStringLiteral("account")));
        m_endAsked = true;
        m_session->abort();
        return;
    }
    value = *typed;
}

namespace {

// A folder's entries come in the order of the server's disk: shown sorted, each shown name with
// its bytes.
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

void FtpScreen::onListed(const RemoteListing& listing) {
    FtpRemotePage& r = m_remote;
    r.m_dirs.clear();
    r.m_dirNames.clear();
    for (qsizetype i = 0; i < listing.directories.size(); ++i) {
        if (listing.directories.at(i) == QLatin1String(".."))
            continue;
        r.m_dirs << listing.directories.at(i);
        r.m_dirNames << listing.directoryNames.value(i);
    }
    sortEntries(r.m_dirs, r.m_dirNames);
    // ".." first: the way up.
    r.m_dirs.prepend(QStringLiteral(".."));
    r.m_dirNames.prepend(QByteArrayLiteral(".."));
    r.m_files = listing.files;
    r.m_fileNames = listing.fileNames;
    sortEntries(r.m_files, r.m_fileNames);
    // The first listing of a connection shows where the login ended: site files go below it.
    r.m_current = listing.folder;
    if (m_remoteBase.isEmpty())
        m_remoteBase = r.m_current;
    emit r.changed();
    if (!m_transfer.m_bytes.isEmpty()) {
        m_transfer.m_bytes.clear();
        emit m_transfer.changed();
    }
}

bool FtpScreen::onCertificate(const TCertificateInfo& certificate) {
    // The normal pointer while the user reads the question; the connection waits for it.
    const bool wasBusy = busy();
    setBusy(false);
    const bool trusted =
        m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                           certificateQuestionText(certificate, m_currentSection)) ==
        MessageAnswer::Yes;
    setBusy(wasBusy);
    if (!trusted)
        return false;
    FtpConnectionPage& c = m_connection;
    c.m_current.fingerprint = certificate.Sha256Fingerprint;
    if (!m_currentSection.isEmpty() &&
        m_profiles.trust(m_currentSection, certificate.Sha256Fingerprint)) {
        if (c.m_selectedHost >= 0 && c.m_hostList.value(c.m_selectedHost) == m_currentSection)
            c.m_fields.fingerprint = certificate.Sha256Fingerprint;
        appendLog(QStringLiteral("Certificate %1 trusted for the profile %2")
                      .arg(certificate.Sha256Fingerprint, m_currentSection));
    }
    emit c.changed();
    return true;
}

void FtpScreen::clearRemote() {
    FtpRemotePage& r = m_remote;
    if (r.m_dirs.isEmpty() && r.m_files.isEmpty() && r.m_current.isEmpty())
        return;
    r.m_dirs.clear();
    r.m_dirNames.clear();
    r.m_files.clear();
    r.m_fileNames.clear();
    r.m_current.clear();
    emit r.changed();
}

void FtpScreen::onQuit() {
    FtpConnectionPage& c = m_connection;
    const bool wasConnected = c.m_connected;
    m_remoteOps.clear();
    m_command.clear();
    // An end nobody asked for and no error explained: the server closed the connection.
    if (wasConnected && !m_endAsked && !m_endTold && !m_transfer.m_transferring) {
        const QString text = errorText(static_cast<int>(FtpError::ConnectionAborted), {});
        appendLog(text);
        informLater(text);
    }
    c.m_connected = false;
    // A transfer under way is ended by its runner, which hears the same event.
    if (!m_transfer.m_transferring)
        setBusy(false);
    // Without a connection the screen can be left again, and shows no remote listing.
    c.m_closeEnabled = true;
    c.m_notice = false;
    emit c.changed();
    clearRemote();
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
