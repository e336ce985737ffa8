// Extended Replace over real files: the snapshot rules in one pass, project and file lists,
// the dated backup folder and its refusals, files that cannot be read, stopping.
#include "services/ExtendedReplace.h"
#include "platform/UiPump.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

struct RecordingView : ExtendedReplaceView {
    QStringList events;
    QString status;
    QString report;
    void runStarted(int n) override { events << QStringLiteral("start %1").arg(n); }
    void fileStarted(int i) override { events << QStringLiteral("file %1").arg(i); }
    void runEnded() override { events << QStringLiteral("end"); }
    void setStatus(const QString& t) override { status = t; }
    void setReport(const QString& t) override { report = t; }
};

ino_t inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

class BigReplace : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("projects"));
        QDir(dir.path()).mkpath(QStringLiteral("backup"));
        QDir(dir.path()).mkpath(QStringLiteral("site"));
    }
    ExtendedReplace make() {
        return ExtendedReplace(dir.path(), prompter, pump, [] { return QDate(2001, 3, 5); });
    }
    QString site(const QString& name) const { return dir.file(QStringLiteral("site/") + name); }
    void writeSite(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(dir.write(QStringLiteral("site/") + name, bytes));
    }
    QByteArray readSite(const QString& name) const {
        return dir.read(QStringLiteral("site/") + name);
    }

    TempDir dir;
    ScriptedPrompter prompter;
    CallbackPump pump{{}};
    RecordingView view;
};

TEST(ReplaceAllInText, FollowsTheSearchLoopOfReplaceAll) {
    struct Case {
        const char* text;
        const char* pattern;
        const char* replacement;
        bool matchCase;
        const char* result;
        int count;
    };
    const Case cases[] = {
        {"width WIDTH Width", "width", "height", false, "height height height", 3},
        {"width WIDTH Width", "width", "height", true, "height WIDTH Width", 1},
        {"a\r\nba", "a", "aa", true, "aa\r\nbaa", 2},
        // Leftmost matches that do not overlap: the search goes on after each replacement.
        {"aaaa", "aa", "b", true, "bb", 2},
        {"aaa", "aa", "b", true, "ba", 1},
        {"xyz", "q", "r", false, "xyz", 0},
        {"abc", "", "r", false, "abc", 0},
        {"Straße STRASSE", "straße", "road", false, "road STRASSE", 1},
        {"AbC", "b", "", false, "AC", 1},
    };
    for (const Case& c : cases) {
        const TextReplaced r =
            replaceAllInText(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern),
                             QString::fromUtf8(c.replacement), c.matchCase);
        EXPECT_EQ(r.text, QString::fromUtf8(c.result)) << c.text << " / " << c.pattern;
        EXPECT_EQ(r.count, c.count) << c.text << " / " << c.pattern;
    }
}

TEST_F(BigReplace, ProjectOfThreePagesTextInTwoRewritesAllThree) {
    writeSite(QStringLiteral("one.html"), "<p>old one</p>\r\n");
    writeSite(QStringLiteral("two.html"), "<p>nothing here</p>\n");
    writeSite(QStringLiteral("three.html"), "OLD and Old\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Site.out"), "One\r\nTwo\r\nThree\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Site.fil"),
                          (site(QStringLiteral("one.html")) + QStringLiteral("\r\n") +
                           site(QStringLiteral("two.html")) + QStringLiteral("\r\n") +
                           site(QStringLiteral("three.html")) + QStringLiteral("\r\n"))
                              .toUtf8()));
    const ino_t before = inode(site(QStringLiteral("two.html")));

    ExtendedReplace r = make();
    ASSERT_EQ(r.projects().size(), 1);
    EXPECT_EQ(r.projects()[0].shown, QStringLiteral("SITE.OUT"));
    EXPECT_EQ(r.shownProject(QStringLiteral("site.out")), QStringLiteral("SITE.OUT"));
    EXPECT_EQ(r.backupDir, QStringLiteral("3_5_2001"));
    r.project = QStringLiteral("SITE.OUT");
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));

    EXPECT_EQ(prompter.texts(), QStringList{ExtendedReplace::confirmText()});
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(readSite(QStringLiteral("one.html")), QByteArray("<p>new one</p>\r\n"));
    // Unchanged text, still written back: the program's own line ends.
    EXPECT_EQ(readSite(QStringLiteral("two.html")), QByteArray("<p>nothing here</p>\r\n"));
    EXPECT_NE(inode(site(QStringLiteral("two.html"))), before);
    EXPECT_EQ(readSite(QStringLiteral("three.html")), QByteArray("new and new\r\n"));
    EXPECT_EQ(view.events, (QStringList{"start 3", "file 0", "file 1", "file 2", "end"}));
    EXPECT_EQ(view.status, QStringLiteral("Finished."));
    EXPECT_EQ(view.report, QString());
    // No backup was asked for.
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("backup"))).isEmpty());
}

TEST_F(BigReplace, MatchCaseAndDoublingInFiles) {
    writeSite(QStringLiteral("a.htm"), "<td width=1 WIDTH=2 Width=3>\r\n");
    writeSite(QStringLiteral("b.htm"), "banana\r\n");
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("a.htm"))};
    r.text = QStringLiteral("width");
    r.replacement = QStringLiteral("height");
    r.matchCase = true;
    prompter.queue(MessageAnswer::Yes, 3);
    r.run(view);
    EXPECT_EQ(readSite(QStringLiteral("a.htm")), QByteArray("<td height=1 WIDTH=2 Width=3>\r\n"));
    r.matchCase = false;
    r.run(view);
    EXPECT_EQ(readSite(QStringLiteral("a.htm")), QByteArray("<td height=1 height=2 height=3>\r\n"));

    r.files = {site(QStringLiteral("b.htm"))};
    r.text = QStringLiteral("a");
    r.replacement = QStringLiteral("aa");
    r.run(view);
    EXPECT_EQ(readSite(QStringLiteral("b.htm")), QByteArray("baanaanaa\r\n"));
}

TEST_F(BigReplace, RewrittenPagesKeepTheirModeAndLinksStayLinks) {
    writeSite(QStringLiteral("page.html"), "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(site(QStringLiteral("page.html"))).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(site(QStringLiteral("page.html")), site(QStringLiteral("link.html"))));
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("link.html"))};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readSite(QStringLiteral("page.html")), QByteArray("new\r\n"));
    EXPECT_TRUE(QFileInfo(site(QStringLiteral("link.html"))).isSymLink());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(site(QStringLiteral("page.html"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Nothing is left behind beside the pages.
    EXPECT_EQ(QDir(dir.file(QStringLiteral("site"))).entryList(QDir::Files | QDir::Hidden).size(),
              2);
}

TEST_F(BigReplace, FilesThatCannotBeReadAreLeftAloneAndTheRunGoesOn) {
    writeSite(QStringLiteral("first.html"), "x\r\n");
    writeSite(QStringLiteral("picture.gif"), QByteArray("GIF89a\0x\nx", 10));
    writeSite(QStringLiteral("last.html"), "x\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(site(QStringLiteral("pipe.html"))).constData(), 0644), 0);
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("first.html")), site(QStringLiteral("gone.html")),
               site(QStringLiteral("picture.gif")), site(QStringLiteral("pipe.html")),
               site(QStringLiteral("last.html"))};
    r.text = QStringLiteral("x");
    r.replacement = QStringLiteral("y");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(readSite(QStringLiteral("first.html")), QByteArray("y\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("last.html")), QByteArray("y\r\n"));
    EXPECT_FALSE(QFile::exists(site(QStringLiteral("gone.html"))));
    EXPECT_EQ(readSite(QStringLiteral("picture.gif")), QByteArray("GIF89a\0x\nx", 10));
    EXPECT_FALSE(QFileInfo(site(QStringLiteral("pipe.html"))).isFile());
    EXPECT_EQ(view.status, QStringLiteral("Finished."));
    EXPECT_EQ(view.report,
              QStringLiteral("Left unchanged: %1 (No such file or directory), %2 (not a text "
                             "file), %3 (pipe.html is not a regular file)")
                  .arg(site(QStringLiteral("gone.html")), site(QStringLiteral("picture.gif")),
                       site(QStringLiteral("pipe.html"))));
}

TEST_F(BigReplace, DatedBackupFolderThenTheSecondRunThatDayIsRefused) {
    const QByteArray page("<b>Old</b>\r\n\xe9t\xe9 old\n"); // Latin-1, LF at the end
    writeSite(QStringLiteral("p.html"), page);
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("p.html"))};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    r.backup = true;
    r.backupDir.clear();
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(r.backupDir, QStringLiteral("3_5_2001"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/3_5_2001/p.html")), page);
    const QByteArray changed("<b>new</b>\r\n\xe9t\xe9 new\r\n");
    EXPECT_EQ(readSite(QStringLiteral("p.html")), changed);

    // The same name the same day: the folder is there, so nothing is touched.
    prompter.queue(MessageAnswer::Yes, 2);
    r.text = QStringLiteral("new");
    r.replacement = QStringLiteral("newer");
    EXPECT_FALSE(r.run(view));
    EXPECT_EQ(prompter.texts().last(), ExtendedReplace::cannotCreateBackupText());
    EXPECT_EQ(readSite(QStringLiteral("p.html")), changed);
    EXPECT_EQ(dir.read(QStringLiteral("backup/3_5_2001/p.html")), page);
}

TEST_F(BigReplace, FolderNamesWithSlashesOrClimbingAreRefused) {
    writeSite(QStringLiteral("p.html"), "old\r\n");
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("p.html"))};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    r.backup = true;
    for (const char* name : {"missing\\sub", "missing/sub", "..\\escaped"}) {
        r.backupDir = QLatin1String(name);
        prompter.queue(MessageAnswer::Yes, 2);
        EXPECT_FALSE(r.run(view)) << name;
        EXPECT_EQ(prompter.texts().last(), ExtendedReplace::cannotCreateBackupText()) << name;
    }
    EXPECT_EQ(readSite(QStringLiteral("p.html")), QByteArray("old\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("escaped"))));
    // The typed name is lower-cased, as the folder always was.
    r.backupDir = QStringLiteral("Before_Move");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(dir.read(QStringLiteral("backup/before_move/p.html")), QByteArray("old\r\n"));
}

TEST_F(BigReplace, RefusalsComeBeforeAnyFileIsTouched) {
    writeSite(QStringLiteral("p.html"), "old\r\n");
    ExtendedReplace r = make();
    r.text = QStringLiteral("old");
    prompter.queue(MessageAnswer::Ok, 3);
    EXPECT_FALSE(r.run(view)); // project mode, none chosen
    r.projectMode = false;
    EXPECT_FALSE(r.run(view)); // files mode, empty list
    r.files = {site(QStringLiteral("p.html"))};
    r.text.clear();
    EXPECT_FALSE(r.run(view));
    r.text = QStringLiteral("old");
    prompter.queue(MessageAnswer::No);
    EXPECT_FALSE(r.run(view));
    EXPECT_EQ(prompter.texts(),
              (QStringList{ExtendedReplace::noProjectText(), ExtendedReplace::noFilesText(),
                           ExtendedReplace::noTextText(), ExtendedReplace::confirmText()}));
    EXPECT_EQ(prompter.texts()[0],
              QStringLiteral("You must select a project from the list first."));
    EXPECT_EQ(prompter.texts()[1],
              QStringLiteral("You must select at least one file to search first."));
    EXPECT_EQ(readSite(QStringLiteral("p.html")), QByteArray("old\r\n"));
    EXPECT_TRUE(view.events.isEmpty());
}

TEST_F(BigReplace, StopEndsTheRunAfterTheFileInHand) {
    for (const char* name : {"1.html", "2.html", "3.html"})
        writeSite(QLatin1String(name), "old\r\n");
    ExtendedReplace* running = nullptr;
    int pumped = 0;
    CallbackPump stopper([&] {
        if (++pumped == 2)
            running->stop();
    });
    ExtendedReplace r(dir.path(), prompter, stopper);
    running = &r;
    r.projectMode = false;
    r.files = {site(QStringLiteral("1.html")), site(QStringLiteral("2.html")),
               site(QStringLiteral("3.html"))};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readSite(QStringLiteral("1.html")), QByteArray("new\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("2.html")), QByteArray("old\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("3.html")), QByteArray("old\r\n"));
    EXPECT_EQ(view.status, QStringLiteral("Stopped."));
    EXPECT_EQ(view.events.last(), QStringLiteral("end"));
}

TEST_F(BigReplace, ProjectWhoseFileListIsMissing) {
    ASSERT_TRUE(dir.write(QStringLiteral("projects/lost.out"), "One\r\n"));
    ExtendedReplace r = make();
    r.project = QStringLiteral("LOST.OUT");
    r.text = QStringLiteral("a");
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(r.run(view));
    EXPECT_TRUE(prompter.texts().last().startsWith(
        QStringLiteral("Cannot read the project's file list \"%1\"")
            .arg(dir.file(QStringLiteral("projects/lost.fil")))));
}

} // namespace
