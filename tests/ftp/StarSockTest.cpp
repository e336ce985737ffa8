// TStarSocket on loopback: connect and accept, data both ways, the close notification, refused
// connects, host lookups, time-outs and the errno-to-Winsock numbering the engine relies on.
#include "ftp/starsock.h"
#include "FtpTestSupport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using ftptest::waitFor;

namespace {

// A port on 127.0.0.1 that nothing listens on.
std::uint16_t closedPort() {
    TStarSocket probe;
    probe.SetAddressFromText(QStringLiteral("127.0.0.1"));
    probe.SetPort(0);
    probe.CreateSocket();
    probe.ListenSocket();
    const std::uint16_t port = probe.LocalPort();
    probe.CloseSocket();
    return port;
}

struct Pair {
    TStarSocket listener;
    TStarSocket client;
    TStarSocket server;
    QStringList log;

    bool open() {
        listener.SetAddressFromText(QStringLiteral("127.0.0.1"));
        listener.SetPort(0);
        listener.CreateSocket();
        listener.ListenSocket();
        if (listener.LastError != 0)
            return false;
        listener.OnAccept = [this](TStarSocket* s) {
            log << QStringLiteral("accept");
            s->AcceptInto(server);
        };
        client.OnConnect = [this](TStarSocket* s) {
            log << QStringLiteral("connect %1").arg(s->LastError);
        };
        client.CreateSocket();
        client.SetAddressFromText(QStringLiteral("127.0.0.1"));
        client.SetPort(listener.LocalPort());
        client.ConnectSocket();
        return client.LastError == 0 &&
               waitFor([this] { return client.SocketConnected() && server.SocketConnected(); });
    }
};

TEST(StarSockConnect, AcceptedPairCarriesBytesBothWays) {
    Pair p;
    ASSERT_TRUE(p.open());
    QStringList log = p.log;
    log.sort();
    EXPECT_EQ(log, (QStringList{QStringLiteral("accept"), QStringLiteral("connect 0")}));
    EXPECT_EQ(p.server.LastError, 0);
    EXPECT_EQ(p.client.LocalAddressText(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(p.server.PortHostOrder(), p.client.LocalPort());

    QByteArray received;
    p.server.OnRead = [&](TStarSocket* s) {
        char buffer[7];
        const int n = s->ReceiveData(buffer, sizeof buffer);
        received.append(buffer, n);
    };
    const QByteArray message("hello, server\r\n");
    ASSERT_EQ(p.client.SendData(message.constData(), int(message.size())), message.size());
    ASSERT_TRUE(waitFor([&] { return received.size() == message.size(); }));
    EXPECT_EQ(received, message);
}

TEST(StarSockConnect, PeerCloseRaisesOnCloseAndDropsTheHandle) {
    Pair p;
    ASSERT_TRUE(p.open());
    int closes = 0;
    p.client.OnClose = [&](TStarSocket* s) {
        ++closes;
        EXPECT_TRUE(s->HasHandle()); // the handle is dropped after the handler
    };
    p.server.CloseSocket();
    ASSERT_TRUE(waitFor([&] { return closes == 1; }));
    EXPECT_FALSE(p.client.HasHandle());
    EXPECT_FALSE(p.client.SocketConnected());
    EXPECT_EQ(p.client.LastError, 0);
}

TEST(StarSockConnect, SendThatWouldBlockReturnsZeroWithoutError) {
    Pair p;
    ASSERT_TRUE(p.open());
    // Nobody reads on the server side: the buffers fill and the send would block.
    const QByteArray block(1 << 16, 'b');
    int sent = 1;
    for (int i = 0; i < 10000 && sent > 0; ++i)
        sent = p.client.SendData(block.constData(), int(block.size()));
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(p.client.LastError, 0);
    // Once the reader drains, the armed write notification arrives.
    bool writable = false;
    p.client.OnWrite = [&](TStarSocket*) { writable = true; };
    p.client.WaitForWritable();
    char sink[1 << 16];
    ASSERT_TRUE(waitFor([&] {
        while (p.server.ReceiveData(sink, sizeof sink) > 0) {
        }
        return writable;
    }));
}

TEST(StarSockConnect, RefusedConnectReports10061) {
    TStarSocket s;
    int connects = 0;
    s.OnConnect = [&](TStarSocket*) { ++connects; };
    s.CreateSocket();
    s.SetAddressFromText(QStringLiteral("127.0.0.1"));
    s.SetPort(closedPort());
    s.ConnectSocket();
    // Loopback may refuse at once or through the notification; both say 10061.
    if (s.LastError == 0) {
        ASSERT_TRUE(waitFor([&] { return connects == 1; }));
    }
    EXPECT_EQ(s.LastError, wsa::ConnectionRefused);
    EXPECT_FALSE(s.SocketConnected());
}

TEST(StarSockConnect, ClosedSocketReportsNotASocket) {
    TStarSocket s;
    char buffer[4];
    EXPECT_EQ(s.SendData("x", 1), 0);
    EXPECT_EQ(s.LastError, wsa::NotSocket);
    EXPECT_EQ(s.ReceiveData(buffer, 4), 0);
    EXPECT_EQ(s.LastError, wsa::NotSocket);
    EXPECT_EQ(s.LocalAddressText(), QString());
    EXPECT_EQ(s.LocalPort(), 0);
    s.ConnectSocket();
    EXPECT_EQ(s.LastError, wsa::NotSocket);
}

TEST(StarSockLookup, LocalhostResolvesAndUnknownNameFails) {
    TStarSocket s;
    int done = 0;
    s.OnLookupDone = [&](TStarSocket*) { ++done; };
    s.LookupHost(QStringLiteral("localhost"));
    EXPECT_EQ(s.LastError, 0);
    EXPECT_TRUE(s.LookupPending());
    ASSERT_TRUE(waitFor([&] { return done == 1; }));
    EXPECT_EQ(s.LastError, 0);
    s.UseResolvedAddress();
    EXPECT_EQ(s.AddressText(), QStringLiteral("127.0.0.1"));

    s.LookupHost(QStringLiteral("no-such-host.invalid"));
    ASSERT_TRUE(waitFor([&] { return done == 2; }));
    EXPECT_GE(s.LastError, wsa::HostNotFound);
    EXPECT_LE(s.LastError, wsa::NoData);
}

TEST(StarSockLookup, CloseCancelsAPendingLookup) {
    TStarSocket s;
    int done = 0;
    s.OnLookupDone = [&](TStarSocket*) { ++done; };
    s.LookupHost(QStringLiteral("localhost"));
    s.CloseSocket();
    EXPECT_FALSE(s.LookupPending());
    QTimer settle;
    settle.setSingleShot(true);
    settle.start(300);
    waitFor([&] { return !settle.isActive(); });
    EXPECT_EQ(done, 0);
}

// A listener whose queue is full, so that further connects to it hang unanswered.
struct FullListener {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    std::vector<int> fillers;

    bool open() {
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 0) != 0)
            return false;
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        for (int i = 0; i < 4; ++i) {
            const int f = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(f, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers.push_back(f);
        }
        return true;
    }
    ~FullListener() {
        for (int f : fillers)
            ::close(f);
        ::close(fd);
    }
};

TEST(StarSockTimeOut, ConnectWithoutAnswerTimesOutAndCloses) {
    FullListener full;
    ASSERT_TRUE(full.open());
    TStarSocket s;
    int timeOuts = 0, connects = 0;
    s.OnTimeOut = [&](TStarSocket*) { ++timeOuts; };
    s.OnConnect = [&](TStarSocket*) { ++connects; };
    s.TimeOutConnect = 1;
    s.CreateSocket();
    s.SetAddressFromText(QStringLiteral("127.0.0.1"));
    s.SetPort(ntohs(full.address.sin_port));
    s.ConnectSocket();
    ASSERT_EQ(s.LastError, 0);
    EXPECT_TRUE(waitFor([&] { return timeOuts + connects > 0; }, 5000));
    EXPECT_EQ(timeOuts, 1);
    EXPECT_EQ(connects, 0);
    EXPECT_FALSE(s.HasHandle());
}

TEST(StarSockTimeOut, ZeroNeverStartsACountdown) {
    // The same unanswered connect with no time-out set: it keeps waiting past the point where a
    // one-second countdown would have ended it.
    FullListener full;
    ASSERT_TRUE(full.open());
    TStarSocket s;
    int timeOuts = 0, connects = 0;
    s.OnTimeOut = [&](TStarSocket*) { ++timeOuts; };
    s.OnConnect = [&](TStarSocket*) { ++connects; };
    s.TimeOutConnect = 0;
    s.CreateSocket();
    s.SetAddressFromText(QStringLiteral("127.0.0.1"));
    s.SetPort(ntohs(full.address.sin_port));
    s.ConnectSocket();
    ASSERT_EQ(s.LastError, 0);
    EXPECT_EQ(s.TimeOutCountdown, 0);
    EXPECT_FALSE(waitFor([&] { return timeOuts + connects > 0; }, 2500));
    EXPECT_EQ(s.TimeOutCountdown, 0);
    EXPECT_TRUE(s.HasHandle());
    s.CloseSocket();
}

TEST(StarSockOwnerMessages, OnlyNumbersAboveSocketNotifyReachTheOwner) {
    TStarSocket s;
    QList<int> seen;
    s.OnOwnerMessage = [&](int m) { seen << m; };
    s.PostOwnerMessage(TStarSocket::SocketNotify);
    s.PostOwnerMessage(TStarSocket::SocketNotify + 3);
    EXPECT_TRUE(seen.isEmpty()); // posted, not called
    ASSERT_TRUE(waitFor([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, QList<int>{TStarSocket::SocketNotify + 3});
}

TEST(StarSockErrors, ErrnoAndLookupResultsUseWinsockNumbers) {
    const std::pair<int, int> errnos[] = {
        {0, 0},
        {EWOULDBLOCK, 10035},
        {EINPROGRESS, 10035},
        {ECONNREFUSED, 10061},
        {ECONNRESET, 10054},
        {EPIPE, 10054},
        {ETIMEDOUT, 10060},
        {ENETUNREACH, 10051},
        {EHOSTUNREACH, 10065},
        {EADDRINUSE, 10048},
        {EADDRNOTAVAIL, 10049},
        {EACCES, 10013},
        {EBADF, 10038},
        {EMFILE, 10024},
        {ENETDOWN, 10050},
        {ECONNABORTED, 10053},
        {ENOTCONN, 10057},
        {EINVAL, 10022},
        {EIO, 10000},
    };
    for (const auto& [error, winsock] : errnos)
        EXPECT_EQ(WinsockErrorFromErrno(error), winsock) << error;
    EXPECT_EQ(WinsockErrorFromLookup(0, 0), 0);
    EXPECT_EQ(WinsockErrorFromLookup(EAI_NONAME, 0), 11001);
    EXPECT_EQ(WinsockErrorFromLookup(EAI_AGAIN, 0), 11002);
    EXPECT_EQ(WinsockErrorFromLookup(EAI_FAIL, 0), 11003);
    EXPECT_EQ(WinsockErrorFromLookup(EAI_NODATA, 0), 11004);
}

} // namespace
