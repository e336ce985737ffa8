// The web-site project in the real main window, driven by keys and clicks: the page the commands
// act on, the Files tab, the dialogs they open, printing, and what the status bar shows.
#include "platform/Clipboard.h"
#include "project/FilesTab.h"
#include "project/Project.h"
#include "project/ProjectDialogs.h"
#include "support/CapturePrinter.h"
#include "support/MainWindowFixture.h"
#include "support/QtPrinters.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/QtPrinter.h"
#include "ui/project/FilesPane.h"
#include "ui/project/PrintUi.h"
#include "ui/project/ProjectDialogs.h"
#include "ui/project/ProjectUi.h"
#include "ui/project/TFormPrintOptions.h"
#include "ui/project/TFormProjectBuilder.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/widgets/FolderBrowser.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

QStringList texts(const QListWidget* list) {
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

class ProjectWindowReach : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        tree = form->findChild<QTreeWidget*>(QStringLiteral("SiteOutline"));
        ASSERT_NE(tree, nullptr);
    }
    QAction* action(const char* id) const { return form->registry().action(QLatin1String(id)); }
    Project& project() const { return ProjectUi::of(form->registry())->project(); }
    QStringList titles() const { return project().outline().titles(); }

    // Home page, Products and Contact below it, Map below Contact; every page a file of web/.
    void openSite() {
        QString links;
        for (const char* name : {"index", "products", "contact", "map"}) {
            const QString file = QStringLiteral("web/%1.html").arg(QLatin1String(name));
            ASSERT_TRUE(dir.write(file, "<p>" + QByteArray(name) + "</p>\r\n"));
            links += dir.file(file) + QStringLiteral("\r\n");
        }
        ASSERT_TRUE(dir.write(QStringLiteral("web/site.out"),
                              "Home page\r\n\tProducts\r\n\tContact\r\n\t\tMap\r\n"));
        ASSERT_TRUE(dir.write(QStringLiteral("web/site.fil"), links.toUtf8()));
        chooser.queue(dir.file(QStringLiteral("web/site.out")));
        action("OpenProject1")->trigger();
        ASSERT_EQ(titles().size(), 4);
    }

    // Runs body on the modal dialog D once command has brought it up; closes it if body does
    // not. Returns whether it came up.
    template <class D> bool withDialog(QAction* command, const std::function<void(D&)>& body) {
        bool shown = false;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, form.get(), [&] {
            auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
            if (!d)
                return;
            timer.stop();
            shown = true;
            body(*d);
            if (d->isVisible())
                static_cast<QDialog*>(d)->reject();
        });
        timer.start();
        command->trigger();
        return shown;
    }

    QTreeWidget* tree = nullptr;
};

TEST_F(ProjectWindowReach, TheArrowKeysChooseThePageTheCommandsActOn) {
    openSite();
    tree->setFocus();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(0)).center());
    ASSERT_EQ(project().selectedItem(), 1);
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(project().selectedItem(), 3);
    // The status fields and the page the analysis takes follow the highlight too.
    EXPECT_EQ(project().selectedPageFile(), dir.file(QStringLiteral("web/contact.html")));
    EXPECT_EQ(form->statusField(1)->text(),
              QStringLiteral("Page Location:  ") + dir.file(QStringLiteral("web/contact.html")));

    // The move dialog starts on the highlighted page.
    EXPECT_TRUE(withDialog<TFormMoveWindow>(action("MovePageUpDown1"), [](TFormMoveWindow& d) {
        EXPECT_EQ(d.listWidget()->currentRow(), 2);
        EXPECT_TRUE(d.listWidget()->item(2)->text().startsWith(QStringLiteral("    Contact>>")));
    }));

    // Remove asks about Contact and its one page, and removes just those two.
    EXPECT_TRUE(
        withDialog<TFormConfirmDelete>(action("RemovePagefromProject1"), [](TFormConfirmDelete& d) {
            EXPECT_EQ(d.whichLabel()->text(),
                      QStringLiteral("Page: \"Contact\", and the 1 page below it"));
            EXPECT_TRUE(d.whichLabel()->isVisible());
            d.findChild<QPushButton*>(QStringLiteral("YesButton"))->click();
        }));
    EXPECT_EQ(titles(), QStringList({"Home page", "Products"}));
    EXPECT_EQ(project().outline().pageLinkList(),
              QStringList({dir.file(QStringLiteral("web/index.html")),
                           dir.file(QStringLiteral("web/products.html"))}));

    // Home and End move the highlight too; Change Page Title takes the highlighted page.
    QTest::keyClick(tree, Qt::Key_Home);
    QTest::keyClick(tree, Qt::Key_End);
    EXPECT_EQ(project().selectedItem(), 2);
    EXPECT_TRUE(withDialog<TFormPage>(action("ChangePageTitle1"), [](TFormPage& d) {
        EXPECT_EQ(d.titleField()->text(), QStringLiteral("Products"));
        d.titleField()->setText(QStringLiteral("Our products"));
        d.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    }));
    EXPECT_EQ(titles(), QStringList({"Home page", "Our products"}));
}

TEST_F(ProjectWindowReach, TheFilesTabShowsItsFolderSortsItsFilesAndReachesTheStatusBar) {
    ASSERT_TRUE(dir.write(QStringLiteral("web/page10.html"), QByteArray(2500, 'x')));
    ASSERT_TRUE(dir.write(QStringLiteral("web/Page2.html"), "<p>2</p>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/about.html"), "<p>about</p>\r\n"));
    ASSERT_TRUE(dir.writeNative("web/na\xefve.html", "<p>na\xefve</p>\r\n"));
    form->leftTabs()->setCurrentIndex(1);
    auto* pane = form->findChild<FilesPane*>();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("web")));
    EXPECT_EQ(pane->folderLabel()->text(), dir.file(QStringLiteral("web")));
    EXPECT_TRUE(pane->folderLabel()->isVisible());
    EXPECT_EQ(texts(pane->fileList()), QStringList({"about.html", QStringLiteral("na\u00efve.html"),
                                                    "Page2.html", "page10.html"}));
    // The drive box names the drive the folder is on.
    pane->setFolder(QDir::homePath());
    EXPECT_EQ(pane->driveBox()->currentText(), QDir::homePath() + QLatin1Char('/'));
    pane->setFolder(dir.file(QStringLiteral("web")));
    EXPECT_EQ(pane->driveBox()->currentText(),
              dir.path().startsWith(QDir::homePath() + QLatin1Char('/'))
                  ? QDir::homePath() + QLatin1Char('/')
                  : QStringLiteral("/"));

    // A single click shows the file's size, and no page location.
    form->statusField(1)->setText(QStringLiteral("Page Location:  /old"));
    QListWidgetItem* big = pane->fileList()->item(3);
    QTest::mouseClick(pane->fileList()->viewport(), Qt::LeftButton, {},
                      pane->fileList()->visualItemRect(big).center());
    EXPECT_EQ(form->statusField(0)->text(), QStringLiteral("File Size: 2KB"));
    EXPECT_EQ(form->statusField(1)->text(), QStringLiteral("Page Location:  "));

    // The Latin-1 page opens by its bytes.
    QListWidgetItem* latin1 = pane->fileList()->item(1);
    const QPoint at = pane->fileList()->visualItemRect(latin1).center();
    QTest::mouseClick(pane->fileList()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(pane->fileList()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(form->editor()->toPlainText(), QStringLiteral("<p>na\u00efve</p>\n"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ProjectWindowReach, APageOpenedFromTheFilesTabAfterAHelpPageCanBeSavedAndIsAskedAbout) {
    ASSERT_TRUE(dir.write(QStringLiteral("help/welcome.out"), "Welcome\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("help/welcome.fil"), "welcome.hxp\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("help/welcome.hxp"), "<p>Welcome</p>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/site.html"), "<p>site</p>\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/other.html"), "<p>other</p>\r\n"));
    action("WelcometoQuillonPro1")->trigger();
    ASSERT_TRUE(form->state().document().helpPageMode());

    form->leftTabs()->setCurrentIndex(1);
    auto* pane = form->findChild<FilesPane*>();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("web")));
    const auto doubleClick = [&](const QString& name) {
        QListWidgetItem* item = pane->fileList()->findItems(name, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr);
        const QPoint at = pane->fileList()->visualItemRect(item).center();
        QTest::mouseClick(pane->fileList()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(pane->fileList()->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(QStringLiteral("site.html"));
    EXPECT_FALSE(form->state().document().helpPageMode());
    EXPECT_TRUE(action("SaveHTMLFile1")->isEnabled());

    form->editor()->setFocus();
    QTest::keyClick(form->editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form->editor(), QStringLiteral("more"));
    QTest::keyClick(form->editor(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(dir.read(QStringLiteral("web/site.html")), QByteArray("<p>site</p>\r\nmore"));

    // An unsaved edit is asked about before the next page replaces it.
    QTest::keyClicks(form->editor(), QStringLiteral("!"));
    prompter.queue(MessageAnswer::Cancel);
    doubleClick(QStringLiteral("other.html"));
    EXPECT_EQ(prompter.texts(), QStringList({HtmlDocument::askSaveChangesText()}));
    EXPECT_EQ(form->editor()->toPlainText(), QStringLiteral("<p>site</p>\nmore!"));
}

TEST_F(ProjectWindowReach, PrintOptionsClosedWithEscapeCancelsAndAFailedPrintoutIsReported) {
    ASSERT_TRUE(dir.write(QStringLiteral("web/page.html"), "<p>page</p>\r\n"));
    chooser.queue(dir.file(QStringLiteral("web/page.html")));
    action("OpenHTMLFile1")->trigger();
    // A strict printer: a print dialog the test did not expect fails it.
    CapturePrinter capture;
    setPrintingPrinter(form->registry(), &capture);
    EXPECT_TRUE(
        withDialog<TFormPrintOptions>(action("PrintProjectHTML1"), [](TFormPrintOptions& d) {
            QTest::keyClick(&d, Qt::Key_Escape);
        }));
    EXPECT_TRUE(capture.dialogs().isEmpty());
    EXPECT_TRUE(withDialog<TFormPrintOptions>(action("PrintProjectHTML1"),
                                              [](TFormPrintOptions& d) { d.close(); }));
    EXPECT_TRUE(capture.dialogs().isEmpty());

    // Printing the page into a file that cannot be written says so, with the system's reason.
    QtPrinter full(form.get());
    full.setPdfOutput(QStringLiteral("/dev/full"));
    setPrintingPrinter(form->registry(), &full);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(
        withDialog<TFormPrintOptions>(action("PrintProjectHTML1"), [](TFormPrintOptions& d) {
            d.choice(3)->setChecked(true);
            d.findChild<QPushButton*>(QStringLiteral("PrintButton"))->click();
        }));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(prompter.texts()[0], QStringLiteral("\"%1\" was not printed: No space left on device")
                                       .arg(dir.file(QStringLiteral("web/page.html"))))
        << prompter.texts()[0].toStdString();
    setPrintingPrinter(form->registry(), nullptr);
}

TEST_F(ProjectWindowReach, StatusFieldsShowTheFileSizeWholeAndCutLongPathsInTheMiddle) {
    // A page of 52,428,800 bytes (sparse: it takes no room) deep down in folders.
    const QString deep = QStringLiteral("web/a-rather-long-folder-name-for-the-site/another-level/"
                                        "and-one-more-level-below-it/yet-another-folder/");
    const QString big = dir.file(deep + QStringLiteral("big-page.html"));
    ASSERT_TRUE(dir.write(deep + QStringLiteral("big-page.html"), "x"));
    ASSERT_TRUE(QFile::resize(big, 52428800));
    ASSERT_TRUE(dir.write(QStringLiteral("web/big.out"), "Big page\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("web/big.fil"), (big + "\r\n").toUtf8()));
    chooser.queue(dir.file(QStringLiteral("web/big.out")));
    action("OpenProject1")->trigger();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(0)).center());
    QApplication::processEvents();

    auto* size = qobject_cast<ElidedLabel*>(form->statusField(0));
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->text(), QStringLiteral("File Size: 52428KB"));
    EXPECT_EQ(size->shownText(), size->text());
    EXPECT_GE(size->contentsRect().width(), size->fontMetrics().horizontalAdvance(size->text()));

    // The path, longer than its field, is cut in the middle: its start and its file name show.
    auto* location = qobject_cast<ElidedLabel*>(form->statusField(1));
    ASSERT_NE(location, nullptr);
    EXPECT_EQ(location->text(), QStringLiteral("Page Location:  ") + big);
    const QString shown = location->shownText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Page Location:  /"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("big-page.html"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    // The fields stay inside the window.
    EXPECT_LE(
        form->statusField(2)->mapTo(form.get(), form->statusField(2)->rect().bottomRight()).x(),
        form->width());
}

TEST_F(ProjectWindowReach, TheBuilderListsALatin1FileAndThatProjectOpensIt) {
    ASSERT_TRUE(dir.write(QStringLiteral("web/index.html"), "<title>Home</title>\r\n"));
    ASSERT_TRUE(dir.writeNative("web/caf\xe9.html", "<title>Caf\xe9</title>\r\n"));
    EXPECT_TRUE(withDialog<TFormProjectBuilder>(
        action("WebsiteProjectBuilder1"), [&](TFormProjectBuilder& d) {
            d.tabs()->setCurrentIndex(TFormProjectBuilder::SelectFiles);
            d.browser()->setFolder(dir.file(QStringLiteral("web")));
            EXPECT_EQ(texts(d.folderFiles()),
                      QStringList({QStringLiteral("caf\u00e9.html"), "index.html"}));
        }));

    // A Latin-1 link file naming it, as such a project holds it: the page opens.
    ASSERT_TRUE(dir.write(QStringLiteral("web/cafe.out"), "Caf\xe9\r\n"));
    ASSERT_TRUE(
        dir.write(QStringLiteral("web/cafe.fil"),
                  QFile::encodeName(dir.file(QStringLiteral("web/"))) + "caf\xe9.html\r\n"));
    chooser.queue(dir.file(QStringLiteral("web/cafe.out")));
    action("OpenProject1")->trigger();
    ASSERT_EQ(titles(), QStringList({QStringLiteral("Caf\u00e9")}));
    const QPoint at = tree->visualItemRect(tree->topLevelItem(0)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(form->statusField(0)->text(), QStringLiteral("File Size: 0KB"));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(form->editor()->toPlainText(), QStringLiteral("<title>Caf\u00e9</title>\n"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(QtPrinterLines, ALongLineIsWrappedAsTheEditorWrapsItNotCutAtThePaperEdge) {
    QImage page(600, 800, QImage::Format_RGB32);
    const QFont font = QtPrinter::textFont();
    const QFontMetrics metrics(font, &page);
    QString words;
    for (int i = 0; i < 60; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    const QString unbroken(300, QLatin1Char('x'));
    const QStringList lines = {QStringLiteral("<p>short</p>"), words.trimmed(), QString(),
                               unbroken};
    const QStringList printed = QtPrinter::wrapLines(lines, font, &page, 400);
    ASSERT_GT(printed.size(), 6);
    EXPECT_EQ(printed.first(), QStringLiteral("<p>short</p>"));
    EXPECT_TRUE(printed.contains(QString()));
    // Nothing is lost: the pieces give the lines back, and each fits the width.
    EXPECT_EQ(printed.join(QString()), lines.join(QString()));
    for (const QString& piece : printed)
        EXPECT_LE(metrics.horizontalAdvance(piece.trimmed()), 400) << piece.toStdString();
    // The words break after a blank, never inside a word.
    const qsizetype empty = printed.indexOf(QString());
    for (qsizetype i = 1; i + 1 < empty; ++i)
        EXPECT_TRUE(printed[i].endsWith(QLatin1Char(' '))) << printed[i].toStdString();
}

} // namespace
