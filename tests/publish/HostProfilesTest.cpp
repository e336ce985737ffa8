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
                         "Password=pa ss\r\nAccount=\r\nDirectory=/www\r\n"));
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
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")),
              QByteArray("[My Site]\r\nProfile=My Site\r\nHost=ftp2.example.com\r\nUser=web\r\n"
                         "Password=\r\nAccount=\r\nDirectory=/www\r\nPort=2121\r\n"
                         "[Other]\r\nHost=o\r\n"));

    ASSERT_TRUE(profiles.erase(QStringLiteral("My Site")));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), QByteArray("[Other]\r\nHost=o\r\n"));
    EXPECT_EQ(modeOf(profiles.profilesPath()), 0600);
    // A missing section reads as the defaults.
    EXPECT_EQ(profiles.read(QStringLiteral("My Site")),
              (HostProfile{QStringLiteral("none"), QStringLiteral("none"), {}, {}, {}, {}}));
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
