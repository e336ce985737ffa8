// Extended Replace over real files: the snapshot rules in one pass, project and file lists,
// the dated backup folder and its refusals, files that cannot be read, stopping.
#include "services/ExtendedReplace.h"
#include "platform/NativeNames.h"
#include "platform/UiPump.h"
#include "support/RecordingPassView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// The status is kept apart: the events are the bar's.
struct RecordingView : RecordingPass<ExtendedReplaceView> {
    QString status;
    QString report;
    QStringList results;
    void setStatus(const QString& t) override { status = t; }
    void setReport(const QString& t) override { report = t; }
    void clearResults() override { results.clear(); }
    void addResult(const QString& line) override { results << line; }
};

// A file's modification time, to the nanosecond.
qint64 modified(const QString& path) {
    struct stat st {};
    if (::stat(nativePath(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool writeNative(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

QByteArray readNative(const QByteArray& path) {
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

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
    const qint64 twoTime = modified(site(QStringLiteral("two.html")));

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
    // Nothing matched: the file is not written at all, its line ends and its time stay.
    EXPECT_EQ(readSite(QStringLiteral("two.html")), QByteArray("<p>nothing here</p>\n"));
    EXPECT_EQ(inode(site(QStringLiteral("two.html"))), before);
    EXPECT_EQ(modified(site(QStringLiteral("two.html"))), twoTime);
    EXPECT_EQ(readSite(QStringLiteral("three.html")), QByteArray("new and new\r\n"));
    EXPECT_EQ(view.events, (QStringList{"start 3", "file 0", "file 1", "file 2", "end"}));
    EXPECT_EQ(view.status, QStringLiteral("Finished."));
    EXPECT_EQ(view.report, QStringLiteral("2 of 3 files changed, 3 replacements"));
    EXPECT_EQ(view.results,
              (QStringList{"1 replacement: " + site(QStringLiteral("one.html")),
                           "Not found, not rewritten: " + site(QStringLiteral("two.html")),
                           "2 replacements: " + site(QStringLiteral("three.html"))}));
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
    EXPECT_EQ(readSite(QStringLiteral("last.html")), QByteArray("y\n"));
    EXPECT_FALSE(QFile::exists(site(QStringLiteral("gone.html"))));
    EXPECT_EQ(readSite(QStringLiteral("picture.gif")), QByteArray("GIF89a\0x\nx", 10));
    EXPECT_FALSE(QFileInfo(site(QStringLiteral("pipe.html"))).isFile());
    EXPECT_EQ(view.status, QStringLiteral("Finished."));
    EXPECT_EQ(
        view.results.mid(1, 3),
        (QStringList{
            "Left unchanged: " + site(QStringLiteral("gone.html")) + " (No such file or directory)",
            "Left unchanged: " + site(QStringLiteral("picture.gif")) + " (not a text file)",
            "Left unchanged: " + site(QStringLiteral("pipe.html")) +
                " (pipe.html is not a regular file)"}));
    EXPECT_EQ(view.report,
              QStringLiteral("2 of 5 files changed, 2 replacements; 3 left unchanged (see the "
                             "list)"));
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
    const QByteArray changed("<b>new</b>\r\n\xe9t\xe9 new\n");
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

namespace {

TEST_F(BigReplace, EachFileKeepsItsBytesItsEncodingAndItsLineEnds) {
    // Latin-1 with a lone CR, LF and CR LF; UTF-8 with a byte-order mark; LF only.
    const QByteArray latin1("caf\xe9 old\r<p>old\n\xe0 la old\r\n");
    const QByteArray utf8("\xef\xbb\xbf"
                          "caf\xc3\xa9 old \xe2\x82\xac\n");
    writeSite(QStringLiteral("latin.html"), latin1);
    writeSite(QStringLiteral("utf8.html"), utf8);
    writeSite(QStringLiteral("lf.html"), "a\nold\nb\n");
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("latin.html")), site(QStringLiteral("utf8.html")),
               site(QStringLiteral("lf.html"))};
    r.text = QStringLiteral("OLD");
    r.replacement = QStringLiteral("new");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readSite(QStringLiteral("latin.html")),
              QByteArray("caf\xe9 new\r<p>new\n\xe0 la new\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("utf8.html")), QByteArray("\xef\xbb\xbf"
                                                                "caf\xc3\xa9 new \xe2\x82\xac\n"));
    EXPECT_EQ(readSite(QStringLiteral("lf.html")), QByteArray("a\nnew\nb\n"));

    // A replacement Latin-1 cannot hold: that file is skipped and listed, never re-encoded; a
    // UTF-8 file takes it.
    r.text = QStringLiteral("new");
    r.replacement = QStringLiteral("\u20ac");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readSite(QStringLiteral("latin.html")),
              QByteArray("caf\xe9 new\r<p>new\n\xe0 la new\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("utf8.html")),
              QByteArray("\xef\xbb\xbf"
                         "caf\xc3\xa9 \xe2\x82\xac \xe2\x82\xac\n"));
    EXPECT_EQ(view.results.value(0), "Left unchanged: " + site(QStringLiteral("latin.html")) +
                                         " (its Latin-1 text cannot hold the replacement)");
    // A Latin-1 letter is fine in a Latin-1 file: one byte.
    r.replacement = QString(QChar(0xe8));
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readSite(QStringLiteral("latin.html")),
              QByteArray("caf\xe9 \xe8\r<p>\xe8\n\xe0 la \xe8\r\n"));
}

TEST_F(BigReplace, AFileListedTwiceOrByAnotherNameIsReplacedInOnce) {
    writeSite(QStringLiteral("cat.html"), "cat\r\n");
    ASSERT_TRUE(QFile::link(site(QStringLiteral("cat.html")), site(QStringLiteral("kitty.html"))));
    ExtendedReplace r = make();
    r.projectMode = false;
    EXPECT_TRUE(r.addFile(site(QStringLiteral("cat.html"))));
    EXPECT_FALSE(r.addFile(site(QStringLiteral("cat.html"))));
    EXPECT_FALSE(r.addFile(site(QStringLiteral("kitty.html"))));
    EXPECT_EQ(r.files.size(), 1);
    // Listed twice all the same (a project's list, or a list typed in).
    r.files = {site(QStringLiteral("cat.html")), site(QStringLiteral("kitty.html")),
               site(QStringLiteral("cat.html"))};
    r.text = QStringLiteral("cat");
    r.replacement = QStringLiteral("cats");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readSite(QStringLiteral("cat.html")), QByteArray("cats\r\n"));
    EXPECT_EQ(view.events, (QStringList{"start 1", "file 0", "end"}));
}

TEST_F(BigReplace, SameNamedFilesEachGetABackupAndAFailedBackupKeepsTheFile) {
    writeSite(QStringLiteral("d1/index.htm"), "old one\r\n");
    writeSite(QStringLiteral("d2/index.htm"), "old two\r\n");
    writeSite(QStringLiteral("d2/other.htm"), "old three\r\n");
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("d1/index.htm")), site(QStringLiteral("d2/index.htm")),
               site(QStringLiteral("d2/other.htm"))};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    r.backup = true;
    r.backupDir = QStringLiteral("first");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    // Files of the same name are kept below their folders; a name of its own stays plain.
    EXPECT_EQ(dir.read(QStringLiteral("backup/first/d1/index.htm")), QByteArray("old one\r\n"));
    EXPECT_FALSE(dir.exists(QStringLiteral("backup/first/index.htm")));
    EXPECT_EQ(dir.read(QStringLiteral("backup/first/d2/index.htm")), QByteArray("old two\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/first/other.htm")), QByteArray("old three\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("d1/index.htm")), QByteArray("new one\r\n"));
    EXPECT_EQ(readSite(QStringLiteral("d2/index.htm")), QByteArray("new two\r\n"));

    // A file whose copy cannot be made is not rewritten, and one message at the end says so.
    if (::geteuid() != 0) {
        writeSite(QStringLiteral("secret.htm"), "new secret\r\n");
        ASSERT_EQ(::chmod(QFile::encodeName(site(QStringLiteral("secret.htm"))).constData(), 0200),
                  0);
        r.files << site(QStringLiteral("secret.htm"));
        r.backupDir = QStringLiteral("second");
        r.text = QStringLiteral("new");
        r.replacement = QStringLiteral("newer");
        prompter.queue(MessageAnswer::Yes);
        prompter.queue(MessageAnswer::Ok);
        EXPECT_TRUE(r.run(view));
        ::chmod(QFile::encodeName(site(QStringLiteral("secret.htm"))).constData(), 0644);
        EXPECT_EQ(readSite(QStringLiteral("secret.htm")), QByteArray("new secret\r\n"));
        EXPECT_EQ(readSite(QStringLiteral("d1/index.htm")), QByteArray("newer one\r\n"));
        EXPECT_EQ(prompter.texts().last(),
                  ExtendedReplace::notBackedUpText(
                      site(QStringLiteral("secret.htm")) + " (Cannot open file " +
                      site(QStringLiteral("secret.htm")) + ": Permission denied)"));
        EXPECT_EQ(view.results.last(),
                  "Not backed up, left unchanged: " + site(QStringLiteral("secret.htm")) +
                      " (Permission denied)");
    }
}

TEST_F(BigReplace, Latin1FileNamesAreReplacedInAndBackedUpByTheirBytes) {
    const QByteArray folder = QFile::encodeName(dir.file(QStringLiteral("site/")));
    ASSERT_TRUE(writeNative(folder + "caf\xe9.html", "old\r\n"));
    // The name as the program shows it: each byte a Latin-1 letter.
    const QString shown = site(QString::fromLatin1("caf\xe9.html"));
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {shown};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    r.backup = true;
    r.backupDir = QStringLiteral("names");
    prompter.queue(MessageAnswer::Yes);
    EXPECT_TRUE(r.run(view));
    EXPECT_EQ(readNative(folder + "caf\xe9.html"), QByteArray("new\r\n"));
    EXPECT_EQ(
        readNative(QFile::encodeName(dir.file(QStringLiteral("backup/names/"))) + "caf\xe9.html"),
        QByteArray("old\r\n"));
    // Nothing was written under the UTF-8 spelling of the name.
    EXPECT_EQ(listFolder(dir.file(QStringLiteral("site"))).entries.size(), 1u);
}

TEST_F(BigReplace, PreviewShowsTheFirstMatchesAndWritesNothing) {
    writeSite(QStringLiteral("a.html"), "one\r\n<b>Old</b> and old\r\nthree\r\n");
    writeSite(QStringLiteral("b.html"), "old\nold\nold\n");
    const qint64 before = modified(site(QStringLiteral("a.html")));
    ExtendedReplace r = make();
    r.projectMode = false;
    r.files = {site(QStringLiteral("a.html")), site(QStringLiteral("b.html"))};
    r.text = QStringLiteral("old");
    r.replacement = QStringLiteral("new");
    EXPECT_TRUE(r.preview(view, 4));
    EXPECT_EQ(view.results,
              (QStringList{site("a.html") + " (line 2): <b>Old</b> and old",
                           site("a.html") + " (line 2): <b>Old</b> and old",
                           site("b.html") + " (line 1): old", site("b.html") + " (line 2): old"}));
    EXPECT_EQ(view.report,
              QStringLiteral("Preview: the first 4 matches, in 2 files; nothing written"));
    EXPECT_EQ(modified(site(QStringLiteral("a.html"))), before);
    EXPECT_EQ(readSite(QStringLiteral("b.html")), QByteArray("old\nold\nold\n"));
    EXPECT_TRUE(prompter.shown().empty()); // no question: nothing is written
    r.matchCase = true;
    EXPECT_TRUE(r.preview(view));
    EXPECT_EQ(view.results.size(), 4);
    EXPECT_EQ(view.report, QStringLiteral("Preview: 4 matches in 2 files; nothing written"));
}

TEST_F(BigReplace, AddFolderTakesTheHtmlFilesOfItsSubFoldersOnce) {
    writeSite(QStringLiteral("web/b.html"), "x");
    writeSite(QStringLiteral("web/A.HTM"), "x");
    writeSite(QStringLiteral("web/notes.txt"), "x");
    writeSite(QStringLiteral("web/sub/c.shtml"), "x");
    writeSite(QStringLiteral("web/sub/deeper/d.asp"), "x");
    ASSERT_TRUE(
        writeNative(QFile::encodeName(site(QStringLiteral("web/sub/"))) + "\xe9t\xe9.htm", "x"));
    // A link back up the tree is not followed round.
    ASSERT_TRUE(QFile::link(site(QStringLiteral("web")), site(QStringLiteral("web/sub/loop"))));
    ExtendedReplace r = make();
    r.files = {site(QStringLiteral("web/b.html"))};
    EXPECT_EQ(r.addFolder(site(QStringLiteral("web"))), 4);
    EXPECT_EQ(r.files, (QStringList{site("web/b.html"), site("web/A.HTM"), site("web/sub/c.shtml"),
                                    site("web/sub/") + QString::fromLatin1("\xe9t\xe9.htm"),
                                    site("web/sub/deeper/d.asp")}));
    EXPECT_EQ(r.addFolder(site(QStringLiteral("web/"))), 0);
}

} // namespace
