// SiteSync: the listing lines with sizes and times, and a site compared with real servers on
// loopback: pyftpdlib with MLSD, pyftpdlib without MLSD in another time zone (LIST in its own
// wall clock, MDTM in UTC), vsftpd (LIST only), and the tests' OpenSSH server.
#include "publish/SiteSync.h"

#include "ftp/FtpListing.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpTestSupport.h"
#include "sftp/SftpRemoteSession.h"
#include "sftp/SftpTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/time.h>

namespace {

TEST(ListingTimes, MachineListingLinesAndListLinesGiveSizesAndTimes) {
    const auto e = ParseMachineListingLine(
        "type=file;size=120;modify=20240501123005.250;perm=r; my page.html");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, QByteArray("my page.html"));
    EXPECT_FALSE(e->isDirectory);
    EXPECT_EQ(e->size, 120);
    EXPECT_EQ(e->time, RemoteEntry::Time::Exact);
    EXPECT_EQ(e->modified, QDateTime(QDate(2024, 5, 1), QTime(12, 30, 5, 250), Qt::UTC));
    const auto dir = ParseMachineListingLine("Type=dir;Modify=20240501123005; images");
    ASSERT_TRUE(dir);
    EXPECT_TRUE(dir->isDirectory);
    EXPECT_EQ(dir->size, -1);
    EXPECT_FALSE(ParseMachineListingLine("type=cdir;modify=20240501123005; /site"));
    EXPECT_FALSE(ParseMachineListingLine("type=OS.unix=slink:/x; link"));
    EXPECT_FALSE(ParseMachineListingLine("size=3; untyped"));
    EXPECT_FALSE(ParseMachineListingLine("type=file;size=3;"));
    EXPECT_FALSE(ParseMachineTime("2024050112300").isValid());
    EXPECT_FALSE(ParseMachineTime("20241301123000").isValid());
    EXPECT_FALSE(ParseMachineTime("20240501123000.").isValid());
    EXPECT_FALSE(ParseMachineTime("20240501123000x").isValid());

    const QDate today(2024, 3, 10);
    RemoteEntry recent;
    ReadListingDetails("-rw-r--r--    1 owner    group        2048 Mar 10 09:05 index.html",
                       today, recent);
    EXPECT_EQ(recent.size, 2048);
    EXPECT_EQ(recent.time, RemoteEntry::Time::ServerMinute);
    EXPECT_EQ(recent.modified, QDateTime(QDate(2024, 3, 10), QTime(9, 5), Qt::UTC));
    // Without a year and more than a day ahead of today: last year's.
    RemoteEntry lastYear;
    ReadListingDetails("-rw-r--r-- 1 ftp ftp 7 Dec 31 23:59 old.html", today, lastYear);
    EXPECT_EQ(lastYear.modified, QDateTime(QDate(2023, 12, 31), QTime(23, 59), Qt::UTC));
    RemoteEntry old;
    ReadListingDetails("-rw-r--r-- 1 4000 12 Jun  3  2019 x", today, old);
    EXPECT_EQ(old.size, 12);
    EXPECT_EQ(old.time, RemoteEntry::Time::ServerDay);
    EXPECT_EQ(old.modified, QDateTime(QDate(2019, 6, 3), QTime(0, 0), Qt::UTC));
    RemoteEntry dos;
    ReadListingDetails("03-10-24  09:05AM                 2048 index.html", today, dos);
    EXPECT_EQ(dos.time, RemoteEntry::Time::None);
    EXPECT_EQ(dos.size, -1);
}

TEST(SiteSyncCompare, NewerHereByTimeNewerThereOnlyWithAnotherSize) {
    const QDateTime t(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    using S = SyncItem::State;
    EXPECT_EQ(SiteSync::compare(10, t.addSecs(1), 10, t), S::NewerHere);
    // An upload from here is newer there: the same size is the same file.
    EXPECT_EQ(SiteSync::compare(10, t, 10, t.addSecs(600)), std::nullopt);
    EXPECT_EQ(SiteSync::compare(10, t, 10, t), std::nullopt);
    EXPECT_EQ(SiteSync::compare(10, t, 12, t.addSecs(600)), S::NewerThere);
    // A fraction of a second later here is the same second.
    EXPECT_EQ(SiteSync::compare(10, t.addMSecs(900), 10, t), std::nullopt);
    EXPECT_EQ(SiteSync::compare(10, t, 12, QDateTime()), S::NewerHere);
}

void writeAt(const QString& path, const QByteArray& bytes, qint64 secs);

TEST(SiteSyncFiles, APagesImagesAreFoundFromItsFolderAndFilesOutsideTheRootAreLeftOut) {
    QTemporaryDir dir;
    const QString site = dir.path() + QStringLiteral("/site");
    const qint64 t = 1700000000;
    writeAt(site + QStringLiteral("/pages/a.html"),
            "<img src=\"../img/logo.gif?v=2\"><IMG SRC='pic%20one.png#x'>\r\n"
            "<body background=bg.jpg><img src=\"http://example.org/x.gif\">"
            "<img src=\"/abs.gif\"><img src=\"gone.gif\"><img src=\"../img/logo.gif\">",
            t);
    writeAt(site + QStringLiteral("/img/logo.gif"), "GIF", t);
    writeAt(site + QStringLiteral("/pages/pic one.png"), "PNG", t);
    writeAt(site + QStringLiteral("/pages/bg.jpg"), "JPG", t);
    writeAt(dir.path() + QStringLiteral("/outside.html"), "x", t);
    const QStringList files = SiteSync::pagesWithImages(
        {site + QStringLiteral("/pages/a.html"), dir.path() + QStringLiteral("/outside.html")});
    EXPECT_EQ(files, QStringList({site + QStringLiteral("/pages/a.html"),
                                  site + QStringLiteral("/img/logo.gif"),
                                  site + QStringLiteral("/pages/pic one.png"),
                                  site + QStringLiteral("/pages/bg.jpg"),
                                  dir.path() + QStringLiteral("/outside.html")}));
    QStringList relative;
    for (const SyncLocalFile& f : SiteSync::filesOf(files, site))
        relative << QStringLiteral("%1 %2 %3")
                        .arg(f.relative)
                        .arg(f.size)
                        .arg(f.modified.toSecsSinceEpoch());
    EXPECT_EQ(relative,
              QStringList({"pages/a.html 187 1700000000", "img/logo.gif 3 1700000000",
                           "pages/pic one.png 3 1700000000", "pages/bg.jpg 3 1700000000"}));
}

void writeAt(const QString& path, const QByteArray& bytes, qint64 secs) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const timeval times[2] = {{secs, 0}, {secs, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
}

QString itemsText(const QList<SyncItem>& items) {
    QStringList lines;
    for (const SyncItem& i : items)
        lines << QStringLiteral("%1 %2 %3 %4/%5").arg(SyncItem::stateText(i.state), i.relative,
                                                    i.ticked ? "ticked" : "-")
                     .arg(i.localSize)
                     .arg(i.remoteSize);
    return lines.join(u'\n');
}

// The same site on both sides, one file of each kind of difference and two the same.
class SiteSyncSite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(here.isValid());
        ASSERT_TRUE(there.isValid());
        now = QDateTime::currentSecsSinceEpoch();
        // Uploaded an hour after it was written: the same file.
        writeAt(local("index.html"), "<html>home</html>", now - 7200);
        writeAt(remote("index.html"), "<html>home</html>", now - 3600);
        // Edited here since its upload, the size unchanged.
        writeAt(local("about.html"), "<html>ABOUT</html>", now - 60);
        writeAt(remote("about.html"), "<html>about</html>", now - 1800);
        // Changed on the server since.
        writeAt(local("images/a.png"), "0123456789", now - 7200);
        writeAt(remote("images/a.png"), "0123456789AB", now - 600);
        // Uploaded half a minute after it was written: the same file.
        writeAt(local("images/b.png"), "bbbb", now - 5000);
        writeAt(remote("images/b.png"), "bbbb", now - 4970);
        writeAt(local("new.html"), "<html>new</html>", now - 100);
        writeAt(remote("gone.html"), "<html>gone</html>", now - 9000);
        // Not a folder of the site: never walked.
        writeAt(remote("logs/access.log"), "x", now - 10);
    }
    QString local(const QString& name) const { return here.path() + u'/' + name; }
    QString remote(const QString& name) const { return there.path() + QStringLiteral("/site/") + name; }

    // Runs the comparison over a logged-in session; the items as text.
    QString compareOver(RemoteSession& session, const QString& base, SiteSync** out = nullptr) {
        auto* sync = new SiteSync(session, SiteSync::filesBelow(here.path()), base, &session);
        bool done = false;
        QString failure;
        QObject::connect(sync, &SiteSync::finished, [&] { done = true; });
        QObject::connect(sync, &SiteSync::failed, [&](const QString& why) {
            failure = why;
            done = true;
        });
        sync->start();
        EXPECT_TRUE(ftptest::waitFor([&] { return done; }, 20000));
        EXPECT_EQ(failure, QString());
        if (out)
            *out = sync;
        return itemsText(sync->items());
    }

    const QString expected = QStringLiteral("Newer here about.html ticked 18/18\n"
                                            "Missing here gone.html - -1/17\n"
                                            "Newer there images/a.png - 10/12\n"
                                            "New here new.html ticked 16/-1");
    QTemporaryDir here;
    QTemporaryDir there;
    qint64 now = 0;
};

class SiteSyncFtp : public SiteSyncSite {
protected:
    void logIn(const QStringList& options) {
        port = ftptest::startPyftpd(server, there.path(), session.engine(), options);
        ASSERT_GT(port, 0) << server.error().toStdString();
        session.engine().InitialDirectory = QStringLiteral("/site");
        connectSession();
    }
    // Logs in with the engine's settings; the commands sent afterwards are kept.
    void connectSession() {
        QObject::connect(&session, &RemoteSession::sessionEvent, [this](const RemoteEvent& e) {
            if (e.kind == RemoteEvent::Kind::Done && e.opKind == RemoteOpKind::Login)
                loggedIn = e.ok;
            if (e.kind == RemoteEvent::Kind::Info && e.info == RemoteInfo::CommandSent)
                commands << e.text.trimmed();
        });
        session.logIn();
        ASSERT_TRUE(ftptest::waitFor([this] { return loggedIn; }));
        commands.clear();
    }
    void TearDown() override { server.stop(); }
    ftptest::PythonServer server;
    FtpSession session;
    QStringList commands;
    bool loggedIn = false;
    int port = 0;
};

TEST_F(SiteSyncFtp, MachineListingsGiveEverythingInOneListingPerFolder) {
    ASSERT_NO_FATAL_FAILURE(logIn({}));
    SiteSync* sync = nullptr;
    EXPECT_EQ(compareOver(session, QStringLiteral("/site"), &sync), expected);
    EXPECT_EQ(sync->folderListings(), 2);
    EXPECT_EQ(sync->fileQueries(), 0);
    EXPECT_TRUE(commands.contains(QStringLiteral("FEAT")));
    EXPECT_TRUE(commands.contains(QStringLiteral("MLSD /site/images")));
    EXPECT_FALSE(commands.join(u' ').contains(QLatin1String("logs")));
    EXPECT_FALSE(commands.join(u' ').contains(QLatin1String("MDTM")));
}

TEST_F(SiteSyncFtp, ListTimesInTheServersZoneAreReadThroughOneExactTime) {
    // Kathmandu is 5:45 ahead of UTC: a zone a whole-hour guess would get wrong.
    ASSERT_NO_FATAL_FAILURE(logIn({QStringLiteral("--refuse"), QStringLiteral("MLSD,MLST"),
                                   QStringLiteral("--tz"), QStringLiteral("Asia/Kathmandu"),
                                   QStringLiteral("--list-local-times")}));
    SiteSync* sync = nullptr;
    EXPECT_EQ(compareOver(session, QStringLiteral("/site"), &sync), expected);
    EXPECT_TRUE(commands.contains(QStringLiteral("LIST /site/images")));
    EXPECT_TRUE(sync->notes().join(u'\n').contains(QLatin1String("UTC+05:45")))
        << sync->notes().join(u'\n').toStdString();
    // The zone's probe, and at most the one file whose minute holds the local time.
    EXPECT_GE(sync->fileQueries(), 1);
    EXPECT_LE(sync->fileQueries(), 2) << commands.join(u'\n').toStdString();
}

TEST_F(SiteSyncFtp, OverTlsTheListingsAndQueriesGoProtected) {
    QTemporaryDir certs;
    const QString cert = certs.path() + QStringLiteral("/cert.pem");
    const QString key = certs.path() + QStringLiteral("/key.pem");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                   QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
    ASSERT_TRUE(openssl.waitForFinished(30000));
    ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
    session.engine().Security = TFtpSecurity::TlsRequired;
    session.engine().DataConnection = TDataConnection::Passive;
    session.engine().OnCertificateCheck = [](TStarFtp*, const TCertificateInfo&) { return true; };
    ASSERT_NO_FATAL_FAILURE(logIn({QStringLiteral("--tls"), cert, key}));
    EXPECT_EQ(compareOver(session, QStringLiteral("/site")), expected);
    EXPECT_TRUE(commands.contains(QStringLiteral("MLSD /site/images")))
        << commands.join(u'\n').toStdString();
}

TEST_F(SiteSyncFtp, VsftpdListsWithoutMachineListings) {
    if (!QFile::exists(ftptest::kVsftpd))
        GTEST_SKIP() << "vsftpd is not installed";
    QProcess vsftpd;
    QTemporaryDir scratch;
    QString error;
    const QString root = QDir(there.path()).absolutePath();
    port = ftptest::startVsftpd(vsftpd, root, scratch.path(), error);
    ASSERT_GT(port, 0) << error.toStdString();
    TStarFtp& f = session.engine();
    f.SetFtpServer(QStringLiteral("127.0.0.1"));
    f.FtpPort = port;
    f.UserName = QStringLiteral("anonymous");
    f.UserPassword = QStringLiteral("tests@example.org");
    ASSERT_NO_FATAL_FAILURE(connectSession());
    SiteSync* sync = nullptr;
    const QString base = root + QStringLiteral("/site");
    EXPECT_EQ(compareOver(session, base, &sync), expected);
    EXPECT_TRUE(commands.contains(QStringLiteral("LIST %1/images").arg(base)))
        << commands.join(u'\n').toStdString();
    EXPECT_FALSE(commands.join(u' ').contains(QLatin1String("MLSD")));
    session.abort();
    ftptest::stopByPid(vsftpd);
}
TEST_F(SiteSyncSite, SftpAttributesGiveEverythingInOneListingPerFolder) {
    sshtest::TestSshd sshd;
    ASSERT_TRUE(sshd.start()) << sshd.error().toStdString();
    sftptest::Client client;
    QDir().mkpath(client.keyFolder());
    ASSERT_TRUE(sshtest::makeKey(client.key(QStringLiteral("id_ed25519")), QString()));
    ASSERT_TRUE(sshd.authorize(client.key(QStringLiteral("id_ed25519"))));
    SftpRemoteSession session;
    client.configure(session.session(), sshd);
    ASSERT_TRUE(client.trust(sshd));
    bool in = false;
    QObject::connect(&session, &RemoteSession::sessionEvent, [&](const RemoteEvent& e) {
        if (e.kind == RemoteEvent::Kind::Done && e.opKind == RemoteOpKind::Login)
            in = e.ok;
    });
    session.logIn();
    ASSERT_TRUE(sftptest::waitFor([&] { return in; }));
    SiteSync* sync = nullptr;
    const QString base = QDir(there.path()).absolutePath() + QStringLiteral("/site");
    EXPECT_EQ(compareOver(session, base, &sync), expected);
    EXPECT_EQ(sync->folderListings(), 2);
    EXPECT_EQ(sync->fileQueries(), 0);

    // A file's own attributes.
    RemoteEntry got;
    session.stat((base + QStringLiteral("/images/a.png")).toUtf8());
    bool statted = false;
    QObject::connect(&session, &RemoteSession::sessionEvent, [&](const RemoteEvent& e) {
        if (e.kind == RemoteEvent::Kind::Done && e.opKind == RemoteOpKind::Stat) {
            statted = true;
            if (e.entry)
                got = *e.entry;
        }
    });
    ASSERT_TRUE(sftptest::waitFor([&] { return statted; }));
    EXPECT_EQ(got.size, 12);
    EXPECT_EQ(got.modified, QDateTime::fromSecsSinceEpoch(now - 600, Qt::UTC));
    session.abort();
    sshd.stop();
}

} // namespace
