// TStarFtp against vsftpd on loopback, anonymous with uploads: login, server type, listing,
// directory commands and uploads compared byte for byte.
#include "FtpTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using ftptest::kVsftpd;
using ftptest::Recorder;
using ftptest::waitFor;

namespace {

class FtpVsftpd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(kVsftpd))
            GTEST_SKIP() << "vsftpd is not installed (" << kVsftpd.toStdString() << ")";
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path() + QStringLiteral("/root");
        QDir().mkpath(m_root + QStringLiteral("/pub"));
        QFile::setPermissions(m_root, QFileDevice::Permissions(0x7777));
        QFile page(m_root + QStringLiteral("/index.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        page.close();

        QString error;
        m_port = ftptest::startVsftpd(m_process, m_root, m_dir.path(), error);
        ASSERT_GT(m_port, 0) << error.toStdString();

        m_ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
        m_ftp.FtpPort = m_port;
        m_ftp.UserName = QStringLiteral("anonymous");
        m_ftp.UserPassword = QStringLiteral("tests@example.org");
    }

    void TearDown() override { ftptest::stopByPid(m_process); }

    QTemporaryDir m_dir;
    QString m_root;
    int m_port = 0;
    QProcess m_process;
    TStarFtp m_ftp;
    Recorder m_rec{m_ftp};
};

TEST_F(FtpVsftpd, AnonymousLoginListsDirectoriesAndUploads) {
    m_ftp.Connect();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("loggedin")));
    EXPECT_EQ(m_ftp.ServerType, ftpstUNIX);
    EXPECT_TRUE(m_rec.errors.isEmpty());

    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    // Run as the launching user vsftpd does not chroot: PWD names the real folder.
    EXPECT_EQ(m_ftp.InitialDirectory, m_root);
    EXPECT_EQ(m_ftp.FileList(), QStringList{QStringLiteral("index.html")});
    EXPECT_EQ(m_ftp.DirectoryList(), QStringList{QStringLiteral("pub")});

    m_rec.events.clear();
    m_ftp.MakeDirectory(QStringLiteral("site"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("created")));
    EXPECT_TRUE(m_ftp.Success());
    m_rec.events.clear();
    m_ftp.ChangeDirectory(m_root + QStringLiteral("/site"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("changed")));
    EXPECT_TRUE(m_ftp.Success());

    for (int size : {0, 4096, 4097, 1024 * 1024 + 3}) {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 13) ^ (i >> 9));
        const QString local = m_dir.path() + QStringLiteral("/up.bin");
        QFile f(local);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        m_ftp.LocalFile = local;
        m_ftp.RemoteFile = QStringLiteral("f%1.bin").arg(size);
        m_rec.events.clear();
        m_ftp.StoreFile();
        ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("stored"))) << size;
        EXPECT_TRUE(m_ftp.Success()) << size;
        QFile stored(m_root + QStringLiteral("/site/f%1.bin").arg(size));
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << size;
        EXPECT_TRUE(stored.readAll() == bytes) << size;
    }

    m_rec.events.clear();
    m_ftp.RenameFile(QStringLiteral("f0.bin"), QStringLiteral("empty.bin"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("renamed")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_TRUE(QFile::exists(m_root + QStringLiteral("/site/empty.bin")));

    m_rec.events.clear();
    m_ftp.GetListing();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("listed")));
    QStringList files = m_ftp.FileList();
    files.sort();
    EXPECT_EQ(files, (QStringList{QStringLiteral("empty.bin"), QStringLiteral("f1048579.bin"),
                                  QStringLiteral("f4096.bin"), QStringLiteral("f4097.bin")}));

    m_rec.events.clear();
    m_ftp.MakeDirectory(QStringLiteral("gone"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("created")));
    m_rec.events.clear();
    m_ftp.RemoveDirectory(QStringLiteral("gone"));
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("removed")));
    EXPECT_TRUE(m_ftp.Success());
    EXPECT_FALSE(QDir(m_root + QStringLiteral("/site/gone")).exists());

    m_rec.events.clear();
    m_ftp.Quit();
    ASSERT_TRUE(m_rec.waitEvent(QStringLiteral("quit")));
    EXPECT_TRUE(m_rec.errors.isEmpty());
    EXPECT_FALSE(m_ftp.Connected());
}

} // namespace
