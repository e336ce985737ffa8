#include "sftp/SftpPacket.h"

#include <QtEndian>

namespace sftp {

namespace {

constexpr std::uint32_t TypeMask = 0170000;
constexpr std::uint32_t TypeDirectory = 0040000;
constexpr std::uint32_t TypeLink = 0120000;
constexpr std::uint32_t TypeRegular = 0100000;

} // namespace

bool Attributes::isDirectory() const {
    return has(HasPermissions) && (permissions & TypeMask) == TypeDirectory;
}

bool Attributes::isLink() const {
    return has(HasPermissions) && (permissions & TypeMask) == TypeLink;
}

bool Attributes::isRegular() const {
    return has(HasPermissions) && (permissions & TypeMask) == TypeRegular;
}

PacketWriter::PacketWriter(std::uint8_t type) {
    m_bytes.reserve(64);
    u32(0); // the length, filled in by take()
    u8(type);
}

PacketWriter& PacketWriter::u8(std::uint8_t value) {
    m_bytes.append(static_cast<char>(value));
    return *this;
}

PacketWriter& PacketWriter::u32(std::uint32_t value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    m_bytes.append(bytes, 4);
    return *this;
}

PacketWriter& PacketWriter::u64(std::uint64_t value) {
    char bytes[8];
    qToBigEndian(value, bytes);
    m_bytes.append(bytes, 8);
    return *this;
}

PacketWriter& PacketWriter::string(QByteArrayView bytes) {
    u32(static_cast<std::uint32_t>(bytes.size()));
    m_bytes.append(bytes.data(), bytes.size());
    return *this;
}

PacketWriter& PacketWriter::attributes(const Attributes& a) {
    const std::uint32_t flags = a.flags & ~Attributes::HasExtended;
    u32(flags);
    if (a.has(Attributes::HasSize))
        u64(a.size);
    if (a.has(Attributes::HasOwner))
        u32(a.uid).u32(a.gid);
    if (a.has(Attributes::HasPermissions))
        u32(a.permissions);
    if (a.has(Attributes::HasTimes))
        u32(a.accessTime).u32(a.modifyTime);
    return *this;
}

char* PacketWriter::reserveString(std::uint32_t n) {
    u32(n);
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + n);
    return m_bytes.data() + at;
}

QByteArray PacketWriter::take() {
    qToBigEndian(static_cast<std::uint32_t>(m_bytes.size() - 4), m_bytes.data());
    return std::move(m_bytes);
}

bool PacketReader::need(qsizetype n) {
    if (m_failed || n < 0 || remaining() < n) {
        m_failed = true;
        return false;
    }
    return true;
}

std::optional<std::uint8_t> PacketReader::u8() {
    if (!need(1))
        return std::nullopt;
    return static_cast<std::uint8_t>(m_bytes[m_pos++]);
}

std::optional<std::uint32_t> PacketReader::u32() {
    if (!need(4))
        return std::nullopt;
    const auto value = qFromBigEndian<std::uint32_t>(m_bytes.data() + m_pos);
    m_pos += 4;
    return value;
}

std::optional<std::uint64_t> PacketReader::u64() {
    if (!need(8))
        return std::nullopt;
    const auto value = qFromBigEndian<std::uint64_t>(m_bytes.data() + m_pos);
    m_pos += 8;
    return value;
}

std::optional<QByteArray> PacketReader::string() {
    const auto length = u32();
    if (!length || !need(static_cast<qsizetype>(*length)))
        return std::nullopt;
    QByteArray bytes(m_bytes.data() + m_pos, static_cast<qsizetype>(*length));
    m_pos += static_cast<qsizetype>(*length);
    return bytes;
}

std::optional<Attributes> PacketReader::attributes() {
    Attributes a;
    const auto flags = u32();
    if (!flags)
        return std::nullopt;
    a.flags = *flags;
    if (a.has(Attributes::HasSize)) {
        const auto size = u64();
        if (!size)
            return std::nullopt;
        a.size = *size;
    }
    if (a.has(Attributes::HasOwner)) {
        const auto uid = u32();
        const auto gid = u32();
        if (!uid || !gid)
            return std::nullopt;
        a.uid = *uid;
        a.gid = *gid;
    }
    if (a.has(Attributes::HasPermissions)) {
        const auto permissions = u32();
        if (!permissions)
            return std::nullopt;
        a.permissions = *permissions;
    }
    if (a.has(Attributes::HasTimes)) {
        const auto atime = u32();
        const auto mtime = u32();
        if (!atime || !mtime)
            return std::nullopt;
        a.accessTime = *atime;
        a.modifyTime = *mtime;
    }
    if (a.has(Attributes::HasExtended)) {
        // Name and data pairs nobody here uses; each takes at least eight bytes, so a count
        // larger than the rest of the packet fails on the way without a long loop.
        const auto count = u32();
        if (!count)
            return std::nullopt;
        for (std::uint32_t i = 0; i < *count; ++i) {
            if (!string() || !string())
                return std::nullopt;
        }
    }
    return a;
}

void PacketAssembler::feed(QByteArrayView bytes) {
    if (m_malformed || bytes.isEmpty())
        return;
    // Drop what was taken before the buffer grows, so it never holds more than one packet's
    // worth of old bytes.
    if (m_start > 0 && (m_start >= m_buffer.size() || m_start > 64 * 1024)) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes.data(), bytes.size());
}

PacketAssembler::Result PacketAssembler::next(Packet& packet) {
    if (m_malformed)
        return Result::Malformed;
    const qsizetype available = m_buffer.size() - m_start;
    if (available < 4)
        return Result::NeedMore;
    const char* at = m_buffer.constData() + m_start;
    const auto length = qFromBigEndian<std::uint32_t>(at);
    if (length == 0 || length > MaxPacketLength) {
        m_malformed = true;
        return Result::Malformed;
    }
    if (available < 4 + static_cast<qsizetype>(length))
        return Result::NeedMore;
    packet.type = static_cast<std::uint8_t>(at[4]);
    qsizetype bodyStart = 5;
    if (packet.type == FxpVersion) {
        packet.id = 0;
    } else {
        if (length < 5) {
            m_malformed = true;
            return Result::Malformed;
        }
        packet.id = qFromBigEndian<std::uint32_t>(at + 5);
        bodyStart = 9;
    }
    packet.body = QByteArray(at + bodyStart, 4 + static_cast<qsizetype>(length) - bodyStart);
    m_start += 4 + static_cast<qsizetype>(length);
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return Result::Packet;
}

std::optional<Status> parseStatus(QByteArrayView body) {
    PacketReader reader(body);
    const auto code = reader.u32();
    if (!code)
        return std::nullopt;
    Status status;
    status.code = *code;
    // Version 3 servers send the message and its language; a few old ones send neither.
    if (reader.remaining() > 0) {
        const auto message = reader.string();
        if (!message)
            return std::nullopt;
        status.message = *message;
    }
    return status;
}

std::optional<QByteArray> parseHandle(QByteArrayView body) {
    PacketReader reader(body);
    auto handle = reader.string();
    if (!handle || handle->size() > 256)
        return std::nullopt;
    return handle;
}

std::optional<QList<NameEntry>> parseName(QByteArrayView body) {
    PacketReader reader(body);
    const auto count = reader.u32();
    if (!count)
        return std::nullopt;
    QList<NameEntry> entries;
    // Each entry takes at least twelve bytes: never reserve more than the packet could hold.
    entries.reserve(static_cast<qsizetype>(std::min<std::uint64_t>(*count, body.size() / 12)));
    for (std::uint32_t i = 0; i < *count; ++i) {
        NameEntry entry;
        auto name = reader.string();
        auto longName = reader.string();
        auto attributes = reader.attributes();
        if (!name || !longName || !attributes)
            return std::nullopt;
        entry.name = std::move(*name);
        entry.longName = std::move(*longName);
        entry.attributes = *attributes;
        entries.append(std::move(entry));
    }
    return entries;
}

std::optional<Attributes> parseAttributes(QByteArrayView body) {
    PacketReader reader(body);
    return reader.attributes();
}

bool Version::hasExtension(QByteArrayView name, QByteArrayView data) const {
    for (const auto& [n, d] : extensions) {
        if (n == name && (data.isEmpty() || d == data))
            return true;
    }
    return false;
}

std::optional<Version> parseVersion(QByteArrayView body) {
    PacketReader reader(body);
    const auto version = reader.u32();
    if (!version)
        return std::nullopt;
    Version v;
    v.version = *version;
    while (reader.remaining() > 0) {
        auto name = reader.string();
        auto data = reader.string();
        if (!name || !data)
            return std::nullopt;
        v.extensions.append({std::move(*name), std::move(*data)});
    }
    return v;
}

std::optional<Limits> parseLimits(QByteArrayView body) {
    PacketReader reader(body);
    Limits limits;
    const auto packet = reader.u64();
    const auto read = reader.u64();
    const auto write = reader.u64();
    const auto handles = reader.u64();
    if (!packet || !read || !write || !handles)
        return std::nullopt;
    limits.packetLength = *packet;
    limits.readLength = *read;
    limits.writeLength = *write;
    limits.openHandles = *handles;
    return limits;
}

QString statusText(std::uint32_t code) {
    switch (code) {
    case FxOk:
        return QStringLiteral("Success");
    case FxEof:
        return QStringLiteral("End of file");
    case FxNoSuchFile:
        return QStringLiteral("No such file or folder");
    case FxPermissionDenied:
        return QStringLiteral("Permission denied");
    case FxFailure:
        return QStringLiteral("Failure");
    case FxBadMessage:
        return QStringLiteral("Bad message");
    case FxNoConnection:
        return QStringLiteral("No connection");
    case FxConnectionLost:
        return QStringLiteral("Connection lost");
    case FxOpUnsupported:
        return QStringLiteral("Operation not supported");
    default:
        return QStringLiteral("Error %1").arg(code);
    }
}

QByteArray joinPath(const QByteArray& folder, const QByteArray& name) {
    if (name.isEmpty())
        return folder;
    if (name.startsWith('/') || folder.isEmpty())
        return name;
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

std::pair<QByteArray, QByteArray> splitPath(const QByteArray& path) {
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf('/');
    if (slash < 0)
        return {QByteArray(), trimmed};
    if (slash == 0)
        return {QByteArray("/"), trimmed.mid(1)};
    return {trimmed.left(slash), trimmed.mid(slash + 1)};
}

} // namespace sftp
