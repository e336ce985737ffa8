// The page checks over real files: broken links in every form pages write them, images without
// their size, pages over the limit, HTML Tidy's findings, the pages nothing links to, and the
// report as it is printed.
#include "checks/PageChecks.h"
#include "checks/TidyCheck.h"
#include "platform/UiPump.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QStringList Html = {"html", "htm"};

class PageChecks : public ::testing::Test {
protected:
    QString site() const { return dir.file("site/"); }
    QString page(const char* name) const { return dir.file(QStringLiteral("site/") + name); }
    void put(const char* name, const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(QStringLiteral("site/") + name, bytes)) << name;
    }
    CheckReport check(const QStringList& pages, CheckOptions options) {
        CallbackPump pump({});
        options.htmlExtensions = Html;
        PageChecker checker(options, pump);
        return checker.check(pages);
    }
    // The report's lines with the temporary folder written as "<dir>/".
    static QStringList shown(const CheckReport& report, const TempDir& dir) {
        QStringList lines = report.lines();
        for (QString& l : lines)
            l.replace(dir.path(), QStringLiteral("<dir>/"));
        return lines;
    }

    TempDir dir;
};

} // namespace

TEST_F(PageChecks, BrokenLinksInEveryFormWithTheReportExactly) {
    put("index.html", "<html><body>\r\n"
                      "<a href=\"about.html\">fine</a>\r\n"
                      "<a href=\"About.html\">case</a>\r\n"
                      "<a href=\"news/item.html#story\">anchor there</a>\r\n"
                      "<a href=\"news/item.html#gone\">anchor missing</a>\r\n"
                      "<a href=\"/news/../contact.html?x=1\">absolute, query</a>\r\n"
                      "<a href=\"my%20page.html\">escaped space</a>\r\n"
                      "<a href=\"missing%20page.html#a\">escaped, missing</a>\r\n"
                      "<img src=\"images/logo.gif\" width=\"1\" height=\"1\">\r\n"
                      "<img src=\"images/Photo.JPG\">\r\n"
                      "<a href=\"http://example.com/nothere.html\">x</a><a "
                      "href=\"mailto:me@example.com\">m</a>\r\n"
                      "<a href=\"#top\">top</a> <a href=\"#nowhere\">here</a>\r\n"
                      "<a href=\"file:///etc/hostname\">local</a> <a href=\"sub/\">folder</a>\r\n"
                      "</body></html>\r\n");
    put("about.html", "<a href=\"index.html\">home</a>\n");
    put("news/item.html", "<h2 id=\"story\">Story</h2>\n"
                          "<a href=\"../index.html\">home</a>\n"
                          "<a href=\"../../outside.html\">out</a>\n"
                          "<img src=\"/images/logo.gif\" width=\"5\">\n"
                          "<a href=\"../IMAGES/LOGO.GIF\">logo</a>\n");
    put("my page.html", "<a href='index.html'>home</a>");
    put("orphan.html", "<p>nobody links here</p>");
    put("images/logo.gif", "GIF89a");
    put("images/photo.jpg", "JFIF");
    put("sub/notes.txt", "no index here");
    ASSERT_TRUE(dir.write("outside.html", "<p>beside the site</p>"));

    CheckOptions o;
    o.siteFolder = site();
    o.tidy = false;
    o.orphans = true;
    CheckReport r = check({page("index.html"), page("about.html"), page("news/item.html"),
                           page("my page.html"), page("orphan.html")},
                          o);
    r.heading = QStringLiteral("Check Links report for project: SITE");
    EXPECT_EQ(r.pagesChecked, 5);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.siteFolder, site());
    EXPECT_EQ(shown(r, dir),
              QStringList({
                  "Check Links report for project: SITE",
                  "Pages checked: 5   Problems found: 13",
                  "======================================================",
                  "Page: <dir>/site/index.html",
                  "    Line 3: Broken link: About.html (the file is named about.html; the server "
                  "tells upper and lower case apart)",
                  "    Line 5: Missing anchor: news/item.html#gone",
                  "    Line 6: Broken link: /news/../contact.html?x=1",
                  "    Line 8: Broken link: missing%20page.html#a",
                  "    Line 10: Image without WIDTH and HEIGHT: images/Photo.JPG",
                  "    Line 10: Missing image: images/Photo.JPG (the file is named "
                  "images/photo.jpg; the server tells upper and lower case apart)",
                  "    Line 12: Missing anchor: #nowhere",
                  "    Line 13: Link to a file on this computer only: file:///etc/hostname",
                  "    Line 13: Broken link: sub/ (the folder has no index page)",
                  " ",
                  "Page: <dir>/site/news/item.html",
                  "    Line 3: Broken link: ../../outside.html (it leads above the site folder)",
                  "    Line 4: Image without HEIGHT: /images/logo.gif",
                  "    Line 5: Broken link: ../IMAGES/LOGO.GIF (the file is named "
                  "../images/logo.gif; the server tells upper and lower case apart)",
                  " ",
                  "Page: <dir>/site/orphan.html",
                  "    No page links to this page",
              }));
    // One model: each row's page, line and problem.
    EXPECT_EQ(r.problems[0], (CheckProblem{page("index.html"), 3,
                                           "Broken link: About.html (the file is named "
                                           "about.html; the server tells upper and lower case "
                                           "apart)"}));
    EXPECT_EQ(r.problems.back(),
              (CheckProblem{page("orphan.html"), 0, "No page links to this page"}));
}

TEST_F(PageChecks, FilesOfThisComputerBaseTagsAndUnreadablePages) {
    // An absolute path of this disk works here and nowhere else; a BASE naming another site
    // takes the relative links out of reach; one naming a folder of the site moves them there.
    put("a.html", ("<img src=\"" + site() +
                   "images/x.gif\" width=1 height=1>\n"
                   "<a href=\"c:\\site\\b.html\">drive</a>\n")
                      .toUtf8());
    put("images/x.gif", "GIF");
    put("b.html", "<base href=\"http://example.com/\"><a href=\"nothere.html\">x</a>");
    put("c.html", "<base href=\"images/\"><img src=\"x.gif\" width=1 height=1>"
                  "<img src=\"y.gif\" width=1 height=1>");
    CheckOptions o;
    o.tidy = false;
    const CheckReport r =
        check({page("a.html"), page("b.html"), page("c.html"), page("gone.html")}, o);
    EXPECT_EQ(r.siteFolder, site());
    QStringList texts;
    for (const CheckProblem& p : r.problems)
        texts << QStringLiteral("%1:%2 %3").arg(p.page.mid(site().size())).arg(p.line).arg(p.text);
    EXPECT_EQ(texts,
              QStringList({
                  "a.html:1 Link to a file on this computer only: " + site() + "images/x.gif",
                  "a.html:2 Link to a file on this computer only: c:\\site\\b.html",
                  "c.html:1 Missing image: y.gif",
                  "gone.html:0 Could not open this HTML file. Has it been moved, renamed, "
                  "or deleted?",
              }));
}

TEST_F(PageChecks, LatinOneNamesAndPagesAndAPageListedTwice) {
    const QByteArray folder = QFile::encodeName(site());
    ASSERT_TRUE(dir.write("site/keep", ""));
    const QByteArray name = folder + "caf\xe9.html";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    // A Latin-1 page linking to itself by its Latin-1 name, escaped and not.
    const QByteArray text = "<a href=\"caf\xe9.html\">a</a><a href=\"caf%E9.html\">b</a>"
                            "<a href=\"caf%C3%A9.html\">c</a><a href=\"th\xe9.html\">d</a>\n";
    ASSERT_EQ(::write(fd, text.constData(), text.size()), text.size());
    ::close(fd);
    const QString cafe = site() + QString::fromUtf8("café.html");
    CheckOptions o;
    o.tidy = false;
    const CheckReport r = check({cafe, cafe, site() + "./" + QString::fromUtf8("café.html")}, o);
    EXPECT_EQ(r.pagesPlanned, 1);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0], (CheckProblem{cafe, 1, QString::fromUtf8("Broken link: thé.html")}));
}

TEST_F(PageChecks, SizeLimitCountsThePageAndEachImageOnce) {
    // 12 KB of page, 4 and 20 KB of images, each cut to whole kilobytes of 1000 bytes first.
    QByteArray home = "<img src=\"a.gif\" width=1 height=1><img src=\"a.gif\" width=1 height=1>"
                      "<img src=\"./b.jpg\" width=1 height=1><img src=\"none.gif\" width=1 "
                      "height=1>\n";
    home += QByteArray(12345 - home.size(), ' ');
    put("index.html", home);
    put("a.gif", QByteArray(4999, 'g'));
    put("b.jpg", QByteArray(20000, 'j'));
    CheckOptions o;
    o.tidy = false;
    o.sizeLimitKb = 35;
    CheckReport r = check({page("index.html")}, o);
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[0], (CheckProblem{page("index.html"), 0,
                                           "The page and its images are 36KB, over the limit of "
                                           "35KB"}));
    o.sizeLimitKb = 36;
    EXPECT_EQ(check({page("index.html")}, o).problems.size(), 1u);
    o.sizeLimitKb = 0;
    EXPECT_EQ(check({page("index.html")}, o).problems.size(), 1u);
}

TEST_F(PageChecks, TidyErrorsAlwaysItsWarningsOnRequestAndNothingOnTheTerminal) {
    put("index.html", "<html><head><title>t</title></head><body>\n"
                      "<p>one <b>bold</p>\n"
                      "<foo>bar</foo>\n"
                      "<a href=\"index.html\">self</a>\n"
                      "</body></html>\n");
    put("fine.html", "<!DOCTYPE html>\n<html><head><title>t</title></head>"
                     "<body><p>fine</p></body></html>\n");
    // Tidy's output would go to the terminal's stderr: watch it while the checks run.
    fflush(stderr);
    const int saved = ::dup(2);
    const QByteArray errPath = QFile::encodeName(dir.file("stderr.txt"));
    const int err = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(err, 0);
    ::dup2(err, 2);
    CheckOptions o;
    o.siteFolder = site();
    const CheckReport errors = check({page("index.html"), page("fine.html")}, o);
    o.tidyWarnings = true;
    const CheckReport warnings = check({page("index.html"), page("fine.html")}, o);
    fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(err);
    EXPECT_EQ(dir.read("stderr.txt"), QByteArray());

    EXPECT_EQ(errors.problems,
              (std::vector<CheckProblem>{
                  {page("index.html"), 3, "HTML error: <foo> is not recognized!"}}));
    QStringList texts;
    for (const CheckProblem& p : warnings.problems)
        texts << QStringLiteral("%1 %2").arg(p.line).arg(p.text);
    EXPECT_EQ(texts, QStringList({"1 HTML warning: missing <!DOCTYPE> declaration",
                                  "2 HTML warning: missing </b> before </p>",
                                  "3 HTML error: <foo> is not recognized!",
                                  "3 HTML warning: discarding unexpected <foo>",
                                  "3 HTML warning: inserting implicit <b>",
                                  "3 HTML warning: discarding unexpected </foo>"}));
}

TEST_F(PageChecks, TidyReadsEachPageInItsOwnEncoding) {
    // "é" in Latin-1 and in UTF-8: neither is a fault of the page.
    const QByteArray head = "<!DOCTYPE html>\n<html><head><title>t</title></head><body><p>";
    EXPECT_TRUE(
        tidyFindings(head + "caf\xe9</p></body></html>\n", TextEncoding::Latin1, true).empty());
    EXPECT_TRUE(
        tidyFindings(head + "caf\xc3\xa9</p></body></html>\n", TextEncoding::Utf8, true).empty());
    // Pages Tidy rejects outright, and bytes that are no HTML at all, end in findings, not harm.
    EXPECT_FALSE(
        tidyFindings("<html><frameset><body><frameset>\n<foo>", TextEncoding::Utf8, false).empty());
    EXPECT_NO_THROW(tidyFindings(QByteArray("\0\x01\xff<<<>>>", 9), TextEncoding::Latin1, true));
    EXPECT_TRUE(tidyFindings({}, TextEncoding::Utf8, false).empty());
}

TEST_F(PageChecks, StopEndsThePassAtTheNextPage) {
    put("a.html", "<a href=\"x.html\">x</a>");
    put("b.html", "<a href=\"y.html\">y</a>");
    put("c.html", "<p>");
    PageChecker* running = nullptr;
    int pumps = 0;
    CallbackPump pump([&] {
        if (++pumps == 2)
            running->stop();
    });
    CheckOptions o;
    o.tidy = false;
    o.orphans = true;
    o.htmlExtensions = Html;
    PageChecker checker(o, pump);
    running = &checker;
    QStringList progress;
    QObject::connect(&checker, &PageChecker::progress, [&](int done, int total, const QString& p) {
        progress
            << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(p.mid(p.lastIndexOf('/') + 1));
    });
    CheckReport r = checker.check({page("a.html"), page("b.html"), page("c.html")});
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.pagesChecked, 1);
    EXPECT_EQ(progress, QStringList({"0/3 a.html", "1/3 "}));
    // Nothing said about pages never reached: not their links, not that nothing links to them.
    r.heading = QStringLiteral("Check before upload of 3 pages");
    EXPECT_EQ(shown(r, dir),
              QStringList({"Check before upload of 3 pages", "Pages checked: 1   Problems found: 1",
                           "The check was stopped after 1 of 3 pages.",
                           "======================================================",
                           "Page: <dir>/site/a.html", "    Line 1: Broken link: x.html"}));

    // The next pass starts afresh.
    pumps = 10;
    r = checker.check({page("c.html")});
    EXPECT_FALSE(r.stopped);
    r.heading = QStringLiteral("h");
    EXPECT_EQ(r.lines(), QStringList({"h", "Pages checked: 1   Problems found: 0",
                                      "======================================================",
                                      "No problems found."}));
}
