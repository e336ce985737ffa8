// The analysis screen's logic over real pages and images in temporary folders.
#include "analysis/SiteAnalysis.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/IniFile.h"
#include "platform/UiPump.h"
#include "support/CapturePrinter.h"
#include "support/QtPrinters.h"
#include "support/RecordingPassView.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class SiteAnalysisTest : public ::testing::Test {
protected:
    SiteAnalysisTest()
        : store(IniFile(prog.file("DEFAULT.INI")), IniFile(prog.file("OPTIONS.INI"))), pump([this] {
              ++pumps;
              if (onPump)
                  onPump();
          }),
          analysis(prog.path(), settings, store, prompter, pump) {
        settings.images = web.file("images/");
        analysis.setClock([] { return QTime(14, 5); });
    }

    // A page of exactly `size` bytes naming the images: the names first, then padding.
    QString page(const QString& name, const QByteArray& text, int size = 0) {
        QByteArray bytes = text;
        if (size > bytes.size())
            bytes += QByteArray(size - bytes.size(), ' ');
        EXPECT_TRUE(web.write(name, bytes));
        return web.file(name);
    }
    void image(const QString& name, int size) {
        EXPECT_TRUE(web.write(QStringLiteral("images/") + name, QByteArray(size, 'x')));
    }
    // The screen opened over a project of these pages (title, file).
    void openWith(const std::vector<std::pair<QString, QString>>& pages, int selected = 1,
                  const QString& projectName = {}) {
        AnalysisStart start;
        start.projectFileName = projectName;
        for (const auto& [title, file] : pages)
            start.outline.appendPage(title, file);
        start.selectedItem = selected;
        analysis.open(start);
    }

    TempDir prog;
    TempDir web;
    Settings settings;
    SettingsStore store;
    ScriptedPrompter prompter;
    int pumps = 0;
    std::function<void()> onPump;
    CallbackPump pump;
    SiteAnalysis analysis;
};

} // namespace

TEST_F(SiteAnalysisTest, OnePageWithTwoImagesSizesAndTimes) {
    image("small.gif", 4999);
    image("big.jpg", 20000);
    const QString home = page("home.html",
                              "<img src=\"images/small.gif\"><IMG SRC=\"../art/BIG.JPG\">"
                              "<img src=\"small.gif\"><img src=\"pics/small.gif\">\r\n",
                              12345);
    openWith({{"Home", home}});
    analysis.analyzePage();
    const QString folder = web.file("images/");
    EXPECT_EQ(
        analysis.report(),
        QStringList({"Data For Page: Home", "HTML File Location:  " + home.toUpper(),
                     "===================================", "Embedded Images.....",
                     "20KB       " + folder + "big.jpg", "4KB       " + folder + "small.gif",
                     SiteAnalysis::starLine(), "Unique Images: 2   Total File Size of Images: 24KB",
                     "HTML File Size: 12KB   Total Files to Load: 36KB", SiteAnalysis::starLine(),
                     " "}));
    ASSERT_EQ(analysis.grid().size(), 1u);
    EXPECT_EQ(analysis.grid()[0], (GridRow{"Home", "12KB", "2", "24KB", "9 sec", "18 sec"}));
    EXPECT_FALSE(analysis.errorLabelVisible());
    EXPECT_EQ(SiteAnalysis::starLine().size(), 72);
    EXPECT_TRUE(prompter.shown().empty());

    // Analyze Page again: the report is replaced, the grid grows.
    analysis.analyzePage();
    EXPECT_EQ(analysis.report().size(), 11);
    EXPECT_EQ(analysis.grid().size(), 2u);
    EXPECT_EQ(analysis.rowCounter(), 1);
    analysis.clearGrid();
    EXPECT_EQ(analysis.rowCounter(), -1);
}

TEST_F(SiteAnalysisTest, SmallPagesMissingImagesAndUnreadablePages) {
    const QString tiny = page("tiny.html", "<p>", 3999);
    const QString broken = page("broken.html", "<img src=\"gone.gif\">", 2500);
    openWith({{"Tiny", tiny}, {"Broken", broken}, {"Gone", web.file("nothing.html")}});
    EXPECT_EQ(SiteAnalysis::seconds288(3), 0);
    EXPECT_EQ(SiteAnalysis::seconds144(3), 1);
    EXPECT_EQ(SiteAnalysis::seconds288(37), 10);
    EXPECT_EQ(SiteAnalysis::seconds144(19), 10);

    prompter.queue(MessageAnswer::Ok);
    analysis.analyzeSite();
    EXPECT_EQ(prompter.texts(), QStringList({"Could not open file \"nothing.html\"."}));
    ASSERT_EQ(analysis.grid().size(), 3u);
    EXPECT_EQ(analysis.grid()[0], (GridRow{"Tiny", "3KB", "0", "0KB", "0 sec", "1 sec"}));
    EXPECT_EQ(analysis.grid()[1], (GridRow{"Broken", "2KB", "1", "**0KB", "0 sec", "1 sec"}));
    EXPECT_EQ(analysis.grid()[2], (GridRow{"Gone", "ERROR", "", "", "Cannot access file.", ""}));
    EXPECT_TRUE(analysis.errorLabelVisible());
    const QStringList r = analysis.report();
    const qsizetype broke = r.indexOf("Data For Page: Broken");
    ASSERT_GE(broke, 0);
    EXPECT_EQ(r.mid(broke + 4, 2),
              QStringList({"**Cannot access file       " + web.file("images/gone.gif"),
                           "    Make sure file exists and is in the image directory above."}));
    EXPECT_EQ(r.mid(r.size() - 4),
              QStringList({"Error For Page: Gone", "===================================",
                           "Could not open this HTML file. Has it been moved, renamed, or deleted?",
                           " "}));
    // A new site analysis hides the label until an image is missing again.
    std::vector<bool> label;
    QObject::connect(&analysis, &SiteAnalysis::errorLabelChanged,
                     [&label](bool on) { label.push_back(on); });
    prompter.queue(MessageAnswer::Ok);
    analysis.analyzeSite();
    EXPECT_EQ(label, std::vector<bool>({false, true}));
    EXPECT_EQ(analysis.grid().size(), 3u);
}

TEST_F(SiteAnalysisTest, StopInTheMiddleOfASite) {
    std::vector<std::pair<QString, QString>> pages;
    for (int i = 1; i <= 5; ++i)
        pages.push_back(
            {QStringLiteral("P%1").arg(i),
             page(QStringLiteral("p%1.html").arg(i), "<img src=\"a.gif\"><img src=\"A.GIF\">")});
    image("a.gif", 1500);
    openWith(pages);
    std::vector<int> selected;
    QObject::connect(&analysis, &SiteAnalysis::selectionChanged,
                     [&selected](int item) { selected.push_back(item); });
    // Stop pressed while the third page is being analysed: the loop ends before the fourth.
    onPump = [this] {
        if (analysis.selectedItem() == 3)
            analysis.requestStop();
    };
    analysis.analyzeSite();
    EXPECT_EQ(selected, std::vector<int>({1, 2, 3}));
    // The third page was stopped while its images were sorted: it has no row of half a result.
    ASSERT_EQ(analysis.grid().size(), 2u);
    EXPECT_EQ(analysis.grid()[1][0], "P2");
    EXPECT_FALSE(analysis.progress(AnalysisTab::Site).visible);
    // The stop does not outlive its pass: Analyze Page runs whole.
    onPump = {};
    analysis.analyzePage();
    EXPECT_EQ(analysis.report().first(), "Data For Page: P3");
    EXPECT_EQ(analysis.grid().size(), 3u);
}

TEST_F(SiteAnalysisTest, ProjectBoxesOutlinesAndTheImageFolderField) {
    ASSERT_TRUE(prog.write("projects/shop.out", "Front\r\n\tCart\r\n"));
    ASSERT_TRUE(prog.write("projects/shop.fil", "/w/front.html\r\n/w/cart.html\r\n"));
    ASSERT_TRUE(prog.write("projects/Blog.out", "Only\r\n"));
    ASSERT_TRUE(prog.write("projects/notes.txt", "x"));
    openWith({{"Main", "/w/main.html"}, {"Second", "/w/second.html"}}, 2, "SHOP.out");
    std::vector<QString> shown;
    for (const AnalysisProject& p : analysis.projects())
        shown.push_back(p.shown + "|" + p.fileName);
    EXPECT_EQ(shown, std::vector<QString>({"BLOG.OUT|Blog.out", "SHOP.OUT|shop.out"}));
    // The main window's project is in the list: chosen, searchable, its outline copied as the
    // window holds it and its selected page taken over.
    EXPECT_EQ(analysis.projectIndex(), 1);
    EXPECT_TRUE(analysis.searchEnabled());
    EXPECT_EQ(analysis.searchLabel(), "Site to search:  SHOP");
    EXPECT_EQ(analysis.outline().titles(), QStringList({"Main", "Second"}));
    EXPECT_EQ(analysis.selectedPage().title, "Second");
    EXPECT_EQ(analysis.selectedPage().file, "/w/second.html");

    analysis.chooseProject(0);
    EXPECT_EQ(analysis.outline().titles(), QStringList({"Only"}));
    // Blog has no link file: its page list stays empty, the outline does not.
    EXPECT_EQ(analysis.selectedPage().title, "Only");
    EXPECT_EQ(analysis.selectedPage().file, "");
    EXPECT_EQ(analysis.searchLabel(), "Site to search:  BLOG");
    analysis.chooseProject(1);
    analysis.clickItem(2);
    EXPECT_EQ(analysis.selectedPage().title, "Cart");
    EXPECT_EQ(analysis.selectedPage().file, "/w/cart.html");
    analysis.preselectFile("/w/files", "other.htm");
    EXPECT_EQ(analysis.selectedPage().file, "/w/files/other.htm");
    EXPECT_EQ(analysis.selectedPage().title, "other.htm");

    // The field: every change sets the folder in memory; leaving shows the added "/"; closing
    // writes it.
    EXPECT_EQ(analysis.imageFolder(), web.file("images/"));
    analysis.imageFolderEdited("/pics");
    EXPECT_EQ(analysis.imageFolder(), "/pics/");
    EXPECT_EQ(settings.images, "/pics/");
    EXPECT_EQ(analysis.imageFolderLeft("/art/"), "/art/");
    EXPECT_EQ(analysis.imageFolderLeft(""), "");
    EXPECT_EQ(IniFile(prog.file("DEFAULT.INI")).readString("Location", "Images", "unset"), "unset");
    analysis.imageFolderEdited("/Pics/Site");
    analysis.close();
    EXPECT_EQ(IniFile(prog.file("DEFAULT.INI")).readString("Location", "Images", ""),
              "/Pics/Site/");

    ScriptedFileChooser chooser;
    chooser.queue(QStringLiteral("/Data/Images/logo.GIF"));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_EQ(analysis.browseImageFolder(chooser), std::optional<QString>("/Data/Images"));
    EXPECT_EQ(prompter.texts().last(), SiteAnalysis::browseImageFolderText());
    EXPECT_EQ(analysis.imageFolder(), "/Data/Images/");
    EXPECT_EQ(chooser.requests().at(0).request.initialDirectory, "/Pics/Site/");
}

TEST_F(SiteAnalysisTest, LinkAndImageListingsOfAPageAndOfTheSite) {
    const QString a = page("a.html", "<a href=\"b.html\">b</a> <img src=\"pics/Z.gif\">\r\n"
                                     "<A HREF=\"Contact.html\">c</A><a href=\"b.html\">\r\n");
    const QString b =
        page("b.html", "<a href=\"a.html\"><img src=\"y.jpg\"><img src=\"z.gif\">\r\n");
    ASSERT_TRUE(prog.write("projects/site.out", "A\r\nB\r\n"));
    openWith({{"Page A", a}, {"Page B", b}}, 1, "site.out");
    const QString folder = web.file("images/");

    analysis.listPage(ListingChoice::HrefLinks);
    EXPECT_EQ(
        analysis.listing(),
        QStringList({"URL Link report for page: Page A", "HTML File Location:  " + a.toUpper(),
                     "The following HREF links have been found on this page:",
                     SiteAnalysis::equalsLine(54), "b.html", "Contact.html"}));
    EXPECT_EQ(analysis.listingStatus(), "Status:");

    analysis.listPage(ListingChoice::Images);
    EXPECT_EQ(analysis.listing(),
              QStringList(
                  {"Image File Report For Page: Page A", "HTML File Location:  " + a.toUpper(),
                   "These are the images included on this web page:", SiteAnalysis::equalsLine(35),
                   folder + "z.gif", " "}));

    analysis.listSite(ListingChoice::Both);
    EXPECT_TRUE(analysis.siteMode());
    EXPECT_EQ(analysis.listing(),
              QStringList(
                  {"URL Link report for page: Page B", "HTML File Location:  " + b.toUpper(),
                   "The following HREF links have been found on this page:",
                   SiteAnalysis::equalsLine(54), "a.html", "b.html", "Contact.html", "  ",
                   SiteAnalysis::equalsLine(48), "  ", "  ", "Image File Report For Site: SITE.OUT",
                   "These are the images included on the pages within this site:",
                   SiteAnalysis::equalsLine(35), folder + "y.jpg", folder + "z.gif", " "}));
    analysis.pageChanged();
    EXPECT_FALSE(analysis.siteMode());

    // A stop while the pages are walked: nothing more is listed.
    onPump = [this] { analysis.requestStop(); };
    analysis.listSite(ListingChoice::HrefLinks);
    EXPECT_EQ(analysis.listingStatus(), "Status: Aborted.");
    EXPECT_TRUE(analysis.listing().isEmpty());
    analysis.listSite(ListingChoice::Images);
    EXPECT_EQ(analysis.listingStatus(), "Status: Search Aborted.");
}

TEST_F(SiteAnalysisTest, ShowMeWhereReportsLineNumbersInAnyCase) {
    const QString a = page("a.html", "<p>Our ADDRESS:</p>\r\nnothing\r\nmail address here\r\n");
    const QString b = page("b.html", "no match\r\n");
    const QString c = page("sub/c.html", "address\n");
    ASSERT_TRUE(prog.write("projects/site.out", "A\r\n"));
    openWith({{"A", a}, {"B", b}, {"Missing", web.file("gone.html")}, {"C", c}}, 1, "site.out");

    prompter.queue(MessageAnswer::Ok);
    analysis.findPages("", false);
    EXPECT_EQ(prompter.texts(), QStringList({SiteAnalysis::emptySearchText()}));

    analysis.findPages("Address", false);
    const QString time = QLocale().toString(QTime(14, 5), QLocale::ShortFormat);
    EXPECT_EQ(
        analysis.searchResult(),
        QStringList({"Report generated by Quillon Pro:  " + time, " ",
                     "SHOW ME WHERE report for Project: SITE", "Search for Text: Address",
                     "This text was found on the following pages:", SiteAnalysis::equalsLine(54),
                     "HTML File:  " + a.toUpper() + "   Line#0, #2",
                     "HTML File:  " + c.toUpper() + "   Line#0"}));
    EXPECT_EQ(analysis.searchStatus(), "Status: Finished.");
    analysis.findPages("ADDRESS", true);
    EXPECT_EQ(analysis.searchResult().mid(6),
              QStringList({"HTML File:  A.HTML   Line#0, #2", "HTML File:  C.HTML   Line#0"}));

    onPump = [this] {
        if (analysis.selectedItem() == 2)
            analysis.requestStop();
    };
    analysis.findPages("address", false);
    EXPECT_EQ(analysis.searchStatus(), "Status: Search Aborted.");
    EXPECT_EQ(analysis.searchResult().size(), 7);
}

TEST_F(SiteAnalysisTest, PrintingTheListsAndTheGrid) {
    CapturePrinter printer;
    prompter.queue(MessageAnswer::Ok, 4);
    analysis.printReport(printer);
    analysis.printListing(printer);
    analysis.printSearchResult(printer);
    analysis.printGrid(printer);
    EXPECT_EQ(prompter.texts(), QStringList(4, "Nothing to print."));
    EXPECT_TRUE(printer.dialogs().isEmpty());

    const QString p = page("p.html", "<p>", 1000);
    openWith({{"P", p}});
    analysis.analyzePage();
    printer.queue(false);
    analysis.printReport(printer);
    EXPECT_TRUE(printer.jobs.empty());
    printer.queue(true);
    analysis.printReport(printer);
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].lines, analysis.report());

    // 85 rows: 41 on the first page (rows 0 to 40), 40 on the second, 4 on the third.
    std::vector<GridRow> rows;
    for (int i = 0; i < 85; ++i)
        rows.push_back({QStringLiteral("T%1").arg(i), "1KB", "0", "0KB", "0 sec", "0 sec"});
    const std::vector<PrintPage> pages = SiteAnalysis::gridPages(rows);
    ASSERT_EQ(pages.size(), 3u);
    const std::vector<PrintRun> headings = {{100, 75, "Page"},
                                            {550, 75, "File Size"},
                                            {800, 75, "Unique Images"},
                                            {1050, 75, "Total Image KB"},
                                            {1350, 75, "Est. 28.8 Time"},
                                            {1650, 75, "Est. 14.4 Time"}};
    for (const PrintPage& page : pages) {
        EXPECT_EQ(std::vector<PrintRun>(page.runs.begin(), page.runs.begin() + 6), headings);
        EXPECT_EQ(page.filledRects, std::vector<QRect>({QRect(100, 110, 1800, 2)}));
    }
    EXPECT_EQ(pages[0].runs.size(), 6u + 41 * 6);
    EXPECT_EQ(pages[1].runs.size(), 6u + 40 * 6);
    EXPECT_EQ(pages[2].runs.size(), 6u + 4 * 6);
    EXPECT_EQ(std::vector<PrintRun>(pages[0].runs.begin() + 6, pages[0].runs.begin() + 12),
              std::vector<PrintRun>({{100, 150, "T0"},
                                     {570, 150, "1KB"},
                                     {880, 150, "0"},
                                     {1130, 150, "0KB"},
                                     {1430, 150, "0 sec"},
                                     {1730, 150, "0 sec"}}));
    EXPECT_EQ(pages[0].runs.back(), (PrintRun{1730, 150 + 75 * 40, "0 sec"}));
    EXPECT_EQ(pages[1].runs[6], (PrintRun{100, 150, "T41"}));
    EXPECT_EQ(pages[2].runs[6], (PrintRun{100, 150, "T81"}));
    // Exactly 41 rows: no empty page after the break.
    EXPECT_EQ(SiteAnalysis::gridPages(std::vector<GridRow>(41)).size(), 1u);

    printer.queue(true);
    analysis.printGrid(printer);
    ASSERT_EQ(printer.jobs.size(), 2u);
    EXPECT_EQ(printer.jobs[1].pages, SiteAnalysis::gridPages(analysis.grid()));
}

TEST_F(SiteAnalysisTest, ASiteAsksEachImageOnceAndEachPageReadsOnce) {
    image("shared.gif", 3000);
    const QString one = page("one.html", "<img src=\"shared.gif\">", 1000);
    const QString two = page("two.html", "<img src=\"img/shared.gif\">", 2000);
    openWith({{"One", one}, {"Two", two}});
    // The image disappears after the first page: the site pass still counts the size it asked
    // for once; a new pass asks again.
    onPump = [this] {
        if (analysis.grid().size() == 1)
            QFile::remove(web.file("images/shared.gif"));
    };
    analysis.analyzeSite();
    ASSERT_EQ(analysis.grid().size(), 2u);
    EXPECT_EQ(analysis.grid()[1], (GridRow{"Two", "2KB", "1", "3KB", "1 sec", "2 sec"}));
    onPump = {};
    analysis.analyzeSite();
    EXPECT_EQ(analysis.grid()[1][3], "**0KB");
    EXPECT_TRUE(analysis.errorLabelVisible());
}

TEST_F(SiteAnalysisTest, OneLookupPerImageOfTheFolderAndAFolderChangedMidwayIsAskedAgain) {
    image("a.gif", 4000);
    image("b.jpg", 1000);
    ASSERT_TRUE(web.write(QStringLiteral("other/a.gif"), QByteArray(9000, 'x')));
    const QString one = page("one.html", "<img src=\"images/a.gif\"><img src=\"b.jpg\">\r\n");
    const QString two = page("two.html", "<img src=\"../art/a.gif\">\n<img src=\"IMAGES\\A.GIF\">");
    const QString three = page("three.html", "<img src=\"a.gif\">");
    openWith({{"One", one}, {"Two", two}, {"Three", three}});
    analysis.analyzeSite();
    EXPECT_EQ(analysis.imageLookups(), 2);
    ASSERT_EQ(analysis.grid().size(), 3u);
    EXPECT_EQ(analysis.grid()[1], (GridRow{"Two", "0KB", "1", "4KB", "1 sec", "2 sec"}));
    // The field is edited while the pass runs: the pages after it are sized in the new folder.
    onPump = [this] {
        if (analysis.grid().size() == 2)
            analysis.imageFolderEdited(web.file("other"));
    };
    analysis.analyzeSite();
    EXPECT_EQ(analysis.imageLookups(), 3);
    ASSERT_EQ(analysis.grid().size(), 3u);
    EXPECT_EQ(analysis.grid()[1][3], "4KB");
    EXPECT_EQ(analysis.grid()[2][3], "9KB");
    const QStringList& report = analysis.report();
    ASSERT_GE(report.size(), 3);
    EXPECT_EQ(report[report.size() - 3], "HTML File Size: 0KB   Total Files to Load: 9KB");
}

TEST_F(SiteAnalysisTest, ASitePassGivesWhatEachPageAloneGives) {
    // Names in any case and folder, in ASCII pages and in UTF-8 and Latin-1 pages that name a
    // picture in other letters; sort keys alike in their first eight letters.
    image("abc.gif", 1500);
    image("abcdefgh10.gif", 2500);
    image("abcdefgh2.gif", 3500);
    image("z.gif", 4500);
    image(QString::fromUtf8("\u00e9t\u00e9.gif"), 5500);
    const QString one = page("one.html", "<img src=\"Z.GIF\" alt=\"caf\xc3\xa9\">"
                                         "<img src=\"pics/abcdefgh2.gif\">\r\n"
                                         "<IMG SRC=\"ABCDEFGH10.GIF\"><img src=\"abc.gif\">\n"
                                         "<img src=\"z.gif\"><img src=\"missing.jpg\">");
    const QString two =
        page("two.html", "<img src=\"\xc3\x89T\xc3\x89.GIF\"><img src=\"abc.gif\">");
    const QString three =
        page("sub/three.html", "<img src=\"\xe9t\xe9.gif\">\r<img src=\"a/b\\Abc.Gif\">", 2100);
    openWith({{"One", one}, {"Two", two}, {"Three", three}});
    const QString folder = web.file("images/");

    prompter.queue(MessageAnswer::Ok);
    analysis.analyzeSite();
    EXPECT_EQ(analysis.imageLookups(), 6);
    const QStringList siteReport = analysis.report();
    const std::vector<GridRow> siteGrid = analysis.grid();
    EXPECT_EQ(
        siteReport.mid(4, 7),
        QStringList({"1KB       " + folder + "abc.gif", "2KB       " + folder + "abcdefgh10.gif",
                     "3KB       " + folder + "abcdefgh2.gif",
                     "**Cannot access file       " + folder + "missing.jpg",
                     "    Make sure file exists and is in the image directory above.",
                     "4KB       " + folder + "z.gif", SiteAnalysis::starLine()}));
    const qsizetype twoAt = siteReport.indexOf("Data For Page: Two");
    ASSERT_GE(twoAt, 0);
    EXPECT_EQ(siteReport.mid(twoAt + 4, 2),
              QStringList({"1KB       " + folder + "abc.gif",
                           "5KB       " + folder + QString::fromUtf8("\u00e9t\u00e9.gif")}));
    ASSERT_EQ(siteGrid.size(), 3u);
    EXPECT_EQ(siteGrid[0], (GridRow{"One", "0KB", "5", "**10KB", "2 sec", "5 sec"}));
    EXPECT_EQ(siteGrid[1], (GridRow{"Two", "0KB", "2", "6KB", "1 sec", "3 sec"}));
    EXPECT_EQ(siteGrid[2], (GridRow{"Three", "2KB", "2", "6KB", "2 sec", "4 sec"}));

    QStringList pageReports;
    analysis.clearGrid();
    for (int item = 1; item <= 3; ++item) {
        analysis.clickItem(item);
        analysis.analyzePage();
        pageReports << analysis.report();
    }
    EXPECT_EQ(pageReports, siteReport);
    EXPECT_EQ(analysis.grid(), siteGrid);

    // In the listing page's site mode the names gathered so far stay with every page.
    analysis.listSite(ListingChoice::Images);
    analysis.analyzeSite();
    ASSERT_EQ(analysis.grid().size(), 3u);
    for (const GridRow& row : analysis.grid())
        EXPECT_EQ(row[2], "6");
}

TEST_F(SiteAnalysisTest, UnreadablePagesOfASiteAreToldOnceAndNothingChosenIsSaid) {
    const QString home = page("home.html", "<p>", 10);
    std::vector<std::pair<QString, QString>> pages{{"Home", home}};
    for (int i = 1; i <= 7; ++i)
        pages.push_back(
            {QStringLiteral("Gone %1").arg(i), web.file(QStringLiteral("g%1.html").arg(i))});
    openWith(pages);
    prompter.queue(MessageAnswer::Ok);
    analysis.analyzeSite();
    EXPECT_EQ(prompter.texts(),
              QStringList{"Could not open 7 of the site's pages: \"g1.html\", \"g2.html\", "
                          "\"g3.html\", \"g4.html\", \"g5.html\" and 2 more. The Page Summary "
                          "lists each of them."});
    EXPECT_EQ(analysis.grid().size(), 8u);
    EXPECT_EQ(analysis.report().count("Error For Page: Gone 7"), 1);
}

TEST_F(SiteAnalysisTest, NothingChosenIsSaidWithoutAnErrorRow) {
    // No page chosen (a project without pages, nothing preselected): the message, no error row.
    openWith({}, 0);
    prompter.queue(MessageAnswer::Ok, 2);
    analysis.analyzePage();
    analysis.listPage(ListingChoice::HrefLinks);
    EXPECT_EQ(prompter.texts(), QStringList({"You have not selected a web page to analyze.",
                                             "You have not selected a web page to analyze."}));
    EXPECT_TRUE(analysis.grid().empty());
    EXPECT_TRUE(analysis.listing().isEmpty());
}

// Each page's passes show through that page's view only: the bar from page to page, the status
// line as it changes, and the end of the bar on a stop too.
TEST_F(SiteAnalysisTest, PassesShowThroughTheViewOfTheirPage) {
    std::vector<std::pair<QString, QString>> pages;
    for (int i = 1; i <= 3; ++i)
        pages.push_back({QStringLiteral("P%1").arg(i),
                         page(QStringLiteral("p%1.html").arg(i), "<a href=\"x.html\">x</a>")});
    openWith(pages);
    RecordingPassView site;
    RecordingPassView listing;
    RecordingPassView search;
    analysis.setPassView(AnalysisTab::Site, &site);
    analysis.setPassView(AnalysisTab::Listing, &listing);
    analysis.setPassView(AnalysisTab::Search, &search);

    analysis.analyzeSite();
    EXPECT_EQ(site.events, QStringList({"start 3", "file 1", "file 2", "file 3", "end"}));
    EXPECT_TRUE(listing.events.isEmpty());

    site.events.clear();
    analysis.listSite(ListingChoice::HrefLinks);
    EXPECT_EQ(listing.events, QStringList({"Extracting Links...", "start 3", "file 1", "file 2",
                                           "file 3", "end", "Sorting...", "Status:"}));

    listing.events.clear();
    onPump = [this] {
        if (analysis.selectedItem() == 2)
            analysis.requestStop();
    };
    analysis.findPages(QStringLiteral("href"), false);
    EXPECT_EQ(search.events, QStringList({"Finding text...", "start 3", "file 1", "file 2", "end",
                                          "Status: Search Aborted."}));
    EXPECT_TRUE(site.events.isEmpty());
    EXPECT_TRUE(listing.events.isEmpty());
}
