// FtpScreen's Synchronise: what is compared, the comparison over the connection's session, the
// differences the user ticks, and their upload (deletes on the server first, when asked for).
#include "publish/FtpScreen.h"

#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "publish/UploadPlan.h"
#include "sftp/SftpRemoteSession.h"

#include <QDir>
#include <QTimer>

QString FtpScreen::syncFailedText(const QString& why) {
    return QStringLiteral("Could not compare the files with the server: %1.").arg(why);
}

QString FtpScreen::nothingDiffersText() {
    return QStringLiteral("The files on the server are the same as here: nothing to upload.");
}

namespace {

// The folder that holds every one of the files.
QString commonFolder(const QStringList& paths) {
    QString common;
    for (const QString& path : paths) {
        const QString folder = QDir::cleanPath(path).section(u'/', 0, -2);
        if (common.isNull()) {
            common = folder;
            continue;
        }
        while (!common.isEmpty() && folder != common && !folder.startsWith(common + u'/'))
            common = common.section(u'/', 0, -2);
    }
    return common.isEmpty() ? QStringLiteral("/") : common;
}

bool below(const QString& path, const QString& folder) {
    const QString f = QDir::cleanPath(folder);
    return QDir::cleanPath(path).startsWith(f.endsWith(u'/') ? f : f + u'/');
}

} // namespace

bool FtpScreen::synchronise(const QString& folder) {
    if (!connected()) {
        m_prompter.inform(notConnectedText());
        return true;
    }
    if (busy())
        return true;
    const QString site = m_connection.m_current.siteFolder.isEmpty() ||
                                 !QDir::isAbsolutePath(m_connection.m_current.siteFolder)
                             ? QString()
                             : QDir::cleanPath(m_connection.m_current.siteFolder);
    // A site folder's files go below the folder the login ended in; other files below the
    // folder the user is in.
    if (!folder.isEmpty()) {
        const QString root = QDir::cleanPath(folder);
        compareFiles(SiteSync::filesBelow(root), root,
                     root == site ? m_remoteBase : m_remote.m_current);
        return true;
    }
    if (!m_local.m_projectPages.empty()) {
        QStringList pages;
        for (const ProjectPage& page : m_local.m_projectPages)
            if (!page.link.isEmpty())
                pages << page.link;
        const QStringList files = SiteSync::pagesWithImages(pages);
        bool underSite = !site.isEmpty();
        for (const QString& f : files)
            underSite = underSite && below(f, site);
        const QString root = underSite ? site : commonFolder(files);
        compareFiles(SiteSync::filesOf(files, root), root,
                     underSite ? m_remoteBase : m_remote.m_current);
        return true;
    }
    if (!site.isEmpty()) {
        compareFiles(SiteSync::filesBelow(site), site, m_remoteBase);
        return true;
    }
    return false;
}

void FtpScreen::compareFiles(QList<SyncLocalFile> files, const QString& root, const QString& base) {
    m_syncItems.clear();
    m_syncRoot = root;
    m_syncBase = base;
    m_deleteOnServer = false;
    appendLog(QStringLiteral("Comparing %1 files of %2 with %3 on the server..")
                  .arg(files.size())
                  .arg(root, base.isEmpty() ? QStringLiteral("the current folder") : base));
    m_transfer.m_status = QStringLiteral("Comparing the files with the server..");
    emit m_transfer.changed();
    m_sync = std::make_unique<SiteSync>(activeSession(), std::move(files), base);
    connect(m_sync.get(), &SiteSync::finished, this, &FtpScreen::syncCompared);
    connect(m_sync.get(), &SiteSync::failed, this, [this](const QString& why) {
        setBusy(false);
        m_transfer.m_status = syncFailedText(why);
        appendLog(m_transfer.m_status);
        informLater(m_transfer.m_status);
    });
    setBusy(true);
    m_sync->start();
}

void FtpScreen::syncCompared() {
    m_syncItems = m_sync->items();
    for (const QString& note : m_sync->notes())
        m_transfer.m_log << note;
    int counts[4] = {0, 0, 0, 0};
    for (const SyncItem& item : std::as_const(m_syncItems))
        ++counts[static_cast<int>(item.state)];
    m_transfer.m_status =
        QStringLiteral("Compared: %1 new here, %2 newer here, %3 missing here, %4 newer there.")
            .arg(counts[0])
            .arg(counts[1])
            .arg(counts[2])
            .arg(counts[3]);
    m_transfer.m_log << m_transfer.m_status;
    setBusy(false);
    emit m_transfer.changed();
    if (m_syncItems.isEmpty()) {
        QTimer::singleShot(0, this, [this] { m_prompter.inform(nothingDiffersText()); });
        return;
    }
    emit syncReady();
}

void FtpScreen::setSyncTicked(int row, bool ticked) {
    if (row < 0 || row >= m_syncItems.size())
        return;
    SyncItem& item = m_syncItems[row];
    // A file missing here is deleted only with "delete on server" on.
    if (item.state == SyncItem::State::MissingHere && !m_deleteOnServer)
        ticked = false;
    item.ticked = ticked;
}

void FtpScreen::setDeleteOnServer(bool on) {
    m_deleteOnServer = on;
    for (SyncItem& item : m_syncItems)
        if (item.state == SyncItem::State::MissingHere)
            item.ticked = on;
}

QStringList FtpScreen::syncUploads() const {
    QStringList files;
    for (const SyncItem& item : m_syncItems)
        if (item.ticked && item.state != SyncItem::State::MissingHere)
            files << item.localPath;
    return files;
}

QList<QByteArray> FtpScreen::syncDeletes() const {
    QList<QByteArray> names;
    if (!m_deleteOnServer)
        return names;
    for (const SyncItem& item : m_syncItems)
        if (item.ticked && item.state == SyncItem::State::MissingHere)
            names << item.remoteName;
    return names;
}

void FtpScreen::uploadSync() {
    if (!connected()) {
        m_prompter.inform(notConnectedText());
        return;
    }
    if (busy())
        return;
    m_syncFiles = syncUploads();
    m_deletes = syncDeletes();
    // Done with: a second upload needs a new comparison.
    m_syncItems.clear();
    if (m_syncFiles.isEmpty() && m_deletes.isEmpty())
        return;
    m_transfer.m_transferring = true;
    setBusy(true);
    m_deleteWatch = connect(&activeSession(), &RemoteSession::sessionEvent, this,
                            [this](const RemoteEvent& e) {
                                if (e.kind == RemoteEvent::Kind::Quit) {
                                    deletesLost();
                                    return;
                                }
                                if (e.kind != RemoteEvent::Kind::Done || e.op != m_deleting)
                                    return;
                                m_deleting = 0;
                                const QString name = nameFromNative(m_deletingName);
                                appendLog(e.ok ? QStringLiteral("Deleted %1 on the server").arg(name)
                                               : QStringLiteral("Could not delete %1: %2")
                                                     .arg(name, e.text.isEmpty()
                                                                    ? QStringLiteral("the server refused")
                                                                    : e.text));
                                deleteNext();
                            });
    deleteNext();
}

void FtpScreen::deletesLost() {
    disconnect(m_deleteWatch);
    m_deletes.clear();
    m_deleting = 0;
    m_transfer.m_transferring = false;
    setBusy(false);
    if (m_endAsked || m_endTold)
        return;
    m_endTold = true;
    const QString text = m_lostCause.isEmpty()
                             ? errorText(static_cast<int>(FtpError::ConnectionAborted), {})
                             : m_lostCause;
    appendLog(text);
    informLater(text);
}

void FtpScreen::deleteNext() {
    // The connection ended under a delete: the rest is not tried.
    if (!activeSession().connected()) {
        deletesLost();
        return;
    }
    if (!m_deletes.isEmpty()) {
        m_deletingName = m_deletes.takeFirst();
        m_deleting = activeSession().deleteFile(m_deletingName);
        return;
    }
    disconnect(m_deleteWatch);
    m_transfer.m_transferring = false;
    if (!m_syncFiles.isEmpty()) {
        startUpload(UploadPlan::make(m_syncFiles, m_syncRoot, m_syncBase, m_syncBase));
        return;
    }
    afterChange();
}
