// Extended Replace from the main window: the steps before the dialog, the dialog's controls and
// a run over real files.
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/services/TFormBigReplace.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/widgets/ElidedLabel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

class BigReplaceWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write(QStringLiteral("projects/site.out"), "One\r\n"));
        ASSERT_TRUE(dir.write(QStringLiteral("projects/site.fil"), "/nowhere.html\r\n"));
        openWindow();
    }
    // Runs body on the dialog once it is shown modally; false when it never came up.
    bool withDialog(const std::function<void(TFormBigReplace&)>& body) {
        bool shown = false;
        // A timer of this call only: when no dialog comes up, it must not act on the next one.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, form.get(), [&] {
            auto* d = qobject_cast<TFormBigReplace*>(QApplication::activeModalWidget());
            if (!d)
                return;
            shown = true;
            body(*d);
            d->reject();
        });
        timer.start(0);
        form->registry().action(QStringLiteral("ExtendedReplace1"))->trigger();
        return shown;
    }
};

TEST_F(BigReplaceWindow, ModifiedPageIsClosedFirstAndCancelKeepsIt) {
    QAction* a = form->registry().action(QStringLiteral("ExtendedReplace1"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(), QStringLiteral("&Extended Replace"));
    EXPECT_EQ(a->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(a->toolTip(), QStringLiteral("Extended Replace"));

    HtmlDocument& doc = form->state().document();
    form->editWindow().setText(QStringLiteral("typed"));
    doc.setHtmlModified(true);
    prompter.queue(MessageAnswer::Ok);
    prompter.queue(MessageAnswer::Cancel);
    EXPECT_FALSE(withDialog([](TFormBigReplace&) {}));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("To guarantee file integrity, all open files must be "
                                          "closed before doing a global replace. You will now "
                                          "have the option of saving your open HTML file..."),
                           HtmlDocument::askSaveChangesText()}));
    EXPECT_EQ(form->editor()->toPlainText(), QStringLiteral("typed"));
    EXPECT_TRUE(doc.htmlModified());

    prompter.queue(MessageAnswer::Ok);
    prompter.queue(MessageAnswer::No);
    EXPECT_TRUE(withDialog([](TFormBigReplace& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Extended Replace"));
        EXPECT_TRUE(d.projectRadio()->isChecked());
        EXPECT_TRUE(d.projectsBox()->isEnabled());
        EXPECT_FALSE(d.filesList()->isEnabled());
        EXPECT_FALSE(d.addFileButton()->isEnabled());
        EXPECT_EQ(d.projectsBox()->count(), 1);
        EXPECT_EQ(d.projectsBox()->itemText(0), QStringLiteral("SITE.OUT"));
        EXPECT_EQ(d.projectsBox()->currentIndex(), -1);
        EXPECT_FALSE(d.caseBox()->isChecked());
        EXPECT_FALSE(d.backupBox()->isChecked());
        EXPECT_EQ(d.backupDirEdit()->text(), ExtendedReplace::dateName(QDate::currentDate()));
        EXPECT_EQ(d.statusPanel()->text(), QStringLiteral("Status:"));
        EXPECT_FALSE(d.bar()->isVisible());
    }));
    EXPECT_EQ(form->editor()->toPlainText(), QString());
    EXPECT_FALSE(doc.htmlModified());
    EXPECT_EQ(doc.currentHtmlFile(), doc.untitledName());
    EXPECT_EQ(form->statusField(2)->text(),
              QStringLiteral("Open HTML File:  ") + doc.untitledName());
}

TEST_F(BigReplaceWindow, FilesModeAddRemoveAndARun) {
    ASSERT_TRUE(dir.write(QStringLiteral("web/a.html"), "<p>Old news</p>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/b.html"), "old OLD\r\n"));
    chooser.queue(dir.file(QStringLiteral("web/a.html")));
    chooser.queue(dir.file(QStringLiteral("web/b.html")));
    chooser.queue(std::nullopt);
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(withDialog([&](TFormBigReplace& d) {
        d.filesRadio()->setChecked(true);
        EXPECT_FALSE(d.projectsBox()->isEnabled());
        EXPECT_TRUE(d.addFileButton()->isEnabled());
        d.addFileButton()->click();
        d.addFileButton()->click();
        d.addFileButton()->click(); // cancelled
        EXPECT_EQ(d.filesList()->count(), 2);
        // Remove with nothing selected does nothing; then the second entry goes.
        d.filesList()->setCurrentRow(-1);
        d.removeButton()->click();
        EXPECT_EQ(d.filesList()->count(), 2);
        d.filesList()->setCurrentRow(1);
        d.removeButton()->click();
        ASSERT_EQ(d.filesList()->count(), 1);
        d.textEdit()->setText(QStringLiteral("old"));
        d.replacementEdit()->setText(QStringLiteral("new"));
        d.replaceAllButton()->click();
        EXPECT_EQ(d.statusPanel()->text(), QStringLiteral("Finished."));
        EXPECT_FALSE(d.bar()->isVisible());
    }));
    const std::vector<ScriptedFileChooser::Request>& r = chooser.requests();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].request.filter, ExtendedReplace::addFileFilter());
    EXPECT_EQ(r[0].request.initialDirectory, form->state().settings().lastHtmlDirectory);
    // After a file is added, its folder is where the next one is looked for.
    EXPECT_EQ(r[1].request.initialDirectory, dir.file(QStringLiteral("web/")));
    EXPECT_EQ(dir.read(QStringLiteral("web/a.html")), QByteArray("<p>new news</p>\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("web/b.html")), QByteArray("old OLD\r\n"));
    EXPECT_EQ(prompter.texts(), QStringList{ExtendedReplace::confirmText()});
}

TEST_F(BigReplaceWindow, OpenProjectIsPreselectedAndAProjectRunWithBackup) {
    ASSERT_TRUE(dir.write(QStringLiteral("web/p.html"), "old\r\n"));
    ASSERT_TRUE(
        dir.write(QStringLiteral("projects/site.fil"),
                  (dir.file(QStringLiteral("web/p.html")) + QStringLiteral("\r\n")).toUtf8()));
    form->state().project().projectFileName = QStringLiteral("site.out");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(withDialog([&](TFormBigReplace& d) {
        EXPECT_EQ(d.projectsBox()->currentText(), QStringLiteral("SITE.OUT"));
        d.textEdit()->setText(QStringLiteral("OLD"));
        d.replacementEdit()->setText(QStringLiteral("new"));
        d.backupBox()->setChecked(true);
        d.backupDirEdit()->clear();
        d.replaceAllButton()->click();
        EXPECT_EQ(d.backupDirEdit()->text(), ExtendedReplace::dateName(QDate::currentDate()));
    }));
    EXPECT_EQ(dir.read(QStringLiteral("web/p.html")), QByteArray("new\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/") + ExtendedReplace::dateName(QDate::currentDate()) +
                       QStringLiteral("/p.html")),
              QByteArray("old\r\n"));
}

} // namespace

namespace {

TEST_F(BigReplaceWindow, ManyMissingFilesKeepTheDialogOnScreenAndFilesAreAddedOnce) {
    ASSERT_TRUE(dir.write(QStringLiteral("web/a.html"), "old\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/sub/b.htm"), "old\r\n"));
    QString list;
    for (int i = 0; i < 200; ++i)
        list +=
            dir.file(QStringLiteral("gone/a-rather-long-name-of-a-missing-page-%1.html").arg(i)) +
            QStringLiteral("\r\n");
    list += dir.file(QStringLiteral("web/a.html")) + QStringLiteral("\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("projects/site.fil"), list.toUtf8()));
    form->state().project().projectFileName = QStringLiteral("site.out");
    prompter.queue(MessageAnswer::Yes);
    chooser.queue(dir.file(QStringLiteral("web/a.html")));
    chooser.queue(dir.file(QStringLiteral("web/a.html")));
    chooser.queue(dir.file(QStringLiteral("web")));
    EXPECT_TRUE(withDialog([&](TFormBigReplace& d) {
        const int width = d.width();
        d.textEdit()->setText(QStringLiteral("old"));
        d.replacementEdit()->setText(QStringLiteral("new"));
        d.replaceAllButton()->click();
        QApplication::processEvents();
        EXPECT_EQ(d.statusPanel()->text(), QStringLiteral("Finished."));
        // Every file is in the scrolling list; the dialog is as wide as it was.
        EXPECT_EQ(d.resultsList()->count(), 201);
        EXPECT_EQ(d.resultsList()->item(200)->text(),
                  "1 replacement: " + dir.file(QStringLiteral("web/a.html")));
        EXPECT_EQ(d.width(), width);
        EXPECT_LE(d.sizeHint().width(), 1280);
        EXPECT_TRUE(d.reportPanel()->text().startsWith(QStringLiteral("1 of 201 files")));
        // The two panels side by side, the report after the status, both inside the dialog.
        const QRect status(d.statusPanel()->mapTo(&d, QPoint(0, 0)), d.statusPanel()->size());
        const QRect report(d.reportPanel()->mapTo(&d, QPoint(0, 0)), d.reportPanel()->size());
        EXPECT_GT(report.left(), status.right()) << report.left() << " " << status.right();
        EXPECT_GT(report.width(), 200);
        EXPECT_TRUE(d.rect().contains(report)) << report.bottom() << " " << d.height();

        // Add File twice adds the file once; Add Folder adds the rest of the folder.
        d.filesRadio()->setChecked(true);
        d.addFileButton()->click();
        d.addFileButton()->click();
        EXPECT_EQ(d.filesList()->count(), 1);
        d.addFolderButton()->click();
        ASSERT_EQ(d.filesList()->count(), 2);
        EXPECT_EQ(d.filesList()->item(1)->text(), dir.file(QStringLiteral("web/sub/b.htm")));
    }));
    EXPECT_EQ(dir.read(QStringLiteral("web/a.html")), QByteArray("new\r\n"));
}

} // namespace
