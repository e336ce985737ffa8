// TStarFtp against a real FTP server (pyftpdlib) on loopback: login, server type, directories,
// listings, uploads compared byte for byte, refused logins and connects, busy refusals, and
// the server's own checks of the PORT argument.
#include "FtpTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <sys/stat.h>

#include <gtest/gtest.h>

using ftptest::Recorder;
using ftptest::waitFor;

namespace {

class FtpPyftpdlib : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_local.isValid());
        QDir(m_home.path()).mkpath(QStringLiteral("site/images"));
        QDir(m_home.path()).mkpath(QStringLiteral("site/old"));
        writeFile(m_home.path() + QStringLiteral("/site/index.html"), "<html></html>");
        writeFile(m_home.path() + QStringLiteral("/site/notes.txt"), "notes");
        m_port = ftptest::startPyftpd(m_server, m_home.path(), m_ftp);
        ASSERT_GT(m_port, 0) << "pyftpdlib did not start: " << m_server.error().toStdString();
    }
    void TearDown() override { m_server.stop(); }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    void login() {
        m_ftp.Connect();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")))
            << m_rec.events.join(',').toStdString();
        m_rec.events.clear();
        m_rec.commands.clear();
    }

    // Uploads bytes as `name` and returns what the server stored.
    QByteArray upload(const QByteArray& bytes, const QString& name) {
        const QString local = m_local.path() + QLatin1Char('/') + name;
        writeFile(local, bytes);
        m_ftp.LocalFile = local;
        m_ftp.RemoteFile = name;
        m_rec.events.clear();
        m_rec.infos.clear();
        m_ftp.StoreFile();
        EXPECT_TRUE(m_rec.waitEvent(QStringLiteral("stored"), 20000));
        EXPECT_TRUE(m_ftp.Success());
        return readFile(m_home.path() + QStringLiteral("/site/") + name);
    }

    QTemporaryDir m_home;
    QTemporaryDir m_local;
    ftptest::PythonServer m_server;
    int m_port = 0;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
};

TEST_F(FtpPyftpdlib, LoginDetectsUnixChangesToInitialDirectoryAndLists) {
    m_ftp.InitialDirectory = QStringLiteral("/site");
    m_ftp.ServerType = ftpstVM; // always replaced at login
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_rec.commands,
              (QStringList{QStringLiteral("USER webmaster"), QStringLiteral("PASS ********"),
                           QStringLiteral("SYST"), QStringLiteral("CWD /site")}));
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("loggedin")}));
    EXPECT_EQ(m_rec.texts(FtpInfo::Connected), QStringList{QStringLiteral("127.0.0.1")});
    EXPECT_EQ(m_rec.texts(FtpInfo::LoggedIn), QStringList{QStringLiteral("Logged in")});
    EXPECT_EQ(m_ftp.ServerType, ftpstUNIX);
    EXPECT_TRUE(m_ftp.Connected());
    EXPECT_FALSE(m_ftp.Busy());

    m_rec.events.clear();
    m_rec.commands.clear();
    m_ftp.InitialDirectory.clear();
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("listed")}));
    ASSERT_EQ(m_rec.commands.size(), 4);
    EXPECT_EQ(m_rec.commands[0], QStringLiteral("PWD"));
    EXPECT_EQ(m_rec.commands[1], QStringLiteral("TYPE A"));
    EXPECT_TRUE(m_rec.commands[2].startsWith(QStringLiteral("PORT 127,0,0,1,")));
    EXPECT_EQ(m_rec.commands[3], QStringLiteral("LIST"));
    EXPECT_EQ(m_ftp.InitialDirectory, QStringLiteral("/site"));
    QStringList files = m_ftp.FileList(), dirs = m_ftp.DirectoryList();
    files.sort();
    dirs.sort();
    EXPECT_EQ(files, (QStringList{QStringLiteral("index.html"), QStringLiteral("notes.txt")}));
    EXPECT_EQ(dirs, (QStringList{QStringLiteral("images"), QStringLiteral("old")}));
    EXPECT_EQ(m_ftp.RawListing().size(), 4);
    EXPECT_EQ(m_rec.texts(FtpInfo::ListingLine), m_ftp.RawListing());
    EXPECT_EQ(m_rec.texts(FtpInfo::ListingReady), QStringList{QStringLiteral("Listing ready")});
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_GT(m_ftp.BytesTransferred(), 0);
}

TEST_F(FtpPyftpdlib, DirectoryAndFileCommandsEndInTheirEventsAndTellTheOutcome) {
    m_ftp.InitialDirectory = QStringLiteral("/site");
    login();
    const QString site = m_home.path() + QStringLiteral("/site/");

    m_ftp.MakeDirectory(QStringLiteral("new"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("created")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_TRUE(QDir(site + QStringLiteral("new")).exists());

    // A refused MKD still ends in its completion event; Success says it failed.
    m_rec.events.clear();
    m_ftp.MakeDirectory(QStringLiteral("new"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("created")));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_EQ(m_rec.count(FtpInfo::UnexpectedReply), 1);

    m_rec.events.clear();
    m_ftp.RemoveDirectory(QStringLiteral("new"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("removed")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_FALSE(QDir(site + QStringLiteral("new")).exists());

    m_rec.events.clear();
    m_ftp.RenameFile(QStringLiteral("notes.txt"), QStringLiteral("readme.txt"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("renamed")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_EQ(readFile(site + QStringLiteral("readme.txt")), QByteArray("notes"));
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("notes.txt")));

    m_rec.events.clear();
    m_ftp.RenameFile(QStringLiteral("missing.txt"), QStringLiteral("x.txt"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("renamed")));
    EXPECT_FALSE(m_ftp.Success());

    m_rec.events.clear();
    m_ftp.DeleteFile(QStringLiteral("readme.txt"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("deleted")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("readme.txt")));

    m_rec.events.clear();
    m_ftp.ChangeDirectory(QStringLiteral("/site/images"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("changed")));
    EXPECT_TRUE(m_ftp.Success());
    m_rec.events.clear();
    m_ftp.ChangeDirectory(QStringLiteral("/nowhere"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("changed")));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_EQ(m_ftp.InitialDirectory, QStringLiteral("/nowhere"));
    EXPECT_TRUE(m_ftp.Connected());

    m_rec.events.clear();
    m_rec.commands.clear();
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("QUIT")});
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("quit")}));
    EXPECT_EQ(m_rec.texts(FtpInfo::NotConnected), QStringList{QStringLiteral("Disconnected")});
    EXPECT_FALSE(m_ftp.Connected());
}

TEST_F(FtpPyftpdlib, UploadsArriveByteForByteWithProgressAtMostEvery50Ms) {
    m_ftp.InitialDirectory = QStringLiteral("/site");
    login();
    struct Case {
        const char* name;
        int size;
        int progress; // a small file is out in one go: one progress report, none when empty
    };
    const Case cases[] = {{"empty.bin", 0, 0}, {"two.bin", 4096, 1}, {"three.bin", 4097, 1}};
    for (const Case& c : cases) {
        QByteArray bytes(c.size, '\0');
        for (int i = 0; i < c.size; ++i)
            bytes[i] = char(i * 7 + 3);
        EXPECT_EQ(upload(bytes, QString::fromLatin1(c.name)), bytes) << c.name;
        EXPECT_EQ(m_rec.count(FtpInfo::DataProgress), c.progress) << c.name;
        EXPECT_EQ(m_rec.texts(FtpInfo::FileSize), QStringList{QString::number(c.size)});
        EXPECT_EQ(m_rec.texts(FtpInfo::TransferDone), QStringList{QStringLiteral("Transfer done")});
        EXPECT_EQ(m_ftp.BytesTransferred(), c.size);
        EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("stored")}));
    }
    EXPECT_TRUE(m_rec.commands.contains(QStringLiteral("TYPE I")));
    EXPECT_TRUE(m_rec.commands.contains(QStringLiteral("STOR three.bin")));

    QByteArray big(3 * 1024 * 1024 + 5, '\0');
    QRandomGenerator random(42);
    random.fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
    const QByteArray stored = upload(big, QStringLiteral("big.bin"));
    EXPECT_EQ(stored.size(), big.size());
    EXPECT_TRUE(stored == big);
    // Progress comes with the first bytes, then at most every 50 ms.
    EXPECT_LE(m_rec.count(FtpInfo::DataProgress), m_ftp.ElapsedMs() / 50 + 1);
    EXPECT_GE(m_rec.count(FtpInfo::DataProgress), 1);
}

TEST_F(FtpPyftpdlib, UploadsReadInBlocksWhereTheFileCannotGoStraightToTheSocket) {
    m_ftp.InitialDirectory = QStringLiteral("/site");
    m_ftp.SendStraightFromFile = false;
    login();
    // Not a multiple of the block size: the last block is a short one.
    QByteArray big(3 * TStarFtp::UploadBlockSize + 12345, '\0');
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32*>(big.data()), big.size() / 4);
    EXPECT_TRUE(upload(big, QStringLiteral("blocks.bin")) == big);
    EXPECT_TRUE(upload(QByteArray("x"), QStringLiteral("one.bin")) == QByteArray("x"));
    EXPECT_TRUE(upload(QByteArray(), QStringLiteral("none.bin")).isEmpty());
    EXPECT_TRUE(QFile::exists(m_home.path() + QStringLiteral("/site/none.bin")));
}

TEST_F(FtpPyftpdlib, AFileThatShrinksUnderwayIsReportedAs23AndTheConnectionGoesOn) {
    login();
    for (const bool straight : {true, false}) {
        const QString local = m_local.path() + QStringLiteral("/shrinks.bin");
        writeFile(local, QByteArray(600000, 's'));
        m_ftp.LocalFile = local;
        m_ftp.RemoteFile = QStringLiteral("shrinks.bin");
        m_ftp.SendStraightFromFile = straight;
        m_rec.events.clear();
        m_rec.errors.clear();
        auto record = m_ftp.OnFtpInfo;
        m_ftp.OnFtpInfo = [&](TStarFtp* f, FtpInfo code, const QString& text) {
            record(f, code, text);
            // The size is taken; then someone cuts the file down before a byte went out.
            if (code == FtpInfo::FileSize)
                QFile::resize(local, 0);
        };
        m_ftp.StoreFile();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored"))) << straight;
        m_ftp.OnFtpInfo = record;
        EXPECT_EQ(m_rec.errors, QList<int>{23}) << straight;
        EXPECT_FALSE(m_ftp.Success()) << straight;
        EXPECT_TRUE(m_ftp.Connected()) << straight;
        EXPECT_FALSE(m_ftp.Busy()) << straight;
    }
}

// The sender at full size: 200 MB arrive byte for byte (in memory where the machine has it).
TEST(FtpPyftpdlibLarge, TwoHundredMegabytesArriveByteForByte) {
    const QString scratch =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir home(scratch + QStringLiteral("/quillon-test-XXXXXX"));
    QTemporaryDir local(scratch + QStringLiteral("/quillon-test-XXXXXX"));
    ASSERT_TRUE(home.isValid() && local.isValid());
    const qint64 size = 200LL * 1024 * 1024;
    const QString path = local.path() + QStringLiteral("/big.bin");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray chunk(1 << 20, '\0');
        QRandomGenerator random(2026);
        for (qint64 written = 0; written < size; written += chunk.size()) {
            random.fillRange(reinterpret_cast<quint32*>(chunk.data()), chunk.size() / 4);
            ASSERT_EQ(f.write(chunk), chunk.size());
        }
    }
    ftptest::PythonServer server;
    const int port = server.start(QStringLiteral("pyftpd_server.py"),
                                  {home.path(), QStringLiteral("u"), QStringLiteral("p")});
    ASSERT_GT(port, 0) << server.error().toStdString();
    TStarFtp ftp;
    Recorder rec(ftp);
    ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
    ftp.FtpPort = port;
    ftp.UserName = QStringLiteral("u");
    ftp.UserPassword = QStringLiteral("p");
    ftp.Connect();
    ASSERT_TRUE(rec.waitEvent(QStringLiteral("loggedin")));
    ftp.LocalFile = path;
    ftp.RemoteFile = QStringLiteral("big.bin");
    QElapsedTimer clock;
    QList<qint64> progressAt;
    auto record = ftp.OnFtpInfo;
    ftp.OnFtpInfo = [&](TStarFtp* f, FtpInfo code, const QString& text) {
        if (code == FtpInfo::DataProgress)
            progressAt.append(clock.elapsed());
        record(f, code, text);
    };
    clock.start();
    ftp.StoreFile();
    ASSERT_TRUE(rec.waitEvent(QStringLiteral("stored"), 120000));
    EXPECT_TRUE(ftp.Success());
    EXPECT_EQ(ftp.BytesTransferred(), size);
    EXPECT_EQ(rec.texts(FtpInfo::FileSize), QStringList{QString::number(size)});
    ASSERT_FALSE(progressAt.isEmpty());
    for (qsizetype i = 1; i < progressAt.size(); ++i)
        EXPECT_GE(progressAt[i] - progressAt[i - 1], TStarFtp::ProgressIntervalMs);
    QFile sent(path), stored(home.path() + QStringLiteral("/big.bin"));
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly) && stored.open(QIODevice::ReadOnly));
    ASSERT_EQ(stored.size(), size);
    const uchar* a = sent.map(0, size);
    const uchar* b = stored.map(0, size);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(std::equal(a, a + size, b));
}

TEST_F(FtpPyftpdlib, MissingLocalOrRemoteNameIsReportedAndStillEndsInReady) {
    login();
    m_ftp.RemoteFile.clear();
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
    EXPECT_EQ(m_rec.errors, QList<int>{24});
    m_rec.events.clear();
    m_ftp.RemoteFile = QStringLiteral("x.bin");
    m_ftp.LocalFile = m_local.path() + QStringLiteral("/does-not-exist");
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
    EXPECT_EQ(m_rec.errors, (QList<int>{24, 21}));
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("error 21 Error"), QStringLiteral("ready"),
                                         QStringLiteral("stored")}));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_TRUE(m_ftp.Connected());

    // A FIFO or a folder is no file to upload: refused at once, nothing is sent.
    const QString fifo = m_local.path() + QStringLiteral("/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& local : {fifo, m_local.path()}) {
        m_rec.events.clear();
        m_rec.commands.clear();
        m_ftp.LocalFile = local;
        m_ftp.StoreFile();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
        EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("error 21 Error"),
                                             QStringLiteral("ready"), QStringLiteral("stored")}));
        EXPECT_TRUE(m_rec.commands.isEmpty());
    }
}

TEST_F(FtpPyftpdlib, WrongPasswordReports27ThenQuits) {
    m_ftp.UserPassword = QStringLiteral("wrong");
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.commands,
              (QStringList{QStringLiteral("USER webmaster"), QStringLiteral("PASS ********"),
                           QStringLiteral("QUIT")}));
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("error 27 Error"), QStringLiteral("ready"),
                                         QStringLiteral("quit")}));
    EXPECT_FALSE(m_ftp.Connected());
    EXPECT_FALSE(m_ftp.Busy());
    EXPECT_FALSE(m_ftp.Success());
}

TEST_F(FtpPyftpdlib, EmptyPasswordIsAskedFor) {
    m_ftp.UserPassword.clear();
    m_rec.needReply = QStringLiteral("s3cret");
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_rec.events.first(), QStringLiteral("need 2"));
    EXPECT_EQ(m_ftp.UserPassword, QStringLiteral("s3cret"));
}

TEST_F(FtpPyftpdlib, RefusedConnectIsError12AndTheComponentConnectsAgainAfterwards) {
    m_server.stop(); // nothing listens on the port any more
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.errors, QList<int>{12});
    EXPECT_TRUE(m_ftp.ShutDown());
    EXPECT_FALSE(m_ftp.Connected());
    EXPECT_FALSE(m_ftp.Busy());

    // The same component after a shut-down: a new Connect starts clean.
    const int port =
        m_server.start(QStringLiteral("pyftpd_server.py"),
                       {m_home.path(), QStringLiteral("webmaster"), QStringLiteral("s3cret")});
    ASSERT_GT(port, 0);
    m_ftp.FtpPort = port;
    m_rec.events.clear();
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_FALSE(m_ftp.ShutDown());
    m_rec.events.clear();
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_ftp.DirectoryList(), QStringList{QStringLiteral("site")});
}

TEST_F(FtpPyftpdlib, HostNameIsLookedUpFirst) {
    m_ftp.SetFtpServer(QStringLiteral("localhost"));
    EXPECT_EQ(m_ftp.HostName(), QStringLiteral("localhost"));
    EXPECT_EQ(m_ftp.NumericAddress(), QString());
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_rec.texts(FtpInfo::LookupStarted), QStringList{QStringLiteral("localhost")});
    EXPECT_EQ(m_rec.texts(FtpInfo::LookupDone), QStringList{QStringLiteral("127.0.0.1")});
}

TEST_F(FtpPyftpdlib, SecondOperationWhileBusyIsRefusedWithoutDisturbingTheFirst) {
    m_ftp.Connect();
    m_ftp.GetListing(); // still logging in: refused
    EXPECT_EQ(m_rec.count(FtpInfo::Busy) + m_rec.count(FtpInfo::NotConnected), 1);
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_rec.events.clear();
    m_rec.infos.clear();
    m_ftp.GetListing();
    m_ftp.MakeDirectory(QStringLiteral("x"));
    m_ftp.LocalFile = m_local.path();
    m_ftp.RemoteFile = QStringLiteral("y");
    m_ftp.StoreFile();
    m_ftp.Connect();
    EXPECT_EQ(m_rec.count(FtpInfo::Busy), 3);
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("ready")));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_rec.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("busy"), QStringLiteral("busy"),
                           QStringLiteral("ready"), QStringLiteral("listed")}));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_FALSE(QDir(m_home.path() + QStringLiteral("/x")).exists());
}

TEST_F(FtpPyftpdlib, OperationsWithoutConnectionSayNotConnected) {
    m_ftp.MakeDirectory(QStringLiteral("x"));
    EXPECT_EQ(m_rec.infos, (QList<std::pair<int, QString>>{{1, QString()}}));
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
    EXPECT_FALSE(m_ftp.Success());
}

// A PORT argument the server must refuse: its address or port rewritten.
class RewrittenPortFtp : public TStarFtp {
public:
    QString replacement;
    bool privileged = false;

protected:
    QString MakePortArgument() override {
        const QStringList parts = TStarFtp::MakePortArgument().split(QLatin1Char(','));
        if (parts.size() != 6)
            return {};
        if (privileged)
            return parts.mid(0, 4).join(QLatin1Char(',')) + QStringLiteral(",0,21");
        return replacement + QLatin1Char(',') + parts[4] + QLatin1Char(',') + parts[5];
    }
};

class FtpPyftpdlibPort : public FtpPyftpdlib {
protected:
    void expectRefusedPort(RewrittenPortFtp& ftp) {
        Recorder rec(ftp);
        ftp.FtpPort = m_port;
        ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
        ftp.UserName = QStringLiteral("webmaster");
        ftp.UserPassword = QStringLiteral("s3cret");
        ftp.Connect();
        ASSERT_TRUE(rec.waitEvent(QStringLiteral("loggedin")));
        ftp.GetListing();
        ASSERT_TRUE(rec.waitEvent(QStringLiteral("quit")));
        EXPECT_EQ(rec.errors, QList<int>{13});
        EXPECT_EQ(rec.commands.last().left(5), QStringLiteral("PORT "));
        EXPECT_FALSE(ftp.Connected());
        EXPECT_FALSE(ftp.ListenerSocket().HasHandle());
        EXPECT_FALSE(ftp.HasHandle());
    }
};

TEST_F(FtpPyftpdlibPort, ServerRefusesAForeignAddress) {
    RewrittenPortFtp ftp;
    ftp.replacement = QStringLiteral("10,1,2,3");
    expectRefusedPort(ftp);
}

TEST_F(FtpPyftpdlibPort, ServerRefusesAPrivilegedPort) {
    RewrittenPortFtp ftp;
    ftp.privileged = true;
    expectRefusedPort(ftp);
}

} // namespace
