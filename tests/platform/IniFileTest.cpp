// IniFile over real files: lookups, rewrites byte for byte, and files that make no sense.
#include "platform/IniFile.h"
#include "platform/IniText.h"

#include "support/FifoWatch.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    IniFile ini(const QByteArray& content) {
        EXPECT_TRUE(dir.write(QStringLiteral("options.ini"), content));
        return IniFile(dir.file(QStringLiteral("options.ini")));
    }
    QByteArray bytes() const { return dir.read(QStringLiteral("options.ini")); }

    TempDir dir;
};

TEST_F(IniFileTest, SectionsAndKeysIgnoreCaseAndBlanks) {
    const IniFile f = ini("[TAGS]\r\nColored = 1 \r\n  Path= /home/x y  \r\n");
    EXPECT_EQ(f.readString(QStringLiteral("tags"), QStringLiteral("COLORED"), QStringLiteral("d")),
              QStringLiteral("1"));
    EXPECT_EQ(f.readString(QStringLiteral(" Tags "), QStringLiteral(" path "), QStringLiteral("d")),
              QStringLiteral("/home/x y"));
    EXPECT_TRUE(f.sectionExists(QStringLiteral("tags")));
    EXPECT_EQ(f.readSection(QStringLiteral("Tags")),
              QStringList({QStringLiteral("Colored"), QStringLiteral("Path")}));

    EXPECT_TRUE(
        f.writeString(QStringLiteral("tags"), QStringLiteral("colored"), QStringLiteral("0")));
    // The key keeps its spelling; only the value changes.
    EXPECT_EQ(bytes(), QByteArray("[TAGS]\r\nColored =0\r\n  Path= /home/x y  \r\n"));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    const IniFile none(dir.file(QStringLiteral("missing.ini")));
    EXPECT_EQ(none.readString(QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(none.readInteger(QStringLiteral("A"), QStringLiteral("b"), 7), 7);
    EXPECT_TRUE(none.readBool(QStringLiteral("A"), QStringLiteral("b"), true));
    EXPECT_TRUE(none.sections().isEmpty());
    EXPECT_FALSE(none.sectionExists(QStringLiteral("A")));

    const IniFile f = ini("[A]\r\nb=1\r\n");
    EXPECT_EQ(f.readString(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("x")),
              QStringLiteral("x"));
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("c"), QStringLiteral("x")),
              QStringLiteral("x"));
}

TEST_F(IniFileTest, WritingCreatesAMissingFile) {
    const IniFile f(dir.file(QStringLiteral("new.ini")));
    EXPECT_TRUE(f.writeString(QStringLiteral("Start"), QStringLiteral("Location"),
                              QStringLiteral("/home/u/")));
    EXPECT_TRUE(f.writeBool(QStringLiteral("Tags"), QStringLiteral("Colored"), true));
    EXPECT_TRUE(f.writeInteger(QStringLiteral("Start"), QStringLiteral("Top"), -12));
    EXPECT_EQ(dir.read(QStringLiteral("new.ini")),
              QByteArray("[Start]\r\nLocation=/home/u/\r\nTop=-12\r\n[Tags]\r\nColored=1\r\n"));
}

TEST_F(IniFileTest, WriteKeepsCommentsOrderAndBlankLinesAndMakesEveryLineEndCrLf) {
    const IniFile f = ini("; settings\n[One]\nb=2\na=1\n\n[Two]\r\n; note\r\nz=9\r\n\r\n\r\n"
                          "[Three]\rx=1");
    EXPECT_TRUE(f.writeString(QStringLiteral("two"), QStringLiteral("new"), QStringLiteral("v")));
    EXPECT_EQ(bytes(),
              QByteArray("; settings\r\n[One]\r\nb=2\r\na=1\r\n\r\n[Two]\r\n; note\r\nz=9\r\n"
                         "new=v\r\n\r\n\r\n[Three]\r\nx=1\r\n"));
    EXPECT_TRUE(f.writeString(QStringLiteral("One"), QStringLiteral("B"), QStringLiteral("20")));
    EXPECT_EQ(bytes(),
              QByteArray("; settings\r\n[One]\r\nb=20\r\na=1\r\n\r\n[Two]\r\n; note\r\nz=9\r\n"
                         "new=v\r\n\r\n\r\n[Three]\r\nx=1\r\n"));
    EXPECT_EQ(f.sections(),
              QStringList({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}));
}

TEST_F(IniFileTest, TheFirstOfDuplicatesIsReadAndWritten) {
    const IniFile f = ini("[A]\r\nk=first\r\nk=second\r\n[a]\r\nk=third\r\nonly=here\r\n");
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), {}), QStringLiteral("first"));
    // Keys of the later duplicate section are not seen: it is one section, the first wins.
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("only"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(f.sections(), QStringList({QStringLiteral("A")}));
    EXPECT_EQ(f.readSection(QStringLiteral("a")), QStringList({QStringLiteral("k")}));
    EXPECT_TRUE(f.writeString(QStringLiteral("a"), QStringLiteral("K"), QStringLiteral("new")));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=new\r\nk=second\r\n[a]\r\nk=third\r\nonly=here\r\n"));
}

TEST_F(IniFileTest, TheFirstOfDuplicatesAmongManyNames) {
    // Past a handful of names the duplicates are found another way: the same result.
    QByteArray text;
    QStringList wanted;
    for (int i = 0; i < 40; ++i) {
        text += "[S" + QByteArray::number(i) + "]\r\nk" + QByteArray::number(i) + "=1\r\nK" +
                QByteArray::number(i % 20) + "=2\r\n";
        wanted << QStringLiteral("S%1").arg(i);
    }
    text += "[s3]\r\n[s30]\r\n[\u017f39]\r\n"; // the long s folds to an s
    const IniFile f = ini(text);
    EXPECT_EQ(f.sections(), wanted);
    EXPECT_EQ(f.readSection(QStringLiteral("s25")), QStringList({"k25", "K5"}));
    EXPECT_EQ(f.readSection(QStringLiteral("s5")), QStringList({"k5"}));
}

TEST_F(IniFileTest, UnchangedValueLeavesTheFileAlone) {
    const IniFile f = ini("[A]\nk = v\n");
    EXPECT_TRUE(f.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(bytes(), QByteArray("[A]\nk = v\n"));
}

TEST_F(IniFileTest, IntegersAndBooleans) {
    const IniFile f = ini("[N]\r\na=12abc\r\nb=abc\r\nc=-40\r\nd=+5\r\ne=\r\nf=99999999999\r\n"
                          "g=-2147483648\r\nt=2\r\nz=0\r\n");
    const auto num = [&](const char* key) {
        return f.readInteger(QStringLiteral("N"), QString::fromLatin1(key), 77);
    };
    EXPECT_EQ(num("a"), 12);
    EXPECT_EQ(num("b"), 77);
    EXPECT_EQ(num("c"), -40);
    EXPECT_EQ(num("d"), 5);
    EXPECT_EQ(num("e"), 77);
    EXPECT_EQ(num("f"), 77);
    EXPECT_EQ(num("g"), -2147483647 - 1);
    EXPECT_TRUE(f.readBool(QStringLiteral("N"), QStringLiteral("t"), false));
    EXPECT_FALSE(f.readBool(QStringLiteral("N"), QStringLiteral("z"), true));
    EXPECT_TRUE(f.readBool(QStringLiteral("N"), QStringLiteral("b"), true));
    EXPECT_FALSE(f.readBool(QStringLiteral("N"), QStringLiteral("b"), false));

    EXPECT_TRUE(f.writeBool(QStringLiteral("N"), QStringLiteral("t"), false));
    EXPECT_EQ(f.readString(QStringLiteral("N"), QStringLiteral("t"), {}), QStringLiteral("0"));
}

TEST_F(IniFileTest, EraseSectionKeepsTheOthersByteForByte) {
    const IniFile f = ini("top=1\n[Keep]\r\na = 1\r\n\r\n[Gone]\r\nx=1\r\n; gone too\r\n"
                          "[keep2]\r\nb=2\r\n[GONE]\r\ny=2\r\n");
    EXPECT_TRUE(f.eraseSection(QStringLiteral("gone")));
    EXPECT_EQ(bytes(), QByteArray("top=1\r\n[Keep]\r\na = 1\r\n\r\n[keep2]\r\nb=2\r\n"));
    EXPECT_FALSE(f.sectionExists(QStringLiteral("Gone")));
    EXPECT_TRUE(f.eraseSection(QStringLiteral("never")));
    EXPECT_EQ(bytes(), QByteArray("top=1\r\n[Keep]\r\na = 1\r\n\r\n[keep2]\r\nb=2\r\n"));

    EXPECT_TRUE(f.deleteKey(QStringLiteral("KEEP"), QStringLiteral("A")));
    EXPECT_EQ(bytes(), QByteArray("top=1\r\n[Keep]\r\n\r\n[keep2]\r\nb=2\r\n"));
}

TEST_F(IniFileTest, LineBreaksInValuesAndBadNamesCannotBreakTheFile) {
    const IniFile f = ini("[A]\r\nk=1\r\n");
    EXPECT_TRUE(f.writeString(QStringLiteral("A"), QStringLiteral("k"),
                              QStringLiteral("one\r\n[B]\nx=2\r")));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=one[B]x=2\r\n"));
    EXPECT_FALSE(f.sectionExists(QStringLiteral("B")));

    EXPECT_FALSE(f.writeString(QStringLiteral("A"), QStringLiteral("a=b"), QStringLiteral("1")));
    EXPECT_FALSE(f.writeString(QStringLiteral("A"), QStringLiteral("a\nb"), QStringLiteral("1")));
    EXPECT_FALSE(f.writeString(QStringLiteral("A"), QStringLiteral("  "), QStringLiteral("1")));
    EXPECT_FALSE(f.writeString(QStringLiteral("A]x"), QStringLiteral("k"), QStringLiteral("1")));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=one[B]x=2\r\n"));
}

TEST_F(IniFileTest, OddTextGivesDefaultsAndSurvivesAWrite) {
    QByteArray odd("\xff\xfe[broken\r\nno equals here\n=novalue\n[A]\r\n\x80k\x81=\x93q\x94\r\n"
                   "[ ]\r\n");
    odd += QByteArray(200000, 'x');
    odd += "=long\r\n[B]\r\nk=\xe9t\xe9\r\n";
    const IniFile f = ini(odd);
    EXPECT_FALSE(f.isIgnored());
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(f.readString(QStringLiteral("B"), QStringLiteral("k"), {}),
              QString::fromLatin1("\xe9t\xe9"));
    EXPECT_EQ(f.readInteger(QStringLiteral("broken"), QStringLiteral("x"), 3), 3);

    EXPECT_TRUE(f.writeString(QStringLiteral("B"), QStringLiteral("k"), QStringLiteral("new")));
    QByteArray expected = odd;
    expected.replace("\r\n", "\n");
    expected.replace("\n", "\r\n");
    expected.replace("k=\xe9t\xe9", "k=new");
    // The file was Latin-1 and stays so: every other byte is where it was.
    EXPECT_EQ(bytes(), expected);
}

TEST_F(IniFileTest, BytesThatAreNotTextAreNeverRewritten) {
    static const char withNul[] = "[A]\r\nk=1\r\n\x00\x01\x02\r\n";
    static const char withControls[] = "[A]\r\nk=1\r\n\x1b[1m\x7f\r\n";
    for (const QByteArray& binary :
         {QByteArray(withNul, sizeof withNul - 1), QByteArray(withControls)}) {
        const IniFile f = ini(binary);
        EXPECT_TRUE(f.isIgnored());
        EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
                  QStringLiteral("d"));
        EXPECT_TRUE(f.sections().isEmpty());
        EXPECT_FALSE(f.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2")));
        EXPECT_FALSE(f.writeBool(QStringLiteral("B"), QStringLiteral("n"), true));
        EXPECT_FALSE(f.eraseSection(QStringLiteral("A")));
        EXPECT_FALSE(f.deleteKey(QStringLiteral("A"), QStringLiteral("k")));
        EXPECT_EQ(bytes(), binary);
    }
    EXPECT_FALSE(ini("[A]\r\nk=\tx\f\r\n").isIgnored());
    EXPECT_FALSE(IniFile(dir.file(QStringLiteral("missing.ini"))).isIgnored());
}

TEST_F(IniFileTest, ANamedPipeIsIgnoredWithoutBlocking) {
    const FifoWatch fifo(dir.file(QStringLiteral("pipe.ini")));
    ASSERT_TRUE(fifo.made());
    const IniFile f(fifo.path());
    EXPECT_TRUE(f.isIgnored());
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(f.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_FALSE(fifo.opened());
}

TEST_F(IniFileTest, Utf8FileStaysUtf8AndLatin1StaysLatin1) {
    const IniFile utf = ini("\xef\xbb\xbf[Sp\xc3\xa4t]\r\nk=1\r\n");
    EXPECT_TRUE(utf.sectionExists(QString::fromUtf8("sp\xc3\xa4t")));
    EXPECT_TRUE(utf.writeString(QString::fromUtf8("Sp\xc3\xa4t"), QStringLiteral("n"),
                                QString::fromUtf8("\xc3\xa9")));
    EXPECT_EQ(bytes(), QByteArray("\xef\xbb\xbf[Sp\xc3\xa4t]\r\nk=1\r\nn=\xc3\xa9\r\n"));

    const IniFile latin = ini("[A]\r\nk=\xe9\r\n");
    EXPECT_TRUE(
        latin.writeString(QStringLiteral("A"), QStringLiteral("n"), QString::fromUtf8("\xc3\xbc")));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=\xe9\r\nn=\xfc\r\n"));

    // Latin-1 only because of a byte that goes: what is left would read back as UTF-8, as
    // other text, so it is written as UTF-8.
    const IniFile mixed = ini("[A]\r\nk=\xcd\x92\r\nold=\x84\r\n");
    EXPECT_TRUE(mixed.deleteKey(QStringLiteral("A"), QStringLiteral("old")));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=\xc3\x8d\xc2\x92\r\n"));
    EXPECT_EQ(mixed.readString(QStringLiteral("A"), QStringLiteral("k"), {}),
              QString::fromLatin1("\xcd\x92"));
}

TEST_F(IniFileTest, UnwritableFolderFailsQuietly) {
    const IniFile inDirectory(dir.path()); // a folder, not a file
    EXPECT_EQ(inDirectory.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(
        inDirectory.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));

    const IniFile nowhere(dir.file(QStringLiteral("no/such/folder/x.ini")));
    EXPECT_FALSE(
        nowhere.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    // /proc takes no new files, whatever the rights of the user running the tests.
    const IniFile readOnlyFolder(QStringLiteral("/proc/quillon-test.ini"));
    EXPECT_FALSE(readOnlyFolder.writeBool(QStringLiteral("A"), QStringLiteral("k"), true));
}

TEST_F(IniFileTest, UnreadableFileIsNeverReplaced) {

    const IniFile f = ini("[A]\r\nk=1\r\n");
    QFile::setPermissions(f.path(), QFileDevice::Permissions());
    QFile probe(f.path());
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with rights that ignore file permissions";
    // An existing file that cannot be read is never overwritten with a fresh one.
    EXPECT_FALSE(f.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2")));
    QFile::setPermissions(f.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=1\r\n"));
}

} // namespace

TEST_F(IniFileTest, WholeSectionsReadAndReplacedInOnePass) {
    const IniFile f = ini("[a]\r\nx=1\r\n; note\r\nX=2\r\ny = two words \r\n\r\n[b]\r\nz=3\r\n");
    using Pairs = QList<std::pair<QString, QString>>;
    EXPECT_EQ(f.readSectionValues(QStringLiteral("A")), (Pairs{{"x", "1"}, {"y", "two words"}}));
    EXPECT_TRUE(f.readSectionValues(QStringLiteral("none")).isEmpty());
    ASSERT_TRUE(f.replaceSection(QStringLiteral("a"),
                                 {{"n", "v"}, {"bad=key", "dropped"}, {"m", "line\r\nbreak"}}));
    EXPECT_EQ(bytes(), QByteArray("[a]\r\nn=v\r\nm=linebreak\r\n\r\n[b]\r\nz=3\r\n"));
    ASSERT_TRUE(f.replaceSection(QStringLiteral("new"), {{"k", "1"}}));
    EXPECT_EQ(bytes(),
              QByteArray("[a]\r\nn=v\r\nm=linebreak\r\n\r\n[b]\r\nz=3\r\n[new]\r\nk=1\r\n"));
}

TEST_F(IniFileTest, ChangesMadeInMemoryAreWrittenInOneSave) {
    const IniFile f = ini("; kept\r\n[Added]\r\nIGN_ListCount=0\r\n\r\n[Other]\r\nx=1\r\n");
    IniText text = loadIniText(f);
    ASSERT_TRUE(text.readable());
    EXPECT_TRUE(text.writeString(QStringLiteral("other"), QStringLiteral("X"), QStringLiteral("1")));
    EXPECT_FALSE(text.changed());
    EXPECT_TRUE(text.replaceSection(QStringLiteral("Added"),
                                    {{QStringLiteral("IGN_ListCount"), QStringLiteral("1")},
                                     {QStringLiteral("IGN_0"), QStringLiteral(" word\r\n ")}}));
    EXPECT_TRUE(text.deleteKey(QStringLiteral("Other"), QStringLiteral("x")));
    EXPECT_TRUE(text.changed());
    // Nothing reaches the file until the save.
    EXPECT_EQ(f.readString(QStringLiteral("Other"), QStringLiteral("x"), {}), QStringLiteral("1"));
    ASSERT_TRUE(saveIniText(f, text));
    EXPECT_EQ(bytes(), QByteArray("; kept\r\n[Added]\r\nIGN_ListCount=1\r\nIGN_0=word\r\n\r\n"
                                  "[Other]\r\n"));
    EXPECT_EQ(text.bytes(), bytes());

    // A text that is not ours takes no change, and its save writes nothing.
    IniText binary(QByteArray("[A]\r\nk=\x01\r\n"));
    EXPECT_FALSE(binary.readable());
    EXPECT_FALSE(binary.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2")));
    EXPECT_FALSE(binary.replaceSection(QStringLiteral("A"), {}));
    EXPECT_FALSE(saveIniText(f, binary));
    EXPECT_FALSE(saveIniText(f, IniText::unreadable()));
    EXPECT_EQ(bytes(), text.bytes());
}

TEST_F(IniFileTest, AnUnchangedFileIsParsedOnceAndEveryChangeOnDiskIsStillRead) {
    const IniFile f = ini("[A]\r\nk=1\r\n[B]\r\nn=2\r\n");
    // Written a moment ago: each access compares its bytes, none parses them again.
    const quint64 parsed = IniFile::parseCount();
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(f.readString(QStringLiteral("a"), QStringLiteral("K"), QStringLiteral("d")),
                  QStringLiteral("1"));
        EXPECT_EQ(f.readInteger(QStringLiteral("B"), QStringLiteral("n"), 0), 2);
    }
    EXPECT_EQ(f.sections(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(IniFile::parseCount() - parsed, 1u);

    // Another program rewrites it in place, to the same size, within the same moment: the new
    // value is read all the same.
    QFile in(f.path());
    ASSERT_TRUE(in.open(QIODevice::ReadWrite));
    ASSERT_TRUE(in.seek(7));
    ASSERT_EQ(in.write("7"), 1);
    in.close();
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=7\r\n[B]\r\nn=2\r\n"));
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("7"));

    // A second object over the same path sees this one's writes, and the other way round.
    const IniFile other(f.path());
    EXPECT_TRUE(other.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("8")));
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("8"));
    EXPECT_TRUE(f.writeBool(QStringLiteral("B"), QStringLiteral("n"), false));
    EXPECT_FALSE(other.readBool(QStringLiteral("B"), QStringLiteral("n"), true));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nk=8\r\n[B]\r\nn=0\r\n"));

    // Replaced by another file, then removed: read anew each time.
    ASSERT_TRUE(dir.write(QStringLiteral("other.ini"), "[A]\r\nk=replaced\r\n"));
    ASSERT_TRUE(QFile::remove(f.path()));
    ASSERT_TRUE(QFile::rename(dir.file(QStringLiteral("other.ini")), f.path()));
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("replaced"));
    ASSERT_TRUE(QFile::remove(f.path()));
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_TRUE(f.sections().isEmpty());
}

TEST_F(IniFileTest, SeveralKeysAreWrittenInOneRewriteOrNotAtAll) {
    const IniFile f = ini("; kept\r\n[A]\r\nk=1\r\n\r\n[B]\r\nn=2\r\n");
    const quint64 written = IniFile::writeCount();
    EXPECT_TRUE(f.writeStrings({{QStringLiteral("a"), QStringLiteral("K"), QStringLiteral("1")},
                                {QStringLiteral("B"), QStringLiteral("n"), QStringLiteral("2")}}));
    EXPECT_EQ(IniFile::writeCount(), written); // nothing changed, nothing written

    EXPECT_TRUE(f.writeStrings({{QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("one")},
                                {QStringLiteral("A"), QStringLiteral("new"), QStringLiteral("x")},
                                {QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("3")},
                                {QStringLiteral("B"), QStringLiteral("n"), QStringLiteral(" 2 ")},
                                {QStringLiteral("C"), QStringLiteral("d"), QStringLiteral("4")}}));
    EXPECT_EQ(IniFile::writeCount() - written, 1u);
    EXPECT_EQ(bytes(), QByteArray("; kept\r\n[A]\r\nk=one\r\nnew=x\r\n\r\n[B]\r\nn=2\r\n"
                                  "[C]\r\nc=3\r\nd=4\r\n"));

    // One name that would not read back spoils the whole write: nothing of it is written.
    EXPECT_FALSE(
        f.writeStrings({{QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2")},
                        {QStringLiteral("A"), QStringLiteral("a=b"), QStringLiteral("1")}}));
    EXPECT_EQ(IniFile::writeCount() - written, 1u);
    EXPECT_EQ(f.readString(QStringLiteral("A"), QStringLiteral("k"), {}), QStringLiteral("one"));
}
