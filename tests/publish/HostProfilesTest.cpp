// FTP.DAT and FTP.INI on real files.
#include "publish/HostProfiles.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

int modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return static_cast<int>(st.st_mode & 0777);
}

HostProfile sample() {
    return {QStringLiteral("My Site"),
            QStringLiteral("ftp.example.com"),
            QStringLiteral("web"),
            QStringLiteral("pa ss"),
            QString(),
            QStringLiteral("/www")};
}

} // namespace

TEST(HostProfiles, ProfilesAreWrittenAsSectionsReadableByTheOwnerOnly) {
    TempDir dir;
    HostProfiles profiles(dir.path());
    ASSERT_TRUE(profiles.write(sample(), true));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")),
              QByteArray("[My Site]\r\nProfile=My Site\r\nHost=ftp.example.com\r\nUser=web\r\n"
                         "Password=pa ss\r\nAccount=\r\nDirectory=/www\r\n"
                         "TransferMode=Passive\r\nSecurity=None\r\nSiteFolder=\r\n"
                         "Fingerprint=\r\nProtocol=FTP\r\n"));
    EXPECT_EQ(modeOf(profiles.profilesPath()), 0600);
    EXPECT_EQ(profiles.read(QStringLiteral("My Site")), sample());
    // Section names compare without regard to case.
    EXPECT_EQ(profiles.read(QStringLiteral("my site")).host, QStringLiteral("ftp.example.com"));

    // A rewrite keeps the mode, even after someone widened it; the password is left out when
    // it is not to be saved, and keys of the section that are not ours stay.
    ASSERT_EQ(::chmod(QFile::encodeName(profiles.profilesPath()).constData(), 0644), 0);
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"), dir.read(QStringLiteral("FTP.INI")) +
                                                         "Port=2121\r\n[Other]\r\nHost=o\r\n"));
    HostProfile changed = sample();
    changed.host = QStringLiteral("ftp2.example.com");
    ASSERT_TRUE(profiles.write(changed, false));
    EXPECT_EQ(modeOf(profiles.profilesPath()), 0600);
    EXPECT_EQ(
        dir.read(QStringLiteral("FTP.INI")),
        QByteArray("[My Site]\r\nProfile=My Site\r\nHost=ftp2.example.com\r\nUser=web\r\n"
                   "Password=\r\nAccount=\r\nDirectory=/www\r\nTransferMode=Passive\r\n"
                   "Security=None\r\nSiteFolder=\r\nFingerprint=\r\nProtocol=FTP\r\nPort=2121\r\n"
                   "[Other]\r\nHost=o\r\n"));

    ASSERT_TRUE(profiles.erase(QStringLiteral("My Site")));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), QByteArray("[Other]\r\nHost=o\r\n"));
    EXPECT_EQ(modeOf(profiles.profilesPath()), 0600);
    // A missing section reads as the defaults.
    HostProfile missing{QStringLiteral("none"), QStringLiteral("none"), {}, {}, {}, {}};
    missing.dataConnection = TDataConnection::Active;
    EXPECT_EQ(profiles.read(QStringLiteral("My Site")), missing);
}

TEST(HostProfiles, TransferModeSecuritySiteFolderAndFingerprint) {
    TempDir dir;
    HostProfiles profiles(dir.path());
    // A file from before these keys: active mode, no TLS, no site folder, as it always worked;
    // writing another profile leaves its bytes alone.
    const QByteArray old("[Old]\r\nProfile=Old\r\nHost=ftp.old.org\r\nUser=u\r\nPassword=p\r\n"
                         "Account=\r\nDirectory=/htdocs\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"), old));
    const HostProfile before = profiles.read(QStringLiteral("Old"));
    EXPECT_EQ(before.dataConnection, TDataConnection::Active);
    EXPECT_EQ(before.security, TFtpSecurity::None);
    EXPECT_EQ(before.siteFolder, QString());
    EXPECT_EQ(before.fingerprint, QString());
    EXPECT_EQ(before.directory, QStringLiteral("/htdocs"));
    // A profile made now starts passive.
    EXPECT_EQ(HostProfile().dataConnection, TDataConnection::Passive);

    HostProfile p = sample();
    p.profile = QStringLiteral("New");
    p.dataConnection = TDataConnection::PassiveThenActive;
    p.security = TFtpSecurity::TlsRequired;
    p.protocol = HostProtocol::FtpTls;
    p.siteFolder = QStringLiteral("/home/me/site");
    ASSERT_TRUE(profiles.write(p, true));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")),
              old + "[New]\r\nProfile=New\r\nHost=ftp.example.com\r\nUser=web\r\n"
                    "Password=pa ss\r\nAccount=\r\nDirectory=/www\r\n"
                    "TransferMode=PassiveThenActive\r\nSecurity=TLSRequired\r\n"
                    "SiteFolder=/home/me/site\r\nFingerprint=\r\nProtocol=FTPS\r\n");
    EXPECT_EQ(modeOf(profiles.profilesPath()), 0600);
    EXPECT_EQ(profiles.read(QStringLiteral("New")), p);
    p.security = TFtpSecurity::TlsIfOffered;
    p.dataConnection = TDataConnection::Active;
    ASSERT_TRUE(profiles.write(p, true));
    EXPECT_EQ(profiles.read(QStringLiteral("new")), p);
    EXPECT_TRUE(dir.read(QStringLiteral("FTP.INI"))
                    .contains("TransferMode=Active\r\nSecurity=TLSIfOffered\r\n"));

    // Trusting a certificate touches the Fingerprint key of that section only.
    const QString fp = QStringLiteral("AB:CD:01");
    const QByteArray beforeTrust = dir.read(QStringLiteral("FTP.INI"));
    ASSERT_TRUE(profiles.trust(QStringLiteral("Old"), fp));
    EXPECT_EQ(
        dir.read(QStringLiteral("FTP.INI")),
        QByteArray(beforeTrust)
            .replace("Directory=/htdocs\r\n", "Directory=/htdocs\r\nFingerprint=AB:CD:01\r\n"));
    EXPECT_EQ(profiles.read(QStringLiteral("Old")).fingerprint, fp);
    EXPECT_EQ(profiles.read(QStringLiteral("Old")).dataConnection, TDataConnection::Active);
    EXPECT_EQ(modeOf(profiles.profilesPath()), 0600);
    // No section to trust for, or a value that would break the file: nothing is written.
    const QByteArray afterTrust = dir.read(QStringLiteral("FTP.INI"));
    EXPECT_FALSE(profiles.trust(QStringLiteral("Gone"), fp));
    EXPECT_FALSE(profiles.trust(QStringLiteral("Old"), QStringLiteral("AB\r\n[Evil]")));
    EXPECT_FALSE(profiles.trust(QStringLiteral("Old"), QString()));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), afterTrust);

    // Values that are not known read as the defaults of a stored profile.
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"),
                          "[Odd]\r\nTransferMode=sideways\r\nSecurity=\r\n"
                          "[Cased]\r\ntransfermode= passive \r\nSECURITY=tlsrequired\r\n"));
    EXPECT_EQ(profiles.read(QStringLiteral("Odd")).dataConnection, TDataConnection::Active);
    EXPECT_EQ(profiles.read(QStringLiteral("Odd")).security, TFtpSecurity::None);
    EXPECT_EQ(profiles.read(QStringLiteral("Cased")).dataConnection, TDataConnection::Passive);
    EXPECT_EQ(profiles.read(QStringLiteral("Cased")).security, TFtpSecurity::TlsRequired);
}

TEST(HostProfiles, TheProtocolOfAProfile) {
    TempDir dir;
    HostProfiles profiles(dir.path());
    // Stored before the key: FTP, or FTP over TLS when a TLS choice was stored.
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"),
                          "[Plain]\r\nHost=ftp.old.org\r\n"
                          "[Tls]\r\nHost=ftp.old.org\r\nSecurity=TLSIfOffered\r\n"
                          "[Odd]\r\nProtocol=gopher\r\n"
                          "[Mixed]\r\nProtocol=FTP\r\nSecurity=TLSRequired\r\n"
                          "[Cased]\r\nprotocol= sftp \r\n"));
    EXPECT_EQ(profiles.read(QStringLiteral("Plain")).protocol, HostProtocol::Ftp);
    EXPECT_EQ(profiles.read(QStringLiteral("Tls")).protocol, HostProtocol::FtpTls);
    EXPECT_EQ(profiles.read(QStringLiteral("Odd")).protocol, HostProtocol::Ftp);
    EXPECT_EQ(profiles.read(QStringLiteral("Mixed")).protocol, HostProtocol::FtpTls);
    EXPECT_EQ(profiles.read(QStringLiteral("Cased")).protocol, HostProtocol::Sftp);

    HostProfile p = sample();
    p.protocol = HostProtocol::Sftp;
    ASSERT_TRUE(profiles.write(p, true));
    EXPECT_TRUE(dir.read(QStringLiteral("FTP.INI")).endsWith("Fingerprint=\r\nProtocol=SFTP\r\n"));
    EXPECT_EQ(profiles.read(QStringLiteral("My Site")), p);

    // The port when the host names none, and the TLS the FTP engine is given.
    EXPECT_EQ(p.defaultPort(), 22);
    EXPECT_EQ(p.effectiveSecurity(), TFtpSecurity::None);
    p.security = TFtpSecurity::TlsRequired;
    EXPECT_EQ(p.effectiveSecurity(), TFtpSecurity::None);
    p.protocol = HostProtocol::Ftp;
    EXPECT_EQ(p.defaultPort(), 21);
    EXPECT_EQ(p.effectiveSecurity(), TFtpSecurity::TlsRequired); // never dropped
    p.protocol = HostProtocol::FtpTls;
    EXPECT_EQ(p.effectiveSecurity(), TFtpSecurity::TlsRequired);
    p.security = TFtpSecurity::TlsIfOffered;
    EXPECT_EQ(p.effectiveSecurity(), TFtpSecurity::TlsIfOffered);
    p.security = TFtpSecurity::None;
    EXPECT_EQ(p.effectiveSecurity(), TFtpSecurity::TlsRequired);
}

TEST(HostProfiles, NamesThatWouldCorruptTheFileAreRefused) {
    TempDir dir;
    HostProfiles profiles(dir.path());
    for (const QString& bad :
         {QStringLiteral("a]b"), QStringLiteral("a\nb"), QStringLiteral("a\rb")}) {
        EXPECT_FALSE(HostProfiles::validName(bad));
        HostProfile p = sample();
        p.profile = bad;
        EXPECT_FALSE(profiles.write(p, true));
    }
    EXPECT_FALSE(dir.exists(QStringLiteral("FTP.INI")));
    EXPECT_FALSE(HostProfiles::validName(QStringLiteral("[home] site")));
    EXPECT_TRUE(HostProfiles::validName(QStringLiteral("home [site")));
    EXPECT_EQ(HostProfiles::invalidNameText(QStringLiteral("a]\nb")),
              QStringLiteral("The Profile Name \"a] b\" cannot be used: a Profile Name may not "
                             "hold \"]\" or a line break."));
}

TEST(HostProfiles, TheNameListAndFilesThatCannotBeRead) {
    TempDir dir;
    HostProfiles profiles(dir.path());
    EXPECT_EQ(profiles.readNames(), QStringList());
    ASSERT_TRUE(
        profiles.writeNames({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("One")}));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("One\r\nTwo\r\nOne\r\n"));
    EXPECT_EQ(profiles.readNames(), QStringList({"One", "Two", "One"}));
    // LF-only and a last line without its end read the same.
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.DAT"), "One\nTwo"));
    EXPECT_EQ(profiles.readNames(), QStringList({"One", "Two"}));

    // Bytes that are not text: an empty list, and the file is never written over.
    const QByteArray binary("\x00\x01\x02garbage", 10);
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.DAT"), binary));
    EXPECT_EQ(profiles.readNames(), QStringList());
    EXPECT_TRUE(profiles.namesUnreadable());
    EXPECT_FALSE(profiles.writeNames({QStringLiteral("New")}));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), binary);

    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"), binary));
    EXPECT_FALSE(profiles.write(sample(), true));
    EXPECT_FALSE(profiles.erase(QStringLiteral("My Site")));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), binary);
}
