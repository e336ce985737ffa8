// TStarFtp against a scripted server for what real servers rarely send: multi-line and short
// replies, empty lines, 426 before 226, odd SYST and PWD replies, VMS/VM listings, refused
// greetings, dropped connections, endless lines and binary listings.
#include "FtpTestSupport.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using ftptest::kLogin;
using ftptest::waitFor;

namespace {

class FtpScripted : public ftptest::ScriptedFixture {
protected:
    QString playUpload(QTemporaryDir& dir, const QByteArray& bytes, const QString& afterSteps);
};

TEST_F(FtpScripted, MultiLineShortAndEmptyRepliesAreEachHandledOnce) {
    play(QStringLiteral(
        R"(["send", "220-Welcome\r\n220-more welcome\r\n 220 not the end\r\n220 ready\r\n"],
        ["expect", "USER"], ["send", "\r\n33\r\n"],
        ["expect", "PASS"], ["send", "230-Welcome\r\n230-more\r\n230 Logged in\r\n"],
        ["expect", "SYST"], ["send", "215 UNIX Type: L8\r\n"],
        ["expect", "QUIT"], ["send", "221 bye\r\n"], ["close"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_rec.commands,
              (QStringList{QStringLiteral("USER u"), QStringLiteral("PASS ********"),
                           QStringLiteral("SYST")}));
    EXPECT_EQ(m_ftp.ServerType, ftpstUNIX);
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_TRUE(m_rec.errors.isEmpty());
    EXPECT_EQ(serverLog(), QStringLiteral("> USER u\n> PASS p\n> SYST\n> QUIT\nclosed\n"));
}

TEST_F(FtpScripted, RefusedSystGivesDefaultTypeAndPwdWithoutQuotesEmptiesTheDirectory) {
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "502 no SYST here\r\n"],
        ["expect", "PWD"], ["send", "257 /home/user is it\r\n"], ["expect", "TYPE A"],
        ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"], ["expect", "LIST"],
        ["send", "150 here\r\n"], ["data_out", "total 1\r\n-rw-r--r-- 1 u g 5 Jan 1 a.txt\r\nno-space-line\r\ndrwxr-xr-x 2 u g 5 Jan 1 last"],
        ["send", "226 done\r\n"])"));
    m_ftp.ServerType = ftpstVM;
    m_ftp.InitialDirectory = QStringLiteral("/was");
    m_ftp.InitialDirectory.clear();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_ftp.ServerType, ftpstDefault);
    m_ftp.InitialDirectory = QStringLiteral("/before");
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_ftp.InitialDirectory, QString());
    EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("a.txt")});
    // The last line came without CR LF before the close; it still counts.
    EXPECT_EQ(m_ftp.DirectoryList(), QStringList{QStringLiteral("last")});
    EXPECT_EQ(m_ftp.RawListing().size(), 4);
    EXPECT_TRUE(m_ftp.Success());
}

TEST_F(FtpScripted, VmsListingWithWrappedNames) {
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "215 VMS MultiNet V4.3\r\n"],
        ["expect", "PWD"], ["send", "257 \"DISK$USER:[WEB]\" is current\r\n"],
        ["expect", "TYPE A"], ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"],
        ["expect", "LIST"], ["send", "150 here\r\n"],
        ["data_out", "Directory DISK$USER:[WEB]\r\n\r\nINDEX.HTML;3        4/8  1-JAN-2000 10:00 [WEB] (RWED)\r\nA_VERY_LONG_NAME_THAT_WRAPS.HTML;12\r\n                 9/9  1-JAN-2000 10:00 [WEB] (RWED)\r\nIMAGES.DIR;1        1/3  1-JAN-2000 10:00 [WEB] (RWE)\r\n\r\nTotal of 3 files.\r\n"],
        ["send", "226 done\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_ftp.ServerType, ftpstVmsMultinet);
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_ftp.InitialDirectory, QStringLiteral("DISK$USER:[WEB]"));
    EXPECT_EQ(m_ftp.FileList(), (QStringList{QStringLiteral("INDEX.HTML"),
                                             QStringLiteral("A_VERY_LONG_NAME_THAT_WRAPS.HTML")}));
    EXPECT_EQ(m_ftp.DirectoryList(), QStringList{QStringLiteral("IMAGES")});
}

QString vmScenario(const char* systReply) {
    return QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "%1\r\n"],
        ["expect", "PWD"], ["send", "257 \"U.191\"\r\n"], ["expect", "TYPE A"],
        ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"],
        ["expect", "LIST"], ["send", "150 here\r\n"],
        ["data_out", "PROFILE  EXEC     A1 V  80  5  1\r\nFILENAME FILETYPE = x\r\nINDEX    HTML     A1 F  80  1  1\r\n   totals: 2\r\n"],
        ["send", "226 done\r\n"])")
                                             .arg(QLatin1String(systReply));
}

TEST_F(FtpScripted, VmListingNamesAreNameDotType) {
    play(vmScenario("215 VM/CMS Level 12"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_ftp.ServerType, ftpstVM);
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_ftp.FileList(),
              (QStringList{QStringLiteral("PROFILE.EXEC"), QStringLiteral("FILENAME.FILETYPE"),
                           QStringLiteral("INDEX.HTML")}));
    EXPECT_TRUE(m_ftp.DirectoryList().isEmpty());
}

TEST_F(FtpScripted, VmVpsListingSkipsHeadersAndTotals) {
    play(vmScenario("215 VM/VPS"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_ftp.ServerType, ftpstVMVPS);
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_EQ(m_ftp.FileList(), (QStringList{QStringLiteral(".EXEC"), QStringLiteral(".HTML")}));
    EXPECT_EQ(m_ftp.RawListing().size(), 4);
}

// An upload of page.html whose data the server reads whole; afterSteps follow on the control
// connection. Returns the local file's path (inside dir).
QString FtpScripted::playUpload(QTemporaryDir& dir, const QByteArray& bytes,
                                const QString& afterSteps) {
    const QString local = dir.path() + QStringLiteral("/page.html");
    QFile f(local);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    f.close();
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "215 UNIX\r\n"],
        ["expect", "TYPE I"], ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"],
        ["expect", "STOR page.html"], ["send", "150 go\r\n"], ["data_in", -1], )") +
         afterSteps);
    m_ftp.LocalFile = local;
    m_ftp.RemoteFile = QStringLiteral("page.html");
    return local;
}

TEST_F(FtpScripted, Reply426Before226MarksTheUploadFailedButFinishesIt) {
    QTemporaryDir dir;
    ASSERT_FALSE(playUpload(dir, QByteArray(5000, 'p'),
                            QStringLiteral(R"(["send", "426 aborted\r\n226 closing\r\n"])"))
                     .isEmpty());
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_TRUE(m_ftp.Connected());
    EXPECT_EQ(m_rec.events.count(QStringLiteral("stored")), 1);
    const QString md5 = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray(5000, 'p'), QCryptographicHash::Md5).toHex());
    EXPECT_TRUE(serverLog().contains(QStringLiteral("data_in 5000 ") + md5));
}

TEST_F(FtpScripted, A426ThatEndsTheStorOnItsOwnStillReachesTheReadyPoint) {
    QTemporaryDir dir;
    ASSERT_FALSE(playUpload(dir, QByteArray(3000, 'q'), QStringLiteral(R"(
        ["send", "426 Failure writing network stream.\r\n"], ["expect", "MKD"])"))
                     .isEmpty());
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.AbortedStoreWaitMs = 100;
    m_ftp.StoreFile();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored")));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_TRUE(m_ftp.Connected());
    // Not busy any more: the next operation goes out.
    m_rec.events.clear();
    m_ftp.MakeDirectory(QStringLiteral("next"));
    EXPECT_FALSE(m_rec.events.contains(QStringLiteral("busy")));
    EXPECT_TRUE(serverLog().contains(QStringLiteral("> MKD next")));
}

TEST_F(FtpScripted, GreetingThatIsNot2xxIsFatal26) {
    play(QStringLiteral(R"(["send", "421 Too many users\r\n"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.events,
              (QStringList{QStringLiteral("error 26 Error"), QStringLiteral("quit")}));
    EXPECT_FALSE(m_ftp.Connected());
    EXPECT_FALSE(m_ftp.HasHandle());
    EXPECT_TRUE(m_rec.commands.isEmpty());
}

TEST_F(FtpScripted, ServerDroppingTheConnectionMidCommandEndsItAsAFailure) {
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "215 UNIX\r\n"],
        ["expect", "MKD"], ["close"])"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_rec.events.clear();
    m_ftp.MakeDirectory(QStringLiteral("x"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.events, (QStringList{QStringLiteral("ready"), QStringLiteral("created"),
                                         QStringLiteral("quit")}));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_FALSE(m_ftp.Connected());
    EXPECT_EQ(m_rec.texts(FtpInfo::NotConnected), QStringList{QStringLiteral("Disconnected")});
}

TEST_F(FtpScripted, EndlessLineAndHugeReplyStayBounded) {
    qsizetype largest = 0;
    auto record = m_ftp.OnFtpInfo;
    m_ftp.OnFtpInfo = [&](TStarFtp* s, FtpInfo code, const QString& text) {
        largest = qMax(largest, s->ControlRemainderSize());
        record(s, code, text);
    };
    // A 1 MB line without CR LF inside a multi-line reply, then 100 KB of short lines.
    QString many;
    for (int i = 0; i < 5000; ++i)
        many += QStringLiteral("230-line %1 of the message\\r\\n").arg(i, 5);
    play(QStringLiteral(R"(["send", "220-"], ["flood", 1048576], ["send", "\r\n220 ready\r\n"],
        ["expect", "USER"], ["send", "331 pass\r\n"], ["expect", "PASS"], ["send", "%1"],
        ["send", "230 ok\r\n"], ["expect", "SYST"], ["send", "215 UNIX\r\n"])")
             .arg(many));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin"), 20000));
    EXPECT_LE(largest, TStarFtp::MaxLineLength + 1);
    // 1.1 MB in reads of at most 64 KB.
    EXPECT_GT(m_rec.count(FtpInfo::ControlRead), 16);
    EXPECT_EQ(m_rec.commands.count(QStringLiteral("SYST")), 1);
}

TEST_F(FtpScripted, BinaryListingAndEarlyDataCloseNeverHang) {
    QString binary;
    for (int i = 0; i < 6000; ++i)
        binary += QStringLiteral("\\u%1").arg((i * 37) % 256, 4, 16, QLatin1Char('0'));
    QTemporaryDir dir;
    const QString local = dir.path() + QStringLiteral("/big.bin");
    QFile f(local);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Larger than what the loopback socket buffers can take in, so the upload is still being
    // written when the server drops the data connection, however the kernel sizes them.
    f.write(QByteArray(32 * 1024 * 1024, 'b'));
    f.close();
    play(QString::fromLatin1(kLogin) + QStringLiteral(R"(, ["send", "215 UNIX\r\n"],
        ["expect", "PWD"], ["send", "257 \"/\"\r\n"], ["expect", "TYPE A"], ["send", "200 ok\r\n"],
        ["expect", "PORT"], ["send", "200 ok\r\n"], ["expect", "LIST"], ["send", "150 here\r\n"],
        ["data_out", "%1"], ["send", "226 done\r\n"],
        ["expect", "TYPE I"], ["send", "200 ok\r\n"], ["expect", "PORT"], ["send", "200 ok\r\n"],
        ["expect", "STOR"], ["send", "150 go\r\n"], ["data_in", 10000], ["sleep", 1],
        ["send", "451 local error\r\n"])")
                                           .arg(binary));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    EXPECT_TRUE(m_ftp.Success());
    m_rec.events.clear();
    m_ftp.LocalFile = local;
    m_ftp.RemoteFile = QStringLiteral("big.bin");
    m_ftp.StoreFile();
    // The server drops the data connection after 10000 bytes and answers only a second later:
    // the broken data connection is the transfer error that ends the session, never a hang or
    // a success.
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_EQ(m_rec.events.first(), QStringLiteral("error 28 Error"));
    EXPECT_FALSE(m_rec.has(QStringLiteral("stored")));
    EXPECT_FALSE(m_ftp.Success());
    EXPECT_FALSE(m_ftp.Busy());
    EXPECT_TRUE(serverLog().contains(QStringLiteral("data_in 10000 ")));
}

} // namespace
