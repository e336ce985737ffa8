// TStarFtp in passive mode and over explicit TLS against real servers on loopback: pyftpdlib
// refusing PORT (passive only), refusing EPSV (PASV with a foreign address), refusing both,
// with TLS required on control and data; vsftpd with TLS and session reuse required, in both
// data modes; the certificate check by CA, host name, fingerprint and question; TLS required
// against a server without it. Uploads are compared byte for byte.
#include "FtpTestSupport.h"
#include "ftp/FtpListing.h"
#include "ftp/FtpTls.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using ftptest::Recorder;
using ftptest::waitFor;

namespace {

// A test CA and a server certificate it signed for the name "localhost" (not for 127.0.0.1).
struct TestCertificates {
    QString ca, cert, key, fingerprint, error;

    bool make(const QString& dir) {
        auto run = [&](const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(dir);
            p.start(QStringLiteral("openssl"), args);
            if (!p.waitForFinished(20000) || p.exitCode() != 0) {
                error = QString::fromUtf8(p.readAllStandardError());
                return QByteArray();
            }
            return p.readAllStandardOutput() + QByteArray(" ");
        };
        QFile ext(dir + QStringLiteral("/ext.cnf"));
        if (!ext.open(QIODevice::WriteOnly))
            return false;
        ext.write("subjectAltName=DNS:localhost\n");
        ext.close();
        const QStringList ec{
            QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
        if (run(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec +
                QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                            QStringLiteral("-out"), QStringLiteral("ca.pem"),
                            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                            QStringLiteral("/CN=Quillon Test CA")})
                .isEmpty() ||
            run(QStringList{QStringLiteral("req")} + ec +
                QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"),
                            QStringLiteral("-out"), QStringLiteral("server.csr"),
                            QStringLiteral("-subj"), QStringLiteral("/CN=localhost")})
                .isEmpty() ||
            run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                 QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                 QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                 QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                 QStringLiteral("server.pem"), QStringLiteral("-days"), QStringLiteral("2"),
                 QStringLiteral("-extfile"), QStringLiteral("ext.cnf")})
                .isEmpty())
            return false;
        const QByteArray print = run({QStringLiteral("x509"), QStringLiteral("-in"),
                                      QStringLiteral("server.pem"), QStringLiteral("-noout"),
                                      QStringLiteral("-fingerprint"), QStringLiteral("-sha256")});
        // "sha256 Fingerprint=AB:CD:..."
        fingerprint = QString::fromLatin1(print).section(QLatin1Char('='), 1).trimmed();
        ca = dir + QStringLiteral("/ca.pem");
        cert = dir + QStringLiteral("/server.pem");
        key = dir + QStringLiteral("/server.key");
        return !fingerprint.isEmpty();
    }
};

QByteArray pattern(qsizetype size, int seed) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + seed) ^ (i >> 10));
    return bytes;
}

TEST(FtpPassiveReplies, PasvAndEpsvRepliesGiveAddressAndPort) {
    struct Pasv {
        const char* reply;
        const char* address;
        int port;
    };
    const Pasv pasv[] = {
        {"227 Entering Passive Mode (10,0,0,5,4,3)", "10.0.0.5", 1027},
        {"227 Entering Passive Mode 127,0,0,1,255,255.", "127.0.0.1", 65535},
        {"227 =192,168,1,2,0,21", "192.168.1.2", 21},
        {"227 Entering Passive Mode (10,0,0,256,4,3)", "", 0},
        {"227 Entering Passive Mode (10,0,0,5,4)", "", 0},
        {"227 ok", "", 0},
    };
    for (const Pasv& c : pasv) {
        const PassiveTarget t = PassiveTargetFromPasvReply(QString::fromLatin1(c.reply));
        EXPECT_EQ(t.port, c.port) << c.reply;
        if (c.port != 0) {
            EXPECT_EQ(t.address, QLatin1String(c.address)) << c.reply;
        }
    }
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 Entering Extended Passive Mode (|||6446|)")),
              6446);
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 ok (!!!21!)")), 21);
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 ok (|||70000|)")), 0);
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 ok (||6446|)")), 0);
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 ok (|||-5|)")), 0);
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 ok (|||6446")), 0);
    EXPECT_EQ(PortFromEpsvReply(QStringLiteral("229 ok")), 0);
}

TEST(FtpPassiveReplies, FingerprintsCompareWrittenAnyWay) {
    const QString upper = QStringLiteral(
        "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:"
        "45:67:89");
    EXPECT_EQ(NormalizedFingerprint(upper), upper);
    EXPECT_EQ(NormalizedFingerprint(upper.toLower()), upper);
    EXPECT_EQ(NormalizedFingerprint(QString(upper).remove(QLatin1Char(':'))), upper);
    EXPECT_EQ(NormalizedFingerprint(QString(upper).replace(QLatin1Char(':'), QLatin1Char(' '))),
              upper);
    EXPECT_EQ(NormalizedFingerprint(upper.left(upper.size() - 3)), QString()); // SHA-1 length
    EXPECT_EQ(NormalizedFingerprint(QString(upper).replace(0, 1, QStringLiteral("G"))), QString());
    EXPECT_EQ(NormalizedFingerprint(QString()), QString());
}

class FtpPassiveTls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_local.isValid());
        QDir(m_home.path()).mkpath(QStringLiteral("site/images"));
        QFile page(m_home.path() + QStringLiteral("/site/index.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        page.close();
        m_ftp.InitialDirectory = QStringLiteral("/site");
    }
    void TearDown() override { m_server.stop(); }

    void start(const QStringList& options) {
        ASSERT_GT(ftptest::startPyftpd(m_server, m_home.path(), m_ftp, options), 0)
            << m_server.error().toStdString();
    }
    void startTls() {
        ASSERT_TRUE(m_certs.make(m_local.path())) << m_certs.error.toStdString();
        start({QStringLiteral("--tls"), m_certs.cert, m_certs.key});
    }

    bool login() {
        m_ftp.Connect();
        const bool in = m_rec.waitEvent(QStringLiteral("loggedin"));
        EXPECT_TRUE(in) << m_rec.events.join(',').toStdString();
        m_rec.events.clear();
        m_rec.commands.clear();
        return in;
    }

    // A listing of /site, then uploads of 0 B, 4 KB and 30 MB compared byte for byte; the
    // commands each data connection was opened by are collected in dataCommands.
    void listAndUpload(const QString& storedIn) {
        m_rec.events.clear();
        m_ftp.GetListing();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed"))) << errorsText();
        EXPECT_TRUE(m_ftp.Success());
        EXPECT_TRUE(m_ftp.FileList().contains(QStringLiteral("index.html")));
        EXPECT_EQ(m_ftp.DirectoryList(), QStringList{QStringLiteral("images")});
        for (qsizetype size : {qsizetype(0), qsizetype(4096), qsizetype(30) * 1024 * 1024}) {
            const QByteArray bytes = pattern(size, int(size % 251));
            const QString name = QStringLiteral("up%1.bin").arg(size);
            QFile f(m_local.path() + QLatin1Char('/') + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(bytes), size);
            f.close();
            m_ftp.LocalFile = f.fileName();
            m_ftp.RemoteFile = name;
            m_rec.events.clear();
            m_ftp.StoreFile();
            ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored"), 60000)) << size << errorsText();
            EXPECT_TRUE(m_ftp.Success()) << size;
            EXPECT_EQ(m_ftp.BytesTransferred(), size);
            // The server may still be writing the last bytes when it has answered STOR.
            QFile stored(storedIn + QLatin1Char('/') + name);
            waitFor([&] { return stored.size() == size; }, 5000);
            ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << size;
            const QByteArray got = stored.readAll();
            EXPECT_EQ(got.size(), size);
            EXPECT_TRUE(got == bytes) << "upload of " << size << " bytes differs";
        }
        EXPECT_TRUE(m_rec.errors.isEmpty()) << errorsText();
    }

    std::string errorsText() const {
        return (m_rec.events.join(',') + QStringLiteral(" | ") + m_rec.commands.join(','))
            .toStdString();
    }
    QStringList dataCommands() const {
        QStringList out;
        for (const QString& c : m_rec.commands) {
            if (c == QLatin1String("EPSV") || c == QLatin1String("PASV") ||
                c.startsWith(QLatin1String("PORT ")))
                out.append(c.startsWith(QLatin1String("PORT ")) ? QStringLiteral("PORT") : c);
        }
        return out;
    }

    QTemporaryDir m_home;
    QTemporaryDir m_local;
    TestCertificates m_certs;
    ftptest::PythonServer m_server;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
};

TEST_F(FtpPassiveTls, ActiveAndPassiveListAndUploadByteForByte) {
    // Active, the engine's default, against a server that takes everything.
    start({});
    ASSERT_TRUE(login());
    listAndUpload(m_home.path() + QStringLiteral("/site"));
    EXPECT_EQ(dataCommands(), QStringList(4, QStringLiteral("PORT")));
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    m_server.stop();

    // Passive against a server that does not know PORT and EPRT: only passive works.
    ftptest::PythonServer passiveOnly;
    m_ftp.DataConnection = TDataConnection::Passive;
    ASSERT_GT(ftptest::startPyftpd(passiveOnly, m_home.path(), m_ftp,
                                   {QStringLiteral("--refuse"), QStringLiteral("PORT,EPRT")}),
              0);
    m_rec.events.clear();
    ASSERT_TRUE(login());
    listAndUpload(m_home.path() + QStringLiteral("/site"));
    EXPECT_EQ(dataCommands(), QStringList(4, QStringLiteral("EPSV")));
    EXPECT_EQ(m_rec.count(FtpInfo::PassiveAddressIgnored), 0);
    passiveOnly.stop();
}

TEST_F(FtpPassiveTls, RefusedEpsvFallsBackToPasvAndIgnoresItsAddress) {
    start({QStringLiteral("--refuse"), QStringLiteral("EPSV"), QStringLiteral("--masquerade"),
           QStringLiteral("10.255.0.1")});
    m_ftp.DataConnection = TDataConnection::Passive;
    ASSERT_TRUE(login());
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed"))) << errorsText();
    EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("index.html")});
    EXPECT_EQ(m_rec.texts(FtpInfo::PassiveAddressIgnored),
              QStringList{
                  QStringLiteral("PASV address 10.255.0.1 ignored, data connection to 127.0.0.1")});
    // Once refused, EPSV is not asked again on this connection.
    m_rec.events.clear();
    const QByteArray bytes = pattern(4096, 7);
    QFile f(m_local.path() + QStringLiteral("/p.bin"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    m_ftp.LocalFile = f.fileName();
    m_ftp.RemoteFile = QStringLiteral("p.bin");
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored"))) << errorsText();
    EXPECT_TRUE(m_ftp.Success());
    QFile stored(m_home.path() + QStringLiteral("/site/p.bin"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll() == bytes);
    EXPECT_EQ(dataCommands(), (QStringList{QStringLiteral("EPSV"), QStringLiteral("PASV"),
                                           QStringLiteral("PASV")}));
    EXPECT_TRUE(m_rec.errors.isEmpty());
}

TEST_F(FtpPassiveTls, BothPassiveCommandsRefusedEndPassiveOnlyAndFallBackToPort) {
    start({QStringLiteral("--refuse"), QStringLiteral("EPSV,PASV")});
    m_ftp.DataConnection = TDataConnection::PassiveThenActive;
    ASSERT_TRUE(login());
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed"))) << errorsText();
    EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("index.html")});
    m_rec.events.clear();
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed"))) << errorsText();
    // The fallback is remembered: the second listing goes straight to PORT.
    EXPECT_EQ(dataCommands(), (QStringList{QStringLiteral("EPSV"), QStringLiteral("PASV"),
                                           QStringLiteral("PORT"), QStringLiteral("PORT")}));
    EXPECT_TRUE(m_rec.errors.isEmpty());

    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    m_ftp.DataConnection = TDataConnection::Passive;
    m_rec.events.clear();
    ASSERT_TRUE(login());
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"))) << errorsText();
    EXPECT_EQ(m_rec.errors, QList<int>{static_cast<int>(FtpError::PassiveRefused)});
    EXPECT_EQ(dataCommands(), (QStringList{QStringLiteral("EPSV"), QStringLiteral("PASV")}));
    EXPECT_FALSE(m_rec.commands.contains(QStringLiteral("LIST")));
    EXPECT_FALSE(m_ftp.Connected());
}

TEST_F(FtpPassiveTls, TlsRequiredOnControlAndDataListsAndUploadsByteForByte) {
    startTls();
    m_ftp.SetFtpServer(QStringLiteral("localhost")); // the name the certificate carries
    m_ftp.TrustedCaFile = m_certs.ca;
    m_ftp.Security = TFtpSecurity::TlsRequired;
    m_ftp.DataConnection = TDataConnection::Passive;
    bool asked = false;
    m_ftp.OnCertificateCheck = [&](TStarFtp*, const TCertificateInfo&) {
        asked = true;
        return false;
    };
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin"))) << errorsText();
    EXPECT_FALSE(asked);
    EXPECT_EQ(m_rec.commands,
              (QStringList{QStringLiteral("AUTH TLS"), QStringLiteral("USER webmaster"),
                           QStringLiteral("PASS ********"), QStringLiteral("PBSZ 0"),
                           QStringLiteral("PROT P"), QStringLiteral("SYST"),
                           QStringLiteral("CWD /site")}));
    const QStringList tls = m_rec.texts(FtpInfo::TlsEstablished);
    ASSERT_EQ(tls.size(), 1);
    EXPECT_TRUE(tls[0].startsWith(QStringLiteral("TLSv1."))) << tls[0].toStdString();
    // The server's replies after AUTH TLS came through TLS, and no secret shows in the infos,
    // the command sent with the password included.
    for (const auto& [code, text] : m_rec.infos)
        EXPECT_FALSE(text.contains(QStringLiteral("s3cret"))) << text.toStdString();
    m_rec.commands.clear();
    // pyftpdlib refuses clear data here (tls_data_required): whole files prove PROT P works.
    listAndUpload(m_home.path() + QStringLiteral("/site"));
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_TRUE(m_rec.errors.isEmpty()) << errorsText();
}

TEST_F(FtpPassiveTls, CertificateForAnotherNameIsRefusedUnlessTrustedOrAccepted) {
    startTls();
    // The certificate names localhost; the profile names the address.
    m_ftp.TrustedCaFile = m_certs.ca;
    m_ftp.Security = TFtpSecurity::TlsIfOffered;
    QList<TCertificateInfo> asked;
    bool answer = false;
    m_ftp.OnCertificateCheck = [&](TStarFtp*, const TCertificateInfo& info) {
        asked.append(info);
        return answer;
    };
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"))) << errorsText();
    EXPECT_EQ(m_rec.errors, QList<int>{static_cast<int>(FtpError::CertificateRefused)});
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("AUTH TLS")});
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].Subject, QStringLiteral("CN=localhost"));
    EXPECT_EQ(asked[0].Issuer, QStringLiteral("CN=Quillon Test CA"));
    EXPECT_EQ(asked[0].Sha256Fingerprint, m_certs.fingerprint);
    EXPECT_TRUE(asked[0].NotBefore.endsWith(QStringLiteral(" UTC")));
    EXPECT_LT(asked[0].NotBefore, asked[0].NotAfter);
    EXPECT_EQ(asked[0].Problem, QStringLiteral("IP address mismatch"));

    // Unset, the question counts as no.
    m_ftp.OnCertificateCheck = nullptr;
    m_rec.events.clear();
    m_rec.errors.clear();
    m_rec.commands.clear();
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit"))) << errorsText();
    EXPECT_EQ(m_rec.errors, QList<int>{static_cast<int>(FtpError::CertificateRefused)});
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("AUTH TLS")});

    // Trusted by its stored fingerprint (written in lower case): no question.
    m_ftp.OnCertificateCheck = [&](TStarFtp*, const TCertificateInfo& info) {
        asked.append(info);
        return answer;
    };
    m_ftp.TrustedFingerprint = m_certs.fingerprint.toLower();
    m_rec.events.clear();
    m_rec.errors.clear();
    ASSERT_TRUE(login());
    EXPECT_EQ(asked.size(), 1);
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));

    // Accepted by the user.
    m_ftp.TrustedFingerprint.clear();
    answer = true;
    m_rec.events.clear();
    ASSERT_TRUE(login());
    EXPECT_EQ(asked.size(), 2);
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed"))) << errorsText();
    EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("index.html")});
    EXPECT_TRUE(m_rec.errors.isEmpty());
}

class FtpTlsScripted : public ftptest::ScriptedFixture {};

TEST_F(FtpTlsScripted, TlsRequiredAgainstAServerWithoutTlsSendsNoName) {
    m_ftp.Security = TFtpSecurity::TlsRequired;
    play(QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "AUTH TLS"],
        ["send", "500 AUTH not understood\r\n"], ["sleep", 0.3])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.errors, QList<int>{static_cast<int>(FtpError::TlsNotOffered)});
    EXPECT_FALSE(m_ftp.Connected());
    EXPECT_EQ(serverLog(), QStringLiteral("> AUTH TLS\nend EOFError\n"));
}

TEST_F(FtpTlsScripted, TlsIfOfferedGoesOnInClearWhenRefused) {
    m_ftp.Security = TFtpSecurity::TlsIfOffered;
    play(QStringLiteral(R"(["send", "220 ready\r\n"], ["expect", "AUTH TLS"],
        ["send", "502 no TLS here\r\n"], ["expect", "USER"], ["send", "331 pass\r\n"],
        ["expect", "PASS"], ["send", "230 ok\r\n"], ["expect", "SYST"],
        ["send", "215 UNIX\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_TRUE(m_rec.errors.isEmpty());
    EXPECT_EQ(m_rec.count(FtpInfo::TlsEstablished), 0);
    EXPECT_EQ(m_rec.commands,
              (QStringList{QStringLiteral("AUTH TLS"), QStringLiteral("USER u"),
                           QStringLiteral("PASS ********"), QStringLiteral("SYST")}));
}

// vsftpd with TLS forced for the anonymous login and its data, and session reuse required.
class FtpVsftpdTls : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(ftptest::kVsftpd))
            GTEST_SKIP() << "vsftpd is not installed";
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_certs.make(m_dir.path())) << m_certs.error.toStdString();
        m_root = m_dir.path() + QStringLiteral("/root");
        QDir().mkpath(m_root + QStringLiteral("/site/images"));
        QFile::setPermissions(m_root, QFileDevice::Permissions(0x7777));
        QFile page(m_root + QStringLiteral("/site/index.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        page.close();
        QString error;
        const QString tls =
            QStringLiteral("ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                           "force_anon_data_ssl=YES\nrequire_ssl_reuse=YES\n"
                           "ssl_ciphers=HIGH\npasv_enable=YES\nrsa_cert_file=%1\n"
                           "rsa_private_key_file=%2\n"
                           // What the server saw, shown when a case fails.
                           "xferlog_enable=YES\nlog_ftp_protocol=YES\ndebug_ssl=YES\n"
                           "vsftpd_log_file=%3\n")
                .arg(m_certs.cert, m_certs.key, serverLogPath());
        m_port = ftptest::startVsftpd(m_process, m_root, m_dir.path(), error, tls);
        ASSERT_GT(m_port, 0) << error.toStdString();
        m_ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
        m_ftp.FtpPort = m_port;
        m_ftp.UserName = QStringLiteral("anonymous");
        m_ftp.UserPassword = QStringLiteral("tests@example.org");
        m_ftp.Security = TFtpSecurity::TlsRequired;
        m_ftp.TrustedFingerprint = m_certs.fingerprint;
        m_ftp.InitialDirectory = m_root + QStringLiteral("/site");
    }
    void TearDown() override {
        ftptest::stopByPid(m_process);
        if (!HasFailure())
            return;
        // The engine's and the server's account of the failed run, for whoever reads it.
        QString engine;
        for (const auto& [code, text] : m_rec.infos) {
            if (code != static_cast<int>(FtpInfo::DataProgress))
                engine += QStringLiteral("%1 %2\n").arg(code).arg(text.trimmed());
        }
        QFile log(serverLogPath());
        const QString server =
            log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : log.errorString();
        ADD_FAILURE() << "engine:\n"
                      << engine.toStdString() << "events: " << m_rec.events.join(',').toStdString()
                      << "\nvsftpd:\n"
                      << server.toStdString();
    }
    QString serverLogPath() const { return m_dir.path() + QStringLiteral("/vsftpd.log"); }

    void roundTrip() {
        m_ftp.Connect();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")))
            << m_rec.events.join(',').toStdString();
        EXPECT_EQ(m_rec.count(FtpInfo::TlsEstablished), 1);
        m_rec.events.clear();
        m_ftp.GetListing();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")))
            << m_rec.events.join(',').toStdString();
        EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("index.html")});
        EXPECT_EQ(m_ftp.DirectoryList(), QStringList{QStringLiteral("images")});
        for (qsizetype size : {qsizetype(0), qsizetype(4096), qsizetype(30) * 1024 * 1024}) {
            const QByteArray bytes = pattern(size, 3);
            QFile f(m_dir.path() + QStringLiteral("/up.bin"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
            m_ftp.LocalFile = f.fileName();
            m_ftp.RemoteFile = QStringLiteral("f%1.bin").arg(size);
            m_rec.events.clear();
            m_ftp.StoreFile();
            ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored"), 60000))
                << size << m_rec.events.join(',').toStdString();
            EXPECT_TRUE(m_ftp.Success()) << size;
            QFile stored(m_root + QStringLiteral("/site/f%1.bin").arg(size));
            waitFor([&] { return stored.size() == size; }, 5000);
            ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << size;
            EXPECT_TRUE(stored.readAll() == bytes) << "upload of " << size << " bytes differs";
        }
        m_rec.events.clear();
        m_ftp.Quit();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
        EXPECT_TRUE(m_rec.errors.isEmpty()) << m_rec.events.join(',').toStdString();
    }

    QTemporaryDir m_dir;
    TestCertificates m_certs;
    QString m_root;
    int m_port = 0;
    QProcess m_process;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
};

TEST_F(FtpVsftpdTls, ActiveDataConnectionsResumeTheControlSession) {
    roundTrip();
}

TEST_F(FtpVsftpdTls, PassiveDataConnectionsResumeTheControlSession) {
    m_ftp.DataConnection = TDataConnection::Passive;
    roundTrip();
}

} // namespace
