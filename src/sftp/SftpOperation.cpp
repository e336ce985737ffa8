#include "sftp/SftpOperation.h"

#include "platform/NativeNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sftp;

namespace {

constexpr std::uint32_t PermissionBits = 07777;
constexpr int ProgressIntervalMs = 50;

QString serverWords(const Status& status) {
    const QString words = QString::fromUtf8(status.message).trimmed();
    return words.isEmpty() ? statusText(status.code) : words;
}

// A request packet with its id; the caller adds the fields and sends it.
struct Request {
    std::uint32_t id;
    PacketWriter packet;
};

Request makeRequest(SftpOperationContext& context, std::uint8_t type) {
    Request r{context.nextId(), PacketWriter(type)};
    r.packet.u32(r.id);
    return r;
}

std::uint32_t sendPath(SftpOperationContext& context, SftpOperation& op, std::uint8_t type,
                       const QByteArray& path, const char* verb) {
    Request r = makeRequest(context, type);
    r.packet.string(path);
    context.send(op, r.id, r.packet.take(),
                 verb ? QStringLiteral("%1 %2").arg(QLatin1String(verb), SftpPathText(path))
                      : QString());
    return r.id;
}

std::uint32_t sendHandle(SftpOperationContext& context, SftpOperation& op, std::uint8_t type,
                         const QByteArray& handle) {
    Request r = makeRequest(context, type);
    r.packet.string(handle);
    context.send(op, r.id, r.packet.take(), {});
    return r.id;
}

// The readers of the replies; a malformed one ends the connection.
template <typename Parse>
auto readOrEnd(SftpOperationContext& context, const Packet& packet, Parse parse, const char* what) {
    auto parsed = parse(packet.body);
    if (!parsed)
        context.fatal(SftpError::ProtocolError,
                      QStringLiteral("The server sent %1.").arg(QLatin1String(what)));
    return parsed;
}

std::optional<QList<NameEntry>> names(SftpOperationContext& context, const Packet& packet) {
    return readOrEnd(context, packet, parseName, "a malformed name reply");
}

std::optional<Attributes> attributes(SftpOperationContext& context, const Packet& packet) {
    return readOrEnd(context, packet, parseAttributes, "malformed attributes");
}

std::optional<QByteArray> handle(SftpOperationContext& context, const Packet& packet) {
    return readOrEnd(context, packet, parseHandle, "a malformed handle");
}

std::optional<QByteArray> singleName(SftpOperationContext& context, const Packet& packet) {
    auto parsed = names(context, packet);
    if (!parsed)
        return std::nullopt;
    if (parsed->size() != 1) {
        context.fatal(SftpError::ProtocolError,
                      QStringLiteral("The server sent %1 names for one path.").arg(parsed->size()));
        return std::nullopt;
    }
    return parsed->first().name;
}

std::optional<Status> statusOf(SftpOperationContext& context, const Packet& packet) {
    return readOrEnd(context, packet, parseStatus, "a malformed status reply");
}

} // namespace

QString SftpPathText(const QByteArray& path) {
    return nameFromNative(path);
}

SftpOperation::~SftpOperation() = default;

void SftpOperation::begin(SftpOperationContext& context) {
    m_state = State::Running;
    start(context);
}

void SftpOperation::cancel(SftpError error, const QString& text) {
    if (!finished())
        setFailed(error, text);
}

void SftpOperation::setFailed(SftpError error, const QString& text, std::uint32_t serverStatus) {
    m_state = State::Failed;
    m_error = error;
    m_errorText = text;
    m_serverStatus = serverStatus;
}

void SftpOperation::setSucceeded() {
    m_state = State::Succeeded;
    m_error = SftpError::None;
    m_errorText.clear();
    m_serverStatus = FxOk;
}

std::optional<Status> SftpOperation::status(SftpOperationContext& context, const Packet& packet) {
    if (packet.type != FxpStatus) {
        unexpected(context, packet);
        return std::nullopt;
    }
    return statusOf(context, packet);
}

void SftpOperation::refused(SftpOperationContext& context, const QString& what,
                            const Status& status) {
    setFailed(SftpError::ServerRefused, QStringLiteral("%1: %2.").arg(what, serverWords(status)),
              status.code);
    context.finished(*this);
}

void SftpOperation::fail(SftpOperationContext& context, SftpError error, const QString& text) {
    setFailed(error, text);
    context.finished(*this);
}

void SftpOperation::succeed(SftpOperationContext& context) {
    setSucceeded();
    context.finished(*this);
}

void SftpOperation::unexpected(SftpOperationContext& context, const Packet& packet) {
    context.fatal(SftpError::ProtocolError,
                  QStringLiteral("The server answered %1 with a reply of type %2.")
                      .arg(description())
                      .arg(packet.type));
}

// ---- Looking a folder up ----

void SftpFolderLookup::ask(SftpOperationContext& context, SftpOperation& op,
                           const QByteArray& path) {
    // Both at once: the server resolves the same path for either, and answers in this order.
    m_done = false;
    m_realpathId = sendPath(context, op, FxpRealpath, path, "REALPATH");
    m_statId = sendPath(context, op, FxpStat, path, nullptr);
}

SftpFolderLookup::Outcome SftpFolderLookup::take(SftpOperationContext& context,
                                                 const Packet& packet) {
    if (m_done)
        return Outcome::Ignored;
    const bool realpath = packet.id == m_realpathId;
    if (packet.type == FxpStatus) {
        auto status = statusOf(context, packet);
        if (!status)
            return Outcome::Broken;
        m_refusal = *status;
        m_done = true;
        return Outcome::Refused;
    }
    if (realpath && packet.type == FxpName) {
        auto name = singleName(context, packet);
        if (!name)
            return Outcome::Broken;
        m_resolved = *name;
        return Outcome::Waiting;
    }
    if (!realpath && packet.type == FxpAttrs) {
        auto folder = attributes(context, packet);
        if (!folder)
            return Outcome::Broken;
        m_done = true;
        return folder->isDirectory() ? Outcome::Folder : Outcome::NotAFolder;
    }
    context.fatal(SftpError::ProtocolError,
                  QStringLiteral("The server answered a folder lookup with a reply of type %1.")
                      .arg(packet.type));
    return Outcome::Broken;
}

// ---- Login ----

void SftpLogin::start(SftpOperationContext& context) {
    PacketWriter init(FxpInit);
    init.u32(3);
    context.send(*this, 0, init.take(), QStringLiteral("INIT 3"));
}

void SftpLogin::version(SftpOperationContext& context, const Packet& packet) {
    auto parsed = parseVersion(packet.body);
    if (!parsed) {
        context.fatal(SftpError::ProtocolError,
                      QStringLiteral("The server sent a malformed SFTP version reply."));
        return;
    }
    m_version = *parsed;
    if (m_version.version < 3) {
        context.fatal(SftpError::SftpUnavailable,
                      QStringLiteral("The server speaks SFTP version %1; version 3 is needed.")
                          .arg(m_version.version));
        return;
    }
    context.info(SftpInfo::SftpStarted, QStringLiteral("SFTP version %1").arg(m_version.version));
    if (m_version.hasExtension("limits@openssh.com", "1")) {
        Request r = makeRequest(context, FxpExtended);
        r.packet.string("limits@openssh.com");
        m_limitsId = r.id;
        context.send(*this, r.id, r.packet.take(), {});
    }
    m_homeId = sendPath(context, *this, FxpRealpath, ".", "REALPATH");
}

void SftpLogin::reply(SftpOperationContext& context, const Packet& packet) {
    if (packet.id == m_limitsId && m_limitsId != 0) {
        m_limitsId = 0;
        if (packet.type == FxpExtendedReply) {
            if (auto limits = parseLimits(packet.body))
                m_limits = *limits;
        }
        return; // a server that refuses the limits gets the standard block size
    }
    if (packet.id == m_homeId) {
        if (packet.type == FxpName) {
            auto home = singleName(context, packet);
            if (!home)
                return;
            m_home = *home;
        } else {
            if (auto s = status(context, packet))
                refused(context, QStringLiteral("Cannot find the home folder"), *s);
            return;
        }
        context.setCurrentFolder(m_home);
        if (m_initialFolder.isEmpty()) {
            context.info(SftpInfo::Folder, SftpPathText(m_home));
            succeed(context);
            return;
        }
        m_lookup.ask(context, *this, joinPath(m_home, m_initialFolder));
        return;
    }
    if (!m_lookup.answers(packet.id)) {
        unexpected(context, packet);
        return;
    }
    switch (m_lookup.take(context, packet)) {
    case SftpFolderLookup::Outcome::Folder:
        context.setCurrentFolder(m_lookup.resolved());
        context.info(SftpInfo::Folder, SftpPathText(m_lookup.resolved()));
        succeed(context);
        break;
    case SftpFolderLookup::Outcome::NotAFolder:
        initialFolderRefused(
            context, QStringLiteral("%1 is not a folder.").arg(SftpPathText(m_initialFolder)));
        break;
    case SftpFolderLookup::Outcome::Refused:
        initialFolderRefused(
            context, QStringLiteral("Cannot change to the folder %1: %2.")
                         .arg(SftpPathText(m_initialFolder), serverWords(m_lookup.refusal())));
        break;
    default:
        break;
    }
}

void SftpLogin::initialFolderRefused(SftpOperationContext& context, const QString& text) {
    // Logged in all the same, in the home folder, as an FTP login whose first CWD is refused.
    m_folderProblem = text;
    context.info(SftpInfo::InitialFolderRefused, text);
    context.info(SftpInfo::Folder, SftpPathText(m_home));
    succeed(context);
}

// ---- List ----

QString SftpList::description() const {
    return QStringLiteral("LIST %1").arg(SftpPathText(m_path.isEmpty() ? m_folder : m_path));
}

void SftpList::start(SftpOperationContext& context) {
    m_path = joinPath(context.currentFolder(), m_folder);
    m_openId = sendPath(context, *this, FxpOpendir, m_path, "OPENDIR");
}

void SftpList::readMore(SftpOperationContext& context) {
    m_readId = sendHandle(context, *this, FxpReaddir, m_handle);
}

void SftpList::closeHandle(SftpOperationContext& context) {
    m_closeId = sendHandle(context, *this, FxpClose, m_handle);
}

void SftpList::resolveLinks(SftpOperationContext& context) {
    // All at once; each answer says whether the link leads to a folder.
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].isLink) {
            const std::uint32_t id =
                sendPath(context, *this, FxpStat, joinPath(m_path, m_entries[i].name), nullptr);
            m_linkIds.insert(id, i);
        }
    }
    if (m_linkIds.isEmpty())
        end(context);
}

void SftpList::end(SftpOperationContext& context) {
    for (const SftpEntry& entry : m_entries)
        context.info(SftpInfo::ListingLine, SftpEntryLine(entry));
    succeed(context);
}

void SftpList::reply(SftpOperationContext& context, const Packet& packet) {
    if (packet.id == m_openId) {
        if (packet.type == FxpHandle) {
            auto opened = handle(context, packet);
            if (!opened)
                return;
            m_handle = *opened;
            readMore(context);
        } else if (auto s = status(context, packet)) {
            refused(context, QStringLiteral("Cannot list the folder %1").arg(SftpPathText(m_path)),
                    *s);
        }
        return;
    }
    if (packet.id == m_readId) {
        if (packet.type == FxpName) {
            auto read = names(context, packet);
            if (!read)
                return;
            m_entries += SftpEntriesFromNames(*read);
            if (m_entries.size() >= MaxEntries) {
                m_entries.resize(MaxEntries);
                closeHandle(context);
            } else {
                readMore(context);
            }
        } else if (auto s = status(context, packet)) {
            if (s->code != FxEof) {
                m_readFailed = true;
                m_readFailure = *s;
            }
            closeHandle(context);
        }
        return;
    }
    if (packet.id == m_closeId) {
        // A refused close loses nothing of a listing that was read whole.
        if (m_readFailed) {
            refused(context, QStringLiteral("Cannot list the folder %1").arg(SftpPathText(m_path)),
                    m_readFailure);
            return;
        }
        resolveLinks(context);
        return;
    }
    const auto link = m_linkIds.constFind(packet.id);
    if (link != m_linkIds.cend()) {
        const qsizetype index = link.value();
        m_linkIds.erase(link);
        if (packet.type == FxpAttrs) {
            if (auto attributes = parseAttributes(packet.body))
                m_entries[index].isDirectory = attributes->isDirectory();
        }
        // A broken link stays a file entry.
        if (m_linkIds.isEmpty())
            end(context);
        return;
    }
    unexpected(context, packet);
}

// ---- Change folder ----

QString SftpChangeDirectory::description() const {
    return QStringLiteral("CD %1").arg(SftpPathText(m_folder));
}

void SftpChangeDirectory::start(SftpOperationContext& context) {
    m_lookup.ask(context, *this, joinPath(context.currentFolder(), m_folder));
}

void SftpChangeDirectory::reply(SftpOperationContext& context, const Packet& packet) {
    if (!m_lookup.answers(packet.id)) {
        unexpected(context, packet);
        return;
    }
    switch (m_lookup.take(context, packet)) {
    case SftpFolderLookup::Outcome::Folder:
        m_resolved = m_lookup.resolved();
        context.setCurrentFolder(m_resolved);
        context.info(SftpInfo::Folder, SftpPathText(m_resolved));
        succeed(context);
        break;
    case SftpFolderLookup::Outcome::NotAFolder:
        fail(context, SftpError::NotAFolder,
             QStringLiteral("%1 is not a folder.").arg(SftpPathText(m_folder)));
        break;
    case SftpFolderLookup::Outcome::Refused:
        refused(context,
                QStringLiteral("Cannot change to the folder %1").arg(SftpPathText(m_folder)),
                m_lookup.refusal());
        break;
    default:
        break;
    }
}

// ---- Make folder, remove folder, delete ----

QString SftpSimpleCommand::description() const {
    switch (kind()) {
    case Kind::MakeDirectory:
        return QStringLiteral("MKDIR %1").arg(SftpPathText(m_name));
    case Kind::RemoveDirectory:
        return QStringLiteral("RMDIR %1").arg(SftpPathText(m_name));
    default:
        return QStringLiteral("REMOVE %1").arg(SftpPathText(m_name));
    }
}

QString SftpStat::description() const {
    return QStringLiteral("STAT %1").arg(SftpPathText(m_name));
}

void SftpStat::start(SftpOperationContext& context) {
    m_path = joinPath(context.currentFolder(), m_name);
    sendPath(context, *this, FxpStat, m_path, "STAT");
}

void SftpStat::reply(SftpOperationContext& context, const Packet& packet) {
    if (packet.type == FxpStatus) {
        auto s = status(context, packet);
        if (s)
            refused(context, QStringLiteral("Cannot read the attributes of %1").arg(SftpPathText(m_path)),
                    *s);
        return;
    }
    if (packet.type != FxpAttrs) {
        unexpected(context, packet);
        return;
    }
    auto a = attributes(context, packet);
    if (!a)
        return;
    NameEntry named;
    named.name = m_name.mid(m_name.lastIndexOf('/') + 1);
    named.attributes = *a;
    const QList<SftpEntry> entries = SftpEntriesFromNames({named});
    if (!entries.isEmpty())
        m_entry = entries.first();
    m_entry.name = m_name;
    succeed(context);
}

void SftpSimpleCommand::start(SftpOperationContext& context) {
    m_path = joinPath(context.currentFolder(), m_name);
    switch (kind()) {
    case Kind::MakeDirectory: {
        Request r = makeRequest(context, FxpMkdir);
        r.packet.string(m_path).attributes({});
        context.send(*this, r.id, r.packet.take(),
                     QStringLiteral("MKDIR %1").arg(SftpPathText(m_path)));
        break;
    }
    case Kind::RemoveDirectory:
        sendPath(context, *this, FxpRmdir, m_path, "RMDIR");
        break;
    default:
        sendPath(context, *this, FxpRemove, m_path, "REMOVE");
        break;
    }
}

void SftpSimpleCommand::reply(SftpOperationContext& context, const Packet& packet) {
    auto s = status(context, packet);
    if (!s)
        return;
    if (s->code == FxOk) {
        succeed(context);
        return;
    }
    const QString name = SftpPathText(m_path);
    switch (kind()) {
    case Kind::MakeDirectory:
        refused(context, QStringLiteral("Cannot make the folder %1").arg(name), *s);
        break;
    case Kind::RemoveDirectory:
        refused(context, QStringLiteral("Cannot remove the folder %1").arg(name), *s);
        break;
    default:
        refused(context, QStringLiteral("Cannot delete %1").arg(name), *s);
        break;
    }
}

// ---- Rename ----

QString SftpRename::description() const {
    return QStringLiteral("RENAME %1 %2").arg(SftpPathText(m_from), SftpPathText(m_to));
}

void SftpRename::start(SftpOperationContext& context) {
    const QByteArray from = joinPath(context.currentFolder(), m_from);
    const QByteArray to = joinPath(context.currentFolder(), m_to);
    Request r = makeRequest(context, FxpRename);
    r.packet.string(from).string(to);
    context.send(*this, r.id, r.packet.take(),
                 QStringLiteral("RENAME %1 %2").arg(SftpPathText(from), SftpPathText(to)));
}

void SftpRename::reply(SftpOperationContext& context, const Packet& packet) {
    auto s = status(context, packet);
    if (!s)
        return;
    if (s->code == FxOk) {
        succeed(context);
        return;
    }
    refused(context,
            QStringLiteral("Cannot rename %1 to %2").arg(SftpPathText(m_from), SftpPathText(m_to)),
            *s);
}

// ---- Store ----

SftpStore::~SftpStore() {
    closeLocal();
}

QString SftpStore::description() const {
    return QStringLiteral("STORE %1")
        .arg(SftpPathText(m_target.isEmpty() ? m_remoteName : m_target));
}

QByteArray SftpStore::temporaryName(const QByteArray& name) {
    // Most file systems hold names of up to 255 bytes; a name near that keeps its head.
    constexpr qsizetype Longest = 255 - 6;
    return '.' + name.left(Longest) + ".part";
}

bool SftpStore::lettingNextStart(const SftpOperation& next, const QByteArray& folder) const {
    if (m_step == Step::Opening || m_step == Step::Writing || m_step == Step::Done ||
        next.kind() != Kind::Store)
        return false;
    const auto& store = static_cast<const SftpStore&>(next);
    const QByteArray target = joinPath(folder, store.m_remoteName);
    const auto [targetFolder, targetName] = splitPath(target);
    const QByteArray temporary = joinPath(targetFolder, temporaryName(targetName));
    const QByteArrayList mine = {m_target, m_temporary};
    return !mine.contains(target) && !mine.contains(temporary);
}

void SftpStore::closeLocal() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void SftpStore::start(SftpOperationContext& context) {
    const auto [folder, base] = splitPath(m_remoteName);
    if (base.isEmpty() || base == "." || base == "..") {
        fail(context, SftpError::NoRemoteFile, QStringLiteral("No remote file name was given."));
        return;
    }
    // Only a regular file is opened: a pipe or device would block or never end.
    const QByteArray native = nativePath(m_localFile);
    struct stat st {};
    QString reason;
    if (m_localFile.isEmpty())
        reason = QStringLiteral("no file name was given");
    else if (::stat(native.constData(), &st) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(st.st_mode))
        reason = QStringLiteral("it is not a regular file");
    else if ((m_fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) < 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        reason = QStringLiteral("it is not a regular file");
    if (!reason.isEmpty()) {
        closeLocal();
        fail(context, SftpError::LocalFileOpen,
             QStringLiteral("Cannot open the local file %1: %2.").arg(m_localFile, reason));
        return;
    }
    m_size = st.st_size;

    m_target = joinPath(context.currentFolder(), m_remoteName);
    const auto [targetFolder, targetName] = splitPath(m_target);
    m_temporary = joinPath(targetFolder, temporaryName(targetName));
    m_progressClock.start();

    // The target's attributes and the temporary file at once: the answers come in this order.
    m_statId = sendPath(context, *this, FxpStat, m_target, nullptr);
    Request open = makeRequest(context, FxpOpen);
    open.packet.string(m_temporary).u32(OpenWrite | OpenCreate | OpenTruncate).attributes({});
    m_openId = open.id;
    context.send(*this, open.id, open.packet.take(),
                 QStringLiteral("STORE %1").arg(SftpPathText(m_target)));
    m_step = Step::Opening;
}

void SftpStore::pump(SftpOperationContext& context) {
    const std::int64_t block = context.writeBlockSize();
    while (m_failure == SftpError::None && m_offset < m_size &&
           m_writes.size() < MaxWritesInFlight && m_inFlightBytes < MaxBytesInFlight) {
        const std::int64_t n = std::min(block, m_size - m_offset);
        Request r = makeRequest(context, FxpWrite);
        r.packet.string(m_handle).u64(static_cast<std::uint64_t>(m_offset));
        char* into = r.packet.reserveString(static_cast<std::uint32_t>(n));
        std::int64_t got = 0;
        while (got < n) {
            const ssize_t read = ::pread(m_fd, into + got, static_cast<size_t>(n - got),
                                         static_cast<off_t>(m_offset + got));
            if (read < 0 && errno == EINTR)
                continue;
            if (read <= 0) {
                // A file that shrank while it was sent is as unreadable as one that failed.
                const QString reason = read < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                                : QStringLiteral("the file became shorter");
                failAndClean(
                    context, SftpError::LocalFileRead,
                    QStringLiteral("Cannot read the local file %1: %2.").arg(m_localFile, reason));
                return;
            }
            got += read;
        }
        m_writes.insert(r.id, n);
        m_inFlightBytes += n;
        m_offset += n;
        context.send(*this, r.id, r.packet.take(), {});
    }
    if (m_failure == SftpError::None && m_offset == m_size && !m_closeSent)
        sendClose(context); // right behind the last write: the answers come in order
}

void SftpStore::sendClose(SftpOperationContext& context) {
    m_closeSent = true;
    if (m_step == Step::Writing || m_step == Step::Opening)
        m_step = Step::Closing;
    m_closeId = sendHandle(context, *this, FxpClose, m_handle);
    context.letNextStart();
}

void SftpStore::noteFailure(SftpError error, const QString& text, std::uint32_t serverStatus) {
    if (m_failure != SftpError::None)
        return; // the first failure is the one reported
    m_failure = error;
    m_failureText = text;
    m_failureStatus = serverStatus;
}

void SftpStore::failAndClean(SftpOperationContext& context, SftpError error, const QString& text,
                             std::uint32_t serverStatus) {
    noteFailure(error, text, serverStatus);
    if (m_handle.isEmpty()) {
        // Nothing was opened on the server.
        closeLocal();
        setFailed(m_failure, m_failureText, m_failureStatus);
        m_step = Step::Done;
        context.finished(*this);
        return;
    }
    // The close comes after the last write that is still on the way; its answer then removes
    // the temporary file.
    if (!m_closeSent && m_writes.isEmpty())
        sendClose(context);
}

void SftpStore::afterClose(SftpOperationContext& context) {
    closeLocal();
    if (m_failure != SftpError::None) {
        removeTemporary(context);
        return;
    }
    if (m_targetIsFolder) {
        noteFailure(SftpError::IsAFolder,
                    QStringLiteral("%1 is a folder on the server.").arg(SftpPathText(m_target)));
        removeTemporary(context);
        return;
    }
    rename(context, false);
}

void SftpStore::rename(SftpOperationContext& context, bool replace) {
    m_step = replace ? Step::ReplacingOld : Step::Renaming;
    // The server's own rename replaces the target in one step where it offers one; plain SFTP
    // renames refuse an existing target, which then goes first.
    m_atomicRename = context.atomicRename();
    if (m_atomicRename) {
        Request r = makeRequest(context, FxpExtended);
        r.packet.string("posix-rename@openssh.com").string(m_temporary).string(m_target);
        m_renameId = r.id;
        context.send(*this, r.id, r.packet.take(), {});
    } else {
        Request r = makeRequest(context, FxpRename);
        r.packet.string(m_temporary).string(m_target);
        m_renameId = r.id;
        context.send(*this, r.id, r.packet.take(), {});
    }
}

void SftpStore::removeTemporary(SftpOperationContext& context) {
    m_step = Step::RemovingTemporary;
    m_removeId = sendPath(context, *this, FxpRemove, m_temporary, nullptr);
}

void SftpStore::reply(SftpOperationContext& context, const Packet& packet) {
    if (finished())
        return;
    if (packet.id == m_statId) {
        m_targetKnown = true;
        if (packet.type == FxpAttrs) {
            auto target = attributes(context, packet);
            if (!target)
                return;
            m_targetExists = true;
            m_targetIsFolder = target->isDirectory();
            m_hasTargetPermissions = target->has(Attributes::HasPermissions);
            m_targetPermissions = target->permissions & PermissionBits;
        } else if (packet.type != FxpStatus) {
            unexpected(context, packet);
        }
        // A target that cannot be looked up is taken as new.
        return;
    }
    if (packet.id == m_openId) {
        if (packet.type == FxpHandle) {
            auto opened = handle(context, packet);
            if (!opened)
                return;
            m_handle = *opened;
            m_step = Step::Writing;
            if (m_targetIsFolder) {
                failAndClean(
                    context, SftpError::IsAFolder,
                    QStringLiteral("%1 is a folder on the server.").arg(SftpPathText(m_target)));
                return;
            }
            if (m_hasTargetPermissions) {
                Request r = makeRequest(context, FxpFsetstat);
                Attributes keep;
                keep.flags = Attributes::HasPermissions;
                keep.permissions = m_targetPermissions;
                r.packet.string(m_handle).attributes(keep);
                m_setstatId = r.id;
                context.send(*this, r.id, r.packet.take(), {});
            }
            pump(context);
        } else if (auto s = status(context, packet)) {
            closeLocal();
            m_step = Step::Done;
            refused(context, QStringLiteral("Cannot write %1").arg(SftpPathText(m_target)), *s);
        }
        return;
    }
    if (packet.id == m_setstatId && m_setstatId != 0) {
        // The permissions are kept where the server allows; a refusal loses no data.
        if (packet.type != FxpStatus)
            unexpected(context, packet);
        return;
    }
    const auto write = m_writes.constFind(packet.id);
    if (write != m_writes.cend()) {
        const std::int64_t length = write.value();
        m_writes.erase(write);
        m_inFlightBytes -= length;
        auto s = status(context, packet);
        if (!s)
            return;
        if (s->code != FxOk) {
            failAndClean(
                context, SftpError::ServerRefused,
                QStringLiteral("Cannot write %1: %2.").arg(SftpPathText(m_target), serverWords(*s)),
                s->code);
            return;
        }
        m_acknowledged += length;
        if (m_acknowledged == m_size || m_progressClock.elapsed() >= ProgressIntervalMs) {
            m_progressClock.restart();
            context.progress(*this, m_acknowledged, m_size);
        }
        if (m_failure != SftpError::None) {
            if (!m_closeSent && m_writes.isEmpty())
                sendClose(context);
            return;
        }
        pump(context);
        return;
    }
    if (packet.id == m_closeId) {
        auto s = status(context, packet);
        if (!s)
            return;
        if (s->code != FxOk)
            noteFailure(
                SftpError::ServerRefused,
                QStringLiteral("Cannot write %1: %2.").arg(SftpPathText(m_target), serverWords(*s)),
                s->code);
        if (m_size == 0)
            context.progress(*this, 0, 0);
        afterClose(context);
        return;
    }
    if (packet.id == m_renameId) {
        auto s = status(context, packet);
        if (!s)
            return;
        if (s->code == FxOk) {
            m_step = Step::Done;
            succeed(context);
            return;
        }
        if (!m_atomicRename && m_targetExists && m_step == Step::Renaming) {
            // Plain SFTP: the old file goes, then the new one takes its name.
            m_step = Step::ReplacingOld;
            m_removeId = sendPath(context, *this, FxpRemove, m_target, nullptr);
            return;
        }
        noteFailure(SftpError::ServerRefused,
                    QStringLiteral("Cannot put %1 in place: %2.")
                        .arg(SftpPathText(m_target), serverWords(*s)),
                    s->code);
        removeTemporary(context);
        return;
    }
    if (packet.id == m_removeId) {
        auto s = status(context, packet);
        if (!s)
            return;
        if (m_step == Step::ReplacingOld) {
            if (s->code == FxOk) {
                rename(context, true);
                return;
            }
            noteFailure(SftpError::ServerRefused,
                        QStringLiteral("Cannot replace %1: %2.")
                            .arg(SftpPathText(m_target), serverWords(*s)),
                        s->code);
            removeTemporary(context);
            return;
        }
        // The temporary file is gone (or could not go); the first failure is what counts.
        m_step = Step::Done;
        setFailed(m_failure, m_failureText, m_failureStatus);
        context.finished(*this);
        return;
    }
    unexpected(context, packet);
}
