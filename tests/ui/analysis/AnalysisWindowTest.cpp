// The analysis screen and the print command in the main window: the ways in, the screen's
// pages driven by their buttons, and real printing into a PDF file read back with pdftotext.
#include "analysis/SiteAnalysis.h"
#include "project/Project.h"
#include "project/ProjectPrint.h"
#include "support/CapturePrinter.h"
#include "support/MainWindowFixture.h"
#include "support/QtPrinters.h"
#include "ui/QtPrinter.h"
#include "ui/analysis/AnalysisUi.h"
#include "ui/analysis/TFormLoadSize.h"
#include "ui/project/FilesPane.h"
#include "ui/project/PrintUi.h"
#include "ui/project/ProjectUi.h"
#include "ui/project/TFormPrintOptions.h"
#include "ui/shell/ActionRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace {

QStringList texts(const QAbstractItemView* view) {
    QStringList out;
    const QAbstractItemModel* model = view->model();
    for (int i = 0; i < model->rowCount(); ++i)
        out << model->index(i, 0).data().toString();
    return out;
}

QString cell(const QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

// pdftotext's reading of a PDF file, or empty when it cannot run.
QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    // Compatibility form: a font's "fi" ligature reads back as the two letters.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

class AnalysisWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        form->resize(1024, 768);
        form->show();
        ui = AnalysisUi::of(form->registry());
        ASSERT_NE(ui, nullptr);
        ui->setPrinter(&printer);
    }
    QAction* action(const char* id) const { return form->registry().action(QLatin1String(id)); }
    Project& project() { return ProjectUi::of(form->registry())->project(); }

    // A project of three pages in projects/, opened in the main window.
    void openSite() {
        ASSERT_TRUE(dir.write("web/images/logo.gif", QByteArray(4999, 'g')));
        ASSERT_TRUE(dir.write("web/images/photo.jpg", QByteArray(20000, 'j')));
        QByteArray home = "<a href=\"about.html\"><img src=\"images/logo.gif\">\r\n"
                          "<IMG SRC=\"../art/photo.jpg\"> Our address\r\n";
        home += QByteArray(12345 - home.size(), ' ');
        ASSERT_TRUE(dir.write("web/index.html", home));
        ASSERT_TRUE(dir.write("web/about.html", "<a href=\"index.html\">Home</a> ADDRESS\r\n"));
        ASSERT_TRUE(dir.write("projects/site.out", "Home\r\n\tAbout\r\n\tGone\r\n"));
        ASSERT_TRUE(dir.write("projects/site.fil",
                              (dir.file("web/index.html") + "\r\n" + dir.file("web/about.html") +
                               "\r\n" + dir.file("web/gone.html") + "\r\n")
                                  .toUtf8()));
        ASSERT_TRUE(dir.write("projects/other.out", "Other\r\n"));
        project().openRecentProject("1: " + dir.file("projects/site.out"));
        ASSERT_EQ(project().outline().count(), 3);
    }

    CapturePrinter printer;
    AnalysisUi* ui = nullptr;
};

} // namespace

TEST_F(AnalysisWindow, TheWaysInAndThePrintCommandsPlaces) {
    QAction* tools = action("AnalyzePageSite1");
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->text(), "Analyze Page/Site");
    EXPECT_EQ(tools->shortcut(), QKeySequence("Ctrl+F2"));
    EXPECT_EQ(tools->toolTip(), "Site/Page Analysis");
    EXPECT_TRUE(form->findChild<QToolBar*>("ToolBar1")->actions().contains(tools));
    EXPECT_TRUE(form->registry().menu("Tools1")->actions().contains(tools));
    EXPECT_TRUE(action("PageSiteAnalysis1")->isEnabled());
    QAction* print = action("PrintProjectHTML1");
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(print->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(print->toolTip(), "Print");
    EXPECT_TRUE(form->findChild<QToolBar*>("ToolBar1")->actions().contains(print));
    EXPECT_TRUE(form->registry().problems().isEmpty())
        << form->registry().problems().join("; ").toStdString();

    // Each way opens the one screen; its Close writes the image folder.
    int opened = 0;
    ui->onShown = [&opened](TFormLoadSize& screen) {
        ++opened;
        EXPECT_EQ(screen.windowTitle(), "Web Page Analysis");
        EXPECT_EQ(screen.pages()->tabText(0), "Site Analysis");
        EXPECT_EQ(screen.pages()->tabText(1), "Link / Image Lists");
        EXPECT_EQ(screen.pages()->tabText(2), "Show Me Where...");
        screen.imageFolderField()->setText("/some/images");
        screen.button("Close0")->click();
    };
    tools->trigger();
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_F2, Qt::ControlModifier);
    action("PageSiteAnalysis1")->trigger();
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(form->state().settings().images, "/some/images/");
    EXPECT_EQ(form->state().defaultIni().readString("Location", "Images", ""), "/some/images/");
}

TEST_F(AnalysisWindow, SiteAnalysisListingsAndSearchThroughTheButtons) {
    openSite();
    form->state().settings().images = dir.file("web/images/");
    prompter.queue(MessageAnswer::Ok); // Could not open "gone.html"
    bool ran = false;
    ui->onShown = [&](TFormLoadSize& screen) {
        ran = true;
        // The open project is chosen in both boxes, its outline shown expanded in both.
        EXPECT_EQ(screen.projectBox(0)->currentText(), "SITE.OUT");
        EXPECT_EQ(screen.projectBox(1)->currentText(), "SITE.OUT");
        EXPECT_EQ(screen.projectBox(0)->count(), 2);
        EXPECT_EQ(screen.searchSiteLabel()->text(), "Site to search:  SITE");
        EXPECT_TRUE(screen.button("FindPages")->isEnabled());
        EXPECT_TRUE(screen.outline(1)->topLevelItem(0)->isExpanded());
        EXPECT_EQ(screen.imageFolderField()->text(), dir.file("web/images/"));

        screen.button("AnalyzeSite")->click();
        QTableView* grid = screen.grid();
        ASSERT_EQ(grid->model()->rowCount(), 3);
        QStringList row0;
        for (int c = 0; c < 6; ++c)
            row0 << cell(grid, 0, c);
        EXPECT_EQ(row0, QStringList({"Home", "12KB", "2", "24KB", "9 sec", "18 sec"}));
        EXPECT_EQ(cell(grid, 2, 1), "ERROR");
        EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), "Est. Load Time @ 28.8");
        EXPECT_EQ(texts(screen.reportList()), screen.logic().report());
        EXPECT_FALSE(screen.errorLabel()->isVisible());
        EXPECT_FALSE(screen.progressBar(AnalysisTab::Site)->isVisible());

        // A click in the listing page's outline selects the page for both.
        screen.pages()->setCurrentIndex(1);
        QApplication::processEvents();
        QTreeWidget* tree = screen.outline(1);
        QTreeWidgetItem* about = tree->topLevelItem(0)->child(0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(about).center());
        EXPECT_EQ(screen.logic().selectedPage().title, "About");
        screen.choice(2)->setChecked(true);
        screen.button("ListPage")->click();
        EXPECT_EQ(texts(screen.listingList()).value(4), "index.html");
        EXPECT_EQ(screen.findChild<QLabel*>("ListingStatus")->text(), "Status:");
        printer.queue(true);
        screen.button("PrintListing")->click();

        screen.pages()->setCurrentIndex(2);
        screen.searchField()->setText("address");
        screen.fileNameOnlyBox()->setChecked(true);
        screen.button("FindPages")->click();
        EXPECT_EQ(
            texts(screen.searchList()).mid(6),
            QStringList({"HTML File:  INDEX.HTML   Line#1", "HTML File:  ABOUT.HTML   Line#0"}));
        EXPECT_EQ(screen.findChild<QLabel*>("SearchStatus")->text(), "Status: Finished.");
        screen.reject();
    };
    action("AnalyzePageSite1")->trigger();
    EXPECT_TRUE(ran);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].lines.value(0), "URL Link report for page: About");
    EXPECT_FALSE(prompter.answersLeft());
}

TEST_F(AnalysisWindow, AnalyzeWebPageNeedsAFileAndTellsOnceThatItIsReady) {
    prompter.queue(MessageAnswer::Ok);
    ui->analyzeWebPage(dir.file("web"), QString());
    EXPECT_EQ(prompter.texts(), QStringList({"You have not selected a web page to analyze."}));

    ASSERT_TRUE(dir.write("web/page.html", "<p>x</p>"));
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok, 2);
    ui->onShown = [&](TFormLoadSize& screen) {
        // The notice came before: once, and not again when a later message box closes.
        EXPECT_EQ(prompter.texts(), QStringList({SiteAnalysis::preparedNoticeText()}));
        EXPECT_EQ(screen.logic().selectedPage().file, dir.file("web/page.html"));
        screen.button("PrintPageSummary")->click(); // "Nothing to print."
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&screen, &activate);
        QApplication::processEvents();
        screen.button("AnalyzePage")->click();
        EXPECT_EQ(texts(screen.reportList()).value(0), "Data For Page: page.html");
        screen.accept();
    };
    ui->analyzeFile(dir.file("web"), "page.html");
    EXPECT_EQ(prompter.texts(),
              QStringList({SiteAnalysis::preparedNoticeText(), "Nothing to print."}));
}

TEST_F(AnalysisWindow, PrintOptionsWindowModesAndTheFilesOfTheOutline) {
    openSite();
    setPrintingPrinter(form->registry(), &printer);
    int shown = 0;
    const auto answer = [&](int mode, bool nameOnly, const char* button) {
        QTimer::singleShot(0, form.get(), [&shown, mode, nameOnly, button] {
            auto* options = qobject_cast<TFormPrintOptions*>(QApplication::activeModalWidget());
            ASSERT_NE(options, nullptr);
            ++shown;
            EXPECT_EQ(options->windowTitle(), "Print Options");
            EXPECT_TRUE(options->choice(1)->isChecked());
            EXPECT_FALSE(options->fileNameOnlyBox()->isChecked());
            options->choice(mode)->setChecked(true);
            options->fileNameOnlyBox()->setChecked(nameOnly);
            if (button)
                options->findChild<QPushButton*>(QLatin1String(button))->click();
            else
                options->close(); // the title bar's close
        });
    };
    printer.queue(true);
    answer(2, true, "PrintButton");
    action("PrintProjectHTML1")->trigger();
    printer.queue(true);
    answer(2, false, "PrintButton");
    action("PrintProjectHTML1")->trigger();
    // The title bar's close cancels, as Cancel does: no print dialog follows.
    answer(2, false, nullptr);
    action("PrintProjectHTML1")->trigger();
    answer(1, false, "CancelButton");
    action("PrintProjectHTML1")->trigger();
    EXPECT_EQ(shown, 4);
    ASSERT_EQ(printer.jobs.size(), 2u);
    EXPECT_EQ(printer.dialogs().size(), 2);
    EXPECT_EQ(printer.jobs[0].lines,
              QStringList({"Home  (index.html)", "\tAbout  (about.html)", "\tGone  (gone.html)"}));
    EXPECT_EQ(printer.jobs[1].lines.value(0), "Home  (" + dir.file("web/index.html") + ")");
    EXPECT_EQ(printer.jobs[0].font->family(),
              form->findChild<QTreeWidget*>("SiteOutline")->font().family());
}

TEST_F(AnalysisWindow, RealPrintsIntoPdfFilesReadBackWithPdftotext) {
    openSite();
    form->state().settings().images = dir.file("web/images/");
    const QString reportPdf = dir.file("report.pdf");
    const QString gridPdf = dir.file("grid.pdf");
    const QString outlinePdf = dir.file("outline.pdf");
    prompter.queue(MessageAnswer::Ok);
    QtPrinter pdf(form.get());
    ui->setPrinter(&pdf);
    ui->onShown = [&](TFormLoadSize& screen) {
        screen.button("AnalyzeSite")->click();
        pdf.setPdfOutput(reportPdf);
        screen.button("PrintPageSummary")->click();
        pdf.setPdfOutput(gridPdf);
        screen.button("PrintSiteSummary")->click();
        screen.accept();
    };
    action("AnalyzePageSite1")->trigger();
    const QString report = pdfText(reportPdf);
    ASSERT_FALSE(report.isEmpty()) << "pdftotext could not read " << reportPdf.toStdString();
    EXPECT_TRUE(report.contains("Data For Page: Home")) << report.toStdString();
    EXPECT_TRUE(report.contains("Unique Images: 2   Total File Size of Images: 24KB"));
    EXPECT_TRUE(report.contains("Error For Page: Gone"));
    const QString grid = pdfText(gridPdf);
    EXPECT_TRUE(grid.contains("Est. 28.8 Time")) << grid.toStdString();
    EXPECT_TRUE(grid.contains("18 sec"));
    EXPECT_TRUE(grid.contains("Cannot access file.")) << grid.toStdString();

    QtPrinter outline(form.get());
    outline.setPdfOutput(outlinePdf);
    setPrintingPrinter(form->registry(), &outline);
    QTimer::singleShot(0, form.get(), [] {
        auto* options = qobject_cast<TFormPrintOptions*>(QApplication::activeModalWidget());
        ASSERT_NE(options, nullptr);
        options->choice(2)->setChecked(true);
        options->findChild<QPushButton*>("PrintButton")->click();
    });
    action("PrintProjectHTML1")->trigger();
    // The outline's font need not be fixed-width: pdftotext may show the two blanks as one.
    const QString text = pdfText(outlinePdf).simplified();
    EXPECT_TRUE(text.contains("Home (" + dir.file("web/index.html") + ")")) << text.toStdString();
    EXPECT_TRUE(text.contains("About (" + dir.file("web/about.html") + ")"));
}

TEST_F(AnalysisWindow, ArrowKeysChooseThePageAnalyzePageReports) {
    openSite();
    form->state().settings().images = dir.file("web/images/");
    bool ran = false;
    ui->onShown = [&](TFormLoadSize& screen) {
        ran = true;
        QTreeWidget* tree = screen.outline(0);
        QTreeWidgetItem* home = tree->topLevelItem(0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(home).center());
        EXPECT_EQ(screen.logic().selectedPage().title, "Home");
        // Down: About is highlighted, and it is the page Analyze Page works on.
        QTest::keyClick(tree, Qt::Key_Down);
        EXPECT_EQ(tree->currentItem()->text(0), "About");
        EXPECT_EQ(screen.logic().selectedPage().title, "About");
        // The other page's outline follows.
        EXPECT_EQ(screen.outline(1)->currentItem()->text(0), "About");
        screen.button("AnalyzePage")->click();
        EXPECT_EQ(texts(screen.reportList()).value(0), "Data For Page: About");
        screen.accept();
    };
    action("AnalyzePageSite1")->trigger();
    EXPECT_TRUE(ran);
}

TEST(QtPrinterLayout, GridHeadingsStandClearAndPrintsToFileProposeTheReport) {
    QtPrinter pdf;
    pdf.setPdfOutput(QDir::temp().filePath("unused.pdf"));
    QFont base(QStringLiteral("DejaVu Sans"));
    base.setPointSize(8);
    const std::vector<PrintPage> pages =
        SiteAnalysis::gridPages({{"Home", "12KB", "2", "24KB", "9 sec", "18 sec"}});
    QPrinter& printer = pdf.printer();
    printer.setResolution(300);
    const QFont f = QtPrinter::columnFont(pages, base, &printer);
    EXPECT_LE(f.pointSizeF(), base.pointSizeF());
    EXPECT_GE(f.pointSizeF(), 6.0);
    const QFontMetrics m(f, &printer);
    const std::vector<PrintRun>& runs = pages[0].runs;
    for (size_t i = 0; i + 1 < 6; ++i)
        EXPECT_LE(runs[i].x + m.horizontalAdvance(runs[i].text) + QtPrinter::ColumnGap,
                  runs[i + 1].x)
            << runs[i].text.toStdString();

    EXPECT_EQ(QtPrinter::proposedFileName("/home/u/Page Summary.pdf", "Site Summary"),
              "/home/u/Site Summary.pdf");
    EXPECT_EQ(QtPrinter::proposedFileName("/tmp/out.ps", "Link / Image Lists"),
              "/tmp/Link - Image Lists.ps");
}
