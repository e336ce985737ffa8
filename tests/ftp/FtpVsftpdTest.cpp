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

using ftptest::Recorder;
using ftptest::waitFor;

namespace {

const QString kVsftpd = QStringLiteral("/usr/sbin/vsftpd");

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(fd);
    return ntohs(a.sin_port);
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

class FtpVsftpd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(kVsftpd))
            GTEST_SKIP() << "vsftpd is not installed (" << kVsftpd.toStdString() << ")";
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path() + QStringLiteral("/root");
        QDir().mkpath(m_root + QStringLiteral("/pub"));
        QDir().mkpath(m_dir.path() + QStringLiteral("/empty"));
        QFile::setPermissions(m_root, QFileDevice::Permissions(0x7777));
        QFile page(m_root + QStringLiteral("/index.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        page.close();

        QFile tmpl(ftptest::testDir() + QStringLiteral("/ftp/vsftpd.conf.in"));
        ASSERT_TRUE(tmpl.open(QIODevice::ReadOnly));
        m_port = freePort();
        QString conf = QString::fromUtf8(tmpl.readAll());
        conf.replace(QStringLiteral("@PORT@"), QString::number(m_port));
        conf.replace(QStringLiteral("@ROOT@"), m_root);
        conf.replace(QStringLiteral("@EMPTY@"), m_dir.path() + QStringLiteral("/empty"));
        const QString confPath = m_dir.path() + QStringLiteral("/vsftpd.conf");
        QFile out(confPath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(conf.toUtf8());
        out.close();

        m_process.setProgram(kVsftpd);
        m_process.setArguments({confPath});
        m_process.start();
        ASSERT_TRUE(m_process.waitForStarted(5000)) << m_process.errorString().toStdString();
        const bool up = waitFor(
            [&] { return accepts(m_port) || m_process.state() == QProcess::NotRunning; }, 5000);
        ASSERT_TRUE(up && m_process.state() == QProcess::Running)
            << "vsftpd did not start: " << m_process.readAllStandardError().toStdString()
            << m_process.readAllStandardOutput().toStdString();

        m_ftp.SetFtpServer(QStringLiteral("127.0.0.1"));
        m_ftp.FtpPort = m_port;
        m_ftp.UserName = QStringLiteral("anonymous");
        m_ftp.UserPassword = QStringLiteral("tests@example.org");
    }

    void TearDown() override {
        const qint64 pid = m_process.processId();
        if (m_process.state() != QProcess::NotRunning && pid > 0) {
            ::kill(static_cast<pid_t>(pid), SIGTERM);
            if (!m_process.waitForFinished(2000))
                ::kill(static_cast<pid_t>(pid), SIGKILL);
            m_process.waitForFinished(2000);
        }
    }

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
