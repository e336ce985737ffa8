// FtpSession: the queue of remote operations over one TStarFtp.
#include "ftp/FtpSession.h"

#include "platform/TextFile.h"

#include <algorithm>

FtpSession::FtpSession(QObject* parent)
    : RemoteSession(parent), m_engine(std::make_unique<TStarFtp>()) {
    TStarFtp& f = *m_engine;
    f.OnFtpInfo = [this](TStarFtp*, FtpInfo code, const QString& text) { onInfo(code, text); };
    f.OnFtpError = [this](TStarFtp*, FtpError code, const QString&) { onError(code); };
    f.OnFtpQuit = [this](TStarFtp*) { onQuit(); };
    const TStarFtp::TNotifyEvent done = [this](TStarFtp*) { completed(); };
    f.OnLoggedIn = done;
    f.OnListingDone = done;
    f.OnDirectoryChanged = done;
    f.OnDirectoryCreated = done;
    f.OnDirectoryDeleted = done;
    f.OnFileDeleted = done;
    f.OnFileRenamed = done;
    f.OnFileStored = done;
    f.OnQueryDone = done;
}

FtpSession::~FtpSession() {
    TStarFtp& f = *m_engine;
    f.OnFtpInfo = {};
    f.OnFtpError = {};
    f.OnFtpQuit = {};
    f.OnLoggedIn = {};
    f.OnListingDone = {};
    f.OnDirectoryChanged = {};
    f.OnDirectoryCreated = {};
    f.OnDirectoryDeleted = {};
    f.OnFileDeleted = {};
    f.OnFileRenamed = {};
    f.OnFileStored = {};
    f.OnQueryDone = {};
    f.Abort();
}

RemoteError FtpSession::remoteError(FtpError code) {
    switch (code) {
    case FtpError::NoServer:
    case FtpError::WinsockNotStarted:
        return RemoteError::NoServer;
    case FtpError::InvalidAddress:
    case FtpError::HostLookup:
        return RemoteError::HostLookup;
    case FtpError::ConnectionRefused:
        return RemoteError::ConnectionRefused;
    case FtpError::NetworkDown:
    case FtpError::NetworkUnreachable:
    case FtpError::HostUnreachable:
    case FtpError::AddressNotAvailable:
    case FtpError::OutOfSockets:
        return RemoteError::ConnectFailed;
    case FtpError::TimeOut:
        return RemoteError::TimeOut;
    case FtpError::ConnectionAborted:
    case FtpError::ConnectionReset:
    case FtpError::DataConnection:
    case FtpError::QuitRefused:
        return RemoteError::ConnectionLost;
    case FtpError::LoginRefused:
        return RemoteError::LoginRefused;
    case FtpError::TlsNotOffered:
    case FtpError::TlsHandshake:
    case FtpError::CertificateRefused:
        return RemoteError::SecurityFailed;
    case FtpError::UnexpectedReply:
    case FtpError::BadGreeting:
    case FtpError::PassiveRefused:
        return RemoteError::ProtocolError;
    case FtpError::LocalFileOpen:
        return RemoteError::LocalFileOpen;
    case FtpError::LocalFileRead:
        return RemoteError::LocalFileRead;
    case FtpError::NoRemoteFile:
        return RemoteError::NoRemoteFile;
    case FtpError::Internal:
    case FtpError::GeneralSocket:
    case FtpError::OtherSocket:
        break;
    }
    return RemoteError::Other;
}

namespace {

// The errors that end one operation but not the connection.
bool perOperation(FtpError code) {
    return code == FtpError::LocalFileOpen || code == FtpError::LocalFileRead ||
           code == FtpError::NoRemoteFile;
}

} // namespace

RemoteOpId FtpSession::enqueue(RemoteOpKind kind, QByteArray name, QByteArray target,
                               QString localFile) {
    Op op;
    op.id = nextOpId();
    op.kind = kind;
    op.name = std::move(name);
    op.target = std::move(target);
    op.localFile = std::move(localFile);
    const RemoteOpId id = op.id;
    m_queue.push_back(std::move(op));
    startNext();
    return id;
}

RemoteOpId FtpSession::logIn() {
    return enqueue(RemoteOpKind::Login);
}

RemoteOpId FtpSession::list() {
    return enqueue(RemoteOpKind::List);
}

RemoteOpId FtpSession::changeDir(const QByteArray& folder) {
    return enqueue(RemoteOpKind::ChangeDir, folder);
}

RemoteOpId FtpSession::makeDir(const QByteArray& name) {
    return enqueue(RemoteOpKind::MakeDir, name);
}

RemoteOpId FtpSession::removeDir(const QByteArray& name) {
    return enqueue(RemoteOpKind::RemoveDir, name);
}

RemoteOpId FtpSession::rename(const QByteArray& from, const QByteArray& to) {
    return enqueue(RemoteOpKind::Rename, from, to);
}

RemoteOpId FtpSession::deleteFile(const QByteArray& name) {
    return enqueue(RemoteOpKind::Delete, name);
}

RemoteOpId FtpSession::store(const QString& localFile, const QByteArray& remoteName) {
    return enqueue(RemoteOpKind::Store, remoteName, {}, localFile);
}

RemoteOpId FtpSession::listEntries(const QByteArray& folder) {
    return enqueue(RemoteOpKind::ListEntries, folder);
}

RemoteOpId FtpSession::stat(const QByteArray& name) {
    return enqueue(RemoteOpKind::Stat, name);
}

RemoteOpId FtpSession::quit() {
    return enqueue(RemoteOpKind::Quit);
}

void FtpSession::abort() {
    m_queue.clear();
    // The engine's quit point reports the end, and the operation under way with it.
    m_engine->Abort();
}

bool FtpSession::connected() const {
    return m_connection && m_engine->Connected() &&
           !(m_current && m_current->kind == RemoteOpKind::Login);
}

bool FtpSession::busy() const {
    return m_current.has_value() || !m_queue.empty();
}

void FtpSession::startNext() {
    // The engine takes one operation at a time; the next starts once this one has ended.
    while (!m_current && !m_queue.empty()) {
        m_current = std::move(m_queue.front());
        m_queue.pop_front();
        startOp();
    }
}

void FtpSession::startOp() {
    Op& op = *m_current;
    TStarFtp& f = *m_engine;
    const bool login = op.kind == RemoteOpKind::Login;
    if (login && m_connection) {
        op.error.reset();
        RemoteEvent done;
        done.kind = RemoteEvent::Kind::Done;
        done.op = op.id;
        done.opKind = op.kind;
        done.error = RemoteError::AlreadyConnected;
        m_current.reset();
        post(std::move(done));
        return;
    }
    if (!login && !connected()) {
        RemoteEvent done;
        done.kind = RemoteEvent::Kind::Done;
        done.op = op.id;
        done.opKind = op.kind;
        done.error = RemoteError::NotConnected;
        m_current.reset();
        post(std::move(done));
        return;
    }
    switch (op.kind) {
    case RemoteOpKind::Login:
        m_connection = true;
        m_fatal.reset();
        m_featuresKnown = false;
        m_machineListing = false;
        f.Connect();
        break;
    case RemoteOpKind::ListEntries:
        if (m_featuresKnown) {
            op.step = 1;
            f.GetEntries(op.name, m_machineListing);
        } else {
            f.SendQuery(QByteArrayLiteral("FEAT"));
        }
        break;
    case RemoteOpKind::Stat:
        op.entry.name = op.name;
        op.entry.text = RemoteNameText(op.name);
        if (f.BinaryType()) {
            op.step = 1;
            f.SendQuery("SIZE " + op.name);
        } else {
            f.SendQuery(QByteArrayLiteral("TYPE I"));
        }
        break;
    case RemoteOpKind::List:
        f.GetListing();
        break;
    case RemoteOpKind::ChangeDir:
        f.ChangeDirectory(op.name);
        break;
    case RemoteOpKind::MakeDir:
        f.MakeDirectory(op.name);
        break;
    case RemoteOpKind::RemoveDir:
        f.RemoveDirectory(op.name);
        break;
    case RemoteOpKind::Rename:
        f.RenameFile(op.name, op.target);
        break;
    case RemoteOpKind::Delete:
        f.DeleteFile(op.name);
        break;
    case RemoteOpKind::Store:
        op.size = std::max<qint64>(0, regularFileSize(op.localFile));
        f.LocalFile = op.localFile;
        f.RemoteFile = RemoteNameText(op.name);
        f.RemoteFileBytes = op.name;
        f.StoreFile();
        break;
    case RemoteOpKind::Quit:
        f.Quit();
        break;
    }
}

namespace {

// The value of a one-line reply of the given code ("213 20240501123000"); empty otherwise.
QByteArray replyValue(const QByteArray& reply, const char* code) {
    QList<QByteArray> lines = reply.split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return {};
    const QByteArray last = lines.last().trimmed();
    if (!last.startsWith(code) || last.size() < 5 || last.at(3) != ' ')
        return {};
    return last.mid(4).trimmed();
}

} // namespace

bool FtpSession::nextStep(Op& op) {
    TStarFtp& f = *m_engine;
    if (!m_connection || !f.Connected())
        return false;
    if (op.kind == RemoteOpKind::ListEntries && op.step == 0) {
        // RFC 3659: a server that offers MLST offers MLSD too. A FEAT refused offers nothing.
        m_featuresKnown = true;
        m_machineListing = false;
        if (f.Success()) {
            for (const QByteArray& line : f.QueryReply().split('\n'))
                if (line.startsWith(' ') && line.trimmed().toUpper().startsWith("MLST"))
                    m_machineListing = true;
        }
        op.step = 1;
        f.GetEntries(op.name, m_machineListing);
        return true;
    }
    if (op.kind != RemoteOpKind::Stat)
        return false;
    switch (op.step) {
    case 0:
        op.step = 1;
        f.SendQuery("SIZE " + op.name);
        return true;
    case 1: {
        bool ok = false;
        const qint64 size = replyValue(f.QueryReply(), "213").toLongLong(&ok);
        if (f.Success() && ok && size >= 0)
            op.entry.size = size;
        op.step = 2;
        f.SendQuery("MDTM " + op.name);
        return true;
    }
    case 2: {
        const QDateTime time = ParseMachineTime(replyValue(f.QueryReply(), "213"));
        if (f.Success() && time.isValid()) {
            op.entry.modified = time;
            op.entry.time = RemoteEntry::Time::Exact;
        }
        return false;
    }
    default:
        return false;
    }
}

void FtpSession::completed() {
    if (!m_current)
        return;
    if (nextStep(*m_current))
        return;
    const bool ok = m_current->kind == RemoteOpKind::Stat
                        ? m_current->entry.size >= 0 || m_current->entry.time != RemoteEntry::Time::None
                        : m_engine->Success();
    finishCurrent(ok);
    startNext();
}

void FtpSession::finishCurrent(bool ok) {
    Op op = std::move(*m_current);
    m_current.reset();
    const TStarFtp& f = *m_engine;
    RemoteEvent done;
    done.kind = RemoteEvent::Kind::Done;
    done.op = op.id;
    done.opKind = op.kind;
    done.ok = ok;
    if (!ok) {
        const std::optional<FtpError> error = op.error ? op.error : m_fatal;
        done.error = error ? remoteError(*error) : RemoteError::Refused;
        done.protocolCode = error ? static_cast<int>(*error) : 0;
        done.text = op.lastReply;
        if (!error && !m_connection)
            done.error = RemoteError::Cancelled;
    }
    if (op.kind == RemoteOpKind::Store) {
        done.bytesTotal = op.size;
        done.bytesDone = ok ? f.BytesTransferred() : 0;
        done.elapsedMs = ok ? f.ElapsedMs() : 0;
    }
    if (op.kind == RemoteOpKind::Stat && ok)
        done.entry = std::make_shared<RemoteEntry>(op.entry);
    if ((op.kind == RemoteOpKind::List || op.kind == RemoteOpKind::ListEntries) && ok) {
        auto listing = std::make_shared<RemoteListing>();
        listing->folder = op.kind == RemoteOpKind::List ? f.InitialDirectory : RemoteNameText(op.name);
        listing->entries = f.Entries();
        listing->directories = f.DirectoryList();
        listing->directoryNames = f.DirectoryNames();
        listing->files = f.FileList();
        listing->fileNames = f.FileNames();
        listing->rawLines = f.RawListing();
        done.listing = std::move(listing);
    }
    post(std::move(done));
}

void FtpSession::onInfo(FtpInfo code, const QString& text) {
    RemoteEvent event;
    event.protocolCode = static_cast<int>(code);
    event.text = text;
    switch (code) {
    case FtpInfo::DataProgress:
        if (m_current && m_current->kind == RemoteOpKind::Store) {
            event.kind = RemoteEvent::Kind::Progress;
            event.op = m_current->id;
            event.opKind = m_current->kind;
            event.bytesDone = m_engine->BytesTransferred();
            event.bytesTotal = m_current->size;
            post(std::move(event));
        }
        return;
    case FtpInfo::ControlRead: {
        event.info = RemoteInfo::Reply;
        const QStringList lines = LogLines(text);
        if (m_current && !lines.isEmpty())
            m_current->lastReply = lines.last();
        break;
    }
    case FtpInfo::CommandSent:
        event.info = RemoteInfo::CommandSent;
        if (event.text.startsWith(QLatin1String("PASS ")))
            event.text = QStringLiteral("PASS ********\r\n");
        break;
    case FtpInfo::ListingLine:
        event.info = RemoteInfo::ListingLine;
        break;
    case FtpInfo::TlsEstablished:
        event.info = RemoteInfo::Security;
        break;
    case FtpInfo::Connected:
        event.info = RemoteInfo::Connected;
        break;
    case FtpInfo::NotConnected:
        event.info = RemoteInfo::Disconnected;
        break;
    default:
        event.info = RemoteInfo::Status;
        break;
    }
    post(std::move(event));
}

void FtpSession::onError(FtpError code) {
    if (m_current)
        m_current->error = code;
    if (perOperation(code))
        return;
    m_fatal = code;
    RemoteEvent event;
    event.kind = RemoteEvent::Kind::Error;
    event.error = remoteError(code);
    event.protocolCode = static_cast<int>(code);
    post(std::move(event));
    // Refused before any connection was made (no server named): the login ends here.
    if ((code == FtpError::NoServer || code == FtpError::WinsockNotStarted) && m_current &&
        m_current->kind == RemoteOpKind::Login)
        onQuit();
}

void FtpSession::onQuit() {
    if (!m_connection)
        return;
    m_connection = false;
    if (m_current)
        finishCurrent(m_current->kind == RemoteOpKind::Quit);
    // What waited cannot run any more; a login asked after the end starts a new connection.
    std::deque<Op> waiting;
    for (Op& op : m_queue)
        if (op.kind == RemoteOpKind::Login)
            waiting.push_back(std::move(op));
    m_queue = std::move(waiting);
    RemoteEvent event;
    event.kind = RemoteEvent::Kind::Quit;
    post(std::move(event));
    startNext();
}
