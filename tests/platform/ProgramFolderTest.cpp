// Where the program keeps its files: the build folder as it is, an installed copy in the user's
// data folder seeded from the installed data without replacing anything the user has.
#include "platform/ProgramFolder.h"
#include "support/FifoWatch.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QByteArray raw(const char* s) {
    return QByteArray(s);
}

TEST(ProgramFolder, UserFolderFollowsXdgDataHomeOrFallsBackToHome) {
    EXPECT_EQ(userProgramFolder(QStringLiteral("/x/data"), QStringLiteral("/home/u")),
              QStringLiteral("/x/data/quillon/"));
    EXPECT_EQ(userProgramFolder(QStringLiteral("/x/data/"), QStringLiteral("/home/u")),
              QStringLiteral("/x/data/quillon/"));
    EXPECT_EQ(userProgramFolder(QString(), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/.local/share/quillon/"));
    // A relative XDG_DATA_HOME is not a data folder at all.
    EXPECT_EQ(userProgramFolder(QStringLiteral("data"), QStringLiteral("/home/u/")),
              QStringLiteral("/home/u/.local/share/quillon/"));
}

TEST(ProgramFolder, BuildFolderStaysTheProgramFolder) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("build/quillon/help/welcome.out"), raw("Help\r\n")));
    const ProgramFolder f =
        resolveProgramFolder(dir.file(QStringLiteral("build/quillon")),
                             dir.file(QStringLiteral("data")), dir.file(QStringLiteral("home")));
    EXPECT_EQ(f.directory, dir.file(QStringLiteral("build/quillon/")));
    EXPECT_TRUE(f.installData.isEmpty());
    EXPECT_TRUE(f.problem.isEmpty());
    EXPECT_FALSE(dir.exists(QStringLiteral("data/quillon")));
}

TEST(ProgramFolder, InstalledCopyMakesAndSeedsTheUserFolder) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("usr/bin/quillon"), raw("")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/help/welcome.out"), raw("Help\r\n")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/spell/american.dct"), raw("DCT")));
    // Installed read-only: the user's copy must still be theirs to change.
    ASSERT_TRUE(
        QFile::setPermissions(dir.file(QStringLiteral("usr/share/quillon/spell/american.dct")),
                              QFileDevice::ReadOwner | QFileDevice::ReadOther));

    const ProgramFolder f =
        resolveProgramFolder(dir.file(QStringLiteral("usr/bin/")), dir.file(QStringLiteral("data")),
                             dir.file(QStringLiteral("home")));
    EXPECT_EQ(f.directory, dir.file(QStringLiteral("data/quillon/")));
    EXPECT_EQ(f.installData, dir.file(QStringLiteral("usr/share/quillon/")));
    EXPECT_EQ(f.seeded, QStringList({QStringLiteral("help/welcome.out"),
                                     QStringLiteral("spell/american.dct")}));
    EXPECT_TRUE(f.problem.isEmpty()) << f.problem.toStdString();
    EXPECT_EQ(dir.read(QStringLiteral("data/quillon/help/welcome.out")), raw("Help\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("data/quillon/spell/american.dct")), raw("DCT"));
    EXPECT_TRUE(QFile(dir.file(QStringLiteral("data/quillon/spell/american.dct"))).permissions() &
                QFileDevice::WriteOwner);
    EXPECT_FALSE(dir.exists(QStringLiteral("usr/bin/OPTIONS.INI")));
}

TEST(ProgramFolder, SeedingNeverReplacesWhatTheUserHas) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("usr/bin/quillon"), raw("")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/help/welcome.fil"), raw("new\r\n")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/help/welcome.out"), raw("Help\r\n")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/spell/american.frq"), raw("FRQ")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/OPTIONS.INI"), raw("[Help]\r\n")));
    // The user's own: a changed file, a folder where a file would go, their settings.
    ASSERT_TRUE(
        dir.write(QStringLiteral("home/.local/share/quillon/help/welcome.fil"), raw("mine\r\n")));
    ASSERT_TRUE(
        QDir().mkpath(dir.file(QStringLiteral("home/.local/share/quillon/spell/american.frq"))));
    ASSERT_TRUE(dir.write(QStringLiteral("home/.local/share/quillon/OPTIONS.INI"),
                          raw("[Recent]\r\nFile1=/s/a.out\r\n")));

    const ProgramFolder f = resolveProgramFolder(dir.file(QStringLiteral("usr/bin")), QString(),
                                                 dir.file(QStringLiteral("home")));
    EXPECT_EQ(f.directory, dir.file(QStringLiteral("home/.local/share/quillon/")));
    EXPECT_EQ(f.seeded, QStringList{QStringLiteral("help/welcome.out")});
    EXPECT_EQ(dir.read(QStringLiteral("home/.local/share/quillon/help/welcome.fil")),
              raw("mine\r\n"));
    EXPECT_EQ(dir.read(QStringLiteral("home/.local/share/quillon/OPTIONS.INI")),
              raw("[Recent]\r\nFile1=/s/a.out\r\n"));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("home/.local/share/quillon/spell/american.frq")))
                    .isDir());

    // A second start copies nothing: everything is there.
    const ProgramFolder again = resolveProgramFolder(dir.file(QStringLiteral("usr/bin")), QString(),
                                                     dir.file(QStringLiteral("home")));
    EXPECT_TRUE(again.seeded.isEmpty());
}

TEST(ProgramFolder, SeedingSkipsPipesAndLinksInTheInstalledData) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("share/help/welcome.out"), raw("Help\r\n")));
    ASSERT_TRUE(dir.write(QStringLiteral("secret"), raw("not ours")));
    FifoWatch fifo(dir.file(QStringLiteral("share/help/pipe")));
    ASSERT_TRUE(fifo.made());
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("secret")),
                            dir.file(QStringLiteral("share/help/link"))));
    QStringList problems;
    const QStringList copied = seedProgramFolder(dir.file(QStringLiteral("share")),
                                                 dir.file(QStringLiteral("user")), problems);
    EXPECT_EQ(copied, QStringList{QStringLiteral("help/welcome.out")});
    EXPECT_TRUE(problems.isEmpty());
    EXPECT_FALSE(fifo.opened());
    EXPECT_FALSE(dir.exists(QStringLiteral("user/help/pipe")));
    EXPECT_FALSE(dir.exists(QStringLiteral("user/help/link")));
}

TEST(ProgramFolder, UserFolderThatCannotBeMadeIsSaidOnce) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("usr/bin/quillon"), raw("")));
    ASSERT_TRUE(dir.write(QStringLiteral("usr/share/quillon/help/welcome.out"), raw("Help\r\n")));
    // A file where the data folder should be: no one, not even root, makes a folder below it.
    ASSERT_TRUE(dir.write(QStringLiteral("data"), raw("")));
    const ProgramFolder f =
        resolveProgramFolder(dir.file(QStringLiteral("usr/bin")), dir.file(QStringLiteral("data")),
                             dir.file(QStringLiteral("home")));
    EXPECT_EQ(f.directory, dir.file(QStringLiteral("data/quillon/")));
    EXPECT_EQ(f.problem, QStringLiteral("The program folder \"%1\" cannot be created. Settings, "
                                        "projects and backups cannot be kept.")
                             .arg(dir.file(QStringLiteral("data/quillon/"))));
}

TEST(ProgramFolder, ReadOnlyBuildFolderMovesToTheUserFolder) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/quillon"), raw("")));
    const QString own = dir.file(QStringLiteral("opt/quillon"));
    ASSERT_TRUE(QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool privileged = ::access(QFile::encodeName(own).constData(), W_OK) == 0;
    const ProgramFolder f = resolveProgramFolder(own, dir.file(QStringLiteral("data")),
                                                 dir.file(QStringLiteral("home")));
    QFile::setPermissions(own,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (privileged)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(f.directory, dir.file(QStringLiteral("data/quillon/")));
    EXPECT_TRUE(f.seeded.isEmpty());
    EXPECT_TRUE(QFileInfo(f.directory).isDir());
}

TEST(ProgramFolder, AReadOnlyProgramFolderFillsTheUserFolderWithItsDataOnceAndSaysSo) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/quillon"), raw("ELF")));
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/help/welcome.out"), raw("Help\r\n")));
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/help/welcome.hxp"), raw("<h1>Hi</h1>")));
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/spell/american.dct"), raw("DCT")));
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/htmlext.dat"), raw("php\r\n")));
    ASSERT_TRUE(dir.write(QStringLiteral("opt/quillon/backup/SITE/12_25_98/a.html"), raw("a")));
    // The user already changed one of them in the user folder: it stays theirs.
    ASSERT_TRUE(dir.write(QStringLiteral("data/quillon/htmlext.dat"), raw("htm\r\n")));
    const QString own = dir.file(QStringLiteral("opt/quillon"));

    const ProgramFolder f =
        resolveProgramFolderFor(own, false, dir.file(QStringLiteral("data")),
                                dir.file(QStringLiteral("home")), QStringLiteral("quillon"));
    EXPECT_EQ(f.directory, dir.file(QStringLiteral("data/quillon/")));
    EXPECT_TRUE(f.installData.isEmpty());
    EXPECT_TRUE(f.problem.isEmpty());
    EXPECT_EQ(f.seeded,
              QStringList({QStringLiteral("help/welcome.hxp"), QStringLiteral("help/welcome.out"),
                           QStringLiteral("spell/american.dct")}));
    EXPECT_EQ(dir.read(QStringLiteral("data/quillon/help/welcome.hxp")), raw("<h1>Hi</h1>"));
    EXPECT_EQ(dir.read(QStringLiteral("data/quillon/htmlext.dat")), raw("htm\r\n"));
    EXPECT_FALSE(dir.exists(QStringLiteral("data/quillon/quillon")));
    EXPECT_FALSE(dir.exists(QStringLiteral("data/quillon/backup")));
    EXPECT_EQ(f.notice,
              QStringLiteral("The program folder \"%1\" cannot be written. Settings, projects and "
                             "backups are kept in \"%2\" instead, which now holds a copy of the "
                             "help pages, dictionaries and data files of the program folder.")
                  .arg(dir.file(QStringLiteral("opt/quillon/")),
                       dir.file(QStringLiteral("data/quillon/"))));

    // The next start finds everything there: nothing copied, nothing said.
    const ProgramFolder again =
        resolveProgramFolderFor(own, false, dir.file(QStringLiteral("data")),
                                dir.file(QStringLiteral("home")), QStringLiteral("quillon"));
    EXPECT_TRUE(again.seeded.isEmpty());
    EXPECT_TRUE(again.notice.isEmpty());

    // A writable one stays the program folder, as the build folder always has.
    EXPECT_EQ(resolveProgramFolderFor(own, true, dir.file(QStringLiteral("data")),
                                      dir.file(QStringLiteral("home")), QStringLiteral("quillon"))
                  .directory,
              dir.file(QStringLiteral("opt/quillon/")));
}

} // namespace
