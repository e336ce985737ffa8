// The FTP screen with an SFTP profile, against the tests' own OpenSSH server: the host key
// question both ways, a site uploaded with its folders, the server commands, and Stop.
#include "publish/FtpScreen.h"

#include "app/ChangedList.h"
#include "app/Settings.h"
#include "sftp/SftpTestSupport.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class FtpScreenSftp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(remote.isValid());
        ASSERT_TRUE(server.start()) << server.error().toStdString();
        QDir().mkpath(client.keyFolder());
        ASSERT_TRUE(sshtest::makeKey(client.key(QStringLiteral("id_ed25519")), QString()));
        ASSERT_TRUE(server.authorize(client.key(QStringLiteral("id_ed25519"))));
        screen = std::make_unique<FtpScreen>(dir.path(), changed, settings, prompter);
        SftpSession probe;
        client.configure(probe, server);
        screen->setSftpConnection(server.port(), probe.Connection);
        screen->open();
        HostProfile p{
            QStringLiteral("Secure"),          QStringLiteral("127.0.0.1"), server.user(), {}, {},
            QDir(remote.path()).absolutePath()};
        p.protocol = HostProtocol::Sftp;
        p.siteFolder = dir.file(QStringLiteral("site"));
        screen->connection().setFields(p);
        screen->addToList();
        screen->selectHost(0);
    }
    void TearDown() override {
        screen.reset();
        server.stop();
    }
    bool idle(int ms = 20000) {
        return sftptest::waitFor([&] { return !screen->busy(); }, ms);
    }
    QString remoteFile(const QString& name) const {
        return QDir(remote.path()).absolutePath() + u'/' + name;
    }

    TempDir dir;
    QTemporaryDir remote;
    sshtest::TestSshd server;
    sftptest::Client client;
    ChangedList changed;
    Settings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<FtpScreen> screen;
};

} // namespace

TEST_F(FtpScreenSftp, TheHostKeyQuestionThenASiteUploadedAndTheServerCommands) {
    FtpScreen& s = *screen;
    // No: the session ends, the key is not stored.
    prompter.queue(MessageAnswer::No);
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return prompter.shown().size() == 2; }))
        << s.transfer().log().join('\n').toStdString();
    EXPECT_TRUE(prompter.texts().at(0).contains(server.hostFingerprint()))
        << prompter.texts().at(0).toStdString();
    EXPECT_EQ(prompter.texts().at(1),
              QStringLiteral("The host key of 127.0.0.1 (port %1) was not trusted: the "
                             "connection was ended.")
                  .arg(server.port()));
    ASSERT_TRUE(idle());
    EXPECT_FALSE(s.connected());
    EXPECT_EQ(client.knownHostsText(), QByteArray("<missing>"));

    // Yes: stored, logged in with the key, the initial folder listed.
    prompter.clearShown();
    prompter.queue(MessageAnswer::Yes);
    s.connectToHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return s.connected() && !s.busy(); }))
        << s.transfer().log().join('\n').toStdString();
    EXPECT_TRUE(client.knownHostsText().contains(server.hostPublicKey().split(' ').value(1)));
    EXPECT_EQ(s.remote().folder(), QDir(remote.path()).absolutePath());
    EXPECT_EQ(s.remote().directories(), QStringList({".."}));
    EXPECT_FALSE(s.connection().closeEnabled());

    // The changed list goes with the site's folders kept.
    const QStringList files = {QStringLiteral("site/index.html"),
                               QStringLiteral("site/news/2024/may.html"),
                               QStringLiteral("site/img/logo.gif")};
    for (int i = 0; i < files.size(); ++i)
        ASSERT_TRUE(dir.write(files[i], QByteArray("page ") + QByteArray::number(i) + "\r\n\xff"));
    for (const QString& f : files)
        changed.add(dir.file(f));
    s.open();
    s.addAllFromAutoList();
    s.transferFiles();
    ASSERT_TRUE(sftptest::waitFor([&] { return !s.transfer().transferring() && !s.busy(); }, 30000))
        << s.transfer().log().join('\n').toStdString();
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Completed sending 3 files."));
    for (const QString& f : files)
        EXPECT_EQ(readAll(remoteFile(f.mid(5))), dir.read(f)) << f.toStdString();
    EXPECT_EQ(s.remote().directories(), QStringList({"..", "img", "news"}));
    EXPECT_EQ(s.remote().files(), QStringList({"index.html"}));

    // Make Dir, into it and back, Rename, Delete, Remove Dir; a refusal names the server's words.
    prompter.queueInput(QStringLiteral("old"));
    s.makeDirectory();
    ASSERT_TRUE(idle());
    EXPECT_TRUE(s.remote().directories().contains(QStringLiteral("old")));
    s.openDirectory(static_cast<int>(s.remote().directories().indexOf(QStringLiteral("news"))));
    ASSERT_TRUE(idle());
    EXPECT_EQ(s.remote().folder(), QDir(remote.path()).absolutePath() + QStringLiteral("/news"));
    s.openDirectory(0);
    ASSERT_TRUE(idle());
    EXPECT_EQ(s.remote().folder(), QDir(remote.path()).absolutePath());
    prompter.queueInput(QStringLiteral("home.html"));
    s.renameFile(0);
    ASSERT_TRUE(idle());
    EXPECT_EQ(s.remote().files(), QStringList({"home.html"}));
    prompter.queue(MessageAnswer::Yes);
    s.deleteFile(0);
    ASSERT_TRUE(idle());
    EXPECT_TRUE(s.remote().files().isEmpty());
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    s.removeDirectory(static_cast<int>(s.remote().directories().indexOf(QStringLiteral("news"))));
    ASSERT_TRUE(idle());
    ASSERT_TRUE(sftptest::waitFor([&] {
        return prompter.texts().last().startsWith(
            QStringLiteral("The server refused to remove the directory news: "));
    })) << prompter.texts().join('|').toStdString();
    prompter.queue(MessageAnswer::Yes);
    s.removeDirectory(static_cast<int>(s.remote().directories().indexOf(QStringLiteral("old"))));
    ASSERT_TRUE(idle());
    EXPECT_EQ(s.remote().directories(), QStringList({"..", "img", "news"}));

    s.disconnectFromHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return !s.connected() && !s.busy(); }));
    settings.ftpFlush = true;
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(prompter.answersLeft());
}

TEST_F(FtpScreenSftp, StopEndsAnUploadAndAChangedHostKeyIsRefused) {
    FtpScreen& s = *screen;
    ASSERT_TRUE(client.trust(server));
    s.connectToHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return s.connected() && !s.busy(); }))
        << s.transfer().log().join('\n').toStdString();
    {
        QFile big(dir.file(QStringLiteral("site/big.bin")));
        QDir().mkpath(dir.file(QStringLiteral("site")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(400LL * 1024 * 1024));
    }
    ASSERT_TRUE(dir.write(QStringLiteral("site/z-after.html"), "after"));
    changed.addAll(
        {dir.file(QStringLiteral("site/big.bin")), dir.file(QStringLiteral("site/z-after.html"))});
    s.open();
    s.addAllFromAutoList();
    // Stop as soon as bytes of the big file move.
    bool stopped = false;
    QObject::connect(&s.transfer(), &FtpTransferPage::changed, [&] {
        if (!stopped && s.transfer().transferring() && !s.transfer().byteCounter().isEmpty()) {
            stopped = true;
            s.abort();
        }
    });
    s.transferFiles();
    ASSERT_TRUE(
        sftptest::waitFor([&] { return stopped && !s.transfer().transferring() && !s.busy(); }));
    EXPECT_FALSE(s.connected());
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Transfer stopped: sent 0 of 2 files."));
    EXPECT_TRUE(s.connection().closeEnabled());
    EXPECT_FALSE(QFileInfo::exists(remoteFile(QStringLiteral("big.bin"))));
    EXPECT_FALSE(QFileInfo::exists(remoteFile(QStringLiteral("z-after.html"))));
    // Nothing was sent: FTPFLUSH leaves both waiting.
    settings.ftpFlush = true;
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.count(), 2);

    // Another key stored for the host: refused with the reason, no question.
    const QString other = client.key(QStringLiteral("other_host_key"));
    ASSERT_TRUE(sshtest::makeKey(other, QString()));
    const QByteArray otherKey = readAll(other + QStringLiteral(".pub")).trimmed();
    QFile known(client.knownHosts());
    ASSERT_TRUE(known.open(QIODevice::WriteOnly | QIODevice::Truncate));
    known.write(QStringLiteral("[127.0.0.1]:%1 ").arg(server.port()).toLatin1() +
                otherKey.split(' ').value(0) + ' ' + otherKey.split(' ').value(1) + '\n');
    known.close();
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return !prompter.shown().empty(); }));
    EXPECT_TRUE(prompter.texts().last().startsWith(
        QStringLiteral("The host key of 127.0.0.1 (port %1) has changed").arg(server.port())))
        << prompter.texts().last().toStdString();
    ASSERT_TRUE(idle());
    EXPECT_FALSE(s.connected());
}

TEST_F(FtpScreenSftp, AConnectionLostIdleOrDuringAnUploadIsToldOnce) {
    FtpScreen& s = *screen;
    ASSERT_TRUE(client.trust(server));
    const QString lost =
        QStringLiteral("The connection to 127.0.0.1 (port %1) was lost: ").arg(server.port());

    // Idle: a message, one Log line, and the screen without a connection.
    s.connectToHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return s.connected() && !s.busy(); }))
        << s.transfer().log().join('\n').toStdString();
    ASSERT_FALSE(s.connection().closeEnabled());
    prompter.queue(MessageAnswer::Ok);
    server.killConnections();
    ASSERT_TRUE(sftptest::waitFor([&] { return !s.connected() && !prompter.shown().empty(); }));
    QTest::qWait(200);
    ASSERT_EQ(prompter.shown().size(), 1u);
    const QString idleText = prompter.texts().first();
    EXPECT_TRUE(idleText.startsWith(lost)) << idleText.toStdString();
    EXPECT_EQ(s.transfer().log().last(), idleText);
    EXPECT_EQ(s.transfer().log().count(idleText), 1);
    EXPECT_FALSE(s.busy());
    EXPECT_TRUE(s.connection().closeEnabled());
    EXPECT_FALSE(s.connection().noticeShown());
    EXPECT_TRUE(s.remote().directories().isEmpty());
    EXPECT_EQ(s.remote().folder(), QString());

    // During an upload: the one message names the file, the Log names the cause once.
    prompter.clearShown();
    s.connectToHost();
    ASSERT_TRUE(sftptest::waitFor([&] { return s.connected() && !s.busy(); }));
    {
        QFile big(dir.file(QStringLiteral("big.bin")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(400LL * 1024 * 1024));
    }
    ASSERT_TRUE(dir.write(QStringLiteral("small.html"), "small"));
    const QString big = dir.file(QStringLiteral("big.bin"));
    changed.addAll({big, dir.file(QStringLiteral("small.html"))});
    s.open();
    s.addAllFromAutoList();
    bool killed = false;
    QObject::connect(&s.transfer(), &FtpTransferPage::changed, [&] {
        if (!killed && s.transfer().transferring() && !s.transfer().byteCounter().isEmpty()) {
            killed = true;
            server.killConnections();
        }
    });
    prompter.queue(MessageAnswer::Ok);
    s.transferFiles();
    ASSERT_TRUE(sftptest::waitFor(
        [&] { return killed && !s.transfer().transferring() && !prompter.shown().empty(); }));
    QTest::qWait(200);
    ASSERT_EQ(prompter.shown().size(), 1u);
    const QString message = prompter.texts().first();
    const QString cause = message.section(QStringLiteral("\n\n"), 1);
    EXPECT_TRUE(cause.startsWith(lost)) << message.toStdString();
    EXPECT_EQ(message, FtpScreen::connectionLostText(big, 0, 2, cause));
    const QStringList log = s.transfer().log();
    EXPECT_EQ(log.filter(cause).size(), 1) << log.join('\n').toStdString();
    EXPECT_EQ(log.last(),
              QStringLiteral("Could not send %1: the connection to the server was lost (%2)")
                  .arg(big, cause));
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Transfer stopped: sent 0 of 2 files."));
    EXPECT_FALSE(s.connected());
    EXPECT_FALSE(s.busy());
    EXPECT_TRUE(s.connection().closeEnabled());
}
