// SftpRemoteSession: SftpSession's events as RemoteEvents.
#include "sftp/SftpRemoteSession.h"

#include <algorithm>

SftpRemoteSession::SftpRemoteSession(QObject* parent) : RemoteSession(parent) {
    connect(&m_session, &SftpSession::sessionEvent, this,
            [this](const SftpEvent& event) { onEvent(event); });
}

SftpRemoteSession::~SftpRemoteSession() = default;

RemoteOpId SftpRemoteSession::track(const std::shared_ptr<const SftpOperation>& op,
                                    RemoteOpKind kind) {
    Op entry;
    entry.id = nextOpId();
    entry.kind = kind;
    entry.operation = op;
    entry.clock.start();
    m_ops.insert(op.get(), entry);
    return entry.id;
}

RemoteOpId SftpRemoteSession::logIn() {
    return track(m_session.Connect(), RemoteOpKind::Login);
}

RemoteOpId SftpRemoteSession::list() {
    return track(m_session.GetListing(), RemoteOpKind::List);
}

RemoteOpId SftpRemoteSession::changeDir(const QByteArray& folder) {
    return track(m_session.ChangeDirectory(folder), RemoteOpKind::ChangeDir);
}

RemoteOpId SftpRemoteSession::makeDir(const QByteArray& name) {
    return track(m_session.MakeDirectory(name), RemoteOpKind::MakeDir);
}

RemoteOpId SftpRemoteSession::removeDir(const QByteArray& name) {
    return track(m_session.RemoveDirectory(name), RemoteOpKind::RemoveDir);
}

RemoteOpId SftpRemoteSession::rename(const QByteArray& from, const QByteArray& to) {
    return track(m_session.RenameFile(from, to), RemoteOpKind::Rename);
}

RemoteOpId SftpRemoteSession::deleteFile(const QByteArray& name) {
    return track(m_session.DeleteFile(name), RemoteOpKind::Delete);
}

RemoteOpId SftpRemoteSession::store(const QString& localFile, const QByteArray& remoteName) {
    return track(m_session.StoreFile(localFile, remoteName), RemoteOpKind::Store);
}

RemoteOpId SftpRemoteSession::quit() {
    return track(m_session.Quit(), RemoteOpKind::Quit);
}

void SftpRemoteSession::abort() {
    // The session cancels everything without Done events; the operation under way (the login
    // too, while the connection is made) still ends in a failed Done before the Quit.
    QList<Op> underWay;
    for (const Op& op : std::as_const(m_ops)) {
        const SftpOperation& o = *op.operation;
        if (!o.finished() &&
            (o.state() == SftpOperation::State::Running || o.kind() == SftpOperation::Kind::Login))
            underWay << op;
    }
    std::sort(underWay.begin(), underWay.end(),
              [](const Op& a, const Op& b) { return a.id < b.id; });
    const bool ending = m_session.Busy() || m_session.Connected();
    m_session.Abort();
    if (!ending)
        return;
    for (const Op& op : underWay) {
        m_ops.remove(op.operation.get());
        RemoteEvent done;
        done.kind = RemoteEvent::Kind::Done;
        done.op = op.id;
        done.opKind = op.kind;
        done.error = RemoteError::Cancelled;
        done.protocolCode = static_cast<int>(SftpError::Cancelled);
        done.text = QStringLiteral("Stopped.");
        done.elapsedMs = op.clock.elapsed();
        post(done);
    }
}

void SftpRemoteSession::onEvent(const SftpEvent& e) {
    RemoteEvent out;
    switch (e.kind) {
    case SftpEvent::Kind::Info:
        out.kind = RemoteEvent::Kind::Info;
        out.info = remoteInfo(e.info);
        out.protocolCode = static_cast<int>(e.info);
        out.text = e.text;
        break;
    case SftpEvent::Kind::Question:
        emit question(e.question);
        return;
    case SftpEvent::Kind::Progress: {
        const auto it = e.operation ? m_ops.find(e.operation.get()) : m_ops.end();
        if (it == m_ops.end())
            return;
        out.kind = RemoteEvent::Kind::Progress;
        out.op = it->id;
        out.opKind = it->kind;
        out.bytesDone = e.bytesDone;
        out.bytesTotal = e.bytesTotal;
        break;
    }
    case SftpEvent::Kind::Done: {
        const auto it = e.operation ? m_ops.find(e.operation.get()) : m_ops.end();
        if (it == m_ops.end())
            return;
        const Op op = *it;
        m_ops.erase(it);
        const SftpOperation& done = *e.operation;
        out.kind = RemoteEvent::Kind::Done;
        out.op = op.id;
        out.opKind = op.kind;
        out.ok = done.succeeded();
        out.error = out.ok ? RemoteError::None : remoteError(done.error());
        out.protocolCode = static_cast<int>(done.error());
        out.text = done.errorText();
        out.elapsedMs = op.clock.elapsed();
        if (done.kind() == SftpOperation::Kind::Store) {
            const auto& s = static_cast<const SftpStore&>(done);
            out.bytesDone = s.bytesAcknowledged();
            out.bytesTotal = s.size();
        } else if (done.kind() == SftpOperation::Kind::List && out.ok) {
            out.listing =
                std::make_shared<RemoteListing>(listingOf(static_cast<const SftpList&>(done)));
        }
        break;
    }
    case SftpEvent::Kind::Error:
        out.kind = RemoteEvent::Kind::Error;
        out.error = remoteError(e.error);
        out.protocolCode = static_cast<int>(e.error);
        out.text = e.text;
        break;
    case SftpEvent::Kind::Quit:
        // What was asked and never started ends with the connection, without a Done.
        m_ops.clear();
        out.kind = RemoteEvent::Kind::Quit;
        break;
    }
    post(out);
}

RemoteListing SftpRemoteSession::listingOf(const SftpList& list) {
    RemoteListing listing;
    listing.folder = SftpPathText(list.folder());
    for (const SftpEntry& entry : list.entries()) {
        if (entry.isDirectory) {
            listing.directories << entry.text();
            listing.directoryNames << entry.name;
        } else {
            listing.files << entry.text();
            listing.fileNames << entry.name;
        }
        listing.rawLines << SftpEntryLine(entry);
    }
    return listing;
}

RemoteError SftpRemoteSession::remoteError(SftpError error) {
    switch (error) {
    case SftpError::None:
        return RemoteError::None;
    case SftpError::NoServer:
        return RemoteError::NoServer;
    case SftpError::HostLookup:
        return RemoteError::HostLookup;
    case SftpError::ConnectionRefused:
        return RemoteError::ConnectionRefused;
    case SftpError::ConnectFailed:
        return RemoteError::ConnectFailed;
    case SftpError::TimeOut:
        return RemoteError::TimeOut;
    case SftpError::SshFailed:
    case SftpError::HostKeyChanged:
    case SftpError::HostKeyNotTrusted:
    case SftpError::KnownHostsUnusable:
        return RemoteError::SecurityFailed;
    case SftpError::LoginRefused:
        return RemoteError::LoginRefused;
    case SftpError::SftpUnavailable:
    case SftpError::ProtocolError:
        return RemoteError::ProtocolError;
    case SftpError::ConnectionLost:
        return RemoteError::ConnectionLost;
    case SftpError::NotConnected:
        return RemoteError::NotConnected;
    case SftpError::AlreadyConnected:
        return RemoteError::AlreadyConnected;
    case SftpError::ServerRefused:
    case SftpError::NotAFolder:
    case SftpError::IsAFolder:
        return RemoteError::Refused;
    case SftpError::LocalFileOpen:
        return RemoteError::LocalFileOpen;
    case SftpError::LocalFileRead:
        return RemoteError::LocalFileRead;
    case SftpError::NoRemoteFile:
        return RemoteError::NoRemoteFile;
    case SftpError::Cancelled:
        return RemoteError::Cancelled;
    }
    return RemoteError::Other;
}

RemoteInfo SftpRemoteSession::remoteInfo(SftpInfo info) {
    switch (info) {
    case SftpInfo::Request:
        return RemoteInfo::CommandSent;
    case SftpInfo::ListingLine:
        return RemoteInfo::ListingLine;
    case SftpInfo::HostKeyKnown:
    case SftpInfo::HostKeyStored:
    case SftpInfo::Encryption:
        return RemoteInfo::Security;
    case SftpInfo::Connected:
        return RemoteInfo::Connected;
    case SftpInfo::Disconnected:
        return RemoteInfo::Disconnected;
    default:
        return RemoteInfo::Status;
    }
}
