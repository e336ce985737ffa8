// The SFTP wire format: exact request bytes, packets cut out of a stream however it was split,
// hostile length fields, the replies' fields, listing entries from attributes, and paths.
#include "sftp/SftpPacket.h"
#include "sftp/SftpListing.h"
#include "sftp/SftpOperation.h"

#include <gtest/gtest.h>

using namespace sftp;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// An FxpName reply body (after the id) of the entries.
QByteArray nameBody(const QList<NameEntry>& entries) {
    PacketWriter w(FxpName);
    w.u32(entries.size());
    for (const NameEntry& e : entries)
        w.string(e.name).string(e.longName).attributes(e.attributes);
    return w.take().mid(5); // no length, no type
}

Attributes fileAttributes(std::uint32_t mode, std::uint64_t size, std::uint32_t mtime) {
    Attributes a;
    a.flags = Attributes::HasSize | Attributes::HasPermissions | Attributes::HasTimes;
    a.permissions = mode;
    a.size = size;
    a.modifyTime = mtime;
    a.accessTime = mtime;
    return a;
}

TEST(SftpPacket, RequestsAreBuiltByteForByte) {
    PacketWriter open(FxpOpen);
    open.u32(7).string("/www/.a.part").u32(OpenWrite | OpenCreate | OpenTruncate).attributes({});
    EXPECT_EQ(open.take(), hex("0000001d 03 00000007 0000000c 2f7777772f2e612e70617274"
                               "0000001a 00000000"));

    PacketWriter write(FxpWrite);
    write.u32(9).string("h1").u64(0x100000000ull);
    std::memcpy(write.reserveString(3), "abc", 3);
    EXPECT_EQ(write.take(),
              hex("0000001a 06 00000009 00000002 6831 0000000100000000 00000003 616263"));

    // Attributes carry only the fields their flags name; the extended flag is never sent.
    Attributes keep;
    keep.flags = Attributes::HasPermissions | Attributes::HasExtended;
    keep.permissions = 0755;
    PacketWriter setstat(FxpFsetstat);
    setstat.u32(1).string("h").attributes(keep);
    EXPECT_EQ(setstat.take(), hex("00000012 0a 00000001 00000001 68 00000004 000001ed"));

    PacketWriter init(FxpInit);
    init.u32(3);
    EXPECT_EQ(init.take(), hex("00000005 01 00000003"));
}

TEST(SftpPacket, AssemblerCutsTheSameAtEveryBoundary) {
    PacketWriter version(FxpVersion);
    version.u32(3).string("posix-rename@openssh.com").string("1");
    PacketWriter status(FxpStatus);
    status.u32(42).u32(FxNoSuchFile).string("No such file").string("");
    PacketWriter handle(FxpHandle);
    handle.u32(43).string(QByteArray("\x00\x01", 2));
    const QByteArray stream = version.take() + status.take() + handle.take();

    for (qsizetype cut = 1; cut <= stream.size(); ++cut) {
        PacketAssembler assembler;
        QList<Packet> packets;
        for (qsizetype at = 0; at < stream.size(); at += cut) {
            assembler.feed(QByteArrayView(stream).sliced(at, std::min(cut, stream.size() - at)));
            Packet p;
            while (assembler.next(p) == PacketAssembler::Result::Packet)
                packets.append(p);
        }
        ASSERT_EQ(packets.size(), 3) << "cut " << cut;
        EXPECT_EQ(packets[0].type, FxpVersion);
        EXPECT_EQ(packets[0].id, 0u);
        EXPECT_EQ(parseVersion(packets[0].body)->extensions.value(0).first,
                  QByteArray("posix-rename@openssh.com"));
        EXPECT_EQ(packets[1].type, FxpStatus);
        EXPECT_EQ(packets[1].id, 42u);
        EXPECT_EQ(parseStatus(packets[1].body)->message, QByteArray("No such file"));
        EXPECT_EQ(packets[2].id, 43u);
        EXPECT_EQ(*parseHandle(packets[2].body), QByteArray("\x00\x01", 2));
        EXPECT_EQ(assembler.pendingSize(), 0);
    }
}

TEST(SftpPacket, HostileLengthsEndTheStream) {
    const QList<QByteArray> hostile = {
        hex("00000000 65"),          // no length at all
        hex("00100001 65 00000001"), // more than the longest packet taken
        hex("ffffffff 65"),
        hex("00000002 65 00"), // too short for its id
    };
    for (const QByteArray& bytes : hostile) {
        PacketAssembler assembler;
        assembler.feed(bytes + hex("00000005 65 00000001"));
        Packet p;
        EXPECT_EQ(assembler.next(p), PacketAssembler::Result::Malformed) << bytes.toHex().data();
        // It stays so: nothing after a broken length can be trusted.
        EXPECT_EQ(assembler.next(p), PacketAssembler::Result::Malformed);
    }
    // The longest packet allowed is taken whole once it is in.
    PacketAssembler big;
    QByteArray packet = hex("00100000 67 00000001");
    packet.resize(4 + MaxPacketLength);
    big.feed(packet.left(1000));
    Packet p;
    EXPECT_EQ(big.next(p), PacketAssembler::Result::NeedMore);
    big.feed(packet.mid(1000));
    ASSERT_EQ(big.next(p), PacketAssembler::Result::Packet);
    EXPECT_EQ(p.body.size(), static_cast<qsizetype>(MaxPacketLength) - 5);
}

TEST(SftpPacket, RepliesAreReadFieldByField) {
    // A status of an old server: no message, no language.
    auto bare = parseStatus(hex("00000004"));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->code, FxFailure);
    EXPECT_TRUE(bare->message.isEmpty());
    EXPECT_FALSE(parseStatus(hex("000000")));
    EXPECT_FALSE(parseStatus(hex("00000003 00000009 41")));

    // Attributes with every field, the extended pairs skipped.
    auto all = parseAttributes(hex("8000000f 0000000000001000 000003e8 000003e9 000041ed "
                                   "65000000 66000000 00000001 00000001 61 00000000"));
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size, 4096u);
    EXPECT_EQ(all->uid, 1000u);
    EXPECT_EQ(all->gid, 1001u);
    EXPECT_TRUE(all->isDirectory());
    EXPECT_EQ(all->accessTime, 0x65000000u);
    EXPECT_EQ(all->modifyTime, 0x66000000u);
    // An extended count far beyond the bytes fails at once.
    EXPECT_FALSE(parseAttributes(hex("80000000 ffffffff 00000000 00000000")));

    // A handle longer than 256 bytes is refused.
    EXPECT_TRUE(parseHandle(hex("00000100") + QByteArray(256, 'h')));
    EXPECT_FALSE(parseHandle(hex("00000101") + QByteArray(257, 'h')));

    // A name reply that claims more entries than it holds.
    QByteArray body = nameBody({{"a", "-rw-r--r-- a", fileAttributes(0100644, 1, 0)}});
    body[3] = 2;
    EXPECT_FALSE(parseName(body));
    EXPECT_FALSE(parseName(hex("ffffffff")));

    auto limits = parseLimits(hex("0000000000040000 000000000003fc00 000000000003fc00 "
                                  "0000000000000000"));
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->writeLength, 261120u);
    EXPECT_EQ(limits->openHandles, 0u);

    auto version = parseVersion(hex("00000003 00000001 78 00000001 31 00000001 79 00000000"));
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->hasExtension("x", "1"));
    EXPECT_FALSE(version->hasExtension("x", "2"));
    EXPECT_TRUE(version->hasExtension("y"));
    EXPECT_FALSE(parseVersion(hex("00000003 00000001 78")));
}

TEST(SftpListing, EntriesComeFromTheAttributes) {
    Attributes folder = fileAttributes(040755, 4096, 1714566600); // 2024-05-01 12:30 UTC
    Attributes link = fileAttributes(0120777, 9, 1714566600);
    Attributes bare; // a server that sends no attributes at all
    const QList<NameEntry> names = {
        {".", "drwxr-xr-x .", folder},
        {"..", "drwxr-xr-x ..", folder},
        {"my page.html", "-rw-r--r-- 1 u g 12 May 1 12:30 my page.html",
         fileAttributes(0100644, 12, 1714566600)},
        {"caf\xe9.html", "-rw------- caf\xe9.html", fileAttributes(0100600, 0, 0)},
        {"images", "-rw-r--r-- lies about its type", folder},
        {"www", "lrwxrwxrwx www -> public_html", link},
        {"old", "drwxr-xr-x old", bare},
        {"s", "lrwxrwxrwx s -> x", bare},
        {"", "-rw-r--r-- empty", bare},
        {"a/b", "-rw-r--r-- a/b", bare},
        {QByteArray("nul\0l", 5), "-rw-r--r-- nul", bare},
    };
    const QList<SftpEntry> entries = SftpEntriesFromNames(names);
    ASSERT_EQ(entries.size(), 6);

    EXPECT_EQ(entries[0].name, QByteArray("my page.html"));
    EXPECT_FALSE(entries[0].isDirectory);
    EXPECT_TRUE(entries[0].hasSize);
    EXPECT_EQ(entries[0].size, 12u);
    EXPECT_EQ(entries[0].modifiedTime().toString(Qt::ISODate),
              QStringLiteral("2024-05-01T12:30:00Z"));

    EXPECT_EQ(entries[1].name, QByteArray("caf\xe9.html"));
    EXPECT_EQ(entries[1].text(), QStringLiteral("caf\u00e9.html"));

    EXPECT_TRUE(entries[2].isDirectory); // the mode counts, not the listing line
    EXPECT_TRUE(entries[3].isLink);
    EXPECT_FALSE(entries[3].isDirectory); // until the link is looked up
    EXPECT_TRUE(entries[4].isDirectory);  // no attributes: the listing line decides
    EXPECT_FALSE(entries[4].hasSize);
    EXPECT_FALSE(entries[4].modifiedTime().isValid());
    EXPECT_TRUE(entries[5].isLink);

    EXPECT_EQ(SftpEntryLine(entries[0]),
              QStringLiteral("-rw-r--r--          12 2024-05-01 12:30 my page.html"));
    EXPECT_EQ(SftpEntryLine(entries[2]),
              QStringLiteral("drwxr-xr-x        4096 2024-05-01 12:30 images"));
    EXPECT_EQ(SftpEntryLine(entries[3]),
              QStringLiteral("lrwxrwxrwx           9 2024-05-01 12:30 www"));
    EXPECT_EQ(SftpEntryLine(entries[4]),
              QStringLiteral("d?????????           ? ---------- ----- old"));
}

TEST(SftpPath, JoinSplitAndTemporaryNames) {
    EXPECT_EQ(joinPath("/home/u", "www"), QByteArray("/home/u/www"));
    EXPECT_EQ(joinPath("/", "www"), QByteArray("/www"));
    EXPECT_EQ(joinPath("/home/u/", "a/b"), QByteArray("/home/u/a/b"));
    EXPECT_EQ(joinPath("/home/u", "/srv"), QByteArray("/srv"));
    EXPECT_EQ(joinPath("/home/u", ""), QByteArray("/home/u"));
    EXPECT_EQ(joinPath("", "x"), QByteArray("x"));

    using P = std::pair<QByteArray, QByteArray>;
    EXPECT_EQ(splitPath("/a/b/c"), P("/a/b", "c"));
    EXPECT_EQ(splitPath("/c"), P("/", "c"));
    EXPECT_EQ(splitPath("c"), P("", "c"));
    EXPECT_EQ(splitPath("/a/b/"), P("/a", "b"));
    EXPECT_EQ(splitPath("/"), P("/", ""));

    EXPECT_EQ(SftpStore::temporaryName("index.html"), QByteArray(".index.html.part"));
    const QByteArray longest(255, 'n');
    const QByteArray temporary = SftpStore::temporaryName(longest);
    EXPECT_EQ(temporary.size(), 255);
    EXPECT_TRUE(temporary.startsWith(".nnn"));
    EXPECT_TRUE(temporary.endsWith("n.part"));
}

} // namespace
