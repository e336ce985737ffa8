// The page list, its tree operations and the two project files.
#include "project/SiteOutline.h"
#include "project/ProjectFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
// "Title/level/link" triples, one per page, for compact expectations.
QStringList describe(const std::vector<ProjectPage>& pages) {
    QStringList d;
    for (const ProjectPage& p : pages)
        d << QStringLiteral("%1/%2/%3").arg(p.title).arg(p.level).arg(p.link);
    return d;
}

SiteOutline outlineOf(std::vector<ProjectPage> pages) {
    SiteOutline o;
    o.assign(std::move(pages));
    return o;
}
} // namespace

TEST(SiteOutline, SubTreeEndsAndTheTwoViewsFollowEveryChange) {
    SiteOutline o = outlineOf({{"Home", 1, "/h"},
                               {"A", 2, "/a"},
                               {"A1", 3, "/a1"},
                               {"A1x", 4, "/a1x"},
                               {"B", 2, "/b"},
                               {"Next", 1, "/n"}});
    EXPECT_EQ(o.subTreeEnd(1), 5);
    EXPECT_EQ(o.subTreeEnd(2), 4);
    EXPECT_EQ(o.subTreeEnd(4), 4);
    EXPECT_EQ(o.subTreeEnd(6), 6);
    EXPECT_TRUE(o.hasChildren(3));
    EXPECT_FALSE(o.hasChildren(5));

    // A sub-page below A, whose last child has children of its own, goes after the whole
    // sub-tree, and every page keeps its file.
    EXPECT_EQ(o.addSubPage(2, "New", "/new"), 5);
    EXPECT_EQ(describe(o.pages()), QStringList({"Home/1//h", "A/2//a", "A1/3//a1", "A1x/4//a1x",
                                                "New/3//new", "B/2//b", "Next/1//n"}));
    EXPECT_EQ(o.pageLinkList(), QStringList({"/h", "/a", "/a1", "/a1x", "/new", "/b", "/n"}));

    // Removing a page with a child that has children removes all of them and their links.
    o.removeItem(2);
    EXPECT_EQ(describe(o.pages()), QStringList({"Home/1//h", "B/2//b", "Next/1//n"}));
    EXPECT_EQ(o.pageLinkList(), QStringList({"/h", "/b", "/n"}));

    SiteOutline empty;
    EXPECT_EQ(empty.addSubPage(0, "  \tFirst", "/f"), 1);
    EXPECT_EQ(describe(empty.pages()), QStringList({"First/1//f"}));
}

TEST(OutlineFile, ReadsTabsAndBlanksAsLevelsAndRefusesAJump) {
    struct Case {
        const char* text;
        bool ok;
        QStringList pages; // title/level
    };
    const Case cases[] = {
        {"Home page\r\nTAB\r\n", true, {"Home page/1", "TAB/1"}},
        {"Home page\r\n\tProducts\r\n\tContact\r\n\t\tMap\r\n",
         true,
         {"Home page/1", "Products/2", "Contact/2", "Map/3"}},
        // Blanks and TABs mixed, a shallower line closing two levels, no CR LF at the end.
        {"A\r\n B\r\n \tC\r\nD", true, {"A/1", "B/2", "C/3", "D/1"}},
        // Four blanks a level: the second line is already four levels deeper.
        {"A\r\n    B\r\n", false, {}},
        {"\tA\r\n", false, {}},
        {"A\r\n\tB\r\n\t\t\tC\r\n", false, {}},
        // Empty lines of a hand-edited file are skipped.
        {"A\r\n\r\n\tB\r\n", true, {"A/1", "B/2"}},
        {"", true, {}},
    };
    for (const Case& c : cases) {
        const OutlineParse r = parseOutlineText(QString::fromUtf8(c.text));
        EXPECT_EQ(r.ok, c.ok) << c.text;
        QStringList got;
        for (const ProjectPage& p : r.pages)
            got << QStringLiteral("%1/%2").arg(p.title).arg(p.level);
        EXPECT_EQ(got, c.pages) << c.text;
    }
    EXPECT_EQ(fileLoadErrorText(), QStringLiteral("File load error"));
}

TEST(OutlineFile, LinksArePaddedOrCutToThePagesAndFileNamesFollowTheRule) {
    std::vector<ProjectPage> pages = {{"A", 1, {}}, {"B", 2, {}}, {"C", 1, {}}};
    attachLinks(pages, parseLinkText(QStringLiteral("/a\r\n")));
    EXPECT_EQ(describe(pages), QStringList({"A/1//a", "B/2/", "C/1/"}));
    attachLinks(pages, parseLinkText(QStringLiteral("/a\r\n\r\n/c\r\n/d\r\n/e")));
    EXPECT_EQ(describe(pages), QStringList({"A/1//a", "B/2/", "C/1//c"}));

    EXPECT_EQ(linkFileName(QStringLiteral("/p/site.out")), QStringLiteral("/p/site.fil"));
    EXPECT_EQ(linkFileName(QStringLiteral("/p/site.OUT")), QStringLiteral("/p/site.fil"));
    EXPECT_EQ(linkFileName(QStringLiteral("ab")), QStringLiteral("ab.fil"));
}

TEST(ProjectFiles, ATwoLevelProjectWritesExactBytesAndReadsBackTheSame) {
    TempDir dir;
    const SiteOutline o = outlineOf({{"Home page", 1, "/w/index.html"},
                                     {"Products", 2, "/w/products.html"},
                                     {"Contact", 2, "/w/contact.html"},
                                     {"Map", 3, "/w/map.html"},
                                     {"Köln", 1, "/w/köln.html"}});
    const ProjectWrite w = writeProject(dir.file("site.out"), o);
    ASSERT_TRUE(w.ok) << w.message.toStdString();
    EXPECT_EQ(dir.read("site.out"),
              QByteArray("Home page\r\n\tProducts\r\n\tContact\r\n\t\tMap\r\nK\xc3\xb6ln\r\n"));
    EXPECT_EQ(dir.read("site.fil"),
              QByteArray("/w/index.html\r\n/w/products.html\r\n/w/contact.html\r\n/w/map.html\r\n"
                         "/w/k\xc3\xb6ln.html\r\n"));
    const ProjectRead r = readProject(dir.file("site.out"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.pages, o.pages());

    // A Latin-1 project is written back in Latin-1, byte for byte.
    ASSERT_TRUE(dir.write("old.out", "Caf\xe9\r\n\tMen\xfc\r\n"));
    ASSERT_TRUE(dir.write("old.fil", "/w/caf\xe9.htm\r\n/w/m.htm\r\n"));
    const ProjectRead old = readProject(dir.file("old.out"));
    ASSERT_TRUE(old.ok());
    EXPECT_EQ(old.pages[0].title, QStringLiteral("Café"));
    ASSERT_TRUE(writeProject(dir.file("copy.out"), outlineOf(old.pages), old.outlineEncoding,
                             old.linkEncoding)
                    .ok);
    EXPECT_EQ(dir.read("copy.out"), QByteArray("Caf\xe9\r\n\tMen\xfc\r\n"));
    EXPECT_EQ(dir.read("copy.fil"), QByteArray("/w/caf\xe9.htm\r\n/w/m.htm\r\n"));
}

TEST(ProjectFiles, FilesThatCannotBeReadOrWrittenAreNamedWithTheReason) {
    TempDir dir;
    ProjectRead r = readProject(dir.file("none.out"));
    EXPECT_EQ(r.failure, ProjectRead::Failure::Missing);
    EXPECT_EQ(r.message, QStringLiteral("Cannot read the project file \"%1\": the file does not "
                                        "exist")
                             .arg(dir.file("none.out")));

    ASSERT_TRUE(dir.write("jump.out", "A\r\n\t\tB\r\n"));
    ASSERT_TRUE(dir.write("jump.fil", "/a\r\n/b\r\n"));
    r = readProject(dir.file("jump.out"));
    EXPECT_EQ(r.failure, ProjectRead::Failure::BadOutline);
    EXPECT_EQ(r.message, QStringLiteral("File load error"));

    ASSERT_TRUE(dir.write("nolinks.out", "A\r\n"));
    r = readProject(dir.file("nolinks.out"));
    EXPECT_EQ(r.failure, ProjectRead::Failure::Missing);
    EXPECT_TRUE(r.message.contains(dir.file("nolinks.fil")));

    // A folder where the outline should go: the write fails, naming the file.
    QDir().mkpath(dir.file("taken.out"));
    const ProjectWrite w = writeProject(dir.file("taken.out"), outlineOf({{"A", 1, "/a"}}));
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.message.startsWith(
        QStringLiteral("Cannot write the project file \"%1\": ").arg(dir.file("taken.out"))))
        << w.message.toStdString();
    EXPECT_FALSE(dir.exists("taken.fil"));
}
