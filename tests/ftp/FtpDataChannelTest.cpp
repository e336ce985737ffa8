// FtpDataChannel against a plain loopback peer standing in for the server's data side: a
// listing read to its last unterminated line, a file sent whole in both ways of reading it,
// a file shorter than its size, and a connection back that never comes.
#include "ftp/FtpDataChannel.h"

#include "FtpTestSupport.h"

#include <QTemporaryDir>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using ftptest::waitFor;

namespace {

using End = FtpDataChannel::End;

struct Owner : FtpDataChannel::Owner {
    QStringList events;
    QList<QByteArray> lines;
    QList<End> ends;
    qint64 startedSize = -1;

    void dataConnected(bool passive) override {
        events.append(passive ? QStringLiteral("connected passive")
                              : QStringLiteral("connected active"));
    }
    bool dataLine(const QByteArray& line) override {
        lines.append(line);
        return true;
    }
    bool dataStarted(qint64 size) override {
        startedSize = size;
        return true;
    }
    bool dataProgress() override { return true; }
    void dataEnded(End end) override { ends.append(end); }
};

// A loopback listener the channel connects to (passive mode).
int listenOnLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 1) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

// The server's connection back to the channel's listener (active mode).
int connectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Reads what is there without waiting; true once the peer has closed.
bool drain(int fd, QByteArray& into) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            into.append(buffer, got);
            continue;
        }
        return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
}

QByteArray pattern(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

int openFileWith(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return -1;
    file.close();
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
}

// An upload over a channel that listens (active mode), with the file's bytes and the size
// the channel is told; the peer connects back after STOR went out and reads to the end.
struct ActiveUpload {
    Owner owner;
    FtpDataChannel channel{owner};
    QByteArray received;

    void run(const QString& path, const QByteArray& bytes, qint64 size, bool straight) {
        channel.SendStraightFromFile = straight;
        channel.prepare(FtpDataChannel::Direction::Upload);
        const int fd = openFileWith(path, bytes);
        ASSERT_GE(fd, 0);
        channel.setFile(fd, size);
        QString address;
        std::uint16_t port = 0;
        ASSERT_TRUE(channel.listen(QStringLiteral("127.0.0.1"), address, port));
        EXPECT_EQ(address, QStringLiteral("127.0.0.1"));
        // STOR went out before the server connected back: the file waits for the connection.
        channel.commandSent();
        const int server = connectTo(port);
        ASSERT_GE(server, 0);
        ASSERT_TRUE(waitFor([&] { return drain(server, received); }, 20000));
        ::close(server);
    }
};

TEST(FtpDataChannel, PassiveListingEndsWithItsUnterminatedLastLine) {
    Owner owner;
    FtpDataChannel channel(owner);
    std::uint16_t port = 0;
    const int listener = listenOnLoopback(port);
    ASSERT_GE(listener, 0);
    channel.prepare(FtpDataChannel::Direction::Listing);
    ASSERT_TRUE(channel.connectTo(QStringLiteral("127.0.0.1"), port));
    const int server = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(server, 0);
    ASSERT_TRUE(waitFor([&] { return !owner.events.isEmpty(); }));
    EXPECT_EQ(owner.events, QStringList{QStringLiteral("connected passive")});

    const QByteArray listing = "drwxr-xr-x 2 u g 0 Jan 1 2026 images\r\n"
                               "-rw-r--r-- 1 u g 12 Jan 1 2026 a b.html\r\n"
                               "-rw-r--r-- 1 u g 3 Jan 1 2026 last";
    ASSERT_EQ(::send(server, listing.constData(), listing.size(), 0), listing.size());
    ::close(server);
    ::close(listener);
    ASSERT_TRUE(waitFor([&] { return !owner.ends.isEmpty(); }));
    EXPECT_EQ(owner.lines, (QList<QByteArray>{"drwxr-xr-x 2 u g 0 Jan 1 2026 images",
                                              "-rw-r--r-- 1 u g 12 Jan 1 2026 a b.html",
                                              "-rw-r--r-- 1 u g 3 Jan 1 2026 last"}));
    EXPECT_EQ(owner.ends, QList<End>{End::Complete});
    EXPECT_EQ(channel.bytesTransferred(), listing.size());
    EXPECT_FALSE(channel.socket().HasHandle());
    waitFor([] { return false; }, 100);
    EXPECT_EQ(owner.ends.size(), 1); // told once
}

TEST(FtpDataChannel, ActiveUploadSendsTheWholeFileStraightOrInBlocks) {
    QTemporaryDir dir;
    const QByteArray bytes = pattern(3 * 1024 * 1024 + 17);
    for (const bool straight : {true, false}) {
        SCOPED_TRACE(straight ? "sendfile" : "pread");
        ActiveUpload upload;
        upload.run(dir.filePath(QStringLiteral("up.bin")), bytes, bytes.size(), straight);
        EXPECT_EQ(upload.owner.events, QStringList{QStringLiteral("connected active")});
        EXPECT_EQ(upload.owner.startedSize, bytes.size());
        EXPECT_EQ(upload.owner.ends, QList<End>{End::Complete});
        EXPECT_EQ(upload.channel.bytesTransferred(), bytes.size());
        EXPECT_TRUE(upload.received == bytes);
        EXPECT_FALSE(upload.channel.listener().HasHandle());
    }
}

TEST(FtpDataChannel, AFileShorterThanItsSizeEndsAsAFailedRead) {
    QTemporaryDir dir;
    const QByteArray bytes = pattern(1000);
    for (const bool straight : {true, false}) {
        SCOPED_TRACE(straight ? "sendfile" : "pread");
        ActiveUpload upload;
        // The file was cut after its size was taken.
        upload.run(dir.filePath(QStringLiteral("short.bin")), bytes, 5000, straight);
        EXPECT_EQ(upload.owner.ends, QList<End>{End::FileRead});
        EXPECT_TRUE(upload.received == bytes);
        EXPECT_FALSE(upload.channel.socket().HasHandle());
    }
}

TEST(FtpDataChannel, AConnectionBackThatNeverComesTimesOut) {
    Owner owner;
    FtpDataChannel channel(owner);
    channel.TimeOut = 1;
    channel.prepare(FtpDataChannel::Direction::Listing);
    QString address;
    std::uint16_t port = 0;
    ASSERT_TRUE(channel.listen(QStringLiteral("127.0.0.1"), address, port));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitFor([&] { return !owner.ends.isEmpty(); }, 5000));
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_EQ(owner.ends, QList<End>{End::TimedOut});
    EXPECT_TRUE(owner.events.isEmpty());
    EXPECT_FALSE(channel.listener().HasHandle());
}

} // namespace
