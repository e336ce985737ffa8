// SftpSession against the tests' own OpenSSH server: the host key (first connect answered No and
// Yes, a changed key refused), logging in with a password, a key with a passphrase and the agent,
// and connections that go nowhere (refused, silent, no server).
#include "SftpTestSupport.h"

#include <QFile>

#include <sys/socket.h>

using sftptest::Recorder;
using Answer = sftptest::Recorder::Answer;
using Kind = SftpQuestion::Kind;

namespace {

class SftpTrustAndLogin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start()) << m_server.error().toStdString();
        m_client.configure(m_session, m_server);
    }

    void authorizeKey(const QString& name = QStringLiteral("id_ed25519"),
                      const QString& passphrase = {},
                      const QString& type = QStringLiteral("ed25519")) {
        QString error;
        ASSERT_TRUE(sshtest::makeKey(m_client.key(name), passphrase, &error, type))
            << error.toStdString();
        ASSERT_TRUE(m_server.authorize(m_client.key(name)));
    }

    QString who() const { return QStringLiteral("127.0.0.1 (port %1)").arg(m_server.port()); }

    sshtest::TestSshd m_server;
    sftptest::Client m_client;
    SftpSession m_session;
    Recorder m_rec{m_session};
};

TEST_F(SftpTrustAndLogin, UnknownHostKeyAnsweredNoEndsTheSessionAndStoresNothing) {
    authorizeKey();
    m_rec.answers.push_back({Kind::HostKey, false, std::nullopt});
    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit"))) << m_rec.dump().toStdString();

    ASSERT_EQ(m_rec.questions.size(), 1);
    const SftpQuestion& q = m_rec.questions[0];
    EXPECT_EQ(q.keyType, QStringLiteral("ED25519"));
    EXPECT_EQ(q.fingerprint, m_server.hostFingerprint());
    EXPECT_TRUE(q.fingerprint.startsWith(QStringLiteral("SHA256:")));
    EXPECT_EQ(q.host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(q.port, m_server.port());
    EXPECT_EQ(q.text, QStringLiteral("The server %1 is not among your known hosts.\n"
                                     "Its ED25519 key has the fingerprint\n%2\n\n"
                                     "Trust this key, store it in %3 and connect?")
                          .arg(who(), m_server.hostFingerprint(), m_client.knownHosts()));
    const QString refusal =
        QStringLiteral("The host key of %1 was not trusted: the connection was ended.").arg(who());
    EXPECT_EQ(
        m_rec.outcome(),
        QStringList({QStringLiteral("question hostkey"), QStringLiteral("error 8 ") + refusal,
                     QStringLiteral("done login failed 8 ") + refusal, QStringLiteral("quit")}));
    EXPECT_FALSE(QFile::exists(m_client.knownHosts()));
    EXPECT_FALSE(m_server.log().contains(QStringLiteral("Accepted")));
    EXPECT_FALSE(m_session.Connected());
}

TEST_F(SftpTrustAndLogin, UnknownHostKeyAnsweredYesIsStoredAsOpenSshReadsIt) {
    authorizeKey();
    m_rec.answers.push_back({Kind::HostKey, true, std::nullopt});
    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("done login ok"))) << m_rec.dump().toStdString();
    EXPECT_TRUE(m_session.Connected());
    EXPECT_EQ(m_rec.infos(SftpInfo::HostKeyStored),
              QStringList(QStringLiteral("ED25519 key %1 stored in %2")
                              .arg(m_server.hostFingerprint(), m_client.knownHosts())));
    EXPECT_EQ(m_client.knownHostsText(), m_server.knownHostsLine() + '\n');
    // OpenSSH's own tools find the entry.
    QByteArray found;
    EXPECT_TRUE(sshtest::runTool(QStringLiteral("ssh-keygen"),
                                 {QStringLiteral("-F"),
                                  QStringLiteral("[127.0.0.1]:%1").arg(m_server.port()),
                                  QStringLiteral("-f"), m_client.knownHosts()},
                                 nullptr, &found));
    EXPECT_TRUE(found.contains(m_server.hostPublicKey().split(' ').value(1)));

    m_session.Quit();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.outcome(),
              QStringList({QStringLiteral("question hostkey"), QStringLiteral("done login ok"),
                           QStringLiteral("done quit ok"), QStringLiteral("quit")}));

    // The next connection asks nothing: the recorder fails on any question.
    SftpSession again;
    Recorder rec(again);
    m_client.configure(again, m_server);
    again.Connect();
    ASSERT_TRUE(rec.waitLine(QStringLiteral("done login ok"))) << rec.dump().toStdString();
    EXPECT_TRUE(rec.questions.isEmpty());
    EXPECT_EQ(rec.infos(SftpInfo::HostKeyKnown),
              QStringList(QStringLiteral("ED25519 key ") + m_server.hostFingerprint()));

    // Hashed by OpenSSH (HashKnownHosts), the entry still counts.
    ASSERT_TRUE(
        sshtest::runTool(QStringLiteral("ssh-keygen"),
                         {QStringLiteral("-H"), QStringLiteral("-f"), m_client.knownHosts()}));
    ASSERT_TRUE(m_client.knownHostsText().startsWith("|1|"));
    SftpSession hashed;
    Recorder hashedRec(hashed);
    m_client.configure(hashed, m_server);
    hashed.Connect();
    ASSERT_TRUE(hashedRec.waitLine(QStringLiteral("done login ok")))
        << hashedRec.dump().toStdString();
    EXPECT_TRUE(hashedRec.questions.isEmpty());
}

TEST_F(SftpTrustAndLogin, ChangedHostKeyIsRefusedWithoutAQuestion) {
    authorizeKey();
    // Known hosts hold another key for this host and port, as after the server was replaced.
    const QString other = m_client.dir.path() + QStringLiteral("/other_host_key");
    ASSERT_TRUE(sshtest::makeKey(other, QString()));
    QFile pub(other + QStringLiteral(".pub"));
    ASSERT_TRUE(pub.open(QIODevice::ReadOnly));
    const QList<QByteArray> fields = pub.readAll().trimmed().split(' ');
    const QByteArray known = QStringLiteral("[127.0.0.1]:%1 ").arg(m_server.port()).toLatin1() +
                             fields[0] + ' ' + fields[1] + '\n';
    QFile file(m_client.knownHosts());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(known);
    file.close();

    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit"))) << m_rec.dump().toStdString();
    const QString refusal =
        QStringLiteral("The host key of %1 has changed: the server now shows the ED25519 key %2, "
                       "not the key stored for it in %3. Someone may be listening in on the "
                       "connection, or the server was set up anew. The connection was refused. "
                       "If you know that the key changed, remove the old key of %1 from %3 and "
                       "connect again.")
            .arg(who(), m_server.hostFingerprint(), m_client.knownHosts());
    EXPECT_EQ(m_rec.outcome(), QStringList({QStringLiteral("error 7 ") + refusal,
                                            QStringLiteral("done login failed 7 ") + refusal,
                                            QStringLiteral("quit")}));
    EXPECT_TRUE(m_rec.questions.isEmpty());
    EXPECT_EQ(m_client.knownHostsText(), known);
    EXPECT_FALSE(m_server.log().contains(QStringLiteral("Accepted")));

    // Only a key of another type known for the host: refused as well, not asked.
    const QString ecdsa = m_client.dir.path() + QStringLiteral("/ecdsa_host_key");
    ASSERT_TRUE(sshtest::makeKey(ecdsa, QString(), nullptr, QStringLiteral("ecdsa")));
    QFile ecdsaPub(ecdsa + QStringLiteral(".pub"));
    ASSERT_TRUE(ecdsaPub.open(QIODevice::ReadOnly));
    const QList<QByteArray> ecdsaFields = ecdsaPub.readAll().trimmed().split(' ');
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QStringLiteral("[127.0.0.1]:%1 ").arg(m_server.port()).toLatin1() + ecdsaFields[0] +
               ' ' + ecdsaFields[1] + '\n');
    file.close();
    SftpSession typed;
    Recorder rec(typed);
    m_client.configure(typed, m_server);
    typed.Connect();
    ASSERT_TRUE(rec.waitLine(QStringLiteral("quit"))) << rec.dump().toStdString();
    EXPECT_EQ(rec.outcome().first(),
              QStringLiteral("error 7 The server %1 shows the ED25519 key %2, but %3 holds a key "
                             "of another type for it. Someone may be listening in on the "
                             "connection, or the server was set up anew. The connection was "
                             "refused. If you know that the server's keys changed, remove the old "
                             "key of %1 from %3 and connect again.")
                  .arg(who(), m_server.hostFingerprint(), m_client.knownHosts()));
    EXPECT_TRUE(rec.questions.isEmpty());
}

TEST_F(SftpTrustAndLogin, WrongPasswordIsRefusedStoredOrTyped) {
    ASSERT_TRUE(m_client.trust(m_server));
    m_session.Connection.useKeys = false;
    m_session.Connection.password = QStringLiteral("not the password");
    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit"))) << m_rec.dump().toStdString();
    const QString refusal =
        QStringLiteral("The server %1 refused the login of %2 (it takes: public key, password; "
                       "the password was not accepted).")
            .arg(who(), m_server.user());
    EXPECT_EQ(m_rec.outcome(), QStringList({QStringLiteral("error 10 ") + refusal,
                                            QStringLiteral("done login failed 10 ") + refusal,
                                            QStringLiteral("quit")}));
    EXPECT_EQ(m_rec.infos(SftpInfo::KeyRefused),
              QStringList(QStringLiteral("The password was not accepted")));

    // Without a stored password it is asked, again after a wrong one, until none is given.
    SftpSession asked;
    Recorder rec(asked);
    m_client.configure(asked, m_server);
    asked.Connection.useKeys = false;
    rec.answers.push_back({Kind::Password, true, QStringLiteral("guess")});
    rec.answers.push_back({Kind::Password, true, std::nullopt});
    asked.Connect();
    ASSERT_TRUE(rec.waitLine(QStringLiteral("quit"))) << rec.dump().toStdString();
    ASSERT_EQ(rec.questions.size(), 2);
    EXPECT_EQ(rec.questions[0].text,
              QStringLiteral("Password of %1 on %2:").arg(m_server.user(), who()));
    EXPECT_EQ(rec.questions[0].attempt, 1);
    EXPECT_EQ(rec.questions[1].text,
              QStringLiteral("Wrong password. Password of %1 on %2:").arg(m_server.user(), who()));
    EXPECT_EQ(rec.questions[1].attempt, 2);
    EXPECT_TRUE(rec.has(QStringLiteral("error 10 The server %1 refused the login of %2 (it takes: "
                                       "public key, password; no password was given).")
                            .arg(who(), m_server.user())))
        << rec.dump().toStdString();
}

TEST_F(SftpTrustAndLogin, KeyWithPassphraseIsAskedOnlyWhenTheServerTakesIt) {
    // The ed25519 key is not authorized: its passphrase is never asked. The ECDSA key is.
    ASSERT_TRUE(sshtest::makeKey(m_client.key(QStringLiteral("id_ed25519")),
                                 QStringLiteral("never asked")));
    authorizeKey(QStringLiteral("id_ecdsa"), QStringLiteral("open sesame"),
                 QStringLiteral("ecdsa"));
    ASSERT_TRUE(m_client.trust(m_server));
    m_rec.answers.push_back({Kind::Passphrase, true, QStringLiteral("open sesame?")});
    m_rec.answers.push_back({Kind::Passphrase, true, QStringLiteral("open sesame")});
    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("done login ok"))) << m_rec.dump().toStdString();

    const QString key = m_client.key(QStringLiteral("id_ecdsa"));
    ASSERT_EQ(m_rec.questions.size(), 2);
    EXPECT_EQ(m_rec.questions[0].keyFile, key);
    EXPECT_EQ(m_rec.questions[0].text, QStringLiteral("Passphrase of the key %1:").arg(key));
    EXPECT_EQ(m_rec.questions[1].text,
              QStringLiteral("Wrong passphrase. Passphrase of the key %1:").arg(key));
    EXPECT_EQ(m_rec.questions[1].attempt, 2);
    EXPECT_EQ(m_rec.infos(SftpInfo::KeyRefused),
              QStringList(QStringLiteral("The key %1 was not accepted")
                              .arg(m_client.key(QStringLiteral("id_ed25519")))));
    EXPECT_EQ(m_rec.infos(SftpInfo::LoggedIn),
              QStringList(QStringLiteral("%1 with the key %2").arg(m_server.user(), key)));
    EXPECT_EQ(m_rec.infos(SftpInfo::SftpStarted), QStringList(QStringLiteral("SFTP version 3")));
    EXPECT_TRUE(
        m_server.log().contains(QStringLiteral("Accepted publickey for %1").arg(m_server.user())));
}

TEST_F(SftpTrustAndLogin, AgentKeyLogsIn) {
    sshtest::TestAgent agent;
    ASSERT_TRUE(agent.start());
    const QString key = m_client.dir.path() + QStringLiteral("/agent_key");
    ASSERT_TRUE(sshtest::makeKey(key, QString()));
    ASSERT_TRUE(m_server.authorize(key));
    ASSERT_TRUE(agent.add(key));
    ASSERT_TRUE(m_client.trust(m_server));
    m_session.Connection.useAgent = true;
    m_session.Connection.agentSocket = agent.socket();
    m_session.Connection.useKeys = false;
    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("done login ok"))) << m_rec.dump().toStdString();
    EXPECT_EQ(m_rec.infos(SftpInfo::LoggedIn),
              QStringList(QStringLiteral("%1 with a key of the SSH agent").arg(m_server.user())));
    m_session.Quit();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit")));
}

TEST_F(SftpTrustAndLogin, ConnectionsThatGoNowhereEndWithTheReason) {
    // Nothing listens.
    m_session.Connection.port = sshtest::freePort();
    m_session.Connect();
    ASSERT_TRUE(m_rec.waitLine(QStringLiteral("quit"))) << m_rec.dump().toStdString();
    EXPECT_EQ(m_rec.outcome().first(),
              QStringLiteral("error 3 The server 127.0.0.1 refused the connection on port %1.")
                  .arg(m_session.Connection.port));

    // A server that takes the connection and never says a word.
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(silent, 4), 0);
    socklen_t length = sizeof address;
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);
    SftpSession waiting;
    Recorder rec(waiting);
    m_client.configure(waiting, m_server);
    waiting.Connection.port = ntohs(address.sin_port);
    waiting.Connection.replyTimeOut = 1;
    waiting.Connect();
    auto queued = waiting.GetListing(); // waits for the login, which never comes
    ASSERT_TRUE(rec.waitLine(QStringLiteral("quit"), 10000)) << rec.dump().toStdString();
    const QString timeOut =
        QStringLiteral("The server 127.0.0.1 (port %1) did not answer within 1 second.")
            .arg(waiting.Connection.port);
    EXPECT_EQ(rec.outcome(), QStringList({QStringLiteral("error 5 ") + timeOut,
                                          QStringLiteral("done login failed 5 ") + timeOut,
                                          QStringLiteral("quit")}));
    EXPECT_EQ(queued->error(), SftpError::Cancelled);
    EXPECT_EQ(queued->state(), SftpOperation::State::Failed);
    ::close(silent);

    // No server at all; then operations without a connection fail at once.
    SftpSession nowhere;
    Recorder none(nowhere);
    nowhere.Connect();
    ASSERT_TRUE(none.waitLine(QStringLiteral("quit")));
    EXPECT_EQ(none.outcome(),
              QStringList({QStringLiteral("error 1 No server was given."),
                           QStringLiteral("done login failed 1 No server was given."),
                           QStringLiteral("quit")}));
    auto late = nowhere.MakeDirectory("x");
    ASSERT_TRUE(none.waitLine(QStringLiteral("done mkdir failed 20 Not connected.")));
    EXPECT_EQ(late->error(), SftpError::NotConnected);
}

} // namespace
