// References read as the server will read them, and the disk asked about them.
#include "checks/LinkTargets.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString Site = QStringLiteral("/srv/site/");
const QString Sub = QStringLiteral("/srv/site/news/");

// "kind path [#fragment] [above: local] [root: path]"
QString resolved(const QString& target, const QString& folder = Sub, const QString& site = Site) {
    const ResolvedTarget r = resolveTarget(target, folder, site);
    switch (r.kind) {
    case ResolvedTarget::Kind::Outside:
        return QStringLiteral("outside");
    case ResolvedTarget::Kind::ThisComputer:
        return QStringLiteral("this computer");
    case ResolvedTarget::Kind::SamePage:
        return QStringLiteral("same page #") + r.fragment;
    case ResolvedTarget::Kind::Local:
        break;
    }
    QString s = r.path;
    if (!r.fragment.isEmpty())
        s += QStringLiteral(" #") + r.fragment;
    if (r.aboveSite)
        s += QStringLiteral(" above: ") + r.localPath;
    if (!r.rootPath.isEmpty())
        s += QStringLiteral(" root: ") + r.rootPath;
    return s;
}

} // namespace

TEST(LinkTargets, EveryFormOfLocalReference) {
    EXPECT_EQ(resolved("a.html"), "/srv/site/news/a.html");
    EXPECT_EQ(resolved("./img/A.GIF"), "/srv/site/news/img/A.GIF");
    EXPECT_EQ(resolved("../index.html"), "/srv/site/index.html");
    EXPECT_EQ(resolved("/images/logo.gif"), "/srv/site/images/logo.gif root: /images/logo.gif");
    EXPECT_EQ(resolved("a.html#part2"), "/srv/site/news/a.html #part2");
    EXPECT_EQ(resolved("list.html?page=2#top"), "/srv/site/news/list.html #top");
    EXPECT_EQ(resolved("my%20page.html"), "/srv/site/news/my page.html");
    EXPECT_EQ(resolved("caf%C3%A9.html"), QString::fromUtf8("/srv/site/news/café.html"));
    // A Latin-1 byte escaped: the name the program shows for such a file.
    EXPECT_EQ(resolved("caf%E9.html"), QString::fromUtf8("/srv/site/news/café.html"));
    EXPECT_EQ(resolved("100%.html"), "/srv/site/news/100%.html");
    EXPECT_EQ(resolved("images\\pic.jpg"), "/srv/site/news/images/pic.jpg");
    EXPECT_EQ(resolved("sub/"), "/srv/site/news/sub/");
    EXPECT_EQ(resolved("a//b/./c.html"), "/srv/site/news/a/b/c.html");
    EXPECT_EQ(resolved(" \tspaced.html\r\n"), "/srv/site/news/spaced.html");
}

TEST(LinkTargets, TheSiteFolderIsTheServersRoot) {
    // ".." stops at the root as the browser stops it; where it led on this disk is kept.
    EXPECT_EQ(resolved("../../up.html"), "/srv/site/up.html above: /srv/up.html");
    EXPECT_EQ(resolved("../../../../../x.gif"), "/srv/site/x.gif above: /x.gif");
    EXPECT_EQ(resolved("/../x.html"), "/srv/site/x.html above: /x.html root: /../x.html");
    // A page outside the site folder reads its links against its own folder.
    EXPECT_EQ(resolved("../x.html", "/home/me/other/", Site), "/home/me/x.html");
    EXPECT_EQ(resolved("/abs.html", "/home/me/other/", QString()), "/abs.html root: /abs.html");
}

TEST(LinkTargets, WhatIsNotAFileOfTheSite) {
    for (const char* outside : {"http://example.com/a.html", "HTTPS://x.org", "mailto:me@x.org",
                                "ftp://host/file", "javascript:void(0)", "//cdn.example/x.js",
                                "tel:+15551234", "data:image/gif;base64,R0lGOD"})
        EXPECT_EQ(resolved(outside), "outside") << outside;
    for (const char* here :
         {"file:///home/me/site/a.html", "FILE://c:/x", "c:\\site\\a.gif", "D:/pics/b.jpg"})
        EXPECT_EQ(resolved(here), "this computer") << here;
    EXPECT_EQ(resolved(""), "same page #");
    EXPECT_EQ(resolved("#section%202"), "same page #section 2");
    EXPECT_EQ(resolved("?sort=1"), "same page #");
}

TEST(LinkTargets, CommonFolderAndFolderOf) {
    EXPECT_EQ(commonFolder({"/srv/site/a.html", "/srv/site/news/b.html", "/srv/site/c/d/e.htm"}),
              "/srv/site/");
    EXPECT_EQ(commonFolder({"/srv/site/news/b.html"}), "/srv/site/news/");
    EXPECT_EQ(commonFolder({"/srv/sitea/x.html", "/srv/siteb/y.html"}), "/srv/");
    EXPECT_EQ(commonFolder({"/a.html", "/srv/b.html"}), "/");
    EXPECT_EQ(commonFolder({}), QString());
    EXPECT_EQ(folderOf("/srv/site/a.html"), "/srv/site/");
}

TEST(LinkTargets, TheDiskAskedOnceCaseSensitivelyWithItsOtherSpellings) {
    TempDir dir;
    ASSERT_TRUE(dir.write("images/Logo.gif", "GIF89a"));
    ASSERT_TRUE(dir.write("news/index.html", "<p>"));
    ASSERT_TRUE(dir.write("empty/readme.txt", "x"));
    ASSERT_TRUE(dir.write("Docs/Guide/Start.HTML", "<p>"));
    // A name in Latin-1 bytes, as pages copied from older machines have them.
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "caf\xe9.html";
    const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "12345", 5), 5);
    ::close(fd);

    FileLookup disk;
    const DiskEntry& logo = disk.entry(dir.file("images/Logo.gif"));
    EXPECT_EQ(logo.kind, DiskEntry::Kind::File);
    EXPECT_EQ(logo.size, 6);
    const DiskEntry& lower = disk.entry(dir.file("images/logo.gif"));
    EXPECT_EQ(lower.kind, DiskEntry::Kind::Missing);
    EXPECT_EQ(lower.otherCase, dir.file("images/Logo.gif"));
    EXPECT_EQ(disk.entry(dir.file("docs/guide/start.html")).otherCase,
              dir.file("Docs/Guide/Start.HTML"));
    EXPECT_EQ(disk.entry(dir.file("docs/guide/gone.html")).otherCase, QString());
    EXPECT_EQ(disk.entry(dir.file("nowhere/x.gif")).kind, DiskEntry::Kind::Missing);

    const DiskEntry& cafe = disk.entry(dir.path() + QString::fromUtf8("café.html"));
    EXPECT_EQ(cafe.kind, DiskEntry::Kind::File);
    EXPECT_EQ(cafe.size, 5);
    EXPECT_EQ(disk.entry(dir.path() + QString::fromUtf8("CAFÉ.html")).otherCase,
              dir.path() + QString::fromUtf8("café.html"));

    EXPECT_EQ(disk.entry(dir.file("news/")).kind, DiskEntry::Kind::Folder);
    EXPECT_TRUE(disk.entry(dir.file("news/")).hasIndexPage);
    EXPECT_FALSE(disk.entry(dir.file("empty")).hasIndexPage);

    // Asked once: a file that appears later is not seen by the same lookup.
    EXPECT_EQ(disk.entry(dir.file("late.gif")).kind, DiskEntry::Kind::Missing);
    ASSERT_TRUE(dir.write("late.gif", "x"));
    EXPECT_EQ(disk.entry(dir.file("late.gif")).kind, DiskEntry::Kind::Missing);
    EXPECT_EQ(FileLookup().entry(dir.file("late.gif")).kind, DiskEntry::Kind::File);
}
