// The tag walk behind the link and image checks: which attributes are references, on which line,
// and what is not markup at all.
#include "checks/PageReferences.h"

#include <gtest/gtest.h>

namespace {

// "kind line target" per reference, to compare whole scans at once.
QStringList described(const PageScan& scan) {
    QStringList out;
    for (const PageReference& r : scan.references) {
        const char* kind = r.kind == ReferenceKind::Link    ? "link"
                           : r.kind == ReferenceKind::Image ? "image"
                                                            : "file";
        QString s = QStringLiteral("%1 %2 %3").arg(QLatin1String(kind)).arg(r.line).arg(r.target);
        if (r.sizedTag)
            s += QStringLiteral(" [%1%2]").arg(r.hasWidth ? QStringLiteral("w") : QString(),
                                               r.hasHeight ? QStringLiteral("h") : QString());
        out << s;
    }
    return out;
}

} // namespace

TEST(PageReferences, EveryReferringAttributeInAnyCaseAndQuoting) {
    const QString page = QStringLiteral(
        "<HTML><BODY BACKGROUND=\"art/bg.gif\">\r\n"
        "<a href=\"about.html\">About</a> <A HREF='Contact.HTM'>x</A>\r\n"
        "<a href=news.html>bare</a><a name=\"top\"></a><a>no href</a>\r\n"
        "<IMG SRC=\"images/logo.gif\" WIDTH=10 HEIGHT=\"20\"><img src=a.jpg width=3>\r\n"
        "<img\r\n   src=\"b.png\"\r\n   alt=\"x\">\r\n"
        "<link rel=stylesheet href=\"site.css\"><script src=\"menu.js\"></script>\r\n"
        "<frame src=\"left.html\"><iframe src='in.html'></iframe><area href=\"map.html\">\r\n"
        "<input type=IMAGE src=\"go.gif\"><input type=text src=\"not.gif\">\r\n"
        "<td background=cell.gif><embed src=movie.swf><object data=\"x.pdf\"></object>\r\n");
    const PageScan scan = scanPage(page);
    EXPECT_EQ(
        described(scan),
        QStringList({"image 1 art/bg.gif", "link 2 about.html", "link 2 Contact.HTM",
                     "link 3 news.html", "image 4 images/logo.gif [wh]", "image 4 a.jpg [w]",
                     "image 6 b.png []", "file 8 site.css", "file 8 menu.js", "link 9 left.html",
                     "link 9 in.html", "link 9 map.html", "image 10 go.gif", "image 11 cell.gif",
                     "file 11 movie.swf", "file 11 x.pdf"}));
    EXPECT_EQ(scan.anchors, QSet<QString>({"top"}));
    EXPECT_FALSE(scan.hasBase);
}

TEST(PageReferences, CommentsScriptsAndOtherTextAreNotMarkup) {
    const QString page =
        QStringLiteral("<!-- <a href=\"commented.html\"> -->\n"
                       "<script>document.write('<a href=\"script.html\">');</script>\n"
                       "<STYLE>a { background: url(x.gif) }</STYLE><title><img src=t.gif></title>\n"
                       "<textarea><img src=\"typed.gif\"></textarea>\n"
                       "1 < 2 and <!DOCTYPE html> <?xml x?> </p >\n"
                       "<p id=\"intro\" title='a > b'><a href=\"real.html\">\n");
    const PageScan scan = scanPage(page);
    EXPECT_EQ(described(scan), QStringList({"link 6 real.html"}));
    EXPECT_EQ(scan.anchors, QSet<QString>({"intro"}));
}

TEST(PageReferences, LinesCountEveryKindOfLineEndAndValuesAreDecoded) {
    // LF, a lone CR and CR LF each end one line; a value spanning lines counts from its start.
    const QString page = QStringLiteral("a\nb\rc\r\n<a href=\"x.html?a=1&amp;b=2\">"
                                        "<a href=\"caf&#233;.html\"><a href=\"&#x2F;top.html\">"
                                        "<a href=\"&bogus;\"><a href=\"  spaced.html  \">\n"
                                        "<a\nhref\n=\n\"late.html\"><base href=\"/sub/\">");
    const PageScan scan = scanPage(page);
    EXPECT_EQ(described(scan),
              QStringList({"link 4 x.html?a=1&b=2", QString::fromUtf8("link 4 café.html"),
                           "link 4 /top.html", "link 4 &bogus;", "link 4 spaced.html",
                           "link 8 late.html"}));
    EXPECT_TRUE(scan.hasBase);
    EXPECT_EQ(scan.baseHref, "/sub/");
}

TEST(PageReferences, UnfinishedMarkupEndsTheScanWithoutHarm) {
    EXPECT_TRUE(scanPage(QStringLiteral("<a href=\"never-closed")).references.size() == 1u);
    EXPECT_EQ(described(scanPage(QStringLiteral("<img src=x.gif"))),
              QStringList({"image 1 x.gif []"}));
    EXPECT_TRUE(scanPage(QStringLiteral("<!-- open comment <a href=x>")).references.empty());
    EXPECT_TRUE(scanPage(QStringLiteral("<script><a href=x>")).references.empty());
    EXPECT_TRUE(scanPage(QStringLiteral("<")).references.empty());
    EXPECT_TRUE(scanPage(QString()).references.empty());
}
