// File names with Latin-1 bytes: listed, read, written and copied by the bytes the disk holds.
#include "platform/CopyFile.h"
#include "platform/NativeNames.h"
#include "platform/TextFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeNative(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0640);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
    ::close(fd);
    return ok;
}

QByteArray readNative(const QByteArray& path) {
    QFile f;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "<missing>";
    return f.readAll();
}

TEST(NativeNames, NamesDecodeAsUtf8OrElseLatin1) {
    EXPECT_EQ(nameFromNative("caf\xc3\xa9.htm"), QString::fromUtf8("caf\xc3\xa9.htm"));
    EXPECT_EQ(nameFromNative("caf\xe9.htm"), QString::fromLatin1("caf\xe9.htm"));
    EXPECT_EQ(nameFromNative("plain.html"), QStringLiteral("plain.html"));
}

TEST(NativeNames, PathsFindTheBytesOnDiskComponentByComponent) {
    TempDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir((root + "d\xe9j\xe0").constData(), 0755), 0);
    ASSERT_TRUE(writeNative(root + "d\xe9j\xe0/na\xefve.html", "latin"));
    ASSERT_TRUE(writeNative(root + "caf\xc3\xa9.htm", "utf8"));

    const QString latinPath = dir.path() + QString::fromLatin1("d\xe9j\xe0/na\xefve.html");
    EXPECT_EQ(nativePath(latinPath), root + "d\xe9j\xe0/na\xefve.html");
    EXPECT_EQ(nativePath(dir.path() + QString::fromUtf8("caf\xc3\xa9.htm")),
              root + "caf\xc3\xa9.htm");
    // A name that does not exist yet is spelt as UTF-8, also below a Latin-1 folder.
    EXPECT_EQ(nativePath(dir.path() + QString::fromLatin1("d\xe9j\xe0/n\xe9w.html")),
              root + "d\xe9j\xe0/n\xc3\xa9w.html");
    EXPECT_EQ(nativePath(QStringLiteral("relative/plain.txt")), QByteArray("relative/plain.txt"));
}

TEST(NativeNames, AFolderListsEveryNameWithItsKind) {
    TempDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    ASSERT_TRUE(writeNative(root + "caf\xe9.htm", "x"));
    ASSERT_TRUE(writeNative(root + "plain.html", "y"));
    ASSERT_EQ(::mkdir((root + "sub").constData(), 0755), 0);
    ASSERT_EQ(::symlink("nowhere", (root + "broken").constData()), 0);

    FolderListing listing = listFolder(dir.path());
    ASSERT_TRUE(listing.ok) << listing.error.toStdString();
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.native < b.native; });
    ASSERT_EQ(listing.entries.size(), 4u);
    EXPECT_EQ(listing.entries[0].native, QByteArray("broken"));
    EXPECT_EQ(listing.entries[0].kind, FolderEntry::Kind::Other);
    EXPECT_EQ(listing.entries[1].name, QString::fromLatin1("caf\xe9.htm"));
    EXPECT_EQ(listing.entries[1].native, QByteArray("caf\xe9.htm"));
    EXPECT_EQ(listing.entries[1].kind, FolderEntry::Kind::File);
    EXPECT_EQ(listing.entries[2].kind, FolderEntry::Kind::File);
    EXPECT_EQ(listing.entries[3].name, QStringLiteral("sub"));
    EXPECT_EQ(listing.entries[3].kind, FolderEntry::Kind::Folder);

    const FolderListing missing = listFolder(dir.path() + QStringLiteral("none"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, QStringLiteral("No such file or directory"));
}

TEST(NativeNames, ALatin1NamedFileIsReadWrittenInPlaceAndCopied) {
    TempDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray native = root + "na\xefve.html";
    ASSERT_TRUE(writeNative(native, "caf\xe9\r\n"));
    const QString path = dir.path() + QString::fromLatin1("na\xefve.html");

    const TextReadResult read = readTextFile(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(read.text, QString::fromLatin1("caf\xe9\r\n"));
    EXPECT_EQ(regularFileSize(path), 6);

    const TextWriteResult written = writeTextFile(path, read.text + u'!', read.encoding);
    ASSERT_TRUE(written.ok) << written.error.toStdString();
    EXPECT_EQ(readNative(native), QByteArray("caf\xe9\r\n!"));
    struct stat st {};
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the old file's permissions are kept
    // Written in place: no second file beside it under the UTF-8 spelling.
    EXPECT_EQ(listFolder(dir.path()).entries.size(), 1u);

    ASSERT_EQ(::mkdir((root + "copy").constData(), 0755), 0);
    const FileCopyResult copied = copyFileTo(path, dir.path() + QStringLiteral("copy/"));
    ASSERT_TRUE(copied.ok) << copied.reason.toStdString();
    EXPECT_EQ(readNative(nativePath(copied.destination)), QByteArray("caf\xe9\r\n!"));
}

TEST(NativeNames, AFailedLatin1WriteKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir((root + "ro").constData(), 0755), 0);
    ASSERT_TRUE(writeNative(root + "ro/\xe9t\xe9.html", "old"));
    ASSERT_EQ(::chmod((root + "ro").constData(), 0555), 0);
    const TextWriteResult written = writeFileAtomically(
        dir.path() + QString::fromLatin1("ro/\xe9t\xe9.html"), "new");
    ::chmod((root + "ro").constData(), 0755);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.error, QStringLiteral("Permission denied"));
    EXPECT_EQ(readNative(root + "ro/\xe9t\xe9.html"), QByteArray("old"));
}

} // namespace

#include "platform/BackupCopies.h"

namespace {

TEST(BackupCopies, OwnNamesUnlessSharedThenThePathBelowTheCommonFolder) {
    struct Case {
        QStringList files;
        QStringList reserved;
        QStringList names;
    };
    const Case cases[] = {
        // All in one folder, or in several with names of their own: the names as they are.
        {{"/s/a.html", "/s/b.html"}, {}, {"a.html", "b.html"}},
        {{"/s/a.html", "/s/x/b.html", "/t/c.html"}, {}, {"a.html", "b.html", "c.html"}},
        // Files of one name each keep their folders below the common one.
        {{"/s/a/index.html", "/s/b/index.html", "/s/c/index.html", "/s/c/d.html"},
         {},
         {"a/index.html", "b/index.html", "c/index.html", "d.html"}},
        {{"/s/x/index.html", "/s/index.html"}, {}, {"x/index.html", "index.html"}},
        {{"/s/x/index.html", "/s/x/y/index.html"}, {}, {"index.html", "y/index.html"}},
        // The same file listed twice is copied once.
        {{"/s/a.html", "/s/a.html"}, {}, {"a.html"}},
        // Names the project's own files take; a folder where a file of that name is.
        {{"/s/site.out", "/s/p/site.out"}, {"site.out"}, {"site_2.out", "p/site.out"}},
        {{"/s/b", "/s/a.html", "/s/b/a.html"}, {}, {"b", "a.html", "a_2.html"}},
        {{"/s/a.html", "/s/b/a.html", "/t/b"}, {}, {"s/a.html", "s/b/a.html", "b"}},
    };
    for (const Case& c : cases) {
        QStringList names;
        for (const BackupCopy& copy : planBackupCopies(c.files, c.reserved))
            names << copy.name;
        EXPECT_EQ(names, c.names) << c.files.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(BackupCopies, CopiesMakeTheirFoldersAndKeepLatin1Names) {
    TempDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir((root + "s").constData(), 0755), 0);
    ASSERT_EQ(::mkdir((root + "s/d\xe9j\xe0").constData(), 0755), 0);
    ASSERT_TRUE(writeNative(root + "s/caf\xe9.html", "one"));
    ASSERT_TRUE(writeNative(root + "s/d\xe9j\xe0/caf\xe9.html", "two"));
    ASSERT_EQ(::mkdir((root + "to").constData(), 0755), 0);
    const QString s = dir.path() + QStringLiteral("s/");
    const std::vector<BackupCopy> plan =
        planBackupCopies({s + QString::fromLatin1("caf\xe9.html"),
                          s + QString::fromLatin1("d\xe9j\xe0/caf\xe9.html")});
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[1].name, QString::fromLatin1("d\xe9j\xe0/caf\xe9.html"));
    for (const BackupCopy& copy : plan)
        EXPECT_TRUE(copyBackup(copy, dir.path() + QStringLiteral("to")).ok);
    EXPECT_EQ(readNative(root + "to/caf\xe9.html"), QByteArray("one"));
    EXPECT_EQ(readNative(root + "to/d\xe9j\xe0/caf\xe9.html"), QByteArray("two"));
    const FileCopyResult missing = copyBackup({s + QStringLiteral("gone.html"), "gone.html"},
                                              dir.path() + QStringLiteral("to"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(backupFailureLine(QStringLiteral("gone"), missing),
              "gone (Cannot open file " + s + "gone.html: No such file or directory)");
    // A folder of the path that cannot be made: a file is where it would go.
    ASSERT_TRUE(writeNative(root + "to/s", ""));
    const FileCopyResult blocked =
        copyBackup({s + QStringLiteral("caf\u00e9.html"), "s/caf\u00e9.html"},
                   dir.path() + QStringLiteral("to"));
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(blocked.error,
              "Cannot create file " + dir.path() + QString::fromUtf8("to/s/caf\u00e9.html"));
    EXPECT_EQ(blocked.reason, QStringLiteral("Not a directory"));
    EXPECT_EQ(backupFailureLines({"a", "b", "c"}, 2), QStringLiteral("a\nb\n... and 1 more."));
    EXPECT_EQ(backupFailureLines({"a", "b"}, 2), QStringLiteral("a\nb"));
}

} // namespace
