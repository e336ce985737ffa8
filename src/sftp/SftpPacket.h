// The SFTP wire format (protocol version 3, the one every OpenSSH server speaks): building
// request packets, cutting the byte stream of the channel into packets, and reading the replies.
// Pure functions over bytes, so that whatever a server sends meets a bounded reader.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace sftp {

// Message types.
enum : std::uint8_t {
    FxpInit = 1,
    FxpVersion = 2,
    FxpOpen = 3,
    FxpClose = 4,
    FxpRead = 5,
    FxpWrite = 6,
    FxpLstat = 7,
    FxpFstat = 8,
    FxpSetstat = 9,
    FxpFsetstat = 10,
    FxpOpendir = 11,
    FxpReaddir = 12,
    FxpRemove = 13,
    FxpMkdir = 14,
    FxpRmdir = 15,
    FxpRealpath = 16,
    FxpStat = 17,
    FxpRename = 18,
    FxpStatus = 101,
    FxpHandle = 102,
    FxpData = 103,
    FxpName = 104,
    FxpAttrs = 105,
    FxpExtended = 200,
    FxpExtendedReply = 201,
};

// Status codes of an FxpStatus reply.
enum : std::uint32_t {
    FxOk = 0,
    FxEof = 1,
    FxNoSuchFile = 2,
    FxPermissionDenied = 3,
    FxFailure = 4,
    FxBadMessage = 5,
    FxNoConnection = 6,
    FxConnectionLost = 7,
    FxOpUnsupported = 8,
};

// Flags of FxpOpen.
enum : std::uint32_t {
    OpenRead = 0x01,
    OpenWrite = 0x02,
    OpenAppend = 0x04,
    OpenCreate = 0x08,
    OpenTruncate = 0x10,
    OpenExclusive = 0x20,
};

// Longest packet taken from a server; a longer length field ends the connection as a protocol
// fault rather than making the client hold whatever the server claims.
constexpr std::uint32_t MaxPacketLength = 1024 * 1024;

// File attributes: only the fields named by flags were sent.
struct Attributes {
    enum : std::uint32_t {
        HasSize = 0x01,
        HasOwner = 0x02,
        HasPermissions = 0x04,
        HasTimes = 0x08,
        HasExtended = 0x80000000u,
    };
    std::uint32_t flags = 0;
    std::uint64_t size = 0;
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    std::uint32_t permissions = 0;
    std::uint32_t accessTime = 0;
    std::uint32_t modifyTime = 0;

    bool has(std::uint32_t flag) const { return (flags & flag) != 0; }
    // The file type bits of the permissions, when they were sent.
    bool isDirectory() const;
    bool isLink() const;
    bool isRegular() const;
    bool operator==(const Attributes&) const = default;
};

// Builds a packet: the length and type first, then the fields in order.
class PacketWriter {
public:
    explicit PacketWriter(std::uint8_t type);
    PacketWriter& u8(std::uint8_t value);
    PacketWriter& u32(std::uint32_t value);
    PacketWriter& u64(std::uint64_t value);
    PacketWriter& string(QByteArrayView bytes);
    // Only the fields the flags name.
    PacketWriter& attributes(const Attributes& attributes);
    // Room for n bytes of a string whose bytes the caller fills in (an upload block read
    // straight into the packet); returns where they go.
    char* reserveString(std::uint32_t n);
    // The finished packet, its length field filled in.
    QByteArray take();

private:
    QByteArray m_bytes;
};

// Reads the fields of one packet; every read past the end fails and leaves the reader failed.
class PacketReader {
public:
    explicit PacketReader(QByteArrayView bytes) : m_bytes(bytes) {}
    std::optional<std::uint8_t> u8();
    std::optional<std::uint32_t> u32();
    std::optional<std::uint64_t> u64();
    std::optional<QByteArray> string();
    std::optional<Attributes> attributes();
    bool failed() const { return m_failed; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }

private:
    bool need(qsizetype n);
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

// One packet as it came: its type and, for every type but FxpVersion, its request id; body is
// what follows the id (or the type, for FxpVersion).
struct Packet {
    std::uint8_t type = 0;
    std::uint32_t id = 0;
    QByteArray body;
};

// Cuts the channel's bytes into packets, however they were split into reads.
class PacketAssembler {
public:
    enum class Result { Packet, NeedMore, Malformed };
    void feed(QByteArrayView bytes);
    // The next whole packet. Malformed (a length of 0, or above MaxPacketLength, or a packet
    // too short for its id) stays so: the stream cannot be resynchronised.
    Result next(Packet& packet);
    qsizetype pendingSize() const { return m_buffer.size() - m_start; }

private:
    QByteArray m_buffer;
    qsizetype m_start = 0;
    bool m_malformed = false;
};

struct Status {
    std::uint32_t code = FxOk;
    QByteArray message; // the server's words, UTF-8 by the protocol
};
std::optional<Status> parseStatus(QByteArrayView body);

// The handle of an FxpHandle reply (at most 256 bytes by the protocol).
std::optional<QByteArray> parseHandle(QByteArrayView body);

struct NameEntry {
    QByteArray name;     // the bytes the server's file system holds
    QByteArray longName; // a listing line for people, in no fixed format
    Attributes attributes;
};
// The entries of an FxpName reply; nullopt when the reply is cut short or malformed.
std::optional<QList<NameEntry>> parseName(QByteArrayView body);

std::optional<Attributes> parseAttributes(QByteArrayView body);

// The version and the extensions (name, data) of an FxpVersion reply.
struct Version {
    std::uint32_t version = 0;
    QList<std::pair<QByteArray, QByteArray>> extensions;
    bool hasExtension(QByteArrayView name, QByteArrayView data = {}) const;
};
std::optional<Version> parseVersion(QByteArrayView body);

// The limits@openssh.com reply: the largest packet, read, write and the most open handles; 0 is
// "no limit given".
struct Limits {
    std::uint64_t packetLength = 0;
    std::uint64_t readLength = 0;
    std::uint64_t writeLength = 0;
    std::uint64_t openHandles = 0;
};
std::optional<Limits> parseLimits(QByteArrayView body);

// The name of a status code, for messages where the server gave no words of its own.
QString statusText(std::uint32_t code);

// "/a/b" + "c" = "/a/b/c"; an absolute name stands alone; an empty name is the folder itself.
QByteArray joinPath(const QByteArray& folder, const QByteArray& name);
// The folder and the last name of a path: "/a/b/c" gives "/a/b" and "c", "c" gives "" and "c",
// "/c" gives "/" and "c".
std::pair<QByteArray, QByteArray> splitPath(const QByteArray& path);

} // namespace sftp
