// Fuzzes what an SFTP server sends: the packet reader that cuts the channel's bytes into packets,
// and the readers of every reply (status, handle, names with their attributes, attributes,
// version, limits) with the listing made from them. Besides surviving any bytes: the packets must
// not depend on how the bytes were cut into reads, nothing held may outgrow one packet, and no
// listing entry may carry a name a file system cannot hold.
#include "sftp/SftpListing.h"
#include "sftp/SftpPacket.h"

#include <cstddef>
#include <cstdint>

namespace {

bool samePackets(const QList<sftp::Packet>& a, const QList<sftp::Packet>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].type != b[i].type || a[i].id != b[i].id || a[i].body != b[i].body)
            return false;
    }
    return true;
}

void readReply(const sftp::Packet& packet) {
    // Every reader meets every packet, whatever type it claims.
    sftp::parseStatus(packet.body);
    sftp::parseHandle(packet.body);
    sftp::parseAttributes(packet.body);
    sftp::parseLimits(packet.body);
    if (auto version = sftp::parseVersion(packet.body))
        version->hasExtension("posix-rename@openssh.com", "1");
    if (auto names = sftp::parseName(packet.body)) {
        if (names->size() > packet.body.size() / 12)
            __builtin_trap(); // more entries than the bytes could hold
        for (const SftpEntry& entry : SftpEntriesFromNames(*names)) {
            if (entry.name.isEmpty() || entry.name == "." || entry.name == ".." ||
                entry.name.contains('/') || entry.name.contains('\0'))
                __builtin_trap();
            if (SftpEntryLine(entry).isEmpty() || entry.text().isEmpty())
                __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses how the rest is cut into reads.
    const qsizetype step = 1 + data[0] % 97;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));

    sftp::PacketAssembler whole;
    whole.feed(bytes);
    QList<sftp::Packet> expected;
    sftp::Packet packet;
    sftp::PacketAssembler::Result end;
    while ((end = whole.next(packet)) == sftp::PacketAssembler::Result::Packet)
        expected.append(packet);

    sftp::PacketAssembler cut;
    QList<sftp::Packet> got;
    sftp::PacketAssembler::Result cutEnd = sftp::PacketAssembler::Result::NeedMore;
    for (qsizetype pos = 0; pos < bytes.size(); pos += step) {
        cut.feed(QByteArrayView(bytes).sliced(pos, std::min(step, bytes.size() - pos)));
        while ((cutEnd = cut.next(packet)) == sftp::PacketAssembler::Result::Packet)
            got.append(packet);
        if (cutEnd == sftp::PacketAssembler::Result::Malformed)
            break;
        if (cut.pendingSize() > 4 + static_cast<qsizetype>(sftp::MaxPacketLength) + step)
            __builtin_trap();
    }
    if (!samePackets(got, expected) || cutEnd != end)
        __builtin_trap();

    for (const sftp::Packet& p : expected)
        readReply(p);
    // The whole input as one reply body too, without a packet around it.
    sftp::Packet raw;
    raw.body = bytes;
    readReply(raw);
    return 0;
}
