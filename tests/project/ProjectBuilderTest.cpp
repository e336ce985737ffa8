// The project builder over real files: listing and picking, ordering, names from file names and
// TITLE elements, the hierarchy and its check, and the exact bytes of the saved project.
#include "project/ProjectBuilder.h"
#include "platform/TextFile.h"
#include "project/ProjectFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class Builder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("projects"));
    }
    QString file(const char* name, const QByteArray& bytes) {
        EXPECT_TRUE(dir.write(QStringLiteral("site/") + QLatin1String(name), bytes));
        return dir.file(QStringLiteral("site/") + QLatin1String(name));
    }
    QString titleOf(const QByteArray& bytes) {
        return pageTitleFromFile(file("t.html", bytes)).value_or(QStringLiteral("(unreadable)"));
    }

    TempDir dir;
    ScriptedPrompter prompter;
    ProjectBuilder b{dir.path()};
};

TEST_F(Builder, TitlesFromTheTitleElement) {
    const QString path = dir.file(QStringLiteral("site/t.html"));
    EXPECT_EQ(titleOf("<html>\r\n<title>\r\nWelcome\r\n</title>\r\n"), QStringLiteral("Welcome"));
    EXPECT_EQ(titleOf("<html><head><TITLE>Our  Shop </TITLE></head>\n"),
              QStringLiteral("Our  Shop "));
    EXPECT_EQ(titleOf("<title>Open ended\r\n"), QStringLiteral("Open ended"));
    EXPECT_EQ(titleOf("<title>\r\nWelcome <b>home</b>\r\n"), QStringLiteral("Welcome "));
    EXPECT_EQ(titleOf("<title>\r\n<b>x</b>\r\n"), QStringLiteral("NO TITLE: ") + path);
    EXPECT_EQ(titleOf("<title>\r\n\r\nx\r\n"), QStringLiteral("NO TITLE: ") + path);
    EXPECT_EQ(titleOf("<p>x</p>\r\n<title>"), QStringLiteral("NO TITLE: ") + path);
    EXPECT_EQ(titleOf("<html><body>no title</body></html>"), QStringLiteral("NO TITLE: ") + path);
    EXPECT_FALSE(pageTitleFromFile(dir.file(QStringLiteral("site/none.html"))));
}

TEST_F(Builder, PickingFilesKeepsOrderAndTheTwoListsTogether) {
    file("index.html", "<title>Home</title>");
    file("about.htm", "<title>About us</title>");
    file("notes.txt", "x");
    file("page.asp", "<title>Asp</title>");
    const QString site = dir.file(QStringLiteral("site"));
    EXPECT_EQ(ProjectBuilder::listFiles(site, QStringLiteral("*.htm;*.html;*.shtml;*.asp;*.cgi")),
              (QStringList{"about.htm", "index.html", "page.asp"}));
    EXPECT_EQ(ProjectBuilder::listFiles(site, QStringLiteral("*.*")).size(), 4);
    EXPECT_EQ(ProjectBuilder::filePath(QStringLiteral("/"), QStringLiteral("x.html")),
              QStringLiteral("/x.html"));

    b.addFiles(site, {QStringLiteral("index.html"), QStringLiteral("about.htm")});
    b.addFiles(site, {QStringLiteral("index.html")}); // the same file twice is allowed
    EXPECT_EQ(b.selectedFiles().size(), 3);
    b.removeFiles({2});
    b.addFiles(site, {QStringLiteral("page.asp")});
    EXPECT_EQ(b.orderedFiles(), b.selectedFiles());
    EXPECT_EQ(b.moveUp(0), 0);
    EXPECT_EQ(b.moveDown(2), 2);
    EXPECT_EQ(b.moveUp(2), 1);
    EXPECT_EQ(b.orderedFiles(),
              (QStringList{site + QStringLiteral("/index.html"), site + QStringLiteral("/page.asp"),
                           site + QStringLiteral("/about.htm")}));
    EXPECT_EQ(b.selectedFiles(), b.orderedFiles());

    b.loadNames(false);
    EXPECT_EQ(b.names, (QStringList{"index", "page", "about"}));
    b.loadNames(true);
    EXPECT_EQ(b.names, (QStringList{"Home", "Asp", "About us"}));
    // A file that cannot be read ends the loading, silently.
    QFile::remove(site + QStringLiteral("/page.asp"));
    b.loadNames(true);
    EXPECT_EQ(b.names, QStringList{"Home"});
    b.clearFiles();
    EXPECT_TRUE(b.orderedFiles().isEmpty());
}

TEST_F(Builder, IndentUnindentAndTheLevelCheck) {
    b.names = {QStringLiteral("Main"), QStringLiteral("Intro"), QStringLiteral("Order"),
               QStringLiteral("VISA     card"), QStringLiteral("Help")};
    b.rebuildHierarchy();
    b.unindent({3});
    EXPECT_EQ(b.hierarchy()[3], QStringLiteral("VISA     card"));
    b.indent({1, 2});
    b.indent({2});
    b.indent({3});
    // 0, 1, 2, 1, 0
    EXPECT_EQ(b.hierarchy()[2], QStringLiteral("          Order"));
    EXPECT_EQ(ProjectBuilder::level(b.hierarchy()[2]), 2);
    EXPECT_FALSE(b.checkTreeLevels());
    b.unindent({1});
    const auto bad = b.checkTreeLevels(); // 0, 0, 2
    ASSERT_TRUE(bad);
    EXPECT_EQ(*bad, (std::pair{1, 2}));
    EXPECT_EQ(ProjectBuilder::level(QStringLiteral("    x")), 0);
    EXPECT_EQ(ProjectBuilder::level(QStringLiteral("         x")), 1);
    // An indented first page would give an outline file that cannot be read.
    b.rebuildHierarchy();
    b.indent({0});
    EXPECT_EQ(*b.checkTreeLevels(), (std::pair{-1, 0}));
}

TEST_F(Builder, SavedFilesHoldTabsPerLevelAndTheLinksInOrder) {
    file("a.html", "<title>A</title>");
    file("b.html", "<title>B</title>");
    file("c.html", "<title>C</title>");
    file("d.html", "<title>D</title>");
    const QString site = dir.file(QStringLiteral("site"));
    b.addFiles(site, {"a.html", "b.html", "c.html", "d.html"});
    b.names = {QStringLiteral("Home"), QStringLiteral("  Shop"), QStringLiteral("Deep"),
               QStringLiteral("")};
    b.rebuildHierarchy();
    b.indent({1, 2, 3});
    b.indent({2, 3});
    b.indent({3});
    EXPECT_FALSE(b.checkTreeLevels());

    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(b.save(QStringLiteral("MySite"), prompter));
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Project saved. You can now open it from OPEN PROJECT "
                                         "under the FILE menu.")});
    // Three TABs for the third indent; the blanks a name began with are no level.
    EXPECT_EQ(dir.read(QStringLiteral("projects/MySite.out")),
              QByteArray("Home\r\n\tShop\r\n\t\tDeep\r\n\t\t\tNO TITLE: ") +
                  (site + QStringLiteral("/d.html")).toUtf8() + "\r\n");
    EXPECT_EQ(
        dir.read(QStringLiteral("projects/MySite.fil")),
        (site + "/a.html\r\n" + site + "/b.html\r\n" + site + "/c.html\r\n" + site + "/d.html\r\n")
            .toUtf8());
    // The program reads it back as it was built.
    const ProjectRead read = readProject(dir.file(QStringLiteral("projects/MySite.out")));
    ASSERT_TRUE(read.ok()) << read.message.toStdString();
    ASSERT_EQ(read.pages.size(), 4u);
    EXPECT_EQ(read.pages[1].title, QStringLiteral("Shop"));
    EXPECT_EQ(read.pages[3].level, 4);
    EXPECT_EQ(read.pages[2].link, site + QStringLiteral("/c.html"));
}

TEST_F(Builder, SavingAsksBeforeReplacingAndRefusesWhatWouldBreak) {
    file("a.html", "x");
    b.addFiles(dir.file(QStringLiteral("site")), {"a.html"});
    b.names = {QStringLiteral("A")};
    b.rebuildHierarchy();
    ASSERT_TRUE(dir.write(QStringLiteral("projects/old.out"), "Old\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("projects/old.fil"), "/old.html\r\n"));

    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(b.save(QString(), prompter));
    prompter.queue(MessageAnswer::No);
    EXPECT_FALSE(b.save(QStringLiteral("old"), prompter));
    EXPECT_EQ(dir.read(QStringLiteral("projects/old.out")), QByteArray("Old\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("projects/old.fil")), QByteArray("/old.html\r\n"));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("You must enter a name for this Project."),
                           QStringLiteral("A project with this name already exists. Do you really "
                                          "want to replace it with this new project?")}));
    EXPECT_EQ(prompter.shown()[1].kind, MessageKind::Confirmation);
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(b.save(QStringLiteral("old"), prompter));
    EXPECT_EQ(dir.read(QStringLiteral("projects/old.out")), QByteArray("A\r\n"));

    // One name too many: the two files would describe different pages.
    b.names << QStringLiteral("extra");
    b.rebuildHierarchy();
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(b.save(QStringLiteral("new"), prompter));
    EXPECT_EQ(prompter.texts().last(), ProjectBuilder::namesDoNotMatchText(2, 1));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("projects/new.out"))));
    // A projects folder that is not there: the system's error, nothing claimed.
    QDir(dir.file(QStringLiteral("projects"))).removeRecursively();
    b.names.removeLast();
    b.rebuildHierarchy();
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(b.save(QStringLiteral("new"), prompter));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Error);
}

TEST_F(Builder, ANameThatReachesOutOfTheProjectsFolderIsRefused) {
    file("a.html", "x");
    b.addFiles(dir.file(QStringLiteral("site")), {"a.html"});
    b.names = {QStringLiteral("A")};
    b.rebuildHierarchy();
    for (const char* name : {"../escaped", "sub/site", "/tmp/abs", ".."}) {
        SCOPED_TRACE(name);
        prompter.clearShown();
        prompter.queue(MessageAnswer::Ok);
        EXPECT_FALSE(b.save(QLatin1String(name), prompter));
        EXPECT_EQ(prompter.texts(), QStringList({ProjectBuilder::badNameText()}));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("escaped.out"))));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("escaped.fil"))));
    EXPECT_EQ(QDir(dir.file(QStringLiteral("projects")))
                  .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());
}

TEST_F(Builder, AFileWithALatin1NameIsListedAndLinkedByItsBytes) {
    file("index.html", "<title>Home</title>");
    ASSERT_TRUE(dir.writeNative("site/caf\xe9.html", "<title>Caf\xe9</title>\r\n"));
    const QString site = dir.file(QStringLiteral("site"));
    const QStringList listed = ProjectBuilder::listFiles(site, QStringLiteral("*.html"));
    EXPECT_EQ(listed, QStringList({QStringLiteral("caf\u00e9.html"), "index.html"}));
    b.addFiles(site, listed);
    b.loadNames(true);
    EXPECT_EQ(b.names, QStringList({QStringLiteral("Caf\u00e9"), "Home"}));
    b.rebuildHierarchy();
    prompter.queue(MessageAnswer::Ok);
    ASSERT_TRUE(b.save(QStringLiteral("cafe"), prompter));
    // The link file holds the name's own bytes, and the project opens the page by them.
    EXPECT_EQ(dir.read(QStringLiteral("projects/cafe.fil")),
              QFile::encodeName(site) + "/caf\xe9.html\r\n" + QFile::encodeName(site) +
                  "/index.html\r\n");
    const ProjectRead read = readProject(dir.file(QStringLiteral("projects/cafe.out")));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.pages[0].link, site + QStringLiteral("/caf\u00e9.html"));
    EXPECT_TRUE(readTextFile(read.pages[0].link).ok);
}

} // namespace
