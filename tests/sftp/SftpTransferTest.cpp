// SftpSession's operations against the tests' own OpenSSH server: listings by the bytes of the
// names, folder changes, the file commands with the server's refusals, a three-level site
// uploaded byte for byte, and uploads cut off (the server killed, the server frozen, Abort).
#include "SftpTestSupport.h"

#include "platform/NativeNames.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <utime.h>

using sftptest::Recorder;

namespace {

QByteArray bytesOf(const QByteArray& path) {
    // By the native bytes: some names here are Latin-1.
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return QByteArray("<missing>");
    QByteArray out;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, n);
    }
    ::close(fd);
    return out;
}

bool writeBytes(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
    ::close(fd);
    return ok;
}

bool exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

class SftpTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_remote.isValid());
        ASSERT_TRUE(m_local.isValid());
        ASSERT_TRUE(m_server.start()) << m_server.error().toStdString();
        m_client.configure(m_session, m_server);
        ASSERT_TRUE(sshtest::makeKey(m_client.key(QStringLiteral("id_ed25519")), QString()));
        ASSERT_TRUE(m_server.authorize(m_client.key(QStringLiteral("id_ed25519"))));
        ASSERT_TRUE(m_client.trust(m_server));
        m_session.InitialDirectory = remote();
    }
    void TearDown() override {
        m_server.stop();
        sftptest::emptyFolder(remote());
        sftptest::emptyFolder(QFile::encodeName(m_local.path()));
    }

    void login() {
        m_session.Connect();
        ASSERT_TRUE(m_rec.waitLine(QStringLiteral("done login ok"))) << m_rec.dump().toStdString();
        ASSERT_EQ(m_session.CurrentDirectory(), remote());
        m_rec.lines.clear();
    }
    // Waits until every line is in, in this order among the outcome lines.
    void expectOutcome(const QStringList& expected, int deadlineMs = 30000) {
        ASSERT_TRUE(sftptest::waitFor([&] { return m_rec.outcome().size() >= expected.size(); },
                                      deadlineMs))
            << m_rec.dump().toStdString();
        EXPECT_EQ(m_rec.outcome(), expected) << m_rec.dump().toStdString();
    }

    QByteArray remote() const { return QFile::encodeName(m_remote.path()); }
    QByteArray remote(const QByteArray& name) const { return remote() + '/' + name; }
    QByteArray local(const QByteArray& name) const {
        return QFile::encodeName(m_local.path()) + '/' + name;
    }
    // A sparse local file: big, read fast, and no room taken on the disk.
    QByteArray sparse(const QByteArray& name, qint64 size) const {
        const QByteArray path = local(name);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        return path;
    }

    QTemporaryDir m_remote;
    QTemporaryDir m_local;
    sshtest::TestSshd m_server;
    sftptest::Client m_client;
    SftpSession m_session;
    Recorder m_rec{m_session};
};

TEST_F(SftpTransfer, ListsNamesByTheirBytesWithTypeSizeAndTime) {
    ASSERT_TRUE(writeBytes(remote("my page.html"), "<p>hello</p>"));
    ASSERT_TRUE(writeBytes(remote("caf\xe9.html"), "caf\xe9"));
    ASSERT_EQ(::mkdir(remote("new folder").constData(), 0755), 0);
    ASSERT_EQ(::mkdir(remote("d\xe9j\xe0").constData(), 0755), 0);
    ASSERT_EQ(::symlink("new folder", remote("link to folder").constData()), 0);
    ASSERT_EQ(::symlink("nowhere", remote("broken link").constData()), 0);
    utimbuf times{1714566600, 1714566600}; // 2024-05-01 12:30 UTC
    ASSERT_EQ(::utime(remote("my page.html").constData(), &times), 0);
    login();

    auto list = m_session.GetListing();
    expectOutcome({QStringLiteral("done list ok")});
    EXPECT_EQ(list->folder(), remote());
    QList<SftpEntry> entries = list->entries();
    std::sort(entries.begin(), entries.end(),
              [](const SftpEntry& a, const SftpEntry& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 6);
    EXPECT_EQ(entries[0].name, QByteArray("broken link"));
    EXPECT_FALSE(entries[0].isDirectory);
    EXPECT_TRUE(entries[0].isLink);
    EXPECT_EQ(entries[1].name, QByteArray("caf\xe9.html"));
    EXPECT_EQ(entries[1].text(), QStringLiteral("caf\u00e9.html"));
    EXPECT_EQ(entries[1].size, 4u);
    EXPECT_EQ(entries[2].name, QByteArray("d\xe9j\xe0"));
    EXPECT_TRUE(entries[2].isDirectory);
    EXPECT_EQ(entries[3].name, QByteArray("link to folder"));
    EXPECT_TRUE(entries[3].isDirectory); // followed
    EXPECT_TRUE(entries[3].isLink);
    EXPECT_EQ(entries[4].name, QByteArray("my page.html"));
    EXPECT_FALSE(entries[4].isDirectory);
    EXPECT_EQ(entries[4].size, 12u);
    EXPECT_EQ(entries[4].modifiedTime().toString(Qt::ISODate),
              QStringLiteral("2024-05-01T12:30:00Z"));
    EXPECT_EQ(entries[4].permissions, 0100644u);
    EXPECT_EQ(entries[5].name, QByteArray("new folder"));
    EXPECT_TRUE(entries[5].isDirectory);
    const QStringList lines = m_rec.infos(SftpInfo::ListingLine);
    EXPECT_TRUE(
        lines.contains(QStringLiteral("-rw-r--r--          12 2024-05-01 12:30 my page.html")))
        << lines.join('\n').toStdString();

    // Into the Latin-1 folder by its bytes, out again, and the refusals.
    auto into = m_session.ChangeDirectory("d\xe9j\xe0");
    auto empty = m_session.GetListing();
    auto back = m_session.ChangeDirectory("..");
    auto file = m_session.ChangeDirectory("my page.html");
    auto missing = m_session.ChangeDirectory("missing");
    m_rec.lines.clear();
    expectOutcome({QStringLiteral("done cd ok"), QStringLiteral("done list ok"),
                   QStringLiteral("done cd ok"),
                   QStringLiteral("done cd failed 26 my page.html is not a folder."),
                   QStringLiteral("done cd failed 22 Cannot change to the folder missing: No such "
                                  "file.")});
    EXPECT_EQ(into->folder(), remote("d\xe9j\xe0"));
    EXPECT_TRUE(empty->entries().isEmpty());
    EXPECT_EQ(empty->folder(), remote("d\xe9j\xe0"));
    EXPECT_EQ(back->folder(), remote());
    EXPECT_EQ(m_session.CurrentDirectory(), remote());
    EXPECT_EQ(missing->serverStatus(), sftp::FxNoSuchFile);
    EXPECT_EQ(file->error(), SftpError::NotAFolder);
}

TEST_F(SftpTransfer, FileCommandsRunInOrderAndReportTheServersRefusals) {
    ASSERT_TRUE(writeBytes(remote("a.txt"), "a"));
    ASSERT_TRUE(writeBytes(remote("taken.txt"), "t"));
    login();
    m_session.MakeDirectory("new");
    m_session.MakeDirectory("new");
    m_session.MakeDirectory("new/inner");
    m_session.RemoveDirectory("new");
    m_session.RenameFile("a.txt", "new/b.txt");
    m_session.RenameFile("new/b.txt", "taken.txt");
    m_session.DeleteFile("taken.txt");
    m_session.DeleteFile("taken.txt");
    m_session.RemoveDirectory("new/inner");
    auto quit = m_session.Quit();
    auto afterQuit = m_session.MakeDirectory("late");
    const QString folder = QString::fromLocal8Bit(remote());
    expectOutcome({
        QStringLiteral("done mkdir ok"),
        QStringLiteral("done mkdir failed 22 Cannot make the folder %1/new: Failure.").arg(folder),
        QStringLiteral("done mkdir ok"),
        QStringLiteral("done rmdir failed 22 Cannot remove the folder %1/new: Failure.")
            .arg(folder),
        QStringLiteral("done rename ok"),
        QStringLiteral("done rename failed 22 Cannot rename new/b.txt to taken.txt: Failure."),
        QStringLiteral("done delete ok"),
        QStringLiteral("done delete failed 22 Cannot delete %1/taken.txt: No such file.")
            .arg(folder),
        QStringLiteral("done rmdir ok"),
        QStringLiteral("done quit ok"),
        QStringLiteral("quit"),
    });
    EXPECT_EQ(afterQuit->error(), SftpError::Cancelled);
    EXPECT_TRUE(quit->succeeded());
    EXPECT_EQ(bytesOf(remote("new/b.txt")), QByteArray("a"));
    EXPECT_FALSE(exists(remote("a.txt")));
    EXPECT_FALSE(exists(remote("taken.txt")));
    EXPECT_FALSE(exists(remote("new/inner")));
    EXPECT_FALSE(exists(remote("late")));
    EXPECT_EQ(m_rec.infos(SftpInfo::Request).first(), QStringLiteral("MKDIR %1/new").arg(folder));
}

TEST_F(SftpTransfer, ThreeLevelSiteIsUploadedByteForByte) {
    QByteArray binary;
    for (int i = 0; i < 256; ++i)
        binary.append(static_cast<char>(i));
    QByteArray large(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    QRandomGenerator rng(33);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(rng.generate() & 0xff);
    const QList<std::pair<QByteArray, QByteArray>> site = {
        {"index.html", "<html><body>home</body></html>\r\n"},
        {"about us.html", "<p>about</p>"},
        {"caf\xe9.html", "<p>caf\xe9</p>"},
        {"css/site.css", "body { color: red }"},
        {"images/logo.png", binary},
        {"images/icons/empty.gif", ""},
        {"images/icons/large.bin", large},
    };
    ASSERT_EQ(::mkdir(local("css").constData(), 0755), 0);
    ASSERT_EQ(::mkdir(local("images").constData(), 0755), 0);
    ASSERT_EQ(::mkdir(local("images/icons").constData(), 0755), 0);
    for (const auto& [name, bytes] : site)
        ASSERT_TRUE(writeBytes(local(name), bytes));
    login();

    for (const char* folder : {"site", "site/css", "site/images", "site/images/icons"})
        m_session.MakeDirectory(folder);
    QList<std::shared_ptr<const SftpStore>> stores;
    for (const auto& [name, bytes] : site)
        stores << m_session.StoreFile(nameFromNative(local(name)), "site/" + name);
    m_session.Quit();
    QStringList expected;
    for (int i = 0; i < 4; ++i)
        expected << QStringLiteral("done mkdir ok");
    for (int i = 0; i < site.size(); ++i)
        expected << QStringLiteral("done store ok");
    expected << QStringLiteral("done quit ok") << QStringLiteral("quit");
    expectOutcome(expected);

    for (const auto& [name, bytes] : site)
        EXPECT_EQ(bytesOf(remote("site/" + name)), bytes) << name.toStdString();
    EXPECT_EQ(stores[6]->bytesAcknowledged(), large.size());
    EXPECT_EQ(stores[6]->target(), remote("site/images/icons/large.bin"));
    EXPECT_EQ(stores[6]->temporary(), remote("site/images/icons/.large.bin.part"));
    EXPECT_GT(m_rec.progressEvents, 0);
    // Nothing but the site: no temporary file is left.
    QByteArrayList expectedTree = {"site", "site/css", "site/images", "site/images/icons"};
    for (const auto& [name, bytes] : site)
        expectedTree << "site/" + name;
    std::sort(expectedTree.begin(), expectedTree.end());
    EXPECT_EQ(sftptest::treeOf(remote()), expectedTree);
}

TEST_F(SftpTransfer, ReplacedFileKeepsItsPermissionsAndAFolderIsNeverReplaced) {
    ASSERT_TRUE(writeBytes(remote("run.cgi"), "old"));
    ASSERT_EQ(::chmod(remote("run.cgi").constData(), 0751), 0);
    ASSERT_EQ(::mkdir(remote("images").constData(), 0755), 0);
    ASSERT_TRUE(writeBytes(local("first.cgi"), "#!/bin/sh\necho first\n"));
    ASSERT_TRUE(writeBytes(local("run.cgi"), "#!/bin/sh\necho new\n"));
    login();
    // Twice in a row to the same name: the second never overlaps the first.
    m_session.StoreFile(QString::fromLocal8Bit(local("first.cgi")), "run.cgi");
    m_session.StoreFile(QString::fromLocal8Bit(local("run.cgi")), "run.cgi");
    m_session.StoreFile(QString::fromLocal8Bit(local("run.cgi")), "no folder/run.cgi");
    m_session.StoreFile(QString::fromLocal8Bit(local("run.cgi")), "images");
    m_session.StoreFile(QString::fromLocal8Bit(local("missing.html")), "missing.html");
    m_session.StoreFile(QString::fromLocal8Bit(local("")), "x.html");
    m_session.StoreFile(QString::fromLocal8Bit(local("run.cgi")), "");
    const QString folder = QString::fromLocal8Bit(remote());
    expectOutcome({
        QStringLiteral("done store ok"),
        QStringLiteral("done store ok"),
        QStringLiteral("done store failed 22 Cannot write %1/no folder/run.cgi: No such file.")
            .arg(folder),
        QStringLiteral("done store failed 27 %1/images is a folder on the server.").arg(folder),
        QStringLiteral("done store failed 23 Cannot open the local file %1: No such file or "
                       "directory.")
            .arg(QString::fromLocal8Bit(local("missing.html"))),
        QStringLiteral("done store failed 23 Cannot open the local file %1: it is not a regular "
                       "file.")
            .arg(QString::fromLocal8Bit(local(""))),
        QStringLiteral("done store failed 25 No remote file name was given."),
    });
    EXPECT_EQ(bytesOf(remote("run.cgi")), QByteArray("#!/bin/sh\necho new\n"));
    struct stat st {};
    ASSERT_EQ(::stat(remote("run.cgi").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    EXPECT_FALSE(exists(remote("images/.part")));
    EXPECT_FALSE(exists(remote(".images.part")));
    EXPECT_FALSE(exists(remote(".run.cgi.part")));
    EXPECT_EQ(sftptest::treeOf(remote()), QByteArrayList({"images", "run.cgi"}));
}

TEST_F(SftpTransfer, ServerKilledMidUploadEndsWithAnErrorAndLeavesTheTargetAlone) {
    ASSERT_TRUE(writeBytes(remote("big.bin"), "the old version"));
    const QByteArray big = sparse("big.bin", 2048ll * 1024 * 1024);
    login();
    bool killed = false;
    m_rec.onProgress = [&](const SftpEvent&) {
        if (!killed) {
            killed = true;
            m_server.killConnections(SIGKILL);
        }
    };
    auto store = m_session.StoreFile(QString::fromLocal8Bit(big), "big.bin");
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit"), 30000)) << m_rec.dump().toStdString();
    ASSERT_TRUE(killed);
    const QStringList outcome = m_rec.outcome();
    ASSERT_EQ(outcome.size(), 3) << m_rec.dump().toStdString();
    const QString lost =
        QStringLiteral("The connection to 127.0.0.1 (port %1) was lost").arg(m_server.port());
    EXPECT_TRUE(outcome[0].startsWith(QStringLiteral("error 13 ") + lost))
        << outcome[0].toStdString();
    EXPECT_TRUE(outcome[1].startsWith(QStringLiteral("done store failed 13 ") + lost));
    EXPECT_EQ(outcome[2], QStringLiteral("quit"));
    EXPECT_EQ(store->error(), SftpError::ConnectionLost);
    EXPECT_LT(store->bytesAcknowledged(), store->size());
    EXPECT_EQ(bytesOf(remote("big.bin")), QByteArray("the old version"));
    EXPECT_FALSE(m_session.Connected());
}

TEST_F(SftpTransfer, WithoutTheOneStepRenameTheOldFileGoesFirst) {
    ASSERT_TRUE(writeBytes(remote("page.html"), "old"));
    ASSERT_EQ(::chmod(remote("page.html").constData(), 0604), 0);
    ASSERT_TRUE(writeBytes(local("page.html"), "<p>new</p>"));
    m_session.UseAtomicRename = false;
    login();
    m_session.StoreFile(QString::fromLocal8Bit(local("page.html")), "page.html");
    m_session.StoreFile(QString::fromLocal8Bit(local("page.html")), "new.html");
    expectOutcome({QStringLiteral("done store ok"), QStringLiteral("done store ok")});
    EXPECT_EQ(bytesOf(remote("page.html")), QByteArray("<p>new</p>"));
    EXPECT_EQ(bytesOf(remote("new.html")), QByteArray("<p>new</p>"));
    struct stat st {};
    ASSERT_EQ(::stat(remote("page.html").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(sftptest::treeOf(remote()), QByteArrayList({"new.html", "page.html"}));
}

TEST_F(SftpTransfer, LocalFileThatShrinksMidUploadFailsAndLeavesNothingBehind) {
    ASSERT_TRUE(writeBytes(remote("big.bin"), "the old version"));
    const QByteArray big = sparse("big.bin", 2048ll * 1024 * 1024);
    login();
    bool cut = false;
    m_rec.onProgress = [&](const SftpEvent&) {
        if (!cut) {
            cut = true;
            ASSERT_EQ(::truncate(big.constData(), 1024 * 1024), 0);
        }
    };
    auto store = m_session.StoreFile(QString::fromLocal8Bit(big), "big.bin");
    m_session.Quit();
    expectOutcome({QStringLiteral("done store failed 24 Cannot read the local file %1: the file "
                                  "became shorter.")
                       .arg(QString::fromLocal8Bit(big)),
                   QStringLiteral("done quit ok"), QStringLiteral("quit")});
    EXPECT_EQ(store->error(), SftpError::LocalFileRead);
    EXPECT_EQ(bytesOf(remote("big.bin")), QByteArray("the old version"));
    EXPECT_EQ(sftptest::treeOf(remote()), QByteArrayList({"big.bin"}));
}

TEST_F(SftpTransfer, FrozenServerTimesOutDuringAnUpload) {
    const QByteArray big = sparse("big.bin", 2048ll * 1024 * 1024);
    m_session.Connection.replyTimeOut = 2;
    login();
    bool frozen = false;
    m_rec.onProgress = [&](const SftpEvent&) {
        if (!frozen) {
            frozen = true;
            m_server.killConnections(SIGSTOP);
        }
    };
    m_session.StoreFile(QString::fromLocal8Bit(big), "big.bin");
    const bool ended = m_rec.waitLine(QStringLiteral("quit"), 30000);
    m_server.killConnections(SIGCONT);
    ASSERT_TRUE(ended) << m_rec.dump().toStdString();
    const QString timeOut =
        QStringLiteral("The server 127.0.0.1 (port %1) did not answer within 2 seconds.")
            .arg(m_server.port());
    EXPECT_EQ(m_rec.outcome(), QStringList({QStringLiteral("error 5 ") + timeOut,
                                            QStringLiteral("done store failed 5 ") + timeOut,
                                            QStringLiteral("quit")}));
    EXPECT_FALSE(exists(remote("big.bin")));
}

TEST_F(SftpTransfer, AbortDuringAnUploadEndsAtOnceAndTheSessionConnectsAgain) {
    const QByteArray big = sparse("big.bin", 2048ll * 1024 * 1024);
    login();
    bool aborted = false;
    m_rec.onProgress = [&](const SftpEvent&) {
        if (!aborted) {
            aborted = true;
            m_session.Abort();
            m_session.Abort(); // a second time changes nothing
        }
    };
    auto store = m_session.StoreFile(QString::fromLocal8Bit(big), "big.bin");
    auto queued = m_session.MakeDirectory("after");
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit"), 30000)) << m_rec.dump().toStdString();
    // Progress events already queued may still come; the outcome is the Quit alone.
    EXPECT_EQ(m_rec.outcome(), QStringList(QStringLiteral("quit")));
    EXPECT_EQ(store->error(), SftpError::Cancelled);
    EXPECT_EQ(queued->error(), SftpError::Cancelled);
    EXPECT_FALSE(m_session.Connected());
    EXPECT_FALSE(m_session.Busy());

    m_rec.lines.clear();
    m_session.Connect();
    auto list = m_session.GetListing();
    m_session.Quit();
    expectOutcome({QStringLiteral("done login ok"), QStringLiteral("done list ok"),
                   QStringLiteral("done quit ok"), QStringLiteral("quit")});
    QByteArrayList names;
    for (const SftpEntry& e : list->entries())
        names << e.name;
    EXPECT_FALSE(names.contains("big.bin"));
    EXPECT_FALSE(names.contains("after"));
}

TEST_F(SftpTransfer, AHandlerMayDeleteTheSession) {
    login();
    auto* session = new SftpSession;
    m_client.configure(*session, m_server);
    bool deleted = false;
    QObject::connect(session, &SftpSession::sessionEvent, session, [&](const SftpEvent& e) {
        if (e.kind == SftpEvent::Kind::Done) {
            delete session;
            deleted = true;
        }
    });
    session->Connect();
    ASSERT_TRUE(sftptest::waitFor([&] { return deleted; }));
    // The events queued behind the Done went with it; the loop runs on unharmed.
    QCoreApplication::processEvents();
    m_session.Quit();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit")));
}

} // namespace
