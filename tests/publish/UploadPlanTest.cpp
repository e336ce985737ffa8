// UploadPlan and UploadRunner: where each file of a site goes, and a whole site sent to a real
// server (pyftpdlib) through the plan and the remote session alone, with no screen.
#include "publish/UploadPlan.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpTestSupport.h"
#include "publish/UploadRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using ftptest::waitFor;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(UploadPlan, SiteFilesKeepTheirLayoutAndEachFolderIsMadeOnceOutermostFirst) {
    const UploadPlan plan = UploadPlan::make(
        QStringList{
            QStringLiteral("/home/u/site/a/b/deep.html"), QStringLiteral("/home/u/site/index.html"),
            QStringLiteral("/home/u/site/a/top.css"), QStringLiteral("/home/u/other/loose.txt"),
            QStringLiteral("/home/u/site/bad\nname.html")},
        QStringLiteral("/home/u/site/"), QStringLiteral("/www"), QStringLiteral("/www/sub"));
    ASSERT_EQ(plan.folders.size(), 2u);
    EXPECT_EQ(plan.folders[0].path, QStringLiteral("/www/a"));
    EXPECT_EQ(plan.folders[0].name, QByteArray("/www/a"));
    EXPECT_EQ(plan.folders[1].path, QStringLiteral("/www/a/b"));
    ASSERT_EQ(plan.files.size(), 5u);
    EXPECT_EQ(plan.files[0].remotePath, QStringLiteral("/www/a/b/deep.html"));
    EXPECT_EQ(plan.files[0].remoteFolder, QStringLiteral("/www/a/b"));
    EXPECT_EQ(plan.files[0].folders, (QList<int>{0, 1}));
    EXPECT_EQ(plan.files[1].remoteName, QByteArray("/www/index.html"));
    EXPECT_EQ(plan.files[1].folders, QList<int>{});
    EXPECT_EQ(plan.files[2].remotePath, QStringLiteral("/www/a/top.css"));
    EXPECT_EQ(plan.files[2].folders, QList<int>{0});
    // Outside the site folder: into the folder the server shows now.
    EXPECT_EQ(plan.files[3].remotePath, QStringLiteral("/www/sub/loose.txt"));
    EXPECT_EQ(plan.files[3].remoteFolder, QStringLiteral("/www/sub"));
    EXPECT_FALSE(plan.files[3].skipped);
    EXPECT_TRUE(plan.files[4].skipped);
    EXPECT_TRUE(plan.files[4].remoteName.isEmpty());
}

TEST(UploadPlan, LatinOneNamesOnDiskGoAsTheirOwnBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray native = QFile::encodeName(dir.path()) + "/site/caf\xe9/men\xfc.html";
    QDir().mkpath(QString::fromUtf8(QFile::encodeName(dir.path()) + "/site"));
    ASSERT_EQ(::mkdir((QFile::encodeName(dir.path()) + "/site/caf\xe9").constData(), 0700), 0);
    FILE* f = ::fopen(native.constData(), "w");
    ASSERT_NE(f, nullptr);
    ::fclose(f);
    const QString shown = dir.path() + QStringLiteral("/site/caf\u00e9/men\u00fc.html");
    const UploadPlan plan = UploadPlan::make(
        QStringList{shown}, dir.path() + QStringLiteral("/site"), QStringLiteral("/w\u00e9b"), {});
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.files[0].remoteName, QByteArray("/w\xc3\xa9"
                                                   "b/caf\xe9/men\xfc.html"));
    ASSERT_EQ(plan.folders.size(), 1u);
    EXPECT_EQ(plan.folders[0].name, QByteArray("/w\xc3\xa9"
                                               "b/caf\xe9"));
    // A name that is not UTF-8 is beyond QTemporaryDir's reach.
    EXPECT_EQ(::unlink(native.constData()), 0);
    EXPECT_EQ(::rmdir((QFile::encodeName(dir.path()) + "/site/caf\xe9").constData()), 0);
}

class UploadRunnerPyftpdlib : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_local.isValid());
        QDir(m_home.path()).mkpath(QStringLiteral("site/a")); // one folder is there already
        m_port = ftptest::startPyftpd(m_server, m_home.path(), m_session.engine());
        ASSERT_GT(m_port, 0) << "pyftpdlib did not start: " << m_server.error().toStdString();
        m_session.engine().InitialDirectory = QStringLiteral("/site");
        QObject::connect(&m_session, &RemoteSession::sessionEvent, [this](const RemoteEvent& e) {
            if (e.kind == RemoteEvent::Kind::Info && e.info == RemoteInfo::CommandSent)
                m_commands << e.text.trimmed();
            if (e.kind == RemoteEvent::Kind::Done && e.opKind == RemoteOpKind::Login)
                m_loggedIn = e.ok;
            if (e.kind == RemoteEvent::Kind::Quit)
                m_quit = true;
        });
    }
    void TearDown() override { m_server.stop(); }

    void logIn() {
        m_session.logIn();
        ASSERT_TRUE(waitFor([this] { return m_loggedIn; }));
        EXPECT_TRUE(m_session.connected());
        m_commands.clear();
    }

    QString local(const QString& name) const { return m_local.path() + u'/' + name; }
    QString remote(const QString& name) const {
        return m_home.path() + QStringLiteral("/site/") + name;
    }

    QTemporaryDir m_home;
    QTemporaryDir m_local;
    ftptest::PythonServer m_server;
    int m_port = 0;
    FtpSession m_session;
    QStringList m_commands;
    bool m_loggedIn = false;
    bool m_quit = false;
};

TEST_F(UploadRunnerPyftpdlib, AThreeLevelSiteArrivesByteForByteAndAFailedFileDoesNotStopIt) {
    QByteArray big(300 * 1024, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 131) % 251);
    const QList<std::pair<QString, QByteArray>> site{
        {QStringLiteral("index.html"), "<html>top</html>\r\n"},
        {QStringLiteral("a/page.html"), "<html>a</html>"},
        {QStringLiteral("a/b/deep.html"), QByteArray("\x00\x01\xff\r\n", 5)},
        {QStringLiteral("a/b/c/pic.bin"), big},
    };
    QStringList files;
    for (const auto& [name, bytes] : site) {
        writeAll(local(name), bytes);
        files << local(name);
    }
    // A file that is gone by the time its turn comes fails alone.
    files.insert(2, local(QStringLiteral("a/gone.html")));
    logIn();

    UploadRunner runner(m_session, UploadPlan::make(files, m_local.path(), QStringLiteral("/site"),
                                                    QStringLiteral("/site")));
    QStringList seen;
    bool finished = false, stopped = false;
    qint64 progressOfBig = 0;
    QObject::connect(&runner, &UploadRunner::fileStarted,
                     [&](int i) { seen << QStringLiteral("start %1").arg(i); });
    QObject::connect(&runner, &UploadRunner::fileProgress, [&](int i, qint64 done, qint64 total) {
        if (i == 4) {
            EXPECT_EQ(total, big.size());
            progressOfBig = done;
        }
    });
    QObject::connect(
        &runner, &UploadRunner::fileDone, [&](int i, const UploadRunner::FileResult& r) {
            seen << QStringLiteral("done %1 %2").arg(i).arg(static_cast<int>(r.outcome));
        });
    QObject::connect(&runner, &UploadRunner::finished, [&] { finished = true; });
    QObject::connect(&runner, &UploadRunner::stopped, [&] { stopped = true; });
    runner.start();
    ASSERT_TRUE(waitFor([&] { return finished || stopped; }, 20000));
    EXPECT_TRUE(finished);
    EXPECT_FALSE(stopped);
    EXPECT_FALSE(runner.running());

    // 1 = Stored, 2 = Failed.
    EXPECT_EQ(seen, (QStringList{"start 0", "done 0 1", "start 1", "done 1 1", "start 2",
                                 "done 2 2", "start 3", "done 3 1", "start 4", "done 4 1"}));
    EXPECT_EQ(runner.storedCount(), 4);
    EXPECT_EQ(runner.results()[2].error, RemoteError::LocalFileOpen);
    EXPECT_EQ(runner.results()[2].protocolCode, static_cast<int>(FtpError::LocalFileOpen));
    EXPECT_EQ(runner.results()[4].bytes, big.size());
    EXPECT_EQ(runner.results()[4].size, big.size());
    EXPECT_EQ(progressOfBig, big.size());
    for (const auto& [name, bytes] : site)
        EXPECT_EQ(readAll(remote(name)), bytes) << name.toStdString();

    // Each folder asked for once, before the first file that needs it.
    QStringList folderAndStore;
    for (const QString& c : m_commands)
        if (c.startsWith(QLatin1String("MKD ")) || c.startsWith(QLatin1String("STOR ")))
            folderAndStore << c;
    EXPECT_EQ(folderAndStore,
              (QStringList{"STOR /site/index.html", "MKD /site/a", "STOR /site/a/page.html",
                           "MKD /site/a/b", "STOR /site/a/b/deep.html", "MKD /site/a/b/c",
                           "STOR /site/a/b/c/pic.bin"}));
    EXPECT_TRUE(m_session.connected());
}

TEST_F(UploadRunnerPyftpdlib, TheEndOfTheConnectionStopsTheRunAtTheFileUnderWay) {
    writeAll(local(QStringLiteral("one.html")), "1");
    writeAll(local(QStringLiteral("two.html")), "2");
    logIn();
    UploadRunner runner(m_session,
                        UploadPlan::make(QStringList{local(QStringLiteral("one.html")),
                                                     local(QStringLiteral("two.html"))},
                                         {}, QStringLiteral("/site"), QStringLiteral("/site")));
    int stoppedAt = -1;
    bool finished = false;
    QObject::connect(&runner, &UploadRunner::fileDone, [&](int, const UploadRunner::FileResult&) {
        m_session.abort(); // after the first file, the connection ends
    });
    QObject::connect(&runner, &UploadRunner::stopped,
                     [&](int index, const RemoteEvent&) { stoppedAt = index; });
    QObject::connect(&runner, &UploadRunner::finished, [&] { finished = true; });
    runner.start();
    ASSERT_TRUE(waitFor([&] { return stoppedAt >= 0 || finished; }));
    EXPECT_FALSE(finished);
    EXPECT_EQ(stoppedAt, 1);
    EXPECT_EQ(runner.storedCount(), 1);
    EXPECT_EQ(runner.results()[1].outcome, UploadRunner::FileResult::Outcome::Failed);
    // Asked after the end: it never went out.
    EXPECT_EQ(runner.results()[1].error, RemoteError::NotConnected);
    EXPECT_TRUE(m_quit);
    EXPECT_FALSE(m_session.connected());
    EXPECT_EQ(readAll(remote(QStringLiteral("one.html"))), QByteArray("1"));
    EXPECT_FALSE(QFile::exists(remote(QStringLiteral("two.html"))));
}

TEST_F(UploadRunnerPyftpdlib, OperationsAskedAtOnceRunInTurnEachEndingInOneDone) {
    logIn();
    QList<std::pair<RemoteOpId, bool>> done;
    QObject::connect(&m_session, &RemoteSession::sessionEvent, [&](const RemoteEvent& e) {
        if (e.kind == RemoteEvent::Kind::Done)
            done << std::pair{e.op, e.ok};
    });
    const RemoteOpId mk = m_session.makeDir("fresh");
    const RemoteOpId again = m_session.makeDir("fresh"); // refused: it is there now
    const RemoteOpId cd = m_session.changeDir("fresh");
    const RemoteOpId ls = m_session.list();
    const RemoteOpId bye = m_session.quit();
    EXPECT_TRUE(m_session.busy());
    ASSERT_TRUE(waitFor([this] { return m_quit; }));
    EXPECT_EQ(done, (QList<std::pair<RemoteOpId, bool>>{
                        {mk, true}, {again, false}, {cd, true}, {ls, true}, {bye, true}}));
    EXPECT_TRUE(QFileInfo(remote(QStringLiteral("fresh"))).isDir());
    EXPECT_FALSE(m_session.busy());
    EXPECT_FALSE(m_session.connected());
}

} // namespace
