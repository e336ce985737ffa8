// The FTP screen's logic: host profiles, the transfer list's sources, the messages, and whole
// sessions against a real pyftpdlib server on loopback.
#include "publish/FtpScreen.h"
#include "app/ChangedList.h"
#include "app/Settings.h"
#include "ftp/FtpTestSupport.h"
#include "platform/TextFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using ftptest::waitFor;

namespace {

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

class FtpScreenTest : public ::testing::Test {
protected:
    FtpScreen& screen() {
        if (!m_screen)
            m_screen = std::make_unique<FtpScreen>(dir.path(), changed, settings, prompter);
        return *m_screen;
    }
    // A screen with the profile "Old" stored (hostList: FTP.DAT's bytes) and a port where nobody
    // listens, so that a connection is refused.
    FtpScreen& refusingScreen(const QByteArray& hostList) {
        EXPECT_TRUE(dir.write(QStringLiteral("FTP.DAT"), hostList));
        EXPECT_TRUE(
            dir.write(QStringLiteral("FTP.INI"),
                      "[Old]\r\nProfile=Old\r\nHost=127.0.0.1\r\nUser=u\r\nPassword=pw\r\n"));
        FtpScreen& s = screen();
        s.setFtpPort(ftptest::freePort());
        return s;
    }
    HostProfile profile(const QString& name, const QString& host = QStringLiteral("127.0.0.1")) {
        return {name, host, QStringLiteral("webmaster"), QStringLiteral("s3cret"), {}, {}};
    }

    TempDir dir;
    ChangedList changed;
    Settings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<FtpScreen> m_screen;
};

} // namespace

TEST_F(FtpScreenTest, HostProfilesAddModifyDeleteAndTheOnePreselected) {
    FtpScreen& s = screen();
    s.open();
    EXPECT_EQ(s.connection().selectedHostLabel(), QStringLiteral("Selected FTP Host: none"));

    prompter.queue(MessageAnswer::Ok, 2);
    int focused = 0;
    QObject::connect(&s, &FtpScreen::focusProfileName, [&] { ++focused; });
    s.addToList();
    s.modify();
    EXPECT_EQ(prompter.texts(),
              QStringList({"You must enter a Profile Name before adding to the Host List",
                           "You must include the Profile Name that you wish to have modified."}));
    EXPECT_EQ(focused, 2);

    // Add twice lists twice; the fields are emptied after each.
    s.connection().setFields(profile(QStringLiteral("Home")));
    s.addToList();
    EXPECT_EQ(s.connection().fields(), HostProfile());
    s.connection().setFields(profile(QStringLiteral("Home")));
    s.addToList();
    s.connection().setFields(profile(QStringLiteral("Work")));
    s.addToList();
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("Home\r\nHome\r\nWork\r\n"));
    // Modify removes the first entry of that name only, then appends.
    s.connection().setFields(profile(QStringLiteral("Home"), QStringLiteral("10.0.0.1")));
    s.modify();
    EXPECT_EQ(s.connection().hostList(), QStringList({"Home", "Work", "Home"}));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("Home\r\nWork\r\nHome\r\n"));

    // A name that would corrupt FTP.INI is refused and nothing is removed.
    prompter.queue(MessageAnswer::Ok);
    s.connection().setFields(profile(QStringLiteral("Work]")));
    s.modify();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The Profile Name \"Work]\" cannot be used: a Profile Name may not "
                             "hold \"]\" or a line break."));
    EXPECT_EQ(s.connection().hostList(), QStringList({"Home", "Work", "Home"}));

    s.selectHost(1);
    EXPECT_EQ(s.connection().fields(), profile(QStringLiteral("Work")));
    EXPECT_EQ(s.connection().currentHost(), profile(QStringLiteral("Work")));
    EXPECT_EQ(s.connection().selectedHostLabel(), QStringLiteral("Selected FTP Host: Work"));
    s.clearFields();
    EXPECT_EQ(s.connection().fields(), HostProfile());
    EXPECT_EQ(s.connection().currentHost().host, QStringLiteral("127.0.0.1")); // the copy stays
    s.deleteHost();
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("Home\r\nHome\r\n"));
    EXPECT_FALSE(dir.read(QStringLiteral("FTP.INI")).contains("[Work]"));

    // With exactly one profile the next screen opens with it selected.
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.DAT"), "Home\r\n"));
    FtpScreen again(dir.path(), changed, settings, prompter);
    again.open();
    EXPECT_EQ(again.connection().selectedHost(), 0);
    EXPECT_EQ(again.connection().selectedHostLabel(), QStringLiteral("Selected FTP Host: Home"));
    EXPECT_EQ(again.connection().fields().host, QStringLiteral("10.0.0.1"));
}

namespace {

// Makes a file immutable (or not) as chattr +i does; false where the system does not allow it.
bool setImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

} // namespace

// A profile that cannot be stored changes neither file, keeps what was typed and says why.
TEST_F(FtpScreenTest, AProfileThatCannotBeWrittenChangesNothing) {
    const QByteArray ini("[Old]\r\nProfile=Old\r\nHost=h\r\nUser=u\r\nPassword=p\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"), ini));
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.DAT"), "Old\r\n"));
    FtpScreen& s = screen();
    s.open();
    ASSERT_EQ(s.connection().hostList(), QStringList({"Old"}));

    // FTP.DAT cannot be written: FTP.INI, written first, is put back as it was.
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("FTP.DAT"))));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("FTP.DAT"))));
    prompter.queue(MessageAnswer::Ok, 3);
    s.connection().setFields(profile(QStringLiteral("New")));
    s.addToList();
    // The system's reason, as a write of that path gives it.
    const QString datReason =
        writeTextFile(dir.file(QStringLiteral("FTP.DAT")), QStringLiteral("x"), TextEncoding::Utf8)
            .error;
    EXPECT_FALSE(datReason.isEmpty());
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("The host profile \"New\" was not saved: ") +
                                           dir.file(QStringLiteral("FTP.DAT")) +
                                           QStringLiteral(" could not be written (") + datReason +
                                           QStringLiteral(")."));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), ini);
    EXPECT_EQ(s.connection().fields(), profile(QStringLiteral("New")));
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old"}));
    // Modify and Delete alike: the entry stays, and so does its section.
    s.connection().setFields(profile(QStringLiteral("Old")));
    s.modify();
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old"}));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), ini);
    s.selectHost(0);
    s.deleteHost();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The host profile \"Old\" was not deleted: ") +
                  dir.file(QStringLiteral("FTP.DAT")) + QStringLiteral(" could not be written (") +
                  datReason + QStringLiteral(")."));
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old"}));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), ini);
    EXPECT_EQ(s.connection().selectedHost(), 0);

    // FTP.INI cannot be written: FTP.DAT is not touched.
    ASSERT_TRUE(QDir(dir.file(QStringLiteral("FTP.DAT"))).removeRecursively());
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.DAT"), "Old\r\n"));
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("FTP.INI"))));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("FTP.INI"))));
    prompter.queue(MessageAnswer::Ok);
    s.connection().setFields(profile(QStringLiteral("New")));
    s.addToList();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The host profile \"New\" was not saved: ") +
                  dir.file(QStringLiteral("FTP.INI")) +
                  QStringLiteral(" could not be written (it cannot be read, so it is not written "
                                 "over)."));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("Old\r\n"));
    EXPECT_EQ(s.connection().fields(), profile(QStringLiteral("New")));
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old"}));
    EXPECT_FALSE(prompter.answersLeft());
}

// The same with FTP.INI made immutable, as "chattr +i" does.
TEST_F(FtpScreenTest, AnImmutableProfileFileIsNamedWithTheSystemsReason) {
    const QByteArray ini("[Old]\r\nProfile=Old\r\nHost=h\r\nUser=u\r\nPassword=p\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.INI"), ini));
    ASSERT_TRUE(dir.write(QStringLiteral("FTP.DAT"), "Old\r\n"));
    const QString path = dir.file(QStringLiteral("FTP.INI"));
    if (!setImmutable(path, true))
        GTEST_SKIP() << "files cannot be made immutable here";
    struct Unlock {
        QString path;
        ~Unlock() { setImmutable(path, false); }
    } unlock{path};
    FtpScreen& s = screen();
    s.open();
    prompter.queue(MessageAnswer::Ok, 2);
    s.connection().setFields(profile(QStringLiteral("RO")));
    s.addToList();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The host profile \"RO\" was not saved: ") + path +
                  QStringLiteral(" could not be written (Operation not permitted)."));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("Old\r\n"));
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old"}));
    EXPECT_EQ(s.connection().fields(), profile(QStringLiteral("RO")));
    s.selectHost(0);
    s.deleteHost();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The host profile \"Old\" was not deleted: ") + path +
                  QStringLiteral(" could not be written (Operation not permitted)."));
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old"}));
    setImmutable(path, false);
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), ini);
}

TEST_F(FtpScreenTest, TheTransferListsThreeSources) {
    ASSERT_TRUE(dir.write(QStringLiteral("site/a.html"), "a"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/b.gif"), "b"));
    const QString a = dir.file(QStringLiteral("site/a.html"));
    const QString b = dir.file(QStringLiteral("site/b.gif"));
    const QString gone = dir.file(QStringLiteral("site/gone.html"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/gone.html"), "g"));
    changed.addAll({a, b, gone});
    FtpScreen& s = screen();
    s.open();
    EXPECT_EQ(s.localFiles().autoList(), QStringList({a, b, gone}));
    ASSERT_TRUE(QFile::remove(gone)); // deleted while the screen is open

    prompter.queue(MessageAnswer::Ok, 4);
    s.addFromAutoList({2, 0});
    s.addAllFromAutoList();
    const QString missing = QStringLiteral("The file: ") + gone +
                            QStringLiteral("  does not exist. Please be sure the location is "
                                           "correct and the file has not been deleted.");
    EXPECT_EQ(prompter.texts(), QStringList({missing, missing}));
    EXPECT_EQ(s.localFiles().transferList(), QStringList({a, a, b}));
    s.removeFromTransferList({0, 2});
    EXPECT_EQ(s.localFiles().transferList(), QStringList({a}));

    // The Auto-FTP list's edits go back to the ChangedList at once.
    s.removeFromAutoList({2});
    EXPECT_EQ(changed.paths(), QStringList({a, b}));
    s.clearAutoList();
    EXPECT_EQ(changed.count(), 0);
    s.clearTransferList();

    // Projects: upper-cased names; the page list from the .fil beside the chosen .out.
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Site.out"), "Home\r\n\tGone\r\nPictures\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Site.fil"),
                          (a + "\r\n" + gone + "\r\n" + b + "\r\n").toUtf8()));
    EXPECT_EQ(s.projectNames(), QStringList({"SITE.OUT"}));
    s.chooseProject(QStringLiteral("SITE.OUT"));
    ASSERT_EQ(s.localFiles().projectPages().size(), 3u);
    EXPECT_EQ(s.localFiles().projectPages()[1].level, 2);
    s.addProjectPage(3);
    s.addProjectPage(0); // nothing selected
    s.addAllProjectPages();
    EXPECT_EQ(prompter.texts().last(), missing);
    EXPECT_EQ(s.localFiles().transferList(), QStringList({b, a, b}));
    s.chooseProject(QStringLiteral("typed.out"));
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("You cannot type in a project name. You must select it from the "
                             "list."));
    EXPECT_TRUE(s.localFiles().projectPages().empty());

    // Files: one "/" between folder and name, in the root folder too.
    s.clearTransferList();
    s.addFiles(QStringLiteral("/"), {QStringLiteral("x.gif")});
    s.addFiles(QStringLiteral("/site"), {QStringLiteral("y.gif"), QStringLiteral("z.gif")});
    EXPECT_EQ(s.localFiles().transferList(), QStringList({"/x.gif", "/site/y.gif", "/site/z.gif"}));
    EXPECT_FALSE(prompter.answersLeft());
}

TEST_F(FtpScreenTest, EachPageAnnouncesOnlyItsOwnChanges) {
    FtpScreen& s = refusingScreen("Old\r\n");
    // connection, local files, remote lists, transfer
    int counts[4] = {0, 0, 0, 0};
    QObject::connect(&s.connection(), &FtpConnectionPage::changed, [&] { ++counts[0]; });
    QObject::connect(&s.localFiles(), &FtpLocalFilesPage::changed, [&] { ++counts[1]; });
    QObject::connect(&s.remote(), &FtpRemotePage::changed, [&] { ++counts[2]; });
    QObject::connect(&s.transfer(), &FtpTransferPage::changed, [&] { ++counts[3]; });
    const auto announced = [&] {
        std::vector<int> seen(std::begin(counts), std::end(counts));
        std::fill(std::begin(counts), std::end(counts), 0);
        for (int& n : seen)
            n = n > 0 ? 1 : 0;
        return seen;
    };
    s.open();
    EXPECT_EQ(announced(), std::vector<int>({1, 1, 0, 0}));
    s.addFiles(QStringLiteral("/site"), {QStringLiteral("a.html")});
    EXPECT_EQ(announced(), std::vector<int>({0, 1, 0, 0}));
    // Typing the same text again changes nothing; another text only page 1.
    HostProfile typed = s.connection().fields();
    s.connection().setFields(typed);
    EXPECT_EQ(announced(), std::vector<int>({0, 0, 0, 0}));
    typed.directory = QStringLiteral("/www");
    s.connection().setFields(typed);
    s.connection().setSavePassword(false);
    EXPECT_EQ(announced(), std::vector<int>({1, 0, 0, 0}));
    EXPECT_EQ(s.connection().fields().directory, QStringLiteral("/www"));
    EXPECT_FALSE(s.connection().savePassword());
    // A connection refused: the Log and the connection's state, never the lists.
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    EXPECT_EQ(announced(), std::vector<int>({1, 0, 0, 1}));
    ASSERT_TRUE(waitFor([&] { return !prompter.shown().empty() && !s.busy(); }));
    EXPECT_EQ(prompter.texts().last(), FtpScreen::errorText(12, {}));
    EXPECT_EQ(announced(), std::vector<int>({1, 0, 0, 0}));
    EXPECT_EQ(s.transfer().log(), QStringList({"Log", "Connecting.."}));
}

TEST_F(FtpScreenTest, AQueuedFileGoneFromDiskLeavesTheQueueWithALogLine) {
    ASSERT_TRUE(dir.write(QStringLiteral("site/a.html"), "a"));
    const QString a = dir.file(QStringLiteral("site/a.html"));
    const QString gone = dir.file(QStringLiteral("site/gone.html"));
    const QString queue = ChangedList::queueFileFor(dir.path(), {});
    changed.open(queue);
    changed.addAll({a, gone});
    FtpScreen& s = screen();
    s.open();
    EXPECT_EQ(s.localFiles().autoList(), QStringList({a}));
    EXPECT_EQ(s.transfer().log(),
              QStringList({QStringLiteral("Log"),
                           gone + QStringLiteral(" is no longer on disk: taken off the "
                                                 "Auto-FTP List.")}));
    EXPECT_EQ(dir.read(QStringLiteral("queues/no-project.queue")), (a + "\r\n").toUtf8());
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(FtpScreenTest, ConnectChecksTheFieldsAndUsesTheSelectedHost) {
    FtpScreen& s = screen();
    s.open();
    int shownPage = -1;
    QObject::connect(&s, &FtpScreen::showPage, [&](int page) { shownPage = page; });
    prompter.queue(MessageAnswer::Ok, 3);
    HostProfile noUser = profile(QStringLiteral("Home"));
    noUser.user.clear();
    s.connection().setFields(noUser);
    s.connectToHost();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("Please verify that the host you have selected has a Profile Name, "
                             "Host Name, User Name, and Password. These fields are all required "
                             "to connect to an FTP host."));
    EXPECT_EQ(shownPage, FtpScreen::HostPage);

    // Typed but never selected: the current host is empty and the engine has no server.
    s.connection().setFields(profile(QStringLiteral("Home")));
    s.connectToHost();
    ASSERT_TRUE(waitFor([&] { return prompter.shown().size() == 2; }));
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("No server specified"));
    EXPECT_FALSE(s.busy());
    EXPECT_EQ(s.transfer().log(), QStringList({"Log", "Connecting.."}));

    s.transferFiles();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("You must press the CONNECT button to connect to the FTP server "
                             "before beginning to transfer files."));
    // Not connected: Close closes; FTPFLUSH takes off only what was uploaded, and nothing was.
    changed.add(QStringLiteral("/site/a.html"));
    settings.ftpFlush = false;
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.count(), 1);
    settings.ftpFlush = true;
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.paths(), QStringList({"/site/a.html"}));
}

TEST(FtpScreenTexts, EveryErrorCodeHasItsMessage) {
    const QString down = QStringLiteral(
        "The network is down. Make sure that you have established a connection to the network.");
    const QString notFound = QStringLiteral(
        "Could not find your FTP server. Check that you are connected to your service provider "
        "and that your setup information is correct.");
    const QString unexpected = QStringLiteral("An unexpected error occured");
    const QString closed =
        QStringLiteral("The connection was unexpectedly closed by the remote server");
    const std::vector<std::pair<int, QString>> table = {
        {0, {}},
        {1, QStringLiteral("The winsock interface could not be initialized. Make sure that "
                           "winsock is installed on your system.")},
        {2, down},
        {3, notFound},
        {4, unexpected},
        {5, unexpected},
        {6, closed},
        {7, closed},
        {8, QStringLiteral("The connection attempt to the server timed out.")},
        {9, QStringLiteral("The winsock is out of sockets. Close a winsock application before "
                           "trying again.")},
        {10, down},
        {11, down},
        {12, QStringLiteral("The server refused the connection. Make sure that you have entered "
                            "the correct value in setup for your FTP server.")},
        {13, QStringLiteral("An unexpected response was received from the server. Make sure that "
                            "you have entered the correct value in setup for your FTP port.")},
        {15, unexpected},
        {16, notFound},
        {18, down},
        {19, QStringLiteral("No server specified")},
        {21, QStringLiteral("Error opening /x/a.gif")},
        {23, QStringLiteral("Error reading from /x/a.gif")},
        {24, QStringLiteral("Error opening /x/a.gif")},
        {26, QStringLiteral("The FTP server is down.")},
        {27, QStringLiteral("Access denied. Check your user ID and password.")},
        {28, QStringLiteral("An error occured while transferring data.")},
        {30, QStringLiteral("The server does not offer a secure (TLS) connection, and this "
                            "profile requires one. The password was not sent.")},
        {31, QStringLiteral("The secure (TLS) connection to the server could not be "
                            "established.")},
        {32, QStringLiteral("The server's certificate was not trusted, so the connection was "
                            "closed.")},
        {33, QStringLiteral("The server refused passive mode. Choose \"Active\" or \"Passive, "
                            "then active if refused\" as this profile's transfer mode.")},
        {34, {}},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(FtpScreen::errorText(code, QStringLiteral("/x/a.gif")), text) << code;
}

TEST_F(FtpScreenTest, TheProfilesOptionsReachTheEngineAndACertificateCanBeTrusted) {
    // A profile stored before the options: the engine works as it always did.
    FtpScreen& s = refusingScreen("Old\r\nNew\r\n");
    s.open();
    s.selectHost(0);
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    TStarFtp& f = s.engine();
    EXPECT_EQ(f.DataConnection, TDataConnection::Active);
    EXPECT_EQ(f.Security, TFtpSecurity::None);
    EXPECT_EQ(f.TrustedFingerprint, QString());
    ASSERT_TRUE(waitFor([&] { return !prompter.shown().empty(); }));
    EXPECT_EQ(prompter.texts().last(), FtpScreen::errorText(12, {}));

    // The options typed into page 1 are written with the profile and read back by selecting it.
    HostProfile p = profile(QStringLiteral("New"));
    p.dataConnection = TDataConnection::PassiveThenActive;
    p.security = TFtpSecurity::TlsRequired;
    p.protocol = HostProtocol::FtpTls;
    p.siteFolder = dir.file(QStringLiteral("site"));
    s.connection().setFields(p);
    s.modify();
    EXPECT_EQ(s.connection().hostList(), QStringList({"Old", "New"}));
    s.selectHost(1);
    EXPECT_EQ(s.connection().fields(), p);
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    EXPECT_EQ(f.DataConnection, TDataConnection::PassiveThenActive);
    EXPECT_EQ(f.Security, TFtpSecurity::TlsRequired);
    ASSERT_TRUE(waitFor([&] { return prompter.shown().size() == 2; }));

    // The certificate question: No trusts nothing; Yes stores the fingerprint in the profile.
    ASSERT_TRUE(bool(f.OnCertificateCheck));
    const TCertificateInfo cert{QStringLiteral("CN=ftp.example.org"),
                                QStringLiteral("CN=Example Root"),
                                QStringLiteral("2026-01-01 00:00:00 UTC"),
                                QStringLiteral("2027-01-01 00:00:00 UTC"),
                                QStringLiteral("0A:1B:2C:3D"),
                                QStringLiteral("the host name does not match")};
    const QByteArray stored = dir.read(QStringLiteral("FTP.INI"));
    prompter.queue(MessageAnswer::No);
    EXPECT_FALSE(f.OnCertificateCheck(&f, cert));
    EXPECT_EQ(prompter.shown().back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("The server's certificate could not be verified: the host name does "
                             "not match\n\nSubject: CN=ftp.example.org\nIssuer: CN=Example Root\n"
                             "Valid from 2026-01-01 00:00:00 UTC to 2027-01-01 00:00:00 UTC\n"
                             "SHA-256 fingerprint: 0A:1B:2C:3D\n\nDo you want to trust this "
                             "certificate for the profile \"New\"?"));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")), stored);
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(f.OnCertificateCheck(&f, cert));
    EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")),
              QByteArray(stored).replace("Fingerprint=\r\n", "Fingerprint=0A:1B:2C:3D\r\n"));
    EXPECT_EQ(s.connection().currentHost().fingerprint, QStringLiteral("0A:1B:2C:3D"));
    EXPECT_EQ(s.connection().fields().fingerprint, QStringLiteral("0A:1B:2C:3D"));
    EXPECT_EQ(s.transfer().log().last(),
              QStringLiteral("Certificate 0A:1B:2C:3D trusted for the profile New"));
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    EXPECT_EQ(f.TrustedFingerprint, QStringLiteral("0A:1B:2C:3D"));
    ASSERT_TRUE(waitFor([&] { return prompter.shown().size() == 5; }));

    // The new notes of the engine reach the Log; the password never does.
    f.OnFtpInfo(&f, FtpInfo::TlsEstablished, QStringLiteral("TLSv1.3 TLS_AES_256_GCM_SHA384"));
    f.OnFtpInfo(&f, FtpInfo::PassiveAddressIgnored,
                QStringLiteral("the server named 10.0.0.5, 127.0.0.1 is used"));
    f.OnFtpInfo(&f, FtpInfo::CommandSent, QStringLiteral("PASS s3cret\r\n"));
    // The session hands them on from the event loop.
    ASSERT_TRUE(
        waitFor([&] { return s.transfer().log().last() == QStringLiteral("PASS ********"); }));
    EXPECT_EQ(s.transfer().log().mid(s.transfer().log().size() - 3),
              QStringList({"Secure connection: TLSv1.3 TLS_AES_256_GCM_SHA384",
                           "Passive mode: the server named 10.0.0.5, 127.0.0.1 is used",
                           "PASS ********"}));
    EXPECT_FALSE(s.transfer().log().join(QLatin1Char('\n')).contains(QStringLiteral("s3cret")));
    EXPECT_FALSE(prompter.answersLeft());
}

TEST(FtpScreenSiteFolder, WhereEachFileGoesOnTheServer) {
    struct Case {
        QString local, site, base, current, remote;
        QStringList folders;
    };
    const std::vector<Case> cases = {
        {"/s/index.html", "/s", "/www", "/www/news", "/www/index.html", {}},
        {"/s/img/a.png", "/s/", "/www", "/www", "/www/img/a.png", {"/www/img"}},
        {"/s/docs/sub/p.html", "/s", "/", "/x", "/docs/sub/p.html", {"/docs", "/docs/sub"}},
        {"/s/./docs/../img/b.gif", "/s", "/www/", "/", "/www/img/b.gif", {"/www/img"}},
        // Outside the site folder, or none set: the current directory, as always.
        {"/other/readme.txt", "/s", "/www", "/www/news", "/www/news/readme.txt", {}},
        {"/site2/a.html", "/site", "/www", "/", "/a.html", {}},
        {"/s/img/a.png", "", "/www", "/www/news", "/www/news/a.png", {}},
        {"/s/img/a.png", "relative/s", "/www", "/", "/a.png", {}},
        // A PWD reply without a directory: the paths stay relative.
        {"/s/img/a.png", "/s", "", "", "img/a.png", {"img"}},
    };
    for (const Case& c : cases) {
        QStringList folders{QStringLiteral("stale")};
        EXPECT_EQ(FtpScreen::remotePathFor(c.local, c.site, c.base, c.current, &folders), c.remote)
            << c.local.toStdString();
        EXPECT_EQ(folders, c.folders) << c.local.toStdString();
    }
}

namespace {

enum class Peer { Pyftpdlib, Vsftpd };

// A screen against a real server on loopback serving a temporary folder: pyftpdlib with a
// user and password, or vsftpd with anonymous uploads (the set-up of the engine's own tests).
class FtpScreenServer : public FtpScreenTest, public ::testing::WithParamInterface<Peer> {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        root = QDir(home.path()).absolutePath();
        FtpScreen& s = screen();
        HostProfile p = profile(QStringLiteral("Loopback"));
        if (GetParam() == Peer::Pyftpdlib) {
            TStarFtp probe;
            const int port = ftptest::startPyftpd(server, root, probe);
            ASSERT_GT(port, 0) << server.error().toStdString();
            s.setFtpPort(port);
        } else {
            startVsftpd();
            if (IsSkipped() || HasFatalFailure())
                return;
            // The engine tests' vsftpd takes active mode only.
            p.dataConnection = TDataConnection::Active;
            p.user = QStringLiteral("anonymous");
            p.password = QStringLiteral("tests@example.org");
        }
        QObject::connect(&s.transfer(), &FtpTransferPage::changed, [this] {
            const QString status = screen().transfer().statusLine();
            if (!status.isEmpty() && (statuses.isEmpty() || statuses.last() != status))
                statuses << status;
        });
        s.open();
        s.connection().setFields(p);
        s.addToList();
        s.selectHost(0);
    }
    void startVsftpd() {
        if (!QFile::exists(ftptest::kVsftpd))
            GTEST_SKIP() << "vsftpd is not installed";
        ASSERT_TRUE(scratch.isValid());
        QFile::setPermissions(root, QFileDevice::Permissions(0x7777));
        QString error;
        const int port = ftptest::startVsftpd(vsftpd, root, scratch.path(), error);
        ASSERT_GT(port, 0) << error.toStdString();
        screen().setFtpPort(port);
    }
    void TearDown() override {
        server.stop();
        ftptest::stopByPid(vsftpd);
    }

    bool idle() {
        return waitFor([this] { return !screen().busy(); });
    }
    // The server goes away at once, its sessions too.
    void killServer();
    // After the server went away: the one message, which the Log holds once too; empty (and a
    // failure) otherwise.
    QString toldOnce() {
        QTest::qWait(300);
        EXPECT_EQ(prompter.shown().size(), 1u);
        if (prompter.shown().size() != 1u)
            return {};
        const QString text = prompter.texts().first();
        EXPECT_TRUE(text == FtpScreen::errorText(6, {}) || text == FtpScreen::errorText(7, {}))
            << text.toStdString();
        EXPECT_EQ(screen().transfer().log().count(text), 1);
        return text;
    }
    // A file of that size made of a hole: big without costing the disk anything.
    QString sparseFile(const QString& name, qint64 size) {
        QFile f(dir.file(name));
        if (!f.open(QIODevice::WriteOnly) || !f.resize(size))
            ADD_FAILURE() << "cannot make " << name.toStdString();
        return dir.file(name);
    }
    int row(const QStringList& names, const QString& name) {
        return static_cast<int>(names.indexOf(name));
    }

    TempDir home;
    TempDir scratch;
    QString root;
    ftptest::PythonServer server;
    QProcess vsftpd;
    QStringList statuses;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Peers, FtpScreenServer, ::testing::Values(Peer::Pyftpdlib, Peer::Vsftpd),
                         [](const ::testing::TestParamInfo<Peer>& info) {
                             return info.param == Peer::Pyftpdlib ? "pyftpdlib" : "vsftpd";
                         });

TEST_P(FtpScreenServer, AWholeSessionFromProfileToClose) {
    FtpScreen& s = screen();
    QByteArray big(300 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + 3);
    ASSERT_TRUE(dir.write(QStringLiteral("site/a.html"), "<HTML>a</HTML>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/b.gif"), big));
    ASSERT_TRUE(dir.write(QStringLiteral("site/c.jpg"), QByteArray("\xff\xd8\x00\r\n\x1a", 6)));
    changed.addAll({dir.file(QStringLiteral("site/a.html")), dir.file(QStringLiteral("site/b.gif")),
                    dir.file(QStringLiteral("site/c.jpg"))});
    s.open();

    s.connectToHost();
    EXPECT_TRUE(s.busy());
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());
    EXPECT_EQ(s.remote().directories(), QStringList({".."}));
    EXPECT_FALSE(s.connection().closeEnabled());
    EXPECT_TRUE(s.connection().noticeShown());
    // vsftpd lets the anonymous user in without asking for a password.
    if (GetParam() == Peer::Pyftpdlib) {
        EXPECT_TRUE(s.transfer().log().contains(QStringLiteral("PASS ********")));
    }
    EXPECT_FALSE(
        s.transfer().log().join(QLatin1Char('\n')).contains(s.connection().currentHost().password));
    EXPECT_TRUE(
        s.transfer().log().contains(QStringLiteral("USER ") + s.connection().currentHost().user));

    // "Remove Dir" on ".." asks nothing and does nothing.
    s.removeDirectory(0);
    EXPECT_FALSE(s.busy());

    prompter.queueInput(QStringLiteral("site"));
    s.makeDirectory();
    ASSERT_TRUE(idle());
    EXPECT_EQ(s.remote().directories(), QStringList({"..", "site"}));
    s.openDirectory(row(s.remote().directories(), QStringLiteral("site")));
    ASSERT_TRUE(idle());

    s.addAllFromAutoList();
    s.transferFiles();
    ASSERT_TRUE(waitFor([&] { return !s.busy() && !s.transfer().transferring(); }, 20000));
    EXPECT_EQ(statuses, QStringList({"Sending file #1 of 3", "Sending file #2 of 3",
                                     "Sending file #3 of 3", "Completed sending 3 files."}));
    EXPECT_FALSE(s.transfer().gaugeVisible());
    EXPECT_EQ(s.localFiles().transferList().size(), 3); // sent files stay in it
    const QString remote = root + QStringLiteral("/site/");
    EXPECT_EQ(QFile(remote + "b.gif").size(), big.size());
    {
        QFile f(remote + "b.gif");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == big);
        QFile c(remote + "c.jpg");
        ASSERT_TRUE(c.open(QIODevice::ReadOnly));
        EXPECT_EQ(c.readAll(), QByteArray("\xff\xd8\x00\r\n\x1a", 6));
    }
    EXPECT_EQ(sorted(s.remote().files()), QStringList({"a.html", "b.gif", "c.jpg"}));
    static const QRegularExpression rate(QStringLiteral(
        "^(\\d+) bytes transferred in \\d+\\.\\d{3} seconds \\(\\d+K per second\\)$"));
    for (const QString& line : s.transfer().log()) {
        if (line.contains(QStringLiteral("bytes transferred"))) {
            EXPECT_TRUE(rate.match(line).hasMatch()) << line.toStdString();
        }
    }

    prompter.queueInput(QStringLiteral("renamed.jpg"));
    s.renameFile(row(s.remote().files(), QStringLiteral("c.jpg")));
    ASSERT_TRUE(idle());
    EXPECT_EQ(sorted(s.remote().files()), QStringList({"a.html", "b.gif", "renamed.jpg"}));
    EXPECT_EQ(prompter.inputPrompts().last(), QStringLiteral("Rename File|Enter new File name:|"));
    for (const QString& name :
         {QStringLiteral("b.gif"), QStringLiteral("a.html"), QStringLiteral("renamed.jpg")}) {
        prompter.queue(MessageAnswer::Yes);
        s.deleteFile(row(s.remote().files(), name));
        ASSERT_TRUE(idle());
        EXPECT_EQ(prompter.texts().last(),
                  QStringLiteral("Are you sure you want to delete ") + name + QStringLiteral(" ?"));
    }
    EXPECT_TRUE(s.remote().files().isEmpty());
    EXPECT_TRUE(QDir(remote).entryList(QDir::Files).isEmpty());

    s.openDirectory(0); // ".."
    ASSERT_TRUE(idle());
    prompter.queue(MessageAnswer::Yes);
    s.removeDirectory(row(s.remote().directories(), QStringLiteral("site")));
    ASSERT_TRUE(idle());
    EXPECT_EQ(s.remote().directories(), QStringList({".."}));
    EXPECT_FALSE(QFileInfo::exists(remote));

    // Close while connected only asks the server to quit; after Disconnect it closes and
    // FTPFLUSH empties the list.
    EXPECT_FALSE(s.connection().closeEnabled());
    s.disconnectFromHost();
    EXPECT_TRUE(s.connection().closeEnabled());
    ASSERT_TRUE(waitFor([&] { return !s.connected() && !s.busy(); }));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(prompter.answersLeft());
}

TEST_P(FtpScreenServer, AnInitialDirTheServerRefusesIsToldAndTheFilesGoWhereTheLoginIs) {
    FtpScreen& s = screen();
    HostProfile p = s.connection().currentHost();
    p.directory = QStringLiteral("/no-such-folder");
    s.connection().setFields(p);
    s.modify();
    s.selectHost(0);
    ASSERT_TRUE(dir.write(QStringLiteral("a.html"), "<P>a"));
    changed.add(dir.file(QStringLiteral("a.html")));
    prompter.queue(MessageAnswer::Ok);
    s.connectToHost();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());
    QTest::qWait(50); // the message comes from the event loop
    const QStringList log = s.transfer().log();
    const qsizetype cwd = log.indexOf(QStringLiteral("CWD /no-such-folder"));
    ASSERT_GE(cwd, 0);
    ASSERT_LT(cwd + 1, log.size());
    const QString reply = log.at(cwd + 1);
    EXPECT_TRUE(reply.startsWith(QLatin1String("550 "))) << reply.toStdString();
    const QString told = QStringLiteral("The server did not open the Initial Dir "
                                        "\"/no-such-folder\" (") +
                         reply +
                         QStringLiteral(").\nYou are in the folder the server started in; files "
                                        "transferred now go there.");
    EXPECT_EQ(prompter.texts(), QStringList{told});
    EXPECT_EQ(log.count(told), 1);

    // What was told is where the file goes; nothing more is said.
    s.open();
    s.addAllFromAutoList();
    s.transferFiles();
    ASSERT_TRUE(waitFor([&] { return !s.busy() && !s.transfer().transferring(); }, 20000));
    QFile sent(root + QStringLiteral("/a.html"));
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll(), "<P>a");
    EXPECT_EQ(prompter.shown().size(), 1u);
}

TEST_P(FtpScreenServer, AFileThatFailsIsLoggedAndTheTransferGoesOn) {
    FtpScreen& s = screen();
    ASSERT_TRUE(dir.write(QStringLiteral("site/ok.html"), "ok"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/gone.html"), "gone"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/two\nlines.html"), "evil"));
    const QString ok = dir.file(QStringLiteral("site/ok.html"));
    const QString gone = dir.file(QStringLiteral("site/gone.html"));
    const QString evil = dir.file(QStringLiteral("site/two\nlines.html"));
    changed.addAll({gone, evil, ok});
    s.open();
    s.addAllFromAutoList();
    ASSERT_EQ(s.localFiles().transferList().size(), 3);
    ASSERT_TRUE(QFile::remove(gone)); // deleted after it was listed

    s.connectToHost();
    ASSERT_TRUE(idle());
    s.transferFiles();
    ASSERT_TRUE(waitFor([&] { return !s.busy() && !s.transfer().transferring(); }, 20000));
    EXPECT_TRUE(s.transfer().log().contains(QStringLiteral("Could not send ") + gone +
                                            QStringLiteral(": Error opening ") + gone));
    EXPECT_TRUE(
        s.transfer().log().contains(QStringLiteral("Skipped ") + dir.file(QStringLiteral("site/")) +
                                    QStringLiteral("two\\nlines.html: a file name holding a line "
                                                   "break cannot be sent.")));
    EXPECT_EQ(statuses.last(), QStringLiteral("Completed sending 1 of 3 files."));
    EXPECT_TRUE(s.connected());
    EXPECT_EQ(s.remote().files(), QStringList({"ok.html"}));
    EXPECT_TRUE(QFile::exists(root + QStringLiteral("/ok.html")));
    // No line of the Log and no command held the broken name.
    EXPECT_FALSE(s.transfer().log().join(QLatin1Char('|')).contains(QStringLiteral("two\nlines")));

    // Leaving with FTPFLUSH on: the file that went leaves the list, the two that did not stay.
    s.disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return !s.connected() && !s.busy(); }));
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.paths(), QStringList({gone, evil}));
}

TEST_P(FtpScreenServer, StopEndsATransferAtOnce) {
    FtpScreen& s = screen();
    const QString big = sparseFile(QStringLiteral("big.bin"), 200LL * 1024 * 1024);
    changed.add(big);
    s.open();
    s.addAllFromAutoList();
    s.connectToHost();
    ASSERT_TRUE(idle());
    // Stop on the first progress report, as a press of the button would come in.
    QString counter;
    QObject::connect(&s.transfer(), &FtpTransferPage::changed, [&] {
        if (counter.isEmpty() && !s.transfer().byteCounter().isEmpty()) {
            counter = s.transfer().byteCounter();
            s.abort();
        }
    });
    s.transferFiles();
    ASSERT_TRUE(waitFor([&] { return !counter.isEmpty(); }, 10000));
    EXPECT_TRUE(counter.endsWith(QStringLiteral(" of 209715200"))) << counter.toStdString();
    ASSERT_TRUE(waitFor([&] { return !s.transfer().transferring(); }, 2000));
    EXPECT_FALSE(s.connected());
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Transfer stopped: sent 0 of 1 files."));
    EXPECT_TRUE(s.connection().closeEnabled());
    EXPECT_TRUE(s.close());
}

TEST_P(FtpScreenServer, ASiteFolderKeepsTheSitesFoldersOnTheServer) {
    FtpScreen& s = screen();
    QByteArray png(70 * 1024, '\0');
    for (qsizetype i = 0; i < png.size(); ++i)
        png[i] = static_cast<char>(i * 13 + 1);
    const std::vector<std::pair<QString, QByteArray>> site = {
        {QStringLiteral("index.html"), "<HTML>home</HTML>\r\n"},
        {QStringLiteral("img/a.png"), png},
        {QStringLiteral("docs/sub/p.html"), QByteArray("<P>deep\r\n\x00\xff", 12)},
    };
    QStringList locals;
    for (const auto& [name, bytes] : site) {
        ASSERT_TRUE(dir.write(QStringLiteral("site/") + name, bytes));
        locals << dir.file(QStringLiteral("site/") + name);
    }
    ASSERT_TRUE(dir.write(QStringLiteral("other/readme.txt"), "outside"));
    locals << dir.file(QStringLiteral("other/readme.txt"));
    // The remote initial directory, and below it the directory the user moves into.
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/www/news")));
    QFile::setPermissions(root + QStringLiteral("/www"), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(root + QStringLiteral("/www/news"), QFileDevice::Permissions(0x7777));
    HostProfile p = s.connection().currentHost();
    p.directory = QStringLiteral("www");
    p.siteFolder = dir.file(QStringLiteral("site"));
    s.connection().setFields(p);
    s.modify();
    s.selectHost(0);
    changed.addAll(locals);
    s.open();
    s.addAllFromAutoList();
    ASSERT_EQ(s.localFiles().transferList().size(), 4);

    s.connectToHost();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());
    s.openDirectory(row(s.remote().directories(), QStringLiteral("news")));
    ASSERT_TRUE(idle());

    // Twice: the second time every folder is there already, and that is no failure.
    for (int round = 0; round < 2; ++round) {
        statuses.clear();
        s.transferFiles();
        ASSERT_TRUE(waitFor([&] { return !s.busy() && !s.transfer().transferring(); }, 20000));
        EXPECT_EQ(statuses.last(), QStringLiteral("Completed sending 4 files.")) << round;
        for (const auto& [name, bytes] : site) {
            QFile arrived(root + QStringLiteral("/www/") + name);
            ASSERT_TRUE(arrived.open(QIODevice::ReadOnly)) << name.toStdString();
            EXPECT_TRUE(arrived.readAll() == bytes) << name.toStdString();
        }
        QFile outside(root + QStringLiteral("/www/news/readme.txt"));
        ASSERT_TRUE(outside.open(QIODevice::ReadOnly));
        EXPECT_EQ(outside.readAll(), QByteArray("outside"));
    }
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/www/news/index.html")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/www/news/a.png")));
    // The Log names where each file went; each folder was asked for once per transfer. This
    // vsftpd runs without a chroot, so its directories are the real paths.
    const QString www = (GetParam() == Peer::Vsftpd ? root : QString()) + QStringLiteral("/www");
    const QStringList& log = s.transfer().log();
    for (const QString& line :
         {QStringLiteral("Sending %1 to %2/index.html").arg(locals[0], www),
          QStringLiteral("Sending %1 to %2/img/a.png").arg(locals[1], www),
          QStringLiteral("Sending %1 to %2/docs/sub/p.html").arg(locals[2], www),
          QStringLiteral("Sending %1 to %2/news/readme.txt").arg(locals[3], www)})
        EXPECT_EQ(log.count(line), 2) << line.toStdString();
    for (const char* mkd : {"/img", "/docs", "/docs/sub"})
        EXPECT_EQ(log.count(QStringLiteral("MKD ") + www + QLatin1String(mkd)), 2) << mkd;
    // Still in the directory the user chose, which the listing shows.
    EXPECT_EQ(s.remote().files(), QStringList({"readme.txt"}));
    EXPECT_FALSE(prompter.answersLeft());
}

namespace {

// The processes a process started, and theirs, by their ids.
QList<pid_t> descendants(pid_t pid) {
    QList<pid_t> out;
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (!children.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& id : children.readAll().split(' ')) {
        const pid_t child = static_cast<pid_t>(id.trimmed().toInt());
        if (child > 0)
            out << descendants(child) << child;
    }
    return out;
}

} // namespace

void FtpScreenServer::killServer() {
    const pid_t pid = GetParam() == Peer::Pyftpdlib ? static_cast<pid_t>(server.processId())
                                                    : static_cast<pid_t>(vsftpd.processId());
    for (const pid_t child : descendants(pid))
        ::kill(child, SIGKILL);
    ::kill(pid, SIGKILL);
}

TEST_P(FtpScreenServer, TheServerDyingMidUploadStopsTheTransferWithOneMessage) {
    FtpScreen& s = screen();
    const QString big = sparseFile(QStringLiteral("big.bin"), 400LL * 1024 * 1024);
    ASSERT_TRUE(dir.write(QStringLiteral("small.html"), "small"));
    const QString small = dir.file(QStringLiteral("small.html"));
    changed.addAll({big, small});
    s.open();
    s.addAllFromAutoList();
    s.connectToHost();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());
    // The server goes away, sessions and all, as soon as the file flows.
    bool killed = false;
    QObject::connect(&s.transfer(), &FtpTransferPage::changed, [&] {
        if (killed || s.transfer().byteCounter().isEmpty())
            return;
        killed = true;
        killServer();
    });
    prompter.queue(MessageAnswer::Ok);
    s.transferFiles();
    ASSERT_TRUE(waitFor([&] { return !s.transfer().transferring(); }, 20000));
    ASSERT_TRUE(waitFor([&] { return !prompter.shown().empty() && !s.busy(); }));
    // Time for a second message, which must not come.
    QTest::qWait(300);
    ASSERT_EQ(prompter.shown().size(), 1u);
    const QString message = prompter.texts().first();
    const QStringList causes = {FtpScreen::errorText(6, {}), FtpScreen::errorText(7, {}),
                                FtpScreen::errorText(28, {})};
    QString cause;
    for (const QString& c : causes)
        if (message == FtpScreen::connectionLostText(big, 0, 2, c))
            cause = c;
    EXPECT_FALSE(cause.isEmpty()) << message.toStdString();
    EXPECT_TRUE(message.startsWith(QStringLiteral("The connection to the server was lost while "
                                                  "sending ") +
                                   big +
                                   QStringLiteral(", so the transfer stopped after 0 of 2 "
                                                  "files.\n\n")));
    EXPECT_TRUE(s.transfer().log().contains(
        QStringLiteral("Could not send %1: the connection to the server "
                       "was lost (%2)")
            .arg(big, cause)));
    // The cause is told once in the Log, in that line.
    EXPECT_EQ(s.transfer().log().filter(cause).size(), 1)
        << s.transfer().log().join('\n').toStdString();
    // Nothing after it was tried, nothing was logged as sent.
    EXPECT_FALSE(
        s.transfer().log().contains(QStringLiteral("Sending %1 to /small.html").arg(small)));
    EXPECT_TRUE(s.transfer().log().filter(QStringLiteral("Sending ")).size() == 1);
    EXPECT_TRUE(s.transfer().log().filter(QStringLiteral("bytes transferred")).isEmpty());
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Transfer stopped: sent 0 of 2 files."));
    EXPECT_FALSE(s.connected());
    EXPECT_TRUE(s.remote().files().isEmpty());
    EXPECT_TRUE(s.connection().closeEnabled());
    // Nothing went, so FTPFLUSH leaves both waiting.
    EXPECT_TRUE(s.close());
    EXPECT_EQ(changed.paths(), QStringList({big, small}));
}

TEST_P(FtpScreenServer, AnIdleConnectionLostIsToldAndTheScreenDisconnected) {
    FtpScreen& s = screen();
    s.connectToHost();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());
    ASSERT_FALSE(s.remote().directories().isEmpty());
    ASSERT_FALSE(s.connection().closeEnabled());
    // The server goes away while nothing runs.
    killServer();
    prompter.queue(MessageAnswer::Ok);
    ASSERT_TRUE(waitFor([&] { return !s.connected(); }, 10000));
    ASSERT_TRUE(waitFor([&] { return !prompter.shown().empty(); }));
    const QString text = toldOnce();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(s.transfer().log().last(), text);
    // Back to the state of no connection.
    EXPECT_FALSE(s.busy());
    EXPECT_TRUE(s.connection().closeEnabled());
    EXPECT_FALSE(s.connection().noticeShown());
    EXPECT_TRUE(s.remote().directories().isEmpty());
    EXPECT_TRUE(s.remote().files().isEmpty());
    EXPECT_EQ(s.remote().folder(), QString());
    EXPECT_TRUE(s.close());
}

TEST_P(FtpScreenServer, RefusedCommandsShowTheServersReply) {
    FtpScreen& s = screen();
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/full")));
    QFile inside(root + QStringLiteral("/full/keep.html"));
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    QFile gone(root + QStringLiteral("/gone.html"));
    ASSERT_TRUE(gone.open(QIODevice::WriteOnly));
    gone.close();
    s.connectToHost();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());

    // RMD of a folder that is not empty.
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    s.removeDirectory(row(s.remote().directories(), QStringLiteral("full")));
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitFor([&] { return prompter.shown().size() == 2; }));
    const QString rmd =
        s.transfer().log().filter(QRegularExpression(QStringLiteral("^5\\d\\d "))).last();
    EXPECT_EQ(s.transfer().statusLine(),
              QStringLiteral("The server refused to remove the directory full: ") + rmd);
    EXPECT_EQ(prompter.texts().last(), s.transfer().statusLine());
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Information);
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/full/keep.html")));
    EXPECT_EQ(s.remote().directories(), QStringList({"..", "full"}));

    // RNFR of a file that has gone since the listing.
    ASSERT_TRUE(QFile::remove(root + QStringLiteral("/gone.html")));
    prompter.queueInput(QStringLiteral("new.html"));
    prompter.queue(MessageAnswer::Ok);
    s.renameFile(row(s.remote().files(), QStringLiteral("gone.html")));
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitFor([&] { return prompter.shown().size() == 3; }));
    const QString rnfr =
        s.transfer().log().filter(QRegularExpression(QStringLiteral("^5\\d\\d "))).last();
    EXPECT_NE(rnfr, rmd);
    EXPECT_EQ(s.transfer().statusLine(),
              QStringLiteral("The server refused to rename gone.html to new.html: ") + rnfr);
    EXPECT_EQ(prompter.texts().last(), s.transfer().statusLine());
    // The list shows what is there now.
    EXPECT_TRUE(s.remote().files().isEmpty());

    // A command that works says nothing.
    prompter.queueInput(QStringLiteral("made"));
    s.makeDirectory();
    ASSERT_TRUE(idle());
    QTest::qWait(100);
    EXPECT_EQ(prompter.shown().size(), 3u);
    EXPECT_TRUE(s.remote().directories().contains(QStringLiteral("made")));
    EXPECT_FALSE(prompter.answersLeft());
}

// A profile saved without its password connects with the one typed into the field, or asks for
// it; neither is stored.
TEST_P(FtpScreenServer, APasswordNotSavedIsTypedOrAskedFor) {
    if (GetParam() == Peer::Vsftpd)
        GTEST_SKIP() << "the anonymous login asks for no password";
    FtpScreen& s = screen();
    HostProfile p = s.connection().currentHost();
    s.connection().setFields(p);
    s.connection().setSavePassword(false);
    s.modify();
    EXPECT_TRUE(dir.read(QStringLiteral("FTP.INI")).contains("Password=\r\n"));
    s.selectHost(0);
    EXPECT_EQ(s.connection().fields().password, QString());

    // Typed into the field.
    HostProfile typed = s.connection().fields();
    typed.password = QStringLiteral("s3cret");
    s.connection().setFields(typed);
    s.connectToHost();
    ASSERT_TRUE(idle());
    EXPECT_TRUE(s.connected());
    s.disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return !s.connected() && !s.busy(); }));

    // Left empty: asked for at the login.
    s.selectHost(0);
    prompter.queueInput(QStringLiteral("s3cret"));
    s.connectToHost();
    ASSERT_TRUE(idle());
    EXPECT_TRUE(s.connected());
    EXPECT_EQ(prompter.inputPrompts().last(),
              QStringLiteral("Password|Enter the password for webmaster at 127.0.0.1:|"));
    EXPECT_EQ(s.connection().fields().password, QString());
    EXPECT_EQ(s.connection().currentHost().password, QString());
    EXPECT_FALSE(dir.read(QStringLiteral("FTP.INI")).contains("s3cret"));
    EXPECT_FALSE(s.transfer().log().join(QLatin1Char('\n')).contains(QStringLiteral("s3cret")));
    s.disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return !s.connected() && !s.busy(); }));

    // Cancelled: no login is tried.
    prompter.queueInput(std::nullopt);
    s.connectToHost();
    ASSERT_TRUE(waitFor([&] { return !s.busy(); }));
    EXPECT_FALSE(s.connected());
    EXPECT_TRUE(
        s.transfer().log().contains(QStringLiteral("Connection cancelled: no password given.")));
    // Two logins sent a password; the cancelled one none.
    EXPECT_EQ(s.transfer().log().count(QStringLiteral("PASS ********")), 2);
    EXPECT_FALSE(prompter.answersLeft());
}

// A file whose name is Latin-1 on disk is added, and reaches the server under the same bytes.
TEST_P(FtpScreenServer, ALatin1NameIsSentAsItsOwnBytes) {
    FtpScreen& s = screen();
    const QByteArray content("<HTML>caf\xe9</HTML>\r\n");
    const QByteArray native = QFile::encodeName(dir.path()) + "caf\xe9.htm";
    const QByteArray remote = QFile::encodeName(root) + "/caf\xe9.htm";
    // The temporary folders cannot remove a name that is not UTF-8: the test does.
    struct Unlink {
        QByteArray a, b;
        ~Unlink() {
            ::unlink(a.constData());
            ::unlink(b.constData());
        }
    } unlink{native, remote};
    {
        FILE* out = ::fopen(native.constData(), "wb");
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(::fwrite(content.constData(), 1, content.size(), out), size_t(content.size()));
        ::fclose(out);
    }
    const QString shown = dir.path() + QStringLiteral("caf\u00e9.htm");
    changed.add(shown);
    s.open();
    s.addAllFromAutoList();
    EXPECT_EQ(s.localFiles().transferList(), QStringList({shown}));
    s.connectToHost();
    ASSERT_TRUE(idle());
    s.transferFiles();
    ASSERT_TRUE(waitFor([&] { return !s.busy() && !s.transfer().transferring(); }, 20000));
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Completed sending 1 files."));
    FILE* in = ::fopen(remote.constData(), "rb");
    ASSERT_NE(in, nullptr) << "no file caf\\xe9.htm on the server";
    QByteArray arrived(64, '\0');
    arrived.resize(static_cast<qsizetype>(::fread(arrived.data(), 1, 64, in)));
    ::fclose(in);
    EXPECT_EQ(arrived, content);
    // The listing shows it as the screen shows local names.
    EXPECT_EQ(s.remote().files(), QStringList({QStringLiteral("caf\u00e9.htm")}));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/caf\u00e9.htm")));
}

namespace {

bool writeAt(const TempDir& folder, const QString& name, const QByteArray& bytes, qint64 secs) {
    if (!folder.write(name, bytes))
        return false;
    const timeval times[2] = {{secs, 0}, {secs, 0}};
    return ::utimes(QFile::encodeName(folder.file(name)).constData(), times) == 0;
}

} // namespace

TEST_P(FtpScreenServer, SynchroniseShowsTheDifferencesAndSendsOnlyWhatIsTicked) {
    FtpScreen& s = screen();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(writeAt(dir, QStringLiteral("site/index.html"), "<p>home</p>", now - 7200));
    ASSERT_TRUE(writeAt(home, QStringLiteral("index.html"), "<p>home</p>", now - 3600));
    ASSERT_TRUE(writeAt(dir, QStringLiteral("site/about.html"), "<p>ABOUT</p>", now - 60));
    ASSERT_TRUE(writeAt(home, QStringLiteral("about.html"), "<p>about</p>", now - 3600));
    ASSERT_TRUE(writeAt(dir, QStringLiteral("site/new.html"), "<p>new</p>", now - 30));
    ASSERT_TRUE(writeAt(dir, QStringLiteral("site/img/logo.gif"), QByteArray("GIF89a\x00\xff", 8),
                        now - 30));
    ASSERT_TRUE(writeAt(home, QStringLiteral("gone.html"), "<p>gone</p>", now - 9000));
    ASSERT_TRUE(writeAt(home, QStringLiteral("old.html"), "<p>old</p>", now - 9000));
    s.connectToHost();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(s.connected());

    bool ready = false;
    QObject::connect(&s, &FtpScreen::syncReady, [&] { ready = true; });
    ASSERT_TRUE(s.synchronise(dir.file(QStringLiteral("site"))));
    ASSERT_TRUE(waitFor([&] { return ready && !s.busy(); }))
        << s.transfer().log().join('\n').toStdString();
    QStringList rows;
    for (const SyncItem& i : s.syncItems())
        rows << SyncItem::stateText(i.state) + u' ' + i.relative + (i.ticked ? " ticked" : "");
    EXPECT_EQ(rows, QStringList({"Newer here about.html ticked", "Missing here gone.html",
                                 "New here img/logo.gif ticked", "New here new.html ticked",
                                 "Missing here old.html"}));
    EXPECT_EQ(s.transfer().statusLine(),
              QStringLiteral("Compared: 2 new here, 1 newer here, 2 missing here, 0 newer there."));
    // Nothing missing here can be ticked until "delete on server" is on.
    s.setSyncTicked(1, true);
    EXPECT_TRUE(s.syncDeletes().isEmpty());
    s.setSyncTicked(3, false);
    s.setDeleteOnServer(true);
    s.setSyncTicked(4, false);
    EXPECT_EQ(s.syncUploads(), QStringList({dir.file(QStringLiteral("site/about.html")),
                                            dir.file(QStringLiteral("site/img/logo.gif"))}));
    ASSERT_EQ(s.syncDeletes().size(), 1);

    s.uploadSync();
    ASSERT_TRUE(waitFor([&] { return !s.transfer().transferring() && !s.busy(); }))
        << s.transfer().log().join('\n').toStdString();
    EXPECT_EQ(s.transfer().statusLine(), QStringLiteral("Completed sending 2 files."));
    EXPECT_EQ(home.read(QStringLiteral("about.html")), QByteArray("<p>ABOUT</p>"));
    EXPECT_EQ(home.read(QStringLiteral("img/logo.gif")), QByteArray("GIF89a\x00\xff", 8));
    EXPECT_FALSE(QFile::exists(home.file(QStringLiteral("new.html"))));
    EXPECT_FALSE(QFile::exists(home.file(QStringLiteral("gone.html"))));
    EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("old.html"))));
    EXPECT_TRUE(s.transfer().log().contains(QStringLiteral("Deleted %1 on the server")
                                                .arg(s.remote().folder() == QStringLiteral("/")
                                                         ? QStringLiteral("/gone.html")
                                                         : root + QStringLiteral("/gone.html"))))
        << s.transfer().log().join('\n').toStdString();

    // Compared again: only what was left alone differs.
    ready = false;
    ASSERT_TRUE(s.synchronise(dir.file(QStringLiteral("site"))));
    ASSERT_TRUE(waitFor([&] { return ready && !s.busy(); }));
    rows.clear();
    for (const SyncItem& i : s.syncItems())
        rows << SyncItem::stateText(i.state) + u' ' + i.relative;
    EXPECT_EQ(rows, QStringList({"New here new.html", "Missing here old.html"}));
}

TEST_P(FtpScreenServer, AConnectionLostWhileSynchroniseDeletesIsToldOnce) {
    FtpScreen& s = screen();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(writeAt(dir, QStringLiteral("site/index.html"), "<p>home</p>", now - 30));
    ASSERT_TRUE(writeAt(home, QStringLiteral("gone.html"), "<p>gone</p>", now - 9000));
    s.connectToHost();
    ASSERT_TRUE(idle());
    bool ready = false;
    QObject::connect(&s, &FtpScreen::syncReady, [&] { ready = true; });
    ASSERT_TRUE(s.synchronise(dir.file(QStringLiteral("site"))));
    ASSERT_TRUE(waitFor([&] { return ready && !s.busy(); }));
    s.setDeleteOnServer(true);
    ASSERT_EQ(s.syncDeletes().size(), 1);
    // The server is gone before the delete reaches it.
    killServer();
    prompter.queue(MessageAnswer::Ok);
    s.uploadSync();
    ASSERT_TRUE(
        waitFor([&] { return !s.connected() && !s.busy() && !prompter.shown().empty(); }, 10000))
        << s.transfer().log().join('\n').toStdString();
    const QString text = toldOnce();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_FALSE(s.transfer().transferring());
    EXPECT_TRUE(s.connection().closeEnabled());
    // Nothing is sent over the connection that is gone.
    EXPECT_TRUE(s.transfer().log().filter(QStringLiteral("Sending ")).isEmpty());
    EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("gone.html"))));
}
