// The publishing room in the main window: the FTP screen from the tool bar with its pages, a
// whole upload through the real screen against pyftpdlib, "+FTP" and the image-folder dialog.
#include "ftp/FtpTestSupport.h"
#include "publish/FtpScreen.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/project/FilesPane.h"
#include "ui/project/ProjectUi.h"
#include "ui/publish/PublishUi.h"
#include "ui/publish/TFormFTP.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PublishWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        ui = PublishUi::of(form->registry());
        ASSERT_NE(ui, nullptr);
    }
    QAction* action(const char* id) const { return form->registry().action(QLatin1String(id)); }
    template <class W> static W* child(QWidget* w, const char* name) {
        return w->findChild<W*>(QLatin1String(name));
    }
    static void click(QWidget* w, const char* name) {
        auto* b = child<QPushButton>(w, name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }

    PublishUi* ui = nullptr;
};

QStringList tabTexts(const QTabWidget* tabs) {
    QStringList out;
    for (int i = 0; i < tabs->count(); ++i)
        out << tabs->tabText(i);
    return out;
}

} // namespace

TEST_F(PublishWindowTest, TheScreenOpensFromTheToolBarWithItsPagesAndCloseKeepsUnsentFiles) {
    QAction* button = action("BitBtnFTP");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Go to FTP Screen"));
    auto* bar = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->actions().contains(button));
    EXPECT_TRUE(bar->actions().contains(action("BitBtnFTPAdd")));
    EXPECT_EQ(action("BitBtnFTPAdd")->toolTip(),
              QStringLiteral("Add a file or image to the FTP list"));

    // A file on disk: one that is gone would leave the list when the screen opens.
    ASSERT_TRUE(dir.write(QStringLiteral("a.html"), "<HTML></HTML>\r\n"));
    form->state().changedList().add(dir.file(QStringLiteral("a.html")));
    int opened = 0;
    ui->onScreenOpened = [&](TFormFTP& f) {
        ++opened;
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Quillon Pro:    FTP Module"));
        EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_EQ(tabTexts(f.pages()),
                  QStringList({"1. Select FTP Host  ", "2. Select Files to Transfer   ",
                               "3. Transfer Files  ", "Instructions"}));
        EXPECT_EQ(tabTexts(f.filePages()), QStringList({"Auto-FTP List", "Projects", "Files"}));
        EXPECT_EQ(f.pages()->currentIndex(), 0);
        EXPECT_EQ(f.filePages()->currentIndex(), 0);
        EXPECT_EQ(f.logView()->toPlainText(), QStringLiteral("Log"));
        EXPECT_EQ(child<QLabel>(&f, "LabelSelectedHost")->text(),
                  QStringLiteral("Selected FTP Host: none"));
        EXPECT_EQ(child<QListWidget>(&f, "ListAutoFTP")->count(), 1);
        EXPECT_EQ(child<QLineEdit>(&f, "EditPassword")->echoMode(), QLineEdit::Password);
        QTimer::singleShot(0, &f, [&f] {
            // Escape is "Close" too; no other way out.
            QTest::keyClick(&f, Qt::Key_Escape);
        });
    };
    button->trigger();
    EXPECT_EQ(opened, 1);
    // FTPFLUSH is on by default, but nothing was sent: the file still waits.
    EXPECT_EQ(form->state().changedList().count(), 1);
    // The menus reach it too; every opening is a new screen.
    ui->onScreenOpened = [&](TFormFTP& f) {
        ++opened;
        QTimer::singleShot(0, &f, [&f] { click(&f, "ButtonClose"); });
    };
    action("FTPFileTransfer1")->trigger();
    action("GotoFTPscreen1")->trigger();
    EXPECT_EQ(opened, 3);
}

TEST_F(PublishWindowTest, AnUploadThroughTheRealScreen) {
    TempDir home;
    ftptest::PythonServer server;
    TStarFtp probe;
    const int port = ftptest::startPyftpd(server, QDir(home.path()).absolutePath(), probe);
    ASSERT_GT(port, 0) << server.error().toStdString();
    ASSERT_TRUE(dir.write(QStringLiteral("site/index.html"), "<HTML>\r\nhello\r\n</HTML>\r\n"));
    form->state().changedList().add(dir.file(QStringLiteral("site/index.html")));

    bool done = false;
    ui->onScreenOpened = [&](TFormFTP& f) {
        QTimer::singleShot(0, &f, [&] {
            QTest::keyClicks(child<QLineEdit>(&f, "EditProfile"), QStringLiteral("Loopback"));
            // The host names its port: the screen's own is 21.
            QTest::keyClicks(child<QLineEdit>(&f, "EditHost"),
                             QStringLiteral("127.0.0.1:%1").arg(port));
            QTest::keyClicks(child<QLineEdit>(&f, "EditUser"), QStringLiteral("webmaster"));
            QTest::keyClicks(child<QLineEdit>(&f, "EditPassword"), QStringLiteral("s3cret"));
            click(&f, "ButtonAddHost");
            EXPECT_EQ(dir.read(QStringLiteral("FTP.DAT")), QByteArray("Loopback\r\n"));
            auto* hosts = child<QListWidget>(&f, "ListHosts");
            ASSERT_EQ(hosts->count(), 1);
            QTest::mouseClick(hosts->viewport(), Qt::LeftButton, {},
                              hosts->visualItemRect(hosts->item(0)).center());
            EXPECT_EQ(child<QLabel>(&f, "LabelSelectedHost")->text(),
                      QStringLiteral("Selected FTP Host: Loopback"));
            f.pages()->setCurrentIndex(FtpScreen::FilesPage);
            click(&f, "ButtonAutoAddAll");
            EXPECT_EQ(child<QListWidget>(&f, "ListTransferFiles")->count(), 1);
            f.pages()->setCurrentIndex(FtpScreen::TransferPage);
            // Sending and stopping need a connection.
            auto* transfer = child<QPushButton>(&f, "ButtonTransfer");
            auto* stop = child<QPushButton>(&f, "ButtonStop");
            EXPECT_FALSE(transfer->isEnabled());
            EXPECT_FALSE(stop->isEnabled());
            click(&f, "ButtonConnect");
            auto* dirs = child<QListWidget>(&f, "ListRemoteDirs");
            EXPECT_TRUE(QTest::qWaitFor([&] { return dirs->count() == 1; }, 8000));
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.screen().busy(); }, 8000));
            EXPECT_TRUE(transfer->isEnabled());
            EXPECT_TRUE(stop->isEnabled());
            EXPECT_FALSE(child<QPushButton>(&f, "ButtonClose")->isEnabled());
            EXPECT_TRUE(child<QLabel>(&f, "LabelNotice")->isVisible());
            click(&f, "ButtonTransfer");
            auto* status = child<QLabel>(&f, "LabelStatus");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return status->text() == QLatin1String("Completed sending 1 files.") &&
                           !f.screen().busy();
                },
                8000));
            EXPECT_EQ(child<QListWidget>(&f, "ListRemoteFiles")->count(), 1);
            EXPECT_TRUE(f.logView()->toPlainText().contains(QStringLiteral("PASS ********")));
            click(&f, "ButtonDisconnect");
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.screen().connected(); }, 8000));
            EXPECT_TRUE(child<QPushButton>(&f, "ButtonClose")->isEnabled());
            EXPECT_FALSE(transfer->isEnabled());
            EXPECT_FALSE(stop->isEnabled());
            EXPECT_EQ(child<QLabel>(&f, "LabelRemoteFolder")->text(),
                      QStringLiteral("Remote folder: (not connected)"));
            EXPECT_EQ(dirs->count(), 0);
            done = true;
            click(&f, "ButtonClose");
        });
    };
    action("BitBtnFTP")->trigger();
    EXPECT_TRUE(done);
    QFile arrived(QDir(home.path()).absolutePath() + QStringLiteral("/index.html"));
    ASSERT_TRUE(arrived.open(QIODevice::ReadOnly));
    EXPECT_EQ(arrived.readAll(), QByteArray("<HTML>\r\nhello\r\n</HTML>\r\n"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    server.stop();
}

TEST_F(PublishWindowTest, PageOneShowsAndWritesTheProfilesOptions) {
    bool done = false;
    ui->onScreenOpened = [&](TFormFTP& f) {
        QTimer::singleShot(0, &f, [&] {
            auto* mode = child<QComboBox>(&f, "ComboTransferMode");
            auto* security = child<QComboBox>(&f, "ComboSecurity");
            auto* site = child<QLineEdit>(&f, "EditSiteFolder");
            ASSERT_NE(mode, nullptr);
            ASSERT_NE(security, nullptr);
            ASSERT_NE(site, nullptr);
            ASSERT_NE(child<QPushButton>(&f, "ButtonBrowseSiteFolder"), nullptr);
            QStringList entries;
            for (QComboBox* box : {mode, security})
                for (int i = 0; i < box->count(); ++i)
                    entries << box->itemText(i);
            EXPECT_EQ(entries, QStringList({"Passive", "Active", "Passive, then active if refused",
                                            "None", "TLS if offered", "TLS required"}));
            // A new profile starts passive, without TLS.
            EXPECT_EQ(mode->currentText(), QStringLiteral("Passive"));
            EXPECT_EQ(security->currentText(), QStringLiteral("None"));

            QTest::keyClicks(child<QLineEdit>(&f, "EditProfile"), QStringLiteral("Home"));
            QTest::keyClicks(child<QLineEdit>(&f, "EditHost"), QStringLiteral("ftp.example.org"));
            QTest::keyClicks(child<QLineEdit>(&f, "EditUser"), QStringLiteral("me"));
            QTest::keyClicks(child<QLineEdit>(&f, "EditPassword"), QStringLiteral("pw"));
            QTest::keyClicks(site, QStringLiteral("/home/me/site"));
            QTest::keyClick(mode, Qt::Key_Down);
            QTest::keyClick(security, Qt::Key_Down);
            QTest::keyClick(security, Qt::Key_Down);
            click(&f, "ButtonAddHost");
            EXPECT_EQ(dir.read(QStringLiteral("FTP.INI")),
                      QByteArray("[Home]\r\nProfile=Home\r\nHost=ftp.example.org\r\nUser=me\r\n"
                                 "Password=pw\r\nAccount=\r\nDirectory=\r\nTransferMode=Active\r\n"
                                 "Security=TLSRequired\r\nSiteFolder=/home/me/site\r\n"
                                 "Fingerprint=\r\nProtocol=FTPS\r\n"));
            struct stat st {};
            ASSERT_EQ(
                ::stat(QFile::encodeName(dir.file(QStringLiteral("FTP.INI"))).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u);
            // Emptied after Add to List; selecting the profile fills the options again.
            EXPECT_EQ(site->text(), QString());
            EXPECT_EQ(mode->currentText(), QStringLiteral("Passive"));
            auto* hosts = child<QListWidget>(&f, "ListHosts");
            QTest::mouseClick(hosts->viewport(), Qt::LeftButton, {},
                              hosts->visualItemRect(hosts->item(0)).center());
            EXPECT_EQ(mode->currentText(), QStringLiteral("Active"));
            EXPECT_EQ(security->currentText(), QStringLiteral("TLS required"));
            EXPECT_EQ(site->text(), QStringLiteral("/home/me/site"));
            EXPECT_EQ(f.screen().connection().currentHost().security, TFtpSecurity::TlsRequired);
            auto* protocol = child<QComboBox>(&f, "ComboProtocol");
            ASSERT_NE(protocol, nullptr);
            EXPECT_EQ(protocol->currentText(), QStringLiteral("FTP over TLS"));
            click(&f, "ButtonClearFields");
            EXPECT_EQ(security->currentText(), QStringLiteral("None"));
            EXPECT_EQ(protocol->currentText(), QStringLiteral("FTP"));

            // SFTP has no data connection and no TLS to choose; FTP over TLS asks for TLS.
            QTest::keyClick(protocol, Qt::Key_Down);
            EXPECT_EQ(protocol->currentText(), QStringLiteral("FTP over TLS"));
            EXPECT_EQ(security->currentText(), QStringLiteral("TLS required"));
            EXPECT_TRUE(mode->isEnabled() && security->isEnabled());
            QTest::keyClick(protocol, Qt::Key_Down);
            EXPECT_EQ(protocol->currentText(), QStringLiteral("SFTP"));
            EXPECT_FALSE(mode->isEnabled());
            EXPECT_FALSE(security->isEnabled());
            EXPECT_EQ(f.screen().connection().fields().protocol, HostProtocol::Sftp);
            QTest::keyClick(protocol, Qt::Key_Home);
            EXPECT_EQ(security->currentText(), QStringLiteral("None"));
            EXPECT_TRUE(mode->isEnabled() && security->isEnabled());
            done = true;
            click(&f, "ButtonClose");
        });
    };
    action("BitBtnFTP")->trigger();
    EXPECT_TRUE(done);
}

// The screen works on the event loop: while a big file goes out, the window keeps painting,
// timers keep firing, and the Log and the byte counter move on.
TEST_F(PublishWindowTest, TheScreenStaysResponsiveDuringABigUpload) {
    TempDir home;
    ftptest::PythonServer server;
    TStarFtp probe;
    const int port = ftptest::startPyftpd(server, QDir(home.path()).absolutePath(), probe);
    ASSERT_GT(port, 0) << server.error().toStdString();
    const qint64 size = 100LL * 1024 * 1024;
    {
        QFile big(dir.file(QStringLiteral("big.bin")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(size));
    }
    form->state().changedList().add(dir.file(QStringLiteral("big.bin")));

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    bool done = false;
    ui->onScreenOpened = [&](TFormFTP& f) {
        QTimer::singleShot(0, &f, [&] {
            QTest::keyClicks(child<QLineEdit>(&f, "EditProfile"), QStringLiteral("Loopback"));
            QTest::keyClicks(child<QLineEdit>(&f, "EditHost"),
                             QStringLiteral("127.0.0.1:%1").arg(port));
            QTest::keyClicks(child<QLineEdit>(&f, "EditUser"), QStringLiteral("webmaster"));
            QTest::keyClicks(child<QLineEdit>(&f, "EditPassword"), QStringLiteral("s3cret"));
            click(&f, "ButtonAddHost");
            f.screen().selectHost(0);
            f.screen().addAllFromAutoList();
            f.pages()->setCurrentIndex(FtpScreen::TransferPage);
            click(&f, "ButtonConnect");
            auto* dirs = child<QListWidget>(&f, "ListRemoteDirs");
            ASSERT_TRUE(QTest::qWaitFor([&] { return dirs->count() == 1; }, 8000));

            auto* bytes = child<QLabel>(&f, "LabelBytes");
            auto* status = child<QLabel>(&f, "LabelStatus");
            bytes->installEventFilter(&counter);
            QStringList counters;
            QStringList statuses;
            int ticks = 0;
            int logAtFirstProgress = -1;
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [&] {
                ++ticks;
                if (!bytes->text().isEmpty() &&
                    (counters.isEmpty() || counters.last() != bytes->text())) {
                    counters << bytes->text();
                    if (logAtFirstProgress < 0)
                        logAtFirstProgress = f.logView()->blockCount();
                }
                if (statuses.isEmpty() || statuses.last() != status->text())
                    statuses << status->text();
            });
            tick.start(5);
            const int logBefore = f.logView()->blockCount();
            click(&f, "ButtonTransfer");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return status->text() == QLatin1String("Completed sending 1 files.") &&
                           !f.screen().busy();
                },
                60000));
            tick.stop();
            // For the record (--gtest_output=xml): how lively the window was.
            RecordProperty("counterUpdates", static_cast<int>(counters.size()));
            RecordProperty("labelPaints", counter.paints);
            RecordProperty("timerTicks", ticks);
            EXPECT_EQ(statuses.first(), QStringLiteral("Sending file #1 of 1"));
            EXPECT_EQ(statuses.last(), QStringLiteral("Completed sending 1 files."));
            // The counter moved while the file went, and the label was painted each time.
            EXPECT_GE(counters.size(), 2) << counters.join(QLatin1Char(',')).toStdString();
            EXPECT_GE(counter.paints, 2);
            EXPECT_GE(ticks, 4);
            // The Log had grown by the time the data flowed (the STOR and the server's 150),
            // and grew again when the file was done.
            EXPECT_GT(logAtFirstProgress, logBefore);
            EXPECT_GT(f.logView()->blockCount(), logAtFirstProgress);
            EXPECT_TRUE(f.logView()->toPlainText().contains(
                QStringLiteral("%1 bytes transferred in ").arg(size)));
            click(&f, "ButtonDisconnect");
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.screen().connected(); }, 8000));
            done = true;
            click(&f, "ButtonClose");
        });
    };
    action("BitBtnFTP")->trigger();
    EXPECT_TRUE(done);
    EXPECT_EQ(QFileInfo(QDir(home.path()).absolutePath() + QStringLiteral("/big.bin")).size(),
              size);
    server.stop();
}

TEST_F(PublishWindowTest, PlusFtpByThePageShownAndTheImagesOfTheOpenPage) {
    prompter.queue(MessageAnswer::Ok);
    action("BitBtnFTPAdd")->trigger();
    EXPECT_EQ(prompter.texts(),
              QStringList({"You must click on a file within your project first.."}));

    // The Files tab: the selected file of the list.
    ASSERT_TRUE(dir.write(QStringLiteral("pics/logo.gif"), "gif"));
    form->leftTabs()->setCurrentIndex(1);
    FilesPane* pane = ProjectUi::of(form->registry())->filesPane();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("pics")));
    pane->typeBox()->setCurrentIndex(1); // "Image Files"
    ASSERT_GE(pane->fileList()->count(), 1);
    pane->fileList()->setCurrentRow(0);
    action("AddSelectedFiletoFTPList1")->trigger();
    EXPECT_EQ(form->state().changedList().paths(),
              QStringList({dir.file(QStringLiteral("pics/logo.gif"))}));
    EXPECT_EQ(pane->fileList()->contextMenuPolicy(), Qt::CustomContextMenu);

    // The images of the open page, through the "Image Directory" dialog.
    form->editWindow().setText(QStringLiteral("<IMG SRC=\"img/LOGO.gif\"><IMG SRC=\"x.jpg\">"));
    chooser.queue(dir.file(QStringLiteral("pics/logo.gif")));
    QTimer::singleShot(0, form.get(), [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Image Directory"));
        click(dialog, "ButtonSelect");
        EXPECT_EQ(child<QLineEdit>(dialog, "EditImageLocation")->text(),
                  dir.file(QStringLiteral("pics/")));
        click(dialog, "ButtonOK");
    });
    action("AddImagesfromopenHTMLfiletoFTPlist1")->trigger();
    EXPECT_EQ(form->state().changedList().paths(),
              QStringList({dir.file(QStringLiteral("pics/logo.gif")),
                           dir.file(QStringLiteral("pics/x.jpg"))}));
    EXPECT_EQ(form->state().settings().ftpImages, dir.file(QStringLiteral("pics/")));
}

TEST_F(PublishWindowTest, EveryPlaceOfPlusFtpRunsTheSameCommand) {
    // The outline's pop-up and the file list's hold the pop-up wording of the one command.
    QMenu* outline = form->registry().menu(QStringLiteral("OutlinePopup"));
    QMenu* files = form->registry().menu(QStringLiteral("FileListPopup"));
    ASSERT_NE(outline, nullptr);
    ASSERT_NE(files, nullptr);
    for (QMenu* menu : {outline, files}) {
        QAction* entry = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == QLatin1String("FTP :  Add to FTP list"))
                entry = a;
        ASSERT_NE(entry, nullptr) << menu->objectName().toStdString();
        prompter.queue(MessageAnswer::Ok);
        entry->trigger();
        EXPECT_EQ(prompter.texts().last(),
                  QStringLiteral("You must click on a file within your project first.."));
    }
    for (const char* id : {"BitBtnFTPAdd", "AddSelectedFiletoFTPList1"}) {
        prompter.queue(MessageAnswer::Ok);
        action(id)->trigger();
    }
    EXPECT_EQ(prompter.shown().size(), 4u);
}

// One right click on the Files tab's file list gives one pop-up holding the file list's entries
// and "+FTP" both.
TEST_F(PublishWindowTest, ARightClickOnTheFileListShowsOnePopup) {
    ASSERT_TRUE(dir.write(QStringLiteral("site/page.html"), "<HTML></HTML>"));
    form->leftTabs()->setCurrentIndex(1);
    FilesPane* pane = ProjectUi::of(form->registry())->filesPane();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("site")));
    QListWidget* files = pane->fileList();
    ASSERT_GE(files->count(), 1);
    QApplication::processEvents();

    QList<QStringList> menus;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        menus << entries;
        menu->close();
    });
    watch.start(20);
    const QPoint at = files->visualItemRect(files->item(0)).center();
    QContextMenuEvent press(QContextMenuEvent::Mouse, at, files->viewport()->mapToGlobal(at));
    QApplication::sendEvent(files->viewport(), &press);
    // Long enough for a second menu, had one followed the first.
    QTest::qWait(400);
    watch.stop();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus.first(), QStringList({"Insert Image", "Insert Link to HTML file", "-",
                                          "Analyze Web Page", "-", "FTP :  Add to FTP list"}));
    // The click chose the file under the mouse; the entry adds it.
    EXPECT_EQ(files->currentRow(), 0);
    action("AddtoFTPlist1")->trigger();
    EXPECT_EQ(form->state().changedList().paths(),
              QStringList({dir.file(QStringLiteral("site/page.html"))}));
}

// The transfer page names the remote folder and its two lists, offers the server commands only
// while connected, and forgets the listing when the connection ends; the Files page shows the
// folder it lists, names in Latin-1 included.
TEST_F(PublishWindowTest, TheScreenShowsWhereItIsAndOffersOnlyWhatCanRun) {
    TempDir home;
    ASSERT_TRUE(QDir().mkpath(QDir(home.path()).absolutePath() + QStringLiteral("/www")));
    ftptest::PythonServer server;
    TStarFtp probe;
    const int port = ftptest::startPyftpd(server, QDir(home.path()).absolutePath(), probe);
    ASSERT_GT(port, 0) << server.error().toStdString();
    const QByteArray latin1 = QFile::encodeName(dir.file(QStringLiteral("local/"))) + "caf\xe9.htm";
    ASSERT_TRUE(dir.write(QStringLiteral("local/plain.htm"), "plain"));
    // The temporary folder cannot remove a name that is not UTF-8: the test does.
    struct Unlink {
        QByteArray path;
        ~Unlink() { ::unlink(path.constData()); }
    } unlink{latin1};
    {
        FILE* out = ::fopen(latin1.constData(), "wb");
        ASSERT_NE(out, nullptr);
        ::fputs("caf\xe9", out);
        ::fclose(out);
    }
    bool done = false;
    ui->onScreenOpened = [&](TFormFTP& f) {
        QTimer::singleShot(0, &f, [&] {
            // The Files page: the folder it lists, and every file in it.
            f.pages()->setCurrentIndex(FtpScreen::FilesPage);
            f.filePages()->setCurrentIndex(2);
            f.setFolder(dir.file(QStringLiteral("local")));
            EXPECT_EQ(child<QLabel>(&f, "LabelFilesFolder")->text(),
                      QDir::cleanPath(dir.file(QStringLiteral("local"))));
            auto* list = child<QListWidget>(&f, "ListFiles");
            QStringList names;
            for (int i = 0; i < list->count(); ++i)
                names << list->item(i)->text();
            EXPECT_EQ(names, QStringList({QStringLiteral("caf\u00e9.htm"), "plain.htm"}));
            list->setCurrentRow(0);
            click(&f, "ButtonFilesAdd");
            EXPECT_EQ(f.screen().localFiles().transferList(),
                      QStringList({QDir::cleanPath(dir.file(QStringLiteral("local"))) +
                                   QStringLiteral("/caf\u00e9.htm")}));

            f.pages()->setCurrentIndex(FtpScreen::TransferPage);
            auto* where = child<QLabel>(&f, "LabelRemoteFolder");
            EXPECT_EQ(where->text(), QStringLiteral("Remote folder: (not connected)"));
            QStringList labels;
            for (QLabel* l : f.findChildren<QLabel*>())
                if (l->buddy() == child<QListWidget>(&f, "ListRemoteDirs") ||
                    l->buddy() == child<QListWidget>(&f, "ListRemoteFiles"))
                    labels << l->text();
            labels.sort();
            EXPECT_EQ(labels, QStringList({"Remote &folders:", "Remote f&iles:"}));
            const char* serverCommands[] = {"ButtonMakeDir", "ButtonRemoveDir",
                                            "ButtonRename",  "ButtonDeleteFile",
                                            "ButtonRefresh", "ButtonDisconnect"};
            for (const char* name : serverCommands)
                EXPECT_FALSE(child<QPushButton>(&f, name)->isEnabled()) << name;
            EXPECT_TRUE(child<QPushButton>(&f, "ButtonConnect")->isEnabled());

            f.screen().connection().setFields({QStringLiteral("Loopback"),
                                               QStringLiteral("127.0.0.1:%1").arg(port),
                                               QStringLiteral("webmaster"),
                                               QStringLiteral("s3cret"),
                                               {},
                                               {}});
            f.screen().addToList();
            f.screen().selectHost(0);
            click(&f, "ButtonConnect");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return f.screen().connected() && !f.screen().busy(); }, 8000));
            EXPECT_EQ(where->text(), QStringLiteral("Remote folder: /"));
            for (const char* name : serverCommands)
                EXPECT_TRUE(child<QPushButton>(&f, name)->isEnabled()) << name;
            EXPECT_FALSE(child<QPushButton>(&f, "ButtonConnect")->isEnabled());
            auto* dirs = child<QListWidget>(&f, "ListRemoteDirs");
            EXPECT_EQ(dirs->count(), 2); // ".." and "www"
            if (QListWidgetItem* www = dirs->item(1))
                emit dirs->itemDoubleClicked(www);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return where->text() == QLatin1String("Remote folder: /www"); }, 8000))
                << where->text().toStdString();

            click(&f, "ButtonDisconnect");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return where->text() == QLatin1String("Remote folder: (not connected)"); },
                8000));
            EXPECT_FALSE(f.screen().connected());
            EXPECT_EQ(dirs->count(), 0);
            EXPECT_EQ(child<QListWidget>(&f, "ListRemoteFiles")->count(), 0);
            for (const char* name : serverCommands)
                EXPECT_FALSE(child<QPushButton>(&f, name)->isEnabled()) << name;
            done = true;
            click(&f, "ButtonClose");
        });
    };
    action("BitBtnFTP")->trigger();
    EXPECT_TRUE(done);
    server.stop();
}

// "&OK" on an empty field says to choose a folder or press Cancel, and leaves the dialog up for
// that; "Select Directory" starts in the open page's folder when no image folder is set.
TEST_F(PublishWindowTest, TheImageDirectoryDialogWaitsForAFolderAndStartsAtThePage) {
    ASSERT_TRUE(dir.write(QStringLiteral("site/page.html"), "<IMG SRC=\"a.gif\">"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/img/a.gif"), "gif"));
    form->state().settings().images.clear();
    form->state().settings().ftpImages.clear();
    form->state().document().loadDocument(dir.file(QStringLiteral("site/page.html")));
    chooser.queue(dir.file(QStringLiteral("site/img/a.gif")));
    bool checked = false;
    QTimer::singleShot(0, form.get(), [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        prompter.queue(MessageAnswer::Ok);
        click(dialog, "ButtonOK");
        EXPECT_EQ(prompter.texts().last(),
                  QStringLiteral("You must select the directory where your images are located, "
                                 "or press CANCEL to exit this screen."));
        EXPECT_TRUE(dialog->isVisible());
        click(dialog, "ButtonSelect");
        EXPECT_EQ(chooser.requests().back().request.initialDirectory,
                  QDir::cleanPath(dir.file(QStringLiteral("site"))));
        click(dialog, "ButtonOK");
        checked = true;
    });
    action("AddImagesfromopenHTMLfiletoFTPlist1")->trigger();
    EXPECT_TRUE(checked);
    EXPECT_EQ(form->state().changedList().paths(),
              QStringList({dir.file(QStringLiteral("site/img/a.gif"))}));
}
