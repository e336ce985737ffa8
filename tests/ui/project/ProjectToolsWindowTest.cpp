// The Backup dialog and the project builder from the main window: their commands, the backup
// reminder bringing the Backup dialog up, and runs over real files.
#include "support/MainWindowFixture.h"
#include "ui/project/TFormBackup.h"
#include "ui/project/TFormProjectBuilder.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/widgets/FolderBrowser.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace {

class ProjectTools : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write(QStringLiteral("web/index.html"), page));
        ASSERT_TRUE(dir.write(QStringLiteral("web/about.htm"), "<title>About us</title>\r\n"));
        ASSERT_TRUE(dir.write(QStringLiteral("web/notes.txt"), "x"));
        ASSERT_TRUE(dir.write(QStringLiteral("projects/site.out"), "Home\r\n\tAbout\r\n"));
        ASSERT_TRUE(dir.write(QStringLiteral("projects/site.fil"),
                              (dir.file(QStringLiteral("web/index.html")) + "\r\n" +
                               dir.file(QStringLiteral("web/about.htm")) + "\r\n")
                                  .toUtf8()));
        openWindow();
    }
    template <class Dialog>
    bool withDialog(const char* command, const std::function<void(Dialog&)>& body) {
        bool shown = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, form.get(), [&] {
            auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            shown = true;
            body(*d);
            if (d->isVisible())
                d->reject();
        });
        timer.start(0);
        if (command)
            form->registry().action(QLatin1String(command))->trigger();
        else
            EXPECT_TRUE(form->state().closeQuery());
        return shown;
    }
    QPushButton* button(QWidget& d, const char* name) {
        auto* b = d.findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }

    const QByteArray page{"<html>\r\n<title>\r\nWelcome\r\n</title>\r\n\xe9\r\n"};
};

TEST_F(ProjectTools, CommandsAreInTheirMenusWithTheirKeys) {
    ActionRegistry& r = form->registry();
    EXPECT_TRUE(r.problems().isEmpty()) << r.problems().join(QLatin1Char('\n')).toStdString();
    QAction* backup = r.action(QStringLiteral("BackupHTMLfiles1"));
    ASSERT_NE(backup, nullptr);
    EXPECT_EQ(backup->text(), QStringLiteral("Backup HTML files"));
    EXPECT_EQ(backup->shortcut(), QKeySequence(QStringLiteral("Ctrl+F1")));
    EXPECT_EQ(backup->toolTip(), QStringLiteral("Backup Project Files"));
    EXPECT_TRUE(r.action(QStringLiteral("ProjectBuilder1"))->isEnabled());
    EXPECT_EQ(r.action(QStringLiteral("WebsiteProjectBuilder1"))->text(),
              QStringLiteral("Website Project Builder"));
    QStringList tools;
    for (QAction* a : r.menu(QStringLiteral("Tools1"))->actions())
        tools << a->objectName();
    EXPECT_TRUE(tools.contains(QStringLiteral("BackupHTMLfiles1")));
    EXPECT_TRUE(tools.contains(QStringLiteral("WebsiteProjectBuilder1")));
}

TEST_F(ProjectTools, BackupOfTheOpenProjectIntoANewSubFolder) {
    form->state().project().projectFileName = QStringLiteral("site.out");
    const QDate today = QDate::currentDate();
    const QString sub = ProjectBackup::subFolderName(QStringLiteral("site.out"), today);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(withDialog<TFormBackup>("BackupHTMLfiles1", [&](TFormBackup& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Backup Project Files"));
        EXPECT_EQ(d.projectsBox()->currentText(), QStringLiteral("SITE.OUT"));
        EXPECT_EQ(d.browser()->folder(), dir.file(QStringLiteral("backup")));
        EXPECT_EQ(d.newSubEdit()->text(), sub);
        EXPECT_EQ(d.backupPathEdit()->text(), dir.file(QStringLiteral("backup")));
        EXPECT_TRUE(d.backupButton()->isEnabled());
        d.createButton()->click();
        EXPECT_EQ(d.backupPathEdit()->text(), dir.file(QStringLiteral("backup/") + sub));
        EXPECT_TRUE(d.newSubEdit()->text().isEmpty());
        EXPECT_FALSE(d.browser()->folders()->findItems(sub, Qt::MatchExactly).isEmpty());
        d.backupButton()->click();
        EXPECT_EQ(d.statusPanel()->text(), QStringLiteral("Status: Backup complete"));
        EXPECT_TRUE(d.isVisible()); // the dialog stays open after a run
    }));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Backup finished.")});
    const QString to = QStringLiteral("backup/") + sub + QLatin1Char('/');
    EXPECT_EQ(dir.read(to + QStringLiteral("index.html")), page);
    EXPECT_EQ(dir.read(to + QStringLiteral("site.out")), QByteArray("Home\r\n\tAbout\r\n"));
    EXPECT_EQ(dir.read(to + QStringLiteral("site.fil")),
              dir.read(QStringLiteral("projects/site.fil")));
}

TEST_F(ProjectTools, TheRemindersYesOpensTheBackupDialog) {
    ASSERT_TRUE(form->state().optionsIni().writeInteger(QStringLiteral("Backup"),
                                                        QStringLiteral("SITE"), 5));
    form->state().project().projectFileName = QStringLiteral("site.out");
    prompter.queue(MessageAnswer::Yes);
    bool chosen = false;
    EXPECT_TRUE(withDialog<TFormBackup>(nullptr, [&](TFormBackup& d) {
        chosen = d.projectsBox()->currentText() == QStringLiteral("SITE.OUT");
    }));
    EXPECT_TRUE(chosen);
    EXPECT_EQ(form->state().optionsIni().readInteger(QStringLiteral("Backup"),
                                                     QStringLiteral("SITE"), -1),
              0);
}

TEST_F(ProjectTools, BuilderMakesAProjectFromFilesTitlesAndIndents) {
    prompter.queue(MessageAnswer::Ok, 2);
    bool closed = false;
    EXPECT_TRUE(
        withDialog<TFormProjectBuilder>("WebsiteProjectBuilder1", [&](TFormProjectBuilder& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Website Project Builder"));
            EXPECT_EQ(d.tabs()->currentIndex(), 0);
            EXPECT_EQ(d.tabs()->count(), 6);
            d.tabs()->setCurrentIndex(TFormProjectBuilder::SelectFiles);
            d.browser()->setFolder(dir.file(QStringLiteral("web")));
            ASSERT_EQ(d.folderFiles()->count(), 2);
            EXPECT_EQ(d.folderFiles()->item(0)->text(), QStringLiteral("about.htm"));
            d.folderFiles()->item(0)->setSelected(true);
            d.folderFiles()->item(1)->setSelected(true);
            button(d, "ButtonAdd")->click();
            EXPECT_EQ(d.selectedList()->count(), 2);
            EXPECT_EQ(d.orderList()->count(), 2);

            d.tabs()->setCurrentIndex(TFormProjectBuilder::OrderFiles);
            d.orderList()->setCurrentRow(1);
            button(d, "ButtonUp")->click();
            EXPECT_EQ(d.orderList()->item(0)->text(), dir.file(QStringLiteral("web/index.html")));
            EXPECT_EQ(d.selectedList()->item(0)->text(),
                      dir.file(QStringLiteral("web/index.html")));
            EXPECT_EQ(d.orderList()->currentRow(), 0);

            d.tabs()->setCurrentIndex(TFormProjectBuilder::AssignNames);
            button(d, "ButtonLoadNames")->click();
            EXPECT_EQ(d.namesMemo()->toPlainText(), QStringLiteral("index\nabout"));
            d.useTitleRadio()->setChecked(true);
            button(d, "ButtonLoadNames")->click();
            EXPECT_EQ(d.namesMemo()->toPlainText(), QStringLiteral("Welcome\nAbout us"));

            d.tabs()->setCurrentIndex(TFormProjectBuilder::BuildHierarchy);
            ASSERT_EQ(d.finalList()->count(), 2);
            d.finalList()->item(1)->setSelected(true);
            button(d, "ButtonIndent")->click();
            button(d, "ButtonIndent")->click();
            EXPECT_EQ(d.finalList()->item(1)->text(), QStringLiteral("          About us"));
            // Two levels below its parent: the check sends the user back with both lines marked.
            d.tabs()->setCurrentIndex(TFormProjectBuilder::Finish);
            EXPECT_EQ(d.tabs()->currentIndex(), TFormProjectBuilder::BuildHierarchy);
            EXPECT_TRUE(d.finalList()->item(0)->isSelected());
            EXPECT_TRUE(d.finalList()->item(1)->isSelected());
            d.finalList()->item(0)->setSelected(false);
            button(d, "ButtonUnindent")->click();

            d.tabs()->setCurrentIndex(TFormProjectBuilder::Finish);
            EXPECT_EQ(d.tabs()->currentIndex(), TFormProjectBuilder::Finish);
            EXPECT_EQ(d.projectNameEdit()->text(), QStringLiteral("Enter Project Name Here"));
            d.projectNameEdit()->setText(QStringLiteral("built"));
            button(d, "ButtonSave")->click();
            closed = !d.isVisible();
        }));
    EXPECT_TRUE(closed);
    EXPECT_EQ(prompter.texts(),
              (QStringList{ProjectBuilder::treeLevelsText(), ProjectBuilder::savedText()}));
    EXPECT_EQ(dir.read(QStringLiteral("projects/built.out")),
              QByteArray("Welcome\r\n\tAbout us\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("projects/built.fil")),
              (dir.file(QStringLiteral("web/index.html")) + "\r\n" +
               dir.file(QStringLiteral("web/about.htm")) + "\r\n")
                  .toUtf8());
}

} // namespace

// Stop during a run: the bar and the Stop button show with the busy cursor while files are
// copied, Stop ends the run before the next file, and the bar, the button and the cursor go.
TEST_F(ProjectTools, StopEndsABackupRunAndPutsTheDialogBack) {
    form->state().project().projectFileName = QStringLiteral("site.out");
    EXPECT_TRUE(withDialog<TFormBackup>("BackupHTMLfiles1", [&](TFormBackup& d) {
        d.backupPathEdit()->setText(dir.file(QStringLiteral("stopped")));
        QDir(dir.path()).mkpath(QStringLiteral("stopped"));
        QPushButton* stop = button(d, "ButtonStop");
        bool seen = false;
        QTimer::singleShot(0, &d, [&] {
            seen = true;
            EXPECT_TRUE(d.bar()->isVisible());
            EXPECT_EQ(d.bar()->maximum(), 1);
            EXPECT_TRUE(stop->isVisible());
            EXPECT_FALSE(d.backupButton()->isEnabled());
            EXPECT_NE(QApplication::overrideCursor(), nullptr);
            stop->click();
        });
        EXPECT_FALSE(stop->isVisible());
        d.backupNow();
        EXPECT_TRUE(seen);
        EXPECT_FALSE(d.bar()->isVisible());
        EXPECT_FALSE(stop->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(d.statusPanel()->text(), ProjectBackup::stoppedText());
        EXPECT_TRUE(d.backupButton()->isEnabled());
    }));
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("stopped"))).isEmpty());
}
