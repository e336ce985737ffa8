// The page checks in the real main window: Check Links from the Tools menu with its report, a
// double-click that opens the page at its line, printing, Stop in the progress window, the check
// an upload runs first, and its settings in the Settings dialog.
#include "checks/PageChecks.h"
#include "ftp/FtpTestSupport.h"
#include "platform/UiPump.h"
#include "project/Project.h"
#include "publish/FtpScreen.h"
#include "support/CapturePrinter.h"
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/checks/ChecksUi.h"
#include "ui/checks/TFormCheckReport.h"
#include "ui/preview/TFormOptions.h"
#include "ui/project/ProjectUi.h"
#include "ui/publish/PublishUi.h"
#include "ui/publish/TFormFTP.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

QStringList rows(const QTreeWidget* list) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        out << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2);
    }
    return out;
}

void doubleClickRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    // A double-click is a press and release followed by a second press: send them as a user's.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

class ChecksWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        ui = ChecksUi::of(form->registry());
        ASSERT_NE(ui, nullptr);
        ui->setPrinter(&printer);
    }
    QAction* action(const char* id) const { return form->registry().action(QLatin1String(id)); }
    Project& project() { return ProjectUi::of(form->registry())->project(); }

    // A project of four pages in projects/, opened in the main window.
    void openSite() {
        ASSERT_TRUE(dir.write("web/index.html",
                              "<html><body>\r\n"
                              "<a href=\"about.html\">About</a>\r\n"
                              "<a href=\"News.html\">News</a>\r\n"
                              "<img src=\"logo.gif\" width=\"2\" height=\"2\">\r\n"
                              "</body></html>\r\n"));
        ASSERT_TRUE(dir.write("web/about.html", "<a href=\"index.html\">Home</a>\r\n"
                                                "<img src=\"me.jpg\">\r\n"
                                                "<foo>\r\n"));
        ASSERT_TRUE(dir.write("web/news.html", "<a href=\"index.html#top\">Home</a>\r\n"));
        ASSERT_TRUE(dir.write("web/old.html", "<p>forgotten</p>\r\n"));
        ASSERT_TRUE(dir.write("web/logo.gif", "GIF89a"));
        ASSERT_TRUE(dir.write("projects/site.out", "Home\r\n\tAbout\r\n\tNews\r\n\tOld\r\n"));
        ASSERT_TRUE(
            dir.write("projects/site.fil",
                      (dir.file("web/index.html") + "\r\n" + dir.file("web/about.html") + "\r\n" +
                       dir.file("web/news.html") + "\r\n" + dir.file("web/old.html") + "\r\n")
                          .toUtf8()));
        project().openRecentProject("1: " + dir.file("projects/site.out"));
        ASSERT_EQ(project().outline().count(), 4);
    }

    CapturePrinter printer;
    ChecksUi* ui = nullptr;
};

} // namespace

TEST_F(ChecksWindow, CheckLinksFromTheToolsMenuOpensAPageAtItsLineAndPrints) {
    QAction* check = action("CheckLinks1");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), "Check &Links...");
    const QList<QAction*> tools = form->registry().menu("Tools1")->actions();
    ASSERT_TRUE(tools.contains(check));
    EXPECT_EQ(tools.indexOf(check), tools.indexOf(action("AnalyzePageSite1")) + 1);
    // Its letter is its own in the Tools menu.
    for (QAction* a : tools) {
        if (a != check) {
            EXPECT_FALSE(a->text().contains("&L", Qt::CaseInsensitive)) << a->text().toStdString();
        }
    }

    // Without a project there is nothing to check.
    prompter.queue(MessageAnswer::Ok);
    check->trigger();
    EXPECT_EQ(prompter.texts(),
              QStringList({"Check Links checks every page of the open project. Please open a "
                           "project first."}));
    EXPECT_EQ(ui->linksWindow(), nullptr);

    openSite();
    // From the menu, as a user opens it: Alt+T opens Tools, L chooses Check Links.
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_T, Qt::AltModifier);
    QMenu* menu = form->registry().menu("Tools1");
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_L);
    TFormCheckReport* report = ui->linksWindow();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(report->isModal());
    EXPECT_EQ(report->windowTitle(), "Check Links");
    EXPECT_EQ(report->summary()->text(),
              "Check Links report for project: SITE\nPages checked: 4   Problems found: 6");
    EXPECT_EQ(rows(report->list()),
              QStringList({"index.html|3|Broken link: News.html (the file is named news.html; the "
                           "server tells upper and lower case apart)",
                           "about.html|2|Image without WIDTH and HEIGHT: me.jpg",
                           "about.html|2|Missing image: me.jpg",
                           "about.html|3|HTML error: <foo> is not recognized!",
                           // Its one link has the wrong case, so no page reaches it.
                           "news.html||No page links to this page",
                           "old.html||No page links to this page"}));
    EXPECT_EQ(report->list()->topLevelItem(3)->toolTip(0), dir.file("web/about.html"));

    // A double-click on the Tidy row opens about.html with its line 3 selected.
    doubleClickRow(report->list(), 3);
    EXPECT_EQ(form->state().document().currentHtmlFile(), dir.file("web/about.html"));
    EXPECT_EQ(form->editWindow().selText(), "<foo>");
    EXPECT_EQ(form->editor()->textCursor().blockNumber(), 2);
    // The page open and changed: a row of another page asks first, and Cancel keeps it.
    form->state().document().setHtmlModified(true);
    prompter.queue(MessageAnswer::Cancel);
    doubleClickRow(report->list(), 0);
    EXPECT_EQ(prompter.texts().last(), "Save changes to open HTML file before closing?");
    EXPECT_EQ(form->state().document().currentHtmlFile(), dir.file("web/about.html"));
    form->state().document().setHtmlModified(false);
    doubleClickRow(report->list(), 0);
    EXPECT_EQ(form->state().document().currentHtmlFile(), dir.file("web/index.html"));
    EXPECT_EQ(form->editWindow().selText(), "<a href=\"News.html\">News</a>");

    printer.queue(true);
    report->button("ButtonPrint")->click();
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.dialogs(), QStringList({"Check Links"}));
    EXPECT_EQ(printer.jobs[0].lines, report->report().lines());
    EXPECT_EQ(printer.jobs[0].lines.value(3), "Page: " + dir.file("web/index.html"));

    // Mended and checked again: the same window shows the new report.
    ASSERT_TRUE(dir.write("web/index.html", "<a href=\"about.html\">About</a>\r\n"
                                            "<a href=\"news.html\">News</a>\r\n"
                                            "<a href=\"old.html\">Old</a>\r\n"));
    ASSERT_TRUE(dir.write("web/about.html", "<a href=\"index.html\">Home</a>\r\n"));
    check->trigger();
    EXPECT_EQ(ui->linksWindow(), report);
    EXPECT_EQ(report->list()->topLevelItemCount(), 0);
    EXPECT_EQ(report->summary()->text(), "Check Links report for project: SITE\n"
                                         "Pages checked: 4   Problems found: 0\n"
                                         "No problems found.");
    report->button("ButtonClose")->click();
    EXPECT_FALSE(report->isVisible());
    EXPECT_FALSE(prompter.answersLeft());
}

TEST_F(ChecksWindow, StopInTheProgressWindowEndsTheLongPass) {
    openSite();
    // The progress window shows for a pass that takes a while; Stop in it ends the pass at the
    // next page.
    int pumps = 0;
    CallbackPump pump([&] {
        if (++pumps != 2)
            return;
        auto* progress = form->findChild<QProgressDialog*>("CheckProgress");
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(progress->windowTitle(), "Check Links");
        EXPECT_EQ(progress->labelText(), "Checking page 1 of 4: index.html");
        // Stop, as the user presses it.
        auto* stop = progress->findChild<QPushButton*>();
        ASSERT_NE(stop, nullptr);
        EXPECT_EQ(stop->text(), "&Stop");
        stop->click();
    });
    ui->setPump(&pump);
    action("CheckLinks1")->trigger();
    ASSERT_NE(ui->linksWindow(), nullptr);
    EXPECT_EQ(ui->linksWindow()->summary()->text(),
              "Check Links report for project: SITE\nPages checked: 1   Problems found: 1\n"
              "The check was stopped after 1 of 4 pages.");
    ui->setPump(nullptr);
}

TEST_F(ChecksWindow, TheCheckAnUploadRunsFirst) {
    openSite();
    UploadCheck* check = form->state().parts().uploadCheck;
    ASSERT_EQ(check, ui);
    const QStringList files = {dir.file("web/logo.gif"), dir.file("web/about.html"),
                               dir.file("web/news.html")};

    // Stop Upload: the transfer does not start. Double-clicking a row meanwhile shows the page.
    int shown = 0;
    ui->onAsk = [&](TFormCheckReport& r) {
        ++shown;
        EXPECT_TRUE(r.isModal());
        EXPECT_EQ(r.windowTitle(), "Check Before Upload");
        EXPECT_EQ(r.summary()->text(),
                  "Check before upload of 2 pages\nPages checked: 2   Problems found: 3");
        EXPECT_EQ(rows(r.list()),
                  QStringList({"about.html|2|Image without WIDTH and HEIGHT: me.jpg",
                               "about.html|2|Missing image: me.jpg",
                               "about.html|3|HTML error: <foo> is not recognized!"}));
        EXPECT_TRUE(r.button("ButtonStopUpload")->isDefault());
        doubleClickRow(r.list(), 1);
        EXPECT_EQ(form->state().document().currentHtmlFile(), dir.file("web/about.html"));
        EXPECT_EQ(form->editWindow().selText(), "<img src=\"me.jpg\">");
        printer.queue(false);
        r.button("ButtonPrint")->click();
        r.button("ButtonStopUpload")->click();
    };
    EXPECT_FALSE(check->checkBeforeUpload(files, dir.file("web/")));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(printer.dialogs(), QStringList({"Check Before Upload"}));

    // Upload Anyway: it goes on.
    ui->onAsk = [&](TFormCheckReport& r) {
        ++shown;
        r.button("ButtonUploadAnyway")->click();
    };
    EXPECT_TRUE(check->checkBeforeUpload(files, QString()));
    EXPECT_EQ(shown, 2);

    // Nothing found, or the check turned off: no window, the upload goes on.
    EXPECT_TRUE(check->checkBeforeUpload({dir.file("web/news.html")}, QString()));
    form->state().settings().checkBeforeUpload = false;
    EXPECT_TRUE(check->checkBeforeUpload(files, QString()));
    EXPECT_EQ(shown, 2);
}

TEST_F(ChecksWindow, TheSettingsOfTheChecksInTheSettingsDialog) {
    bool seen = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = qobject_cast<TFormOptions*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        dialog->tabs()->setCurrentIndex(static_cast<int>(SettingsPage::Ftp));
        auto* before = dialog->findChild<QCheckBox*>("CheckBeforeUpload");
        auto* limit = dialog->findChild<QSpinBox*>("SpinPageSizeLimit");
        auto* warnings = dialog->findChild<QCheckBox*>("CheckTidyWarnings");
        ASSERT_TRUE(before && limit && warnings);
        EXPECT_TRUE(before->isChecked());
        EXPECT_EQ(limit->value(), 100);
        EXPECT_FALSE(warnings->isChecked());
        // Every field shows whole at the dialog's size.
        for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(limit),
                           static_cast<QWidget*>(warnings)})
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        before->setChecked(false);
        limit->setValue(250);
        warnings->setChecked(true);
        dialog->findChild<QPushButton*>("ButtonApply")->click();
    });
    action("Settings1")->trigger();
    ASSERT_TRUE(seen);
    EXPECT_FALSE(form->state().settings().checkBeforeUpload);
    EXPECT_EQ(form->state().settings().pageSizeLimit, 250);
    EXPECT_TRUE(form->state().settings().tidyWarnings);
    EXPECT_TRUE(dir.read("DEFAULT.INI")
                    .contains("[Check]\r\nBeforeUpload=0\r\nSizeLimit=250\r\nTidyWarnings=1\r\n"));
}

TEST_F(ChecksWindow, TransferFilesOfTheFtpScreenChecksThePagesFirst) {
    TempDir home;
    ftptest::PythonServer server;
    TStarFtp probe;
    const int port = ftptest::startPyftpd(server, QDir(home.path()).absolutePath(), probe);
    ASSERT_GT(port, 0) << server.error().toStdString();
    openSite();
    form->state().changedList().add(dir.file("web/about.html"));
    form->state().changedList().add(dir.file("web/logo.gif"));
    const QString arrived = QDir(home.path()).absolutePath() + "/about.html";

    QStringList answers = {"ButtonStopUpload", "ButtonUploadAnyway"};
    QStringList asked;
    ui->onAsk = [&](TFormCheckReport& r) {
        asked << r.summary()->text();
        // Stopped: nothing has reached the server.
        EXPECT_FALSE(QFile::exists(arrived));
        r.button(answers.takeFirst())->click();
    };
    bool done = false;
    PublishUi::of(form->registry())->onScreenOpened = [&](TFormFTP& f) {
        QTimer::singleShot(0, &f, [&] {
            const auto field = [&f](const char* name) {
                return f.findChild<QLineEdit*>(QLatin1String(name));
            };
            const auto click = [&f](const char* name) {
                f.findChild<QPushButton*>(QLatin1String(name))->click();
            };
            QTest::keyClicks(field("EditProfile"), "Loopback");
            QTest::keyClicks(field("EditHost"), QStringLiteral("127.0.0.1:%1").arg(port));
            QTest::keyClicks(field("EditUser"), "webmaster");
            QTest::keyClicks(field("EditPassword"), "s3cret");
            click("ButtonAddHost");
            auto* hosts = f.findChild<QListWidget*>("ListHosts");
            QTest::mouseClick(hosts->viewport(), Qt::LeftButton, {},
                              hosts->visualItemRect(hosts->item(0)).center());
            f.pages()->setCurrentIndex(FtpScreen::FilesPage);
            click("ButtonAutoAddAll");
            f.pages()->setCurrentIndex(FtpScreen::TransferPage);
            // Not connected: the button is off, and the screen's own message comes before
            // any check.
            EXPECT_FALSE(f.findChild<QPushButton*>("ButtonTransfer")->isEnabled());
            prompter.queue(MessageAnswer::Ok);
            f.ButtonTransferClick();
            EXPECT_EQ(prompter.texts().last(), FtpScreen::notConnectedText());
            EXPECT_TRUE(asked.isEmpty());
            click("ButtonConnect");
            auto* dirs = f.findChild<QListWidget*>("ListRemoteDirs");
            EXPECT_TRUE(QTest::qWaitFor([&] { return dirs->count() == 1; }, 8000));
            // Stop Upload: the transfer does not start.
            click("ButtonTransfer");
            EXPECT_EQ(asked.size(), 1);
            EXPECT_FALSE(f.screen().transfer().transferring());
            // Upload Anyway: both files go.
            click("ButtonTransfer");
            EXPECT_EQ(asked.size(), 2);
            auto* status = f.findChild<QLabel*>("LabelStatus");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return status->text() == QLatin1String("Completed sending 2 files.") &&
                           !f.screen().busy();
                },
                8000));
            click("ButtonDisconnect");
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.screen().connected(); }, 8000));
            done = true;
            click("ButtonClose");
        });
    };
    action("BitBtnFTP")->trigger();
    EXPECT_TRUE(done);
    EXPECT_EQ(asked, QStringList({"Check before upload of 1 page\nPages checked: 1   Problems "
                                  "found: 3",
                                  "Check before upload of 1 page\nPages checked: 1   Problems "
                                  "found: 3"}));
    QFile sent(arrived);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll(), dir.read("web/about.html"));
    EXPECT_FALSE(prompter.answersLeft());
    server.stop();
}
