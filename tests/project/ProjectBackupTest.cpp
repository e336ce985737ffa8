// Project backup over real files: the proposed folder, the copies byte for byte, a missing page,
// a destination that is not there, and CopyFileTo itself.
#include "project/ProjectBackup.h"
#include "platform/CopyFile.h"
#include "platform/UiPump.h"
#include "support/RecordingPassView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class Backup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("backup"));
        ASSERT_TRUE(dir.write(QStringLiteral("site/index.html"), page1));
        ASSERT_TRUE(dir.write(QStringLiteral("site/about.htm"), page2));
        ASSERT_TRUE(dir.write(QStringLiteral("projects/Acme.out"), "Home\r\n\tAbout\r\n"));
        links = dir.file(QStringLiteral("site/index.html")) + QStringLiteral("\r\n") +
                dir.file(QStringLiteral("site/about.htm")) + QStringLiteral("\r\n");
        ASSERT_TRUE(dir.write(QStringLiteral("projects/Acme.fil"), links.toUtf8()));
        ASSERT_TRUE(dir.write(QStringLiteral("projects/other.OUT"), "X\r\n"));
    }
    ProjectBackup make() {
        return ProjectBackup(dir.path(), prompter, pump, [] { return QDate(1998, 12, 25); });
    }

    TempDir dir;
    ScriptedPrompter prompter;
    CallbackPump pump{{}};
    RecordingPassView view;
    const QByteArray page1{"<html>\r\n\xe9\x00\xff</html>\n", 19};
    const QByteArray page2{"about\r\n"};
    QString links;
};

TEST(BackupNames, SubFolderIsProjectAndDateWithoutLeadingZeros) {
    EXPECT_EQ(ProjectBackup::subFolderName(QStringLiteral("ACME.OUT"), QDate(1998, 12, 25)),
              QStringLiteral("acme_12_25_1998"));
    EXPECT_EQ(ProjectBackup::subFolderName(QStringLiteral("site.out"), QDate(2001, 3, 5)),
              QStringLiteral("site_3_5_2001"));
}

TEST_F(Backup, OpenProjectIsChosenAndEverythingIsCopiedByteForByte) {
    ProjectBackup b = make();
    ASSERT_EQ(b.projects().size(), 2);
    EXPECT_EQ(b.projects()[0].shown, QStringLiteral("ACME.OUT"));
    EXPECT_EQ(b.projects()[1].shown, QStringLiteral("OTHER.OUT"));
    EXPECT_FALSE(b.backupEnabled());
    b.open(QStringLiteral("acme.out"), b.backupFolder());
    EXPECT_TRUE(b.backupEnabled());
    EXPECT_EQ(b.project(), QStringLiteral("ACME.OUT"));
    EXPECT_EQ(b.files().size(), 2);
    EXPECT_EQ(b.newSub, QStringLiteral("acme_12_25_1998"));
    EXPECT_EQ(b.backupPath, dir.file(QStringLiteral("backup/")));

    b.createSubFolder();
    EXPECT_EQ(b.backupPath, dir.file(QStringLiteral("backup/acme_12_25_1998")));
    EXPECT_TRUE(b.newSub.isEmpty());
    EXPECT_TRUE(QFileInfo(b.backupPath).isDir());
    // An old copy of the same name is replaced.
    ASSERT_TRUE(dir.write(QStringLiteral("backup/acme_12_25_1998/about.htm"), "stale"));
    const struct timespec times[2] = {{0, UTIME_NOW}, {1000000000, 0}};
    ::utimensat(AT_FDCWD,
                QFile::encodeName(dir.file(QStringLiteral("site/index.html"))).constData(), times,
                0);

    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(b.backupRun(view));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Backup finished.")});
    EXPECT_EQ(b.backupPath, dir.file(QStringLiteral("backup/acme_12_25_1998/")));
    const QString to = QStringLiteral("backup/acme_12_25_1998/");
    EXPECT_EQ(dir.read(to + QStringLiteral("index.html")), page1);
    EXPECT_EQ(dir.read(to + QStringLiteral("about.htm")), page2);
    EXPECT_EQ(dir.read(to + QStringLiteral("Acme.fil")), links.toUtf8());
    EXPECT_EQ(dir.read(to + QStringLiteral("Acme.out")), QByteArray("Home\r\n\tAbout\r\n"));
    EXPECT_EQ(
        QFileInfo(dir.file(to + QStringLiteral("index.html"))).lastModified().toSecsSinceEpoch(),
        1000000000);
    EXPECT_EQ(view.events,
              (QStringList{"Status:", "start 1", "file 0", "Status: Copying index.html", "file 1",
                           "Status: Copying about.htm", "end", "Status: Backup complete"}));
}

TEST_F(Backup, MissingPageIsReportedAndTheRestIsCopied) {
    links = dir.file(QStringLiteral("site/gone.html")) + QStringLiteral("\r\n") + links;
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Acme.fil"), links.toUtf8()));
    ProjectBackup b = make();
    b.open(QString(), b.backupFolder());
    EXPECT_FALSE(b.backupEnabled());
    b.chooseProject(QStringLiteral("ACME.OUT"));
    ASSERT_EQ(b.files().size(), 3);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(b.backupRun(view));
    const QString gone = dir.file(QStringLiteral("site/gone.html"));
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Backup finished. However, 1 file could not be backed "
                                         "up:\nError copying HTML file: ") +
                          gone + QStringLiteral(". Not backed up! (Cannot open file ") + gone +
                          QStringLiteral(": No such file or directory)")});
    EXPECT_EQ(dir.read(QStringLiteral("backup/index.html")), page1);
    EXPECT_EQ(dir.read(QStringLiteral("backup/Acme.out")), QByteArray("Home\r\n\tAbout\r\n"));
}

TEST_F(Backup, ADestinationThatIsNotThereIsReportedOnceWithTheReasons) {
    // Twelve pages into a folder that is not there: one report at the end, not one box a file.
    QString many;
    for (int i = 0; i < 12; ++i) {
        const QString name = QStringLiteral("site/p%1.html").arg(i);
        ASSERT_TRUE(dir.write(name, "x"));
        many += dir.file(name) + QStringLiteral("\r\n");
    }
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Acme.fil"), many.toUtf8()));
    ProjectBackup b = make();
    b.open(QStringLiteral("ACME.OUT"), b.backupFolder());
    b.editBackupPath(dir.file(QStringLiteral("nowhere")));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_TRUE(b.backupRun(view));
    EXPECT_EQ(b.backupPath, dir.file(QStringLiteral("nowhere/")));
    ASSERT_EQ(prompter.shown().size(), 1u);
    const QStringList lines = prompter.texts()[0].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("Backup finished. However, 14 files could not be backed "
                                       "up:"));
    const QString to = dir.file(QStringLiteral("nowhere/p0.html"));
    EXPECT_EQ(lines[1], QStringLiteral("Error copying HTML file: ") +
                            dir.file(QStringLiteral("site/p0.html")) +
                            QStringLiteral(". Not backed up! (Cannot create file ") + to +
                            QStringLiteral(": No such file or directory)"))
        << lines[1].toStdString();
    EXPECT_EQ(lines[11], QStringLiteral("... and 4 more."));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("nowhere"))));
}

TEST_F(Backup, FilesOfTheSameNameAreEachKeptBelowTheirFolders) {
    QString list;
    for (const char* folder : {"a", "b", "c"}) {
        const QString name = QStringLiteral("site/%1/index.html").arg(QLatin1String(folder));
        ASSERT_TRUE(dir.write(name, QByteArray("page ") + folder));
        list += dir.file(name) + QStringLiteral("\r\n");
    }
    // The same file twice, a file whose name only the project files could take, and one with a
    // name of its own.
    list += dir.file(QStringLiteral("site/a/index.html")) + QStringLiteral("\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("site/c/Acme.out"), "a page"));
    list += dir.file(QStringLiteral("site/c/Acme.out")) + QStringLiteral("\r\n");
    list += dir.file(QStringLiteral("site/about.htm")) + QStringLiteral("\r\n");
    ASSERT_TRUE(dir.write(QStringLiteral("projects/Acme.fil"), list.toUtf8()));
    ProjectBackup b = make();
    b.open(QStringLiteral("ACME.OUT"), b.backupFolder());
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(b.backupRun(view));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Backup finished.")});
    EXPECT_EQ(dir.read(QStringLiteral("backup/a/index.html")), QByteArray("page a"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/b/index.html")), QByteArray("page b"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/c/index.html")), QByteArray("page c"));
    EXPECT_FALSE(dir.exists(QStringLiteral("backup/index.html")));
    EXPECT_EQ(dir.read(QStringLiteral("backup/c/Acme.out")), QByteArray("a page"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/Acme.out")), QByteArray("Home\r\n\tAbout\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("backup/about.htm")),
              dir.read(QStringLiteral("site/about.htm")));
    EXPECT_EQ(view.events.count(QStringLiteral("Status: Copying index.html")), 3);
}

TEST_F(Backup, AProjectOpenedFromAnotherFolderIsBackedUpFromItsOwnFiles) {
    // Another project called Acme lies elsewhere; the open one is that, not the projects folder's.
    ASSERT_TRUE(dir.write(QStringLiteral("elsewhere/Acme.out"), "Other\r\n"));
    ASSERT_TRUE(dir.write(QStringLiteral("elsewhere/Acme.fil"),
                          (dir.file(QStringLiteral("site/about.htm")) + "\r\n").toUtf8()));
    const QString elsewhere = dir.file(QStringLiteral("elsewhere/Acme.out"));
    ProjectBackup b = make();
    b.open(QStringLiteral("Acme.out"), b.backupFolder(), elsewhere);
    ASSERT_EQ(b.projects().size(), 3);
    EXPECT_EQ(b.projects()[2].shown, elsewhere);
    EXPECT_EQ(b.project(), elsewhere);
    EXPECT_EQ(b.files(), QStringList({dir.file(QStringLiteral("site/about.htm"))}));
    EXPECT_EQ(b.newSub, QStringLiteral("acme_12_25_1998"));
    b.createSubFolder();
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(b.backupRun(view));
    EXPECT_EQ(dir.read(QStringLiteral("backup/acme_12_25_1998/Acme.out")), QByteArray("Other\r\n"));
    EXPECT_FALSE(dir.exists(QStringLiteral("backup/acme_12_25_1998/index.html")));

    // A project of the projects folder is chosen by its name, as before.
    ProjectBackup own = make();
    own.open(QStringLiteral("Acme.out"), own.backupFolder(),
             dir.file(QStringLiteral("projects/Acme.out")));
    EXPECT_EQ(own.projects().size(), 2);
    EXPECT_EQ(own.project(), QStringLiteral("ACME.OUT"));
}

TEST_F(Backup, TypedNameAndEmptyProjectAreRefused) {
    ProjectBackup b = make();
    prompter.queue(MessageAnswer::Ok, 2);
    b.chooseProject(QStringLiteral("ACM"));
    EXPECT_TRUE(b.backupEnabled());
    EXPECT_TRUE(b.files().isEmpty());
    EXPECT_FALSE(b.backupRun(view));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("You cannot type in a project name. You must select it "
                                          "from the list."),
                           QStringLiteral("You have not selected a valid project. Please choose "
                                          "from the list.")}));
    EXPECT_TRUE(view.events.isEmpty());
}

TEST(CopyFileTo, IntoAFolderOrToAFullNameAndItsFailures) {
    TempDir dir;
    QByteArray big(200 * 1024 + 7, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + 7);
    ASSERT_TRUE(dir.write(QStringLiteral("src/big.bin"), big));
    QDir(dir.path()).mkpath(QStringLiteral("to"));

    FileCopyResult r =
        copyFileTo(dir.file(QStringLiteral("src/big.bin")), dir.file(QStringLiteral("to")));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.destination, dir.file(QStringLiteral("to/big.bin")));
    EXPECT_EQ(dir.read(QStringLiteral("to/big.bin")), big);
    r = copyFileTo(dir.file(QStringLiteral("src/big.bin")), dir.file(QStringLiteral("to/copy")));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(dir.read(QStringLiteral("to/copy")), big);

    r = copyFileTo(dir.file(QStringLiteral("src/none")), dir.file(QStringLiteral("to")));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("Cannot open file ") + dir.file(QStringLiteral("src/none")));
    r = copyFileTo(dir.file(QStringLiteral("src/big.bin")), dir.file(QStringLiteral("no/such")));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("Cannot create file ") + dir.file(QStringLiteral("no/such")));
    // A pipe is never opened: reading it would wait for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file(QStringLiteral("src/pipe"))).constData(), 0644),
              0);
    r = copyFileTo(dir.file(QStringLiteral("src/pipe")), dir.file(QStringLiteral("to")));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("to/pipe"))));
}

} // namespace
