// TStarFtp against scripted servers that stop answering, hang in a listing or an upload, send
// odd greetings and end lines, or keep the connection open after 221: every case ends by its
// time-out, by Abort or by Quit within its limit, and the same object then logs in again. Also
// handlers that delete the engine under way.
#include "FtpTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <memory>

using ftptest::Recorder;
using ftptest::waitFor;

namespace {

const char* kLogin = R"(["send", "220 ready\r\n"], ["expect", "USER"], ["send", "331 pass\r\n"],
    ["expect", "PASS"], ["send", "230 ok\r\n"], ["expect", "SYST"], ["send", "215 UNIX\r\n"])";

// One scripted server: its scenario file and its process.
struct Scripted {
    QTemporaryFile scenario;
    ftptest::PythonServer server;

    int start(const QString& steps) {
        if (!scenario.open())
            return 0;
        scenario.write((QLatin1Char('[') + steps + QLatin1Char(']')).toUtf8());
        scenario.flush();
        return server.start(QStringLiteral("scripted_ftp_server.py"), {scenario.fileName()});
    }
};

class FtpNeverStuck : public ::testing::Test {
protected:
    void SetUp() override {
        m_ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
        m_ftp.UserName = QStringLiteral("u");
        m_ftp.UserPassword = QStringLiteral("p");
        m_ftp.ReplyTimeOut = 1;
        m_ftp.DataTimeOut = 1;
    }

    void connectTo(Scripted& s, const QString& steps) {
        const int port = s.start(steps);
        ASSERT_GT(port, 0) << s.server.error().toStdString();
        m_ftp.FtpPort = port;
        m_clock.start();
        m_ftp.Connect();
    }

    // The connection ended with exactly one quit point (and the error given, if any), nothing
    // is busy or open, and a second Connect of the same object logs in.
    void expectEndedAndReusable(QList<int> errors) {
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000))
            << m_rec.events.join(',').toStdString();
        EXPECT_EQ(m_rec.errors, errors);
        EXPECT_FALSE(m_ftp.Busy());
        EXPECT_FALSE(m_ftp.Connected());
        EXPECT_FALSE(m_ftp.HasHandle());
        EXPECT_FALSE(m_ftp.DataSocket().HasHandle());
        EXPECT_FALSE(m_ftp.ListenerSocket().HasHandle());
        waitFor([] { return false; }, 100); // nothing more arrives
        EXPECT_EQ(m_rec.events.count(QStringLiteral("quit")), 1);

        Scripted again;
        m_rec.events.clear();
        m_ftp.InitialDirectory.clear(); // a listing set it; the second server expects no CWD
        connectTo(again, QString::fromLatin1(kLogin));
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")))
            << m_rec.events.join(',').toStdString() << again.server.finish().toStdString();
        EXPECT_TRUE(m_ftp.Connected());
        EXPECT_FALSE(m_ftp.Busy());
    }

    qint64 elapsedMs() const { return m_clock.elapsed(); }

    Scripted m_first;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
    QElapsedTimer m_clock;
};

TEST_F(FtpNeverStuck, ServerSilentAfterTheGreetingTimesOut) {
    connectTo(m_first, QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "USER"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000));
    EXPECT_GE(elapsedMs(), 900);
    EXPECT_LT(elapsedMs(), 3000);
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("USER u")});
    expectEndedAndReusable({8});
}

TEST_F(FtpNeverStuck, ServerSilentAfterUserTimesOut) {
    connectTo(m_first, QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "USER"],
        ["send", "331 pass\r\n"], ["expect", "PASS"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000));
    EXPECT_LT(elapsedMs(), 3000);
    EXPECT_EQ(m_ftp.ReplyState(), 100);
    expectEndedAndReusable({8});
}

TEST_F(FtpNeverStuck, NoTimeOutWhenItIsZeroButAbortEndsTheWait) {
    m_ftp.ReplyTimeOut = 0;
    connectTo(m_first, QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "USER"])"));
    waitFor([] { return false; }, 1500);
    EXPECT_TRUE(m_rec.errors.isEmpty());
    EXPECT_TRUE(m_ftp.Busy());
    EXPECT_EQ(m_ftp.ReplyState(), 1);
    m_ftp.Abort();
    EXPECT_FALSE(m_ftp.Busy()); // at once, not only at the quit point
    // A second Abort before the quit point adds nothing.
    m_ftp.Abort();
    expectEndedAndReusable({});
}

TEST_F(FtpNeverStuck, MultiLineReplyWithoutItsEndLineTimesOut) {
    connectTo(m_first, QStringLiteral(R"(["send", "220-hello\r\n220-more\r\n220\r\n2200 x\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000));
    EXPECT_TRUE(m_rec.commands.isEmpty());
    expectEndedAndReusable({8});
}

// Login, then an upload whose STOR the server answers with 150; afterSteps follow.
QString storeScenario(const QString& afterSteps) {
    return QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["expect", "TYPE I"],
        ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"],
        ["expect", "STOR up.bin"], ["send", "150 go\r\n"])") +
           afterSteps;
}

class FtpNeverStuckUpload : public FtpNeverStuck {
protected:
    void SetUp() override {
        FtpNeverStuck::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_ftp.LocalFile = m_dir.path() + QStringLiteral("/up.bin");
        QFile f(m_ftp.LocalFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(16 * 1024 * 1024, 'u'));
        f.close();
        m_ftp.RemoteFile = QStringLiteral("up.bin");
    }
    QTemporaryDir m_dir;
};

TEST_F(FtpNeverStuckUpload, ServerThatNeverConnectsBackAfter150TimesOut) {
    connectTo(m_first, storeScenario({}));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_clock.start();
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000));
    EXPECT_LT(elapsedMs(), 3000);
    EXPECT_FALSE(m_rec.has(QStringLiteral("stored")));
    expectEndedAndReusable({8});
}

TEST_F(FtpNeverStuckUpload, TransferThatStallsTimesOut) {
    // The server connects back and reads nothing: the socket fills and progress stops.
    connectTo(m_first, storeScenario(QStringLiteral(R"(, ["data_open", "", 4096])")));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 8000));
    EXPECT_GT(m_ftp.BytesTransferred(), 0);
    EXPECT_LT(m_ftp.BytesTransferred(), 16 * 1024 * 1024);
    EXPECT_EQ(m_rec.texts(FtpInfo::FileSize), QStringList{QStringLiteral("16777216")});
    expectEndedAndReusable({8});
}

TEST_F(FtpNeverStuckUpload, AbortFromTheProgressHandlerEndsTheUpload) {
    m_ftp.DataTimeOut = 0;
    m_ftp.ReplyTimeOut = 0;
    connectTo(m_first, storeScenario(QStringLiteral(R"(, ["data_open", "", 4096])")));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    auto record = m_ftp.OnFtpInfo;
    m_ftp.OnFtpInfo = [&](TStarFtp* ftp, FtpInfo code, const QString& text) {
        record(ftp, code, text);
        if (code == FtpInfo::DataProgress)
            ftp->Abort();
    };
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000));
    EXPECT_EQ(m_rec.count(FtpInfo::DataProgress), 1);
    EXPECT_EQ(m_rec.count(FtpInfo::TransferDone), 0);
    EXPECT_FALSE(m_ftp.Success());
    m_ftp.OnFtpInfo = record;
    expectEndedAndReusable({});
}

// Login, PWD, TYPE A, PORT, LIST and a 150; afterSteps follow.
QString listingScenario(const QString& pwdReply, const QString& afterSteps) {
    return QString::fromLatin1(kLogin) +
           QStringLiteral(R"(, ["expect", "PWD"],
        ["send", "%1\r\n"], ["expect", "TYPE A"], ["send", "200 ok\r\n"], ["expect", "PORT"],
        ["send", "200 ok\r\n"], ["expect", "LIST"], ["send", "150 here\r\n"])")
               .arg(pwdReply) +
           afterSteps;
}

TEST_F(FtpNeverStuck, ListingThatHangsHalfWayTimesOut) {
    connectTo(m_first, listingScenario(
                           QStringLiteral("257 \\\"/\\\""),
                           QStringLiteral(R"(, ["data_open", "-rw 1 a b 5 x.html\r\n-rw", 0])")));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 5000));
    EXPECT_EQ(m_rec.texts(FtpInfo::ListingLine), QStringList{QStringLiteral("-rw 1 a b 5 x.html")});
    EXPECT_FALSE(m_rec.has(QStringLiteral("listed")));
    expectEndedAndReusable({8});
}

TEST_F(FtpNeverStuck, QuitWhileAListingHangsSendsQuitAndEndsAfterAShortWait) {
    m_ftp.DataTimeOut = 0;
    m_ftp.ReplyTimeOut = 0;
    m_ftp.QuitWaitMs = 300;
    connectTo(m_first,
              listingScenario(QStringLiteral("257 \\\"/\\\""),
                              QStringLiteral(R"(, ["data_open", "-rw 1 a b 5 x.html\r\n", 0])")));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.GetListing();
    ASSERT_TRUE(waitFor([&] { return m_rec.count(FtpInfo::ListingLine) == 1; }));
    m_rec.events.clear();
    m_clock.start();
    m_ftp.Quit();
    EXPECT_FALSE(m_rec.has(QStringLiteral("busy")));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 3000));
    EXPECT_GE(elapsedMs(), 250);
    // The listing never finished: it reports no completion of its own.
    EXPECT_EQ(m_rec.events, QStringList{QStringLiteral("quit")});
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_EQ(m_rec.commands.last(), QStringLiteral("QUIT"));
    m_ftp.CloseSocket();
    EXPECT_TRUE(m_first.server.finish().contains(QStringLiteral("> QUIT\n")));
    expectEndedAndReusable({});
}

TEST_F(FtpNeverStuck, QuitDuringTheLoginIsNeverRefused) {
    m_ftp.ReplyTimeOut = 0;
    m_ftp.QuitWaitMs = 300;
    // Before the connection is even up there is nobody to tell: it ends at once.
    connectTo(m_first, QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "USER"])"));
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 1000));
    EXPECT_EQ(m_rec.events, QStringList{QStringLiteral("quit")});
    EXPECT_TRUE(m_rec.commands.isEmpty());

    // Logged half-way in, on a server that answers nothing more: QUIT goes out, and the
    // connection ends after the quit wait.
    Scripted silent;
    m_rec.events.clear();
    connectTo(silent, QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "USER"])"));
    ASSERT_TRUE(waitFor([&] { return m_rec.commands.size() == 1; }));
    m_clock.start();
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 2000));
    EXPECT_GE(elapsedMs(), 250);
    EXPECT_EQ(m_rec.commands, (QStringList{QStringLiteral("USER u"), QStringLiteral("QUIT")}));
    EXPECT_EQ(m_rec.events, QStringList{QStringLiteral("quit")});
    expectEndedAndReusable({});
}

TEST_F(FtpNeverStuck, ServerThatKeepsTheConnectionAfter221IsLeftByTheClient) {
    connectTo(m_first, QString::fromLatin1(kLogin) +
                           QStringLiteral(R"(, ["expect", "QUIT"], ["send", "221 bye\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_rec.events.clear();
    m_clock.start();
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"), 3000));
    EXPECT_LT(elapsedMs(), m_ftp.QuitWaitMs);
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("quit")}));
    EXPECT_EQ(m_rec.texts(FtpInfo::NotConnected), QStringList{QStringLiteral("Disconnected")});
    EXPECT_FALSE(m_ftp.HasHandle());
    // The server saw the client close; it never closed on its own.
    const QString log = m_first.server.finish();
    EXPECT_TRUE(log.endsWith(QStringLiteral("> QUIT\nend EOFError\n"))) << log.toStdString();
    expectEndedAndReusable({});
}

TEST_F(FtpNeverStuck, GreetingAfter120AndOddEndLinesLogIn) {
    // 120 first, then a multi-line greeting whose end line holds control bytes; lines that
    // only look like an end line (a lone code, a code with a fourth digit, an indented code)
    // and lines with a lone CR or LF are part of the text.
    connectTo(m_first, QStringLiteral(
                           R"(["send", "120 ready in a moment\r\n"],
        ["send", "220-Welcome\r\n220\r\n2201 not yet\r\n 220 indented\r\n220-a\rb\nc\r\n220 \u0000\u0007 ok\r\n"],
        ["expect", "USER"], ["send", "230-\r\n230 \u001b[1mlogged in\r\n"], ["expect", "SYST"],
        ["send", "215 UNIX Type: L8\r\n"], ["expect", "PWD"],
        ["send", "257 \"/\"\"x\"\"\" is current\r\n"], ["expect", "TYPE A"],
        ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"], ["expect", "LIST"],
        ["send", "150 here\r\n"], ["data_out", ""], ["send", "226 done\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_rec.commands, (QStringList{QStringLiteral("USER u"), QStringLiteral("SYST")}));
    EXPECT_EQ(m_ftp.ServerType, ftpstUNIX);
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_ftp.InitialDirectory, QStringLiteral("/\"x\""));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_TRUE(m_rec.errors.isEmpty());
}

TEST_F(FtpNeverStuck, RepliesThatArriveWhileAHandlerRunsALoopOfItsOwnAreNotLost) {
    // The user name is asked for by a dialog (a loop of its own); the server's next reply
    // comes meanwhile.
    m_ftp.UserName.clear();
    m_ftp.OnFtpNeedInfo = [&](TStarFtp*, TFtpInfoNeeded, QString& value) {
        waitFor([] { return false; }, 500);
        value = QStringLiteral("late");
    };
    connectTo(m_first, QStringLiteral(R"(["send", "220 ready\r\n"], ["sleep", 0.2],
        ["send", "331 pass\r\n"], ["expect", "USER late"], ["expect", "PASS"],
        ["send", "230 ok\r\n"], ["expect", "SYST"], ["send", "215 UNIX\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin"), 5000));
    EXPECT_EQ(m_rec.commands,
              (QStringList{QStringLiteral("USER late"), QStringLiteral("PASS ********"),
                           QStringLiteral("SYST")}));
}

TEST_F(FtpNeverStuck, A1xxWhereNoneIsExpectedDoesNotEndTheCommand) {
    connectTo(m_first, QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["expect", "MKD"],
        ["send", "150 odd\r\n"], ["send", "257 made\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_rec.events.clear();
    m_ftp.MakeDirectory(QStringLiteral("d"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("created")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("created")}));
    EXPECT_EQ(m_rec.count(FtpInfo::UnexpectedReply), 0);
}

TEST_F(FtpNeverStuck, TheTypeIsSentOnlyWhenItChanges) {
    QTemporaryDir dir;
    const QString local = dir.path() + QStringLiteral("/a.bin");
    QFile f(local);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();
    const QString upload = QStringLiteral(R"(, ["expect", "PORT"], ["send", "200 ok\r\n"],
        ["expect", "STOR"], ["send", "150 go\r\n"], ["data_in", -1], ["send", "226 ok\r\n"])");
    connectTo(m_first, QString::fromLatin1(kLogin) +
                           QStringLiteral(R"(, ["expect", "TYPE I"], ["send", "200 ok\r\n"])") +
                           upload + upload +
                           QStringLiteral(R"(, ["expect", "TYPE A"], ["send", "200 ok\r\n"])") +
                           upload);
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.LocalFile = local;
    m_ftp.RemoteFile = QStringLiteral("a.bin");
    for (TTransferType mode : {BinaryTransfer, BinaryTransfer, AsciiTransfer}) {
        m_rec.events.clear();
        m_ftp.TransferMode = mode;
        m_ftp.StoreFile();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
        EXPECT_TRUE(m_ftp.Success());
    }
    m_ftp.CloseSocket();
    const QString log = m_first.server.finish();
    EXPECT_EQ(log.count(QStringLiteral("data_in 3 ")), 3) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("> TYPE")), 2) << log.toStdString();
}

// Handlers that delete the engine: nothing of it may be touched afterwards (run under the
// sanitizer build, a use after the delete is a failure; here it would be a crash).
TEST(FtpDeletedFromItsHandler, DuringAnUploadAndAtATimeOut) {
    QTemporaryDir dir;
    const QString local = dir.path() + QStringLiteral("/up.bin");
    QFile f(local);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4 * 1024 * 1024, 'd'));
    f.close();
    for (const FtpInfo deleteAt : {FtpInfo::DataProgress, FtpInfo::TransferDone}) {
        Scripted s;
        const int port = s.start(storeScenario(QStringLiteral(R"(, ["data_in", -1])")));
        ASSERT_GT(port, 0);
        auto* ftp = new TStarFtp;
        ftp->SetFtpServer(QStringLiteral("127.0.0.1"));
        ftp->FtpPort = port;
        ftp->UserName = QStringLiteral("u");
        ftp->UserPassword = QStringLiteral("p");
        ftp->LocalFile = local;
        ftp->RemoteFile = QStringLiteral("up.bin");
        bool deleted = false;
        ftp->OnLoggedIn = [](TStarFtp* self) { self->StoreFile(); };
        ftp->OnFtpInfo = [&](TStarFtp* self, FtpInfo code, const QString&) {
            if (code == deleteAt && !deleted) {
                deleted = true;
                delete self;
            }
        };
        ftp->Connect();
        ASSERT_TRUE(waitFor([&] { return deleted; }));
        waitFor([] { return false; }, 200);
    }
    Scripted silent;
    const int port =
        silent.start(QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "USER"])"));
    ASSERT_GT(port, 0);
    auto* ftp = new TStarFtp;
    ftp->SetFtpServer(QStringLiteral("127.0.0.1"));
    ftp->FtpPort = port;
    ftp->UserName = QStringLiteral("u");
    ftp->ReplyTimeOut = 1;
    bool deleted = false;
    ftp->OnFtpError = [&](TStarFtp* self, FtpError, const QString&) {
        deleted = true;
        delete self;
    };
    ftp->Connect();
    ASSERT_TRUE(waitFor([&] { return deleted; }, 5000));
    waitFor([] { return false; }, 200);
}

} // namespace
