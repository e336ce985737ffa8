// The SFTP session behind the remote operations: the events a screen and the upload runner
// see, against the tests' own OpenSSH server.
#include "SftpTestSupport.h"

#include "publish/UploadPlan.h"
#include "publish/UploadRunner.h"
#include "sftp/SftpRemoteSession.h"

#include <QFile>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every remote event as a line: "done 3 mkdir ok", "done 4 store failed Refused ...", "quit".
struct RemoteRecorder {
    QStringList lines;
    QList<RemoteEvent> done;
    QList<SftpQuestion> questions;
    explicit RemoteRecorder(SftpRemoteSession& s) {
        QObject::connect(&s, &RemoteSession::sessionEvent, &s, [this](const RemoteEvent& e) {
            static const char* kinds[] = {"login",  "list",   "cd",    "mkdir", "rmdir",
                                          "rename", "delete", "store", "quit"};
            switch (e.kind) {
            case RemoteEvent::Kind::Done:
                done << e;
                lines << QStringLiteral("done %1 %2 %3")
                             .arg(e.op)
                             .arg(QLatin1String(kinds[static_cast<int>(e.opKind)]))
                             .arg(e.ok
                                      ? QStringLiteral("ok")
                                      : QStringLiteral("failed %1").arg(static_cast<int>(e.error)));
                break;
            case RemoteEvent::Kind::Error:
                lines << QStringLiteral("error %1").arg(static_cast<int>(e.error));
                break;
            case RemoteEvent::Kind::Quit:
                lines << QStringLiteral("quit");
                break;
            default:
                break;
            }
        });
        QObject::connect(&s, &SftpRemoteSession::question, &s,
                         [this](const SftpQuestion& q) { questions << q; });
    }
    bool wait(const QString& line, int ms = 20000) {
        return sftptest::waitFor([&] { return lines.contains(line); }, ms);
    }
};

class SftpRemote : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_remote.isValid());
        ASSERT_TRUE(m_local.isValid());
        ASSERT_TRUE(m_server.start()) << m_server.error().toStdString();
        m_client.configure(m_session.session(), m_server);
        ASSERT_TRUE(sshtest::makeKey(m_client.key(QStringLiteral("id_ed25519")), QString()));
        ASSERT_TRUE(m_server.authorize(m_client.key(QStringLiteral("id_ed25519"))));
        m_session.session().InitialDirectory = QFile::encodeName(m_remote.path());
    }
    void TearDown() override { m_server.stop(); }

    QTemporaryDir m_remote;
    QTemporaryDir m_local;
    sshtest::TestSshd m_server;
    sftptest::Client m_client;
    SftpRemoteSession m_session;
    RemoteRecorder m_rec{m_session};
};

} // namespace

TEST_F(SftpRemote, OperationsEndInOneDoneEachAndTheListingComesWithIt) {
    // An unknown host key is a question of the session's own; the answer goes back there.
    const RemoteOpId login = m_session.logIn();
    ASSERT_TRUE(sftptest::waitFor([&] { return !m_rec.questions.isEmpty(); }));
    EXPECT_EQ(m_rec.questions.first().kind, SftpQuestion::Kind::HostKey);
    EXPECT_EQ(m_rec.questions.first().fingerprint, m_server.hostFingerprint());
    m_session.session().AnswerHostKey(true);
    ASSERT_TRUE(m_rec.wait(QStringLiteral("done %1 login ok").arg(login)));
    EXPECT_TRUE(m_session.connected());

    ASSERT_TRUE(write(m_local.filePath(QStringLiteral("a.html")), "<p>a</p>\r\n"));
    const RemoteOpId mk = m_session.makeDir("images");
    const RemoteOpId st =
        m_session.store(m_local.filePath(QStringLiteral("a.html")), "images/a.html");
    const RemoteOpId mv = m_session.rename("images/a.html", "images/b.html");
    const RemoteOpId again = m_session.makeDir("images"); // there already: refused
    const RemoteOpId ls = m_session.list();
    ASSERT_TRUE(m_rec.wait(QStringLiteral("done %1 list ok").arg(ls)));
    EXPECT_EQ(m_rec.lines, QStringList({QStringLiteral("done %1 login ok").arg(login),
                                        QStringLiteral("done %1 mkdir ok").arg(mk),
                                        QStringLiteral("done %1 store ok").arg(st),
                                        QStringLiteral("done %1 rename ok").arg(mv),
                                        QStringLiteral("done %1 mkdir failed %2")
                                            .arg(again)
                                            .arg(static_cast<int>(RemoteError::Refused)),
                                        QStringLiteral("done %1 list ok").arg(ls)}));
    const RemoteEvent& listed = m_rec.done.last();
    ASSERT_TRUE(listed.listing);
    EXPECT_EQ(listed.listing->directories, QStringList({"images"}));
    EXPECT_EQ(listed.listing->directoryNames, QList<QByteArray>({"images"}));
    EXPECT_TRUE(listed.listing->files.isEmpty());
    EXPECT_EQ(listed.listing->folder, m_remote.path());
    const RemoteEvent& stored = m_rec.done.at(2);
    EXPECT_EQ(stored.bytesDone, 10);
    EXPECT_EQ(stored.bytesTotal, 10);
    EXPECT_EQ(readAll(m_remote.filePath(QStringLiteral("images/b.html"))),
              QByteArray("<p>a</p>\r\n"));

    const RemoteOpId del = m_session.deleteFile("images/b.html");
    const RemoteOpId rd = m_session.removeDir("images");
    const RemoteOpId q = m_session.quit();
    ASSERT_TRUE(m_rec.wait(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.lines.mid(6),
              QStringList({QStringLiteral("done %1 delete ok").arg(del),
                           QStringLiteral("done %1 rmdir ok").arg(rd),
                           QStringLiteral("done %1 quit ok").arg(q), QStringLiteral("quit")}));
    EXPECT_FALSE(QFileInfo::exists(m_remote.filePath(QStringLiteral("images"))));
}

TEST_F(SftpRemote, TheUploadRunnerSendsASiteAndAbortEndsTheFileUnderWay) {
    ASSERT_TRUE(m_client.trust(m_server));
    const QString site = m_local.path() + QStringLiteral("/site");
    const QStringList files = {site + QStringLiteral("/index.html"),
                               site + QStringLiteral("/news/2024/may.html"),
                               site + QStringLiteral("/news/pic.gif")};
    for (int i = 0; i < files.size(); ++i)
        ASSERT_TRUE(write(files[i], QByteArray("file ") + QByteArray::number(i) + "\r\n\x1a\xff"));
    m_session.logIn();
    ASSERT_TRUE(sftptest::waitFor([&] { return m_session.connected(); }));
    const QString base = m_remote.path();
    UploadRunner runner(m_session, UploadPlan::make(files, site, base, base));
    bool finished = false;
    QObject::connect(&runner, &UploadRunner::finished, [&] { finished = true; });
    runner.start();
    ASSERT_TRUE(sftptest::waitFor([&] { return finished; }, 30000));
    EXPECT_EQ(runner.storedCount(), 3);
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(readAll(base + files[i].mid(site.size())), readAll(files[i])) << i;

    // Stop in the middle of a big file: that file's Done fails as cancelled, then the Quit.
    const QString big = m_local.path() + QStringLiteral("/big.bin");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(400LL * 1024 * 1024));
    }
    m_rec.lines.clear();
    const RemoteOpId st = m_session.store(big, "big.bin");
    const RemoteOpId waiting = m_session.list();
    bool progressed = false;
    QObject::connect(&m_session, &RemoteSession::sessionEvent, [&](const RemoteEvent& e) {
        if (e.kind == RemoteEvent::Kind::Progress && e.op == st && !progressed) {
            progressed = true;
            m_session.abort();
        }
    });
    ASSERT_TRUE(m_rec.wait(QStringLiteral("quit")));
    EXPECT_TRUE(progressed);
    EXPECT_EQ(m_rec.lines, QStringList({QStringLiteral("done %1 store failed %2")
                                            .arg(st)
                                            .arg(static_cast<int>(RemoteError::Cancelled)),
                                        QStringLiteral("quit")}));
    Q_UNUSED(waiting);
    EXPECT_FALSE(m_session.connected());
    EXPECT_FALSE(QFileInfo::exists(base + QStringLiteral("/big.bin")));
}
