// Text files: encodings kept byte for byte, CR LF line ends, and writes that fail safely.
#include "platform/TextFile.h"
#include "platform/PieceWrite.h"

#include "support/FifoWatch.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace {

template <size_t N> QByteArray raw(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

TEST(TextFileEncoding, ValidUtf8IsUtf8AndAnythingElseIsLatin1) {
    struct Case {
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
    };
    const Case cases[] = {
        {raw("plain"), TextEncoding::Utf8, QStringLiteral("plain")},
        {raw("caf\xc3\xa9 \xf0\x9f\x98\x80"), TextEncoding::Utf8,
         QString::fromUtf8("caf\xc3\xa9 \xf0\x9f\x98\x80")},
        {raw("\xef\xbb\xbfx"), TextEncoding::Utf8, QString(QChar(0xFEFF)) + u'x'},
        {raw("a\x00"
             "b"),
         TextEncoding::Utf8, QString::fromUtf8("a\0b", 3)},
        {raw("caf\xe9"), TextEncoding::Latin1, QString::fromLatin1("caf\xe9")},
        {raw("cut \xc3"), TextEncoding::Latin1, QString::fromLatin1("cut \xc3")},
        {raw("\xc0\xaf"), TextEncoding::Latin1, QString::fromLatin1("\xc0\xaf")},
        {raw("\xed\xa0\x80"), TextEncoding::Latin1, QString::fromLatin1("\xed\xa0\x80")},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes.toHex().constData();
        const EncodedText encoded = encodeText(c.text, c.encoding);
        EXPECT_EQ(encoded.bytes, c.bytes) << c.bytes.toHex().constData();
        EXPECT_EQ(encoded.encoding, c.encoding) << c.bytes.toHex().constData();
    }
}

TEST(TextFileEncoding, LineEndsBecomeCrLf) {
    EXPECT_EQ(toCrLf(QStringLiteral("a\nb\r\nc\rd\n\re\r\r\n")),
              QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n"));
    EXPECT_EQ(toCrLf(QString()), QString());
}

TEST(TextFileEncoding, TextOutsideLatin1IsWrittenAsUtf8) {
    const EncodedText encoded =
        encodeText(QString::fromUtf8("\xc3\xa9\xe2\x82\xac"), TextEncoding::Latin1);
    EXPECT_EQ(encoded.bytes, raw("\xc3\xa9\xe2\x82\xac"));
    EXPECT_EQ(encoded.encoding, TextEncoding::Utf8);
}

class TextFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(TextFileTest, Latin1AndUtf8FilesComeBackByteForByte) {
    const QByteArray files[] = {
        raw("<p>caf\xe9 \xa0\xff</p>\r\n<br>\r\n"),
        raw("\xef\xbb\xbf<p>caf\xc3\xa9 \xf0\x9f\x98\x80</p>\r\n\r\nlast"),
    };
    for (const QByteArray& bytes : files) {
        ASSERT_TRUE(dir.write(QStringLiteral("page.html"), bytes));
        const TextReadResult read = readTextFile(dir.file(QStringLiteral("page.html")));
        ASSERT_TRUE(read.ok) << read.error.toStdString();
        EXPECT_TRUE(read.error.isEmpty());
        const TextWriteResult written =
            writeTextFile(dir.file(QStringLiteral("copy.html")), read.text, read.encoding);
        ASSERT_TRUE(written.ok) << written.error.toStdString();
        EXPECT_EQ(written.encoding, read.encoding);
        EXPECT_EQ(dir.read(QStringLiteral("copy.html")), bytes);
    }
}

TEST_F(TextFileTest, ABigWriteTellsItsPiecesAndAStopKeepsTheOldFile) {
    QByteArray big(5 * (1 << 19), 'x'); // two and a half pieces
    big[0] = '\xe9';
    const QString name = QStringLiteral("big.html");
    ASSERT_TRUE(dir.write(name, "old bytes"));
    QList<qint64> told;
    PieceWriteResult r = writeFileInPieces(dir.file(name), big, [&](qint64 done, qint64 all) {
        EXPECT_EQ(all, big.size());
        told << done;
        return told.size() < 2;
    });
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.result.ok);
    EXPECT_EQ(told, (QList<qint64>{1 << 20, 2 << 20}));
    EXPECT_EQ(dir.read(name), "old bytes");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});

    told.clear();
    r = writeFileInPieces(dir.file(name), big, [&](qint64 done, qint64) {
        told << done;
        return true;
    });
    EXPECT_TRUE(r.result.ok);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(told, (QList<qint64>{1 << 20, 2 << 20, big.size()}));
    EXPECT_EQ(dir.read(name), big);
}

TEST_F(TextFileTest, MixedLineEndsAreReadAndWrittenAsCrLf) {
    ASSERT_TRUE(dir.write(QStringLiteral("mixed.txt"), raw("one\ntwo\r\nthree\rfour\n")));
    const TextReadResult read = readTextFile(dir.file(QStringLiteral("mixed.txt")));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.text, QStringLiteral("one\r\ntwo\r\nthree\r\nfour\r\n"));
    EXPECT_EQ(read.encoding, TextEncoding::Utf8);

    ASSERT_TRUE(writeTextFile(dir.file(QStringLiteral("out.txt")), QStringLiteral("a\nb\n"),
                              TextEncoding::Latin1)
                    .ok);
    EXPECT_EQ(dir.read(QStringLiteral("out.txt")), raw("a\r\nb\r\n"));
}

TEST_F(TextFileTest, Latin1DocumentWithANewCharacterIsWrittenAsUtf8) {
    ASSERT_TRUE(dir.write(QStringLiteral("page.html"), raw("caf\xe9\r\n")));
    TextReadResult read = readTextFile(dir.file(QStringLiteral("page.html")));
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(read.encoding, TextEncoding::Latin1);
    read.text += QString::fromUtf8("\xe2\x82\xac");
    const TextWriteResult written =
        writeTextFile(dir.file(QStringLiteral("page.html")), read.text, read.encoding);
    ASSERT_TRUE(written.ok);
    EXPECT_EQ(written.encoding, TextEncoding::Utf8);
    EXPECT_EQ(dir.read(QStringLiteral("page.html")), raw("caf\xc3\xa9\r\n\xe2\x82\xac"));
}

TEST_F(TextFileTest, UnreadableFilesReportTheReason) {
    const TextReadResult missing = readTextFile(dir.file(QStringLiteral("nothing.html")));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, QStringLiteral("No such file or directory"));
    EXPECT_TRUE(missing.text.isEmpty());

    const TextReadResult folder = readTextFile(dir.path());
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(folder.error, QStringLiteral("Is a directory"));
}

TEST_F(TextFileTest, OnlyRegularFilesAreOpened) {
    const FifoWatch fifo(dir.file(QStringLiteral("pipe.html")));
    ASSERT_TRUE(fifo.made());
    const TextReadResult pipe = readTextFile(fifo.path());
    EXPECT_FALSE(pipe.ok);
    EXPECT_EQ(pipe.error, QStringLiteral("pipe.html is not a regular file"));
    EXPECT_FALSE(fifo.opened());

    const TextReadResult device = readTextFile(QStringLiteral("/dev/null"));
    EXPECT_FALSE(device.ok);
    EXPECT_EQ(device.error, QStringLiteral("null is not a regular file"));

    const QByteArray socketPath = QFile::encodeName(dir.file(QStringLiteral("sock")));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof address.sun_path);
    memcpy(address.sun_path, socketPath.constData(), static_cast<size_t>(socketPath.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(readFileBytes(dir.file(QStringLiteral("sock"))).error,
              QStringLiteral("sock is not a regular file"));
    ::close(fd);

    // A link to a regular file is read; a link to the pipe is not.
    ASSERT_TRUE(dir.write(QStringLiteral("real.html"), raw("<p>")));
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("real.html")), dir.file(QStringLiteral("l1"))));
    ASSERT_TRUE(QFile::link(fifo.path(), dir.file(QStringLiteral("l2"))));
    EXPECT_EQ(readTextFile(dir.file(QStringLiteral("l1"))).text, QStringLiteral("<p>"));
    EXPECT_EQ(readTextFile(dir.file(QStringLiteral("l2"))).error,
              QStringLiteral("l2 is not a regular file"));
    EXPECT_FALSE(fifo.opened());
}

TEST_F(TextFileTest, AnOpenFolderReadsAndSizesItsFilesByNameWithTheSameRefusals) {
    ASSERT_TRUE(dir.write(QStringLiteral("site/page.html"), raw("<p>caf\xe9")));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("site/sub"))));
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("site/page.html")),
                            dir.file(QStringLiteral("site/link.html"))));
    const FifoWatch fifo(dir.file(QStringLiteral("site/pipe.html")));
    ASSERT_TRUE(fifo.made());
    const QString site = dir.file(QStringLiteral("site/"));
    const OpenFolder folder(site);
    ASSERT_TRUE(folder.isOpen());
    EXPECT_EQ(folder.path(), site);

    const FileBytesResult page = folder.readFile("page.html", site + QStringLiteral("page.html"));
    EXPECT_TRUE(page.ok);
    EXPECT_EQ(page.bytes, raw("<p>caf\xe9"));
    EXPECT_EQ(folder.readFile("link.html", site + QStringLiteral("link.html")).bytes,
              raw("<p>caf\xe9"));
    EXPECT_EQ(folder.readFile("sub", site + QStringLiteral("sub")).error,
              QStringLiteral("Is a directory"));
    EXPECT_EQ(folder.readFile("gone.html", site + QStringLiteral("gone.html")).error,
              QStringLiteral("No such file or directory"));
    const FileBytesResult pipe = folder.readFile("pipe.html", site + QStringLiteral("pipe.html"));
    EXPECT_FALSE(pipe.ok);
    EXPECT_EQ(pipe.error, QStringLiteral("pipe.html is not a regular file"));
    // No name: the path itself, a folder here.
    EXPECT_EQ(folder.readFile(QByteArray(), site).error, QStringLiteral("Is a directory"));

    EXPECT_EQ(folder.regularFileSize("page.html"), 7);
    EXPECT_EQ(folder.regularFileSize("link.html"), 7);
    EXPECT_EQ(folder.regularFileSize("sub"), -1);
    EXPECT_EQ(folder.regularFileSize("pipe.html"), -1);
    EXPECT_EQ(folder.regularFileSize("gone.html"), -1);
    EXPECT_EQ(folder.regularFileSize(QByteArray()), -1);
    EXPECT_EQ(regularFileSize(site + QStringLiteral("page.html")), 7);
    EXPECT_EQ(regularFileSize(site + QStringLiteral("pipe.html")), -1);
    EXPECT_EQ(regularFileSize(site), -1);
    EXPECT_FALSE(fifo.opened());

    // A folder that cannot be opened reads and sizes nothing, with the reason of the path.
    const OpenFolder missing(dir.file(QStringLiteral("nowhere/")));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.readFile("page.html", dir.file(QStringLiteral("nowhere/page.html"))).error,
              QStringLiteral("No such file or directory"));
    EXPECT_EQ(missing.regularFileSize("page.html"), -1);
    const OpenFolder notAFolder(site + QStringLiteral("page.html"));
    EXPECT_FALSE(notAFolder.isOpen());
}

TEST_F(TextFileTest, AFileLongerThanItsSizeSaysIsReadToItsEnd) {
    // The kernel's files give size 0 and have text: what a file growing between the look at its
    // size and the read comes to.
    QFile cmdline(QStringLiteral("/proc/self/cmdline"));
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    const QByteArray expected = cmdline.readAll();
    ASSERT_FALSE(expected.isEmpty());
    const OpenFolder proc(QStringLiteral("/proc/self/"));
    EXPECT_EQ(proc.readFile("cmdline", QStringLiteral("/proc/self/cmdline")).bytes, expected);
    EXPECT_EQ(readFileBytes(QStringLiteral("/proc/self/cmdline")).bytes, expected);
}

TEST(TextFileEncoding, TextIsToldFromBinary) {
    EXPECT_TRUE(looksLikeText(raw("[A]\r\nk=caf\xe9\t\x93x\x94\f\n")));
    EXPECT_TRUE(looksLikeText(raw("\xef\xbb\xbf\xe2\x82\xac")));
    EXPECT_TRUE(looksLikeText(QByteArray()));
    EXPECT_FALSE(looksLikeText(raw("k=1\x00")));
    EXPECT_FALSE(looksLikeText(raw("\x1b[0m")));
    EXPECT_FALSE(looksLikeText(raw("a\x7f")));
    EXPECT_FALSE(looksLikeText(raw("\x7f"
                                   "ELF\x02\x01")));
}

TEST_F(TextFileTest, FailedWritesReportTheReasonAndKeepTheOldFile) {
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("folder"))));
    ASSERT_TRUE(dir.write(QStringLiteral("folder/inside.txt"), raw("kept")));
    const TextWriteResult overFolder =
        writeTextFile(dir.file(QStringLiteral("folder")), QStringLiteral("x"), TextEncoding::Utf8);
    EXPECT_FALSE(overFolder.ok);
    EXPECT_EQ(overFolder.error, QStringLiteral("Filename refers to a directory"));
    EXPECT_EQ(dir.read(QStringLiteral("folder/inside.txt")), raw("kept"));

    // /proc takes no new files, whatever the rights of the user running the tests.
    const TextWriteResult proc = writeFileAtomically(QStringLiteral("/proc/quillon.txt"), "x");
    EXPECT_FALSE(proc.ok);
    EXPECT_FALSE(proc.error.isEmpty());
}

// A disk that fills up half-way through a save, played by a limit on the size of files this
// process may write: the system's reason is told for both kinds of name, and the old file stays.
TEST_F(TextFileTest, AWriteThatRunsOutOfRoomTellsTheSystemsReason) {
    const QByteArray old = raw("old page\r\n");
    const QString utf8Name = dir.file(QStringLiteral("page.html"));
    const QByteArray latin1Name("p\xe4ge.html");
    ASSERT_TRUE(dir.write(QStringLiteral("page.html"), old));
    ASSERT_TRUE(dir.writeNative(latin1Name, old));
    const QByteArray big(3 * WritePiece, 'x');

    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    // Past the limit a write fails with EFBIG instead of raising SIGXFSZ.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = WritePiece + 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const TextWriteResult utf8 = writeFileAtomically(utf8Name, big);
    const TextWriteResult latin1 =
        writeFileAtomically(dir.path() + QString::fromLatin1(latin1Name), big);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(utf8.ok);
    EXPECT_EQ(utf8.error, QStringLiteral("File too large"));
    EXPECT_FALSE(latin1.ok);
    EXPECT_EQ(latin1.error, QStringLiteral("File too large"));
    EXPECT_EQ(dir.read(QStringLiteral("page.html")), old);
    EXPECT_EQ(dir.readNative(latin1Name), old);
    // No temporary file is left beside them.
    int entries = 0;
    if (DIR* folder = ::opendir(QFile::encodeName(dir.path()).constData())) {
        while (const dirent* entry = ::readdir(folder))
            entries +=
                std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0;
        ::closedir(folder);
    }
    EXPECT_EQ(entries, 2);
}

TEST_F(TextFileTest, FailedWriteInAReadOnlyFolderKeepsTheOldFile) {

    ASSERT_TRUE(dir.write(QStringLiteral("locked/page.html"), raw("old\r\n")));
    const QString locked = dir.file(QStringLiteral("locked"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const TextWriteResult result = writeTextFile(dir.file(QStringLiteral("locked/page.html")),
                                                 QStringLiteral("new"), TextEncoding::Utf8);
    const bool privileged = result.ok; // root writes into any folder
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (privileged)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(result.error, QStringLiteral("Permission denied"));
    EXPECT_EQ(dir.read(QStringLiteral("locked/page.html")), raw("old\r\n"));
}

} // namespace
