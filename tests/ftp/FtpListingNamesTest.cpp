// Listing names end to end: a real server (pyftpdlib) with spaces in names, links and a folder
// with a space, and the scripted server for names in Latin-1 and other non-UTF-8 bytes, which
// must come back to the server byte for byte in DELE, RNFR, CWD and RMD.
#include "FtpTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using ftptest::kLogin;
using ftptest::Recorder;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

class FtpListingNamesPyftpdlib : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        const QString site = m_home.path() + QStringLiteral("/site");
        QDir(m_home.path()).mkpath(QStringLiteral("site/my folder"));
        QDir(m_home.path()).mkpath(QStringLiteral("site/images"));
        // "my" and "page.html" stand beside "my page.html": a Delete that acted on a part of
        // the name would hit one of them.
        writeFile(site + QStringLiteral("/my page.html"), "page");
        writeFile(site + QStringLiteral("/my"), "my");
        writeFile(site + QStringLiteral("/page.html"), "other");
        writeFile(site + QStringLiteral("/my folder/inside one.txt"), "inside");
        ASSERT_TRUE(QFile::link(QStringLiteral("images"), site + QStringLiteral("/pictures")));
        ASSERT_TRUE(
            QFile::link(QStringLiteral("page.html"), site + QStringLiteral("/page link.html")));
        m_port = ftptest::startPyftpd(m_server, m_home.path(), m_ftp);
        ASSERT_GT(m_port, 0) << "pyftpdlib did not start: " << m_server.error().toStdString();
        m_ftp.InitialDirectory = QStringLiteral("/site");
    }
    void TearDown() override { m_server.stop(); }

    void list() {
        m_rec.events.clear();
        m_ftp.GetListing();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
        ASSERT_TRUE(m_ftp.Success());
    }
    // Runs one operation and waits for its completion event.
    void run(const std::function<void()>& operation, const char* event) {
        m_rec.events.clear();
        m_rec.commands.clear();
        m_rec.infos.clear();
        operation();
        ASSERT_TRUE(m_rec.waitEvent(QLatin1String(event))) << event;
    }
    QByteArray fileName(const QString& shown) const {
        const qsizetype i = m_ftp.FileList().indexOf(shown);
        return i < 0 ? QByteArray() : m_ftp.FileNames().at(i);
    }
    QByteArray directoryName(const QString& shown) const {
        const qsizetype i = m_ftp.DirectoryList().indexOf(shown);
        return i < 0 ? QByteArray() : m_ftp.DirectoryNames().at(i);
    }

    QTemporaryDir m_home;
    ftptest::PythonServer m_server;
    int m_port = 0;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
};

TEST_F(FtpListingNamesPyftpdlib, NamesWithSpacesAndLinksListWholeAndActOnTheRightFile) {
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    ASSERT_EQ(m_ftp.ServerType, ftpstUNIX);
    list();
    EXPECT_EQ(sorted(m_ftp.FileList()),
              (QStringList{QStringLiteral("my"), QStringLiteral("my page.html"),
                           QStringLiteral("page.html")}));
    // Links are in the directory list, without their targets.
    EXPECT_EQ(m_ftp.RawListing().filter(QStringLiteral(" page link.html -> page.html")).size(), 1);
    EXPECT_EQ(sorted(m_ftp.DirectoryList()),
              (QStringList{QStringLiteral("images"), QStringLiteral("my folder"),
                           QStringLiteral("page link.html"), QStringLiteral("pictures")}));
    EXPECT_EQ(m_ftp.FileNames().size(), m_ftp.FileList().size());
    EXPECT_EQ(m_ftp.DirectoryNames().size(), m_ftp.DirectoryList().size());

    const QString site = m_home.path() + QStringLiteral("/site/");
    run([&] { m_ftp.DeleteFile(fileName(QStringLiteral("my page.html"))); }, "deleted");
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("DELE my page.html")});
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_FALSE(QFile::exists(site + QStringLiteral("my page.html")));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("my")));
    EXPECT_TRUE(QFile::exists(site + QStringLiteral("page.html")));
    EXPECT_TRUE(QFileInfo(site + QStringLiteral("page link.html")).isSymLink());

    // A link to a file is no directory: CWD into it fails as any refused CWD does.
    run([&] { m_ftp.ChangeDirectory(directoryName(QStringLiteral("page link.html"))); }, "changed");
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_EQ(m_rec.count(FtpInfo::UnexpectedReply), 1);
    EXPECT_TRUE(m_ftp.Connected());

    run([&] { m_ftp.ChangeDirectory(directoryName(QStringLiteral("my folder"))); }, "changed");
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("CWD my folder")});
    EXPECT_TRUE(m_ftp.Success());
    list();
    EXPECT_EQ(m_ftp.InitialDirectory, QStringLiteral("/site/my folder"));
    EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("inside one.txt")});
    EXPECT_TRUE(m_ftp.DirectoryList().isEmpty());

    // Into a link to a directory, by its listed name.
    run([&] { m_ftp.ChangeDirectory(QStringLiteral("/site")); }, "changed");
    list();
    run([&] { m_ftp.ChangeDirectory(directoryName(QStringLiteral("pictures"))); }, "changed");
    EXPECT_EQ(m_rec.commands, QStringList{QStringLiteral("CWD pictures")});
    EXPECT_TRUE(m_ftp.Success());
}

class FtpListingNamesScripted : public ftptest::ScriptedFixture {
protected:
    void waitAndClear(const char* event) {
        ASSERT_TRUE(m_rec.waitEvent(QLatin1String(event))) << event;
        m_rec.events.clear();
    }
};

// The scenario's texts go out as Latin-1, one byte per character: "\u00e9" is the byte E9, and
// "\u00c3\u00a9" the two bytes of a UTF-8 "é". The server logs bytes that are no valid UTF-8
// as \xNN escapes.
TEST_F(FtpListingNamesScripted, NonUtf8NamesAreShownAsLatin1AndSentBackByteForByte) {
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "215 UNIX Type: L8\r\n"],
        ["expect", "PWD"], ["send", "257 \"/web\"\r\n"], ["expect", "TYPE A"],
        ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"], ["expect", "LIST"],
        ["send", "150 here\r\n"],
        ["data_out", "-rw-r--r--   1 web  web   10 Apr  8 12:34 caf\u00e9 menu.html\r\n-rw-r--r--   1 web  web   10 Apr  8  1994 na\u00c3\u00afve page.html\r\n-rw-r--r--   1 web  web   10 Apr  8 12:34 \u0093\u00fa\u0096{.txt\r\ndrwxr-xr-x   2 web  web 4096 Apr  8 12:34 \u00c4rger \u00fc\r\n04-08-94  02:34PM       <DIR>          old \u00e9t\u00e9\r\n"],
        ["send", "226 done\r\n"],
        ["expect", "DELE"], ["send", "250 deleted\r\n"],
        ["expect", "RNFR"], ["send", "350 go on\r\n"], ["expect", "RNTO"], ["send", "250 ok\r\n"],
        ["expect", "CWD"], ["send", "250 ok\r\n"],
        ["expect", "RMD"], ["send", "250 ok\r\n"],
        ["expect", "QUIT"], ["send", "221 bye\r\n"], ["close"])"));
    waitAndClear("loggedin");
    m_ftp.GetListing();
    waitAndClear("listed");
    EXPECT_EQ(m_ftp.FileList(), (QStringList{QStringLiteral("caf\u00e9 menu.html"),
                                             QStringLiteral("na\u00efve page.html"),
                                             QStringLiteral("\u0093\u00fa\u0096{.txt")}));
    EXPECT_EQ(m_ftp.FileNames(), (QList<QByteArray>{"caf\xe9 menu.html", "na\xc3\xafve page.html",
                                                    "\x93\xfa\x96{.txt"}));
    EXPECT_EQ(m_ftp.DirectoryList(), (QStringList{QStringLiteral("\u00c4rger \u00fc"),
                                                  QStringLiteral("old \u00e9t\u00e9")}));
    EXPECT_EQ(m_ftp.DirectoryNames(), (QList<QByteArray>{"\xc4rger \xfc", "old \xe9t\xe9"}));
    // The raw lines are shown by the same rule.
    ASSERT_EQ(m_ftp.RawListing().size(), 5);
    EXPECT_TRUE(m_ftp.RawListing()[0].endsWith(QStringLiteral("caf\u00e9 menu.html")));

    m_ftp.DeleteFile(m_ftp.FileNames()[0]);
    waitAndClear("deleted");
    EXPECT_TRUE(m_ftp.Success());
    m_ftp.RenameFile(m_ftp.FileNames()[2], QByteArray("plain.txt"));
    waitAndClear("renamed");
    EXPECT_TRUE(m_ftp.Success());
    m_ftp.ChangeDirectory(m_ftp.DirectoryNames()[0]);
    waitAndClear("changed");
    EXPECT_EQ(m_ftp.InitialDirectory, QStringLiteral("\u00c4rger \u00fc"));
    m_ftp.RemoveDirectory(m_ftp.DirectoryNames()[1]);
    waitAndClear("removed");
    // What the program shows of the commands it sent follows the display rule too.
    EXPECT_EQ(m_rec.commands.mid(7), (QStringList{QStringLiteral("DELE caf\u00e9 menu.html"),
                                                  QStringLiteral("RNFR \u0093\u00fa\u0096{.txt"),
                                                  QStringLiteral("RNTO plain.txt"),
                                                  QStringLiteral("CWD \u00c4rger \u00fc"),
                                                  QStringLiteral("RMD old \u00e9t\u00e9")}));
    m_ftp.Quit();
    waitAndClear("quit");
    EXPECT_TRUE(m_rec.errors.isEmpty());
    const QString log = serverLog();
    EXPECT_TRUE(log.contains(QStringLiteral("> DELE caf\\xe9 menu.html\n"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("> RNFR \\x93\\xfa\\x96{.txt\n> RNTO plain.txt\n")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("> CWD \\xc4rger \\xfc\n"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("> RMD old \\xe9t\\xe9\n"))) << log.toStdString();
}

TEST_F(FtpListingNamesScripted, Utf8NamesGoBackAsTheirUtf8Bytes) {
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "215 Windows_NT\r\n"],
        ["expect", "PWD"], ["send", "257 \"/\"\r\n"], ["expect", "TYPE A"],
        ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"], ["expect", "LIST"],
        ["send", "150 here\r\n"],
        ["data_out", "04-08-1994  11:05AM                 2048 na\u00c3\u00afve page.html\r\n-rw-r--r--   1 web  web   10 Apr  8 12:34 a\nb\r\n"],
        ["send", "226 done\r\n"], ["expect", "DELE"], ["send", "250 deleted\r\n"])"));
    waitAndClear("loggedin");
    EXPECT_EQ(m_ftp.ServerType, ftpstDefault);
    m_ftp.GetListing();
    waitAndClear("listed");
    ASSERT_EQ(m_ftp.FileNames(), (QList<QByteArray>{"na\xc3\xafve page.html", "a\nb"}));
    EXPECT_EQ(m_ftp.FileList()[0], QStringLiteral("na\u00efve page.html"));
    // A name with a line break cannot be sent: cut at the break it would name the file "a".
    m_rec.commands.clear();
    m_ftp.DeleteFile(m_ftp.FileNames()[1]);
    waitAndClear("deleted");
    EXPECT_FALSE(m_ftp.Success());
    m_ftp.RenameFile(m_ftp.FileNames()[1], QByteArray("b"));
    waitAndClear("renamed");
    EXPECT_FALSE(m_ftp.Success());
    m_ftp.ChangeDirectory(QByteArray("a\r\nDELE x"));
    waitAndClear("changed");
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_TRUE(m_rec.commands.isEmpty());
    EXPECT_FALSE(m_ftp.Busy());
    m_ftp.DeleteFile(m_ftp.FileNames()[0]);
    waitAndClear("deleted");
    EXPECT_TRUE(m_ftp.Success());
    // Valid UTF-8 is logged as its characters.
    EXPECT_TRUE(serverLog().contains(QStringLiteral("> DELE na\u00efve page.html\n")));
}

} // namespace
