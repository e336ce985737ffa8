// The .dct reader, lookup and the eight suggestion methods, on hand-built and packed files.
#include "spell/MainDictionary.h"
#include "spell/DctWriter.h"
#include "spell/RawDct.h"
#include "support/TempDir.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace rawdct;

namespace {

MainDictionary packed(const QList<QByteArray>& words, int maxNodes = 65536) {
    const DctBuildResult built = buildDct(words, "Packed", maxNodes);
    EXPECT_TRUE(built.ok) << qPrintable(built.error);
    MainDictionary d;
    EXPECT_TRUE(d.load(built.bytes).ok);
    return d;
}

QList<QByteArray> suggest(const MainDictionary& d, const QByteArray& word) {
    QList<QByteArray> list;
    d.suggest(word, list);
    return list;
}

} // namespace

TEST(MainDictionary, OneLetterWordsFollowTheEndBitOfTheirRoot) {
    MainDictionary d;
    ASSERT_TRUE(d.load(file({Sub{{}, {}, "ab", {node('a', true), node('b', false)}}})).ok);
    EXPECT_TRUE(d.contains("a"));
    EXPECT_FALSE(d.contains("b"));
    EXPECT_FALSE(d.contains("c"));
    EXPECT_FALSE(d.contains(""));
}

TEST(MainDictionary, PrefixWithoutEndBitIsNotAWord) {
    // c-a-r-t with only the t marked.
    Sub s{{node('a', false, 1, 1), node('r', false, 1, 2), node('t', true)},
          {},
          "c",
          {node('c', false, 1, 0)}};
    MainDictionary d;
    ASSERT_TRUE(d.load(file({s})).ok);
    EXPECT_TRUE(d.contains("cart"));
    EXPECT_FALSE(d.contains("car"));
    EXPECT_FALSE(d.contains("ca"));
    EXPECT_FALSE(d.contains("carts"));
    EXPECT_FALSE(d.contains("cbrt"));
}

TEST(MainDictionary, WordMissingFromFirstLettersIsLookedUpInTheNextSubDictionary) {
    Sub first{{node('e', true)}, {}, "b", {node('b', false, 1, 0)}};
    Sub second{{node('n', true)}, {}, "a", {node('a', false, 1, 0)}};
    MainDictionary d;
    ASSERT_TRUE(d.load(file({first, second})).ok);
    EXPECT_EQ(d.subDictionaryCount(), 2);
    EXPECT_TRUE(d.contains("be"));
    EXPECT_TRUE(d.contains("an"));
    EXPECT_FALSE(d.contains("ae"));
}

TEST(MainDictionary, ChildFormsTwoToSixAndSevenWithCountZero) {
    // Root "a" (a word) with form 7 and count 0: no children. Root "b" with three children
    // listed at offset 1, root "c" with form 7 and two children at offset 7.
    Sub s;
    s.nodes = {node('x', true), node('y', true), node('z', true)};
    s.area = QByteArray(1, '\0') + u16s({0, 1, 2}) + QByteArray(1, '\2') + u16s({2, 0});
    s.letters = "abc";
    s.roots = {node('a', true, 7, 0), node('b', false, 3, 1), node('c', false, 7, 7)};
    MainDictionary d;
    ASSERT_TRUE(d.load(file({s})).ok) << qPrintable(d.load(file({s})).error);
    EXPECT_TRUE(d.contains("a"));
    EXPECT_FALSE(d.contains("ax"));
    EXPECT_TRUE(d.contains("bx"));
    EXPECT_TRUE(d.contains("by"));
    EXPECT_TRUE(d.contains("bz"));
    EXPECT_TRUE(d.contains("cz"));
    EXPECT_TRUE(d.contains("cx"));
    EXPECT_FALSE(d.contains("cy"));
}

TEST(MainDictionary, DamagedFilesAreRefusedAndNeverReadPastTheirEnd) {
    const DctBuildResult built = buildDct({"cat", "cats", "dog", "a"}, "Small");
    ASSERT_TRUE(built.ok);
    MainDictionary whole;
    ASSERT_TRUE(whole.load(built.bytes).ok);
    for (qsizetype cut = 0; cut < built.bytes.size(); ++cut) {
        MainDictionary d;
        const MainDictionary::Result r = d.load(built.bytes.left(cut));
        EXPECT_FALSE(r.ok) << cut;
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("The dictionary file is damaged ("))) << cut;
        EXPECT_FALSE(d.contains("cat"));
    }
    // Child references outside the arrays.
    for (const Sub& bad :
         {Sub{{}, {}, "a", {node('a', true, 1, 0)}},
          Sub{{node('x', true)}, u16s({0}), "a", {node('a', true, 2, 0)}},
          Sub{{node('x', true)}, u16s({0, 5}), "a", {node('a', true, 2, 0)}},
          Sub{{node('x', true)}, QByteArray(1, '\3') + u16s({0, 0}), "a", {node('a', true, 7, 0)}},
          Sub{{node('x', true, 7, 9)}, QByteArray(1, '\0'), "a", {node('a', true, 1, 0)}}}) {
        MainDictionary d;
        const MainDictionary::Result r = d.load(file({bad}));
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QStringLiteral("points outside"))) << qPrintable(r.error);
    }
    // A node count larger than the file.
    QByteArray huge = file({Sub{{}, {}, "", {}}});
    huge[280 + 26] = '\xff';
    huge[280 + 26 + 3] = '\x7f';
    MainDictionary d;
    EXPECT_EQ(d.load(huge).error,
              QStringLiteral("The dictionary file is damaged (sub-dictionary 1 larger than the "
                             "file)."));
}

TEST(MainDictionary, OpenReadsOnceAndNamesMissingFiles) {
    TempDir dir;
    MainDictionary missing;
    EXPECT_EQ(missing.open(dir.file("none.dct")).error,
              QStringLiteral("Unable to find dictionary file: ") + dir.file("none.dct"));
    const DctBuildResult built = buildDct({"word"}, "Opened once");
    ASSERT_TRUE(dir.write("w.dct", built.bytes));
    MainDictionary d;
    ASSERT_TRUE(d.open(dir.file("w.dct")).ok);
    QFile::remove(dir.file("w.dct"));
    EXPECT_TRUE(d.open(dir.file("w.dct")).ok);
    EXPECT_TRUE(d.contains("word"));
    ASSERT_TRUE(dir.write("w.dct", built.bytes));
    EXPECT_EQ(MainDictionary::readDescription(dir.file("w.dct")), QStringLiteral("Opened once"));
    EXPECT_EQ(MainDictionary::readDescription(dir.file("none.dct")), QString());
}

TEST(MainDictionary, MethodsRunInTheirOrder) {
    const MainDictionary d = packed({"Abcd", "bacd", "acd", "abxcd", "abzd", "cbad", "ab", "cd"});
    EXPECT_EQ(suggest(d, "abcd"),
              QList<QByteArray>({"Abcd", "bacd", "acd", "abxcd", "abzd", "cbad", "ab cd"}));
    // Double deletion only past four letters.
    EXPECT_EQ(suggest(packed({"ace"}), "abcde"), QList<QByteArray>({"ace"}));
    EXPECT_EQ(suggest(packed({"ae"}), "abce"), QList<QByteArray>());
}

TEST(MainDictionary, NoInsertionBeforeTheFirstLetter) {
    const MainDictionary d = packed({"cat", "bat"});
    EXPECT_EQ(suggest(d, "at"), QList<QByteArray>());
    EXPECT_EQ(suggest(d, "ct"), QList<QByteArray>({"cat"}));
}

TEST(MainDictionary, SplitOfAFourLetterWordTriesOnlyAfterTheSecondLetter) {
    MainDictionary d = packed({"a", "bcd", "ab", "cd", "abc", "d"});
    d.methods = MainDictionary::smSplit;
    EXPECT_EQ(suggest(d, "abcd"), QList<QByteArray>({"ab cd"}));
    EXPECT_EQ(suggest(d, "abc"), QList<QByteArray>());
    EXPECT_EQ(suggest(d, "abcde"), QList<QByteArray>());
}

TEST(MainDictionary, TwoDictionariesFillingPastTheLimit) {
    // "a" plus any of 52 letters: insertion alone finds far more than 30.
    QList<QByteArray> many;
    for (char c = 'a'; c <= 'z'; ++c) {
        many << QByteArray("a") + c;
        many << QByteArray("a") + static_cast<char>(c - 'a' + 'A');
    }
    const MainDictionary first = packed(many);
    const MainDictionary second = packed({"a0", "a1", "a2"});
    QList<QByteArray> one;
    EXPECT_TRUE(first.suggest("a", one));
    EXPECT_EQ(one.size(), 31);
    const QList<QByteArray> both = suggestFromDictionaries({&first, &second}, "a", false);
    ASSERT_EQ(both.size(), 32);
    EXPECT_EQ(both.last(), QByteArray("a0"));
    EXPECT_EQ(suggestFromDictionaries({&first, &second}, "a", true).size(), 31);
    // Below the limit the second adds all it has.
    const QList<QByteArray> few = suggestFromDictionaries({&second, &first}, "a", false);
    EXPECT_EQ(few.mid(0, 3), QList<QByteArray>({"a0", "a1", "a2"}));
    EXPECT_EQ(few.size(), 31);
}

TEST(DctWriter, SplitsIntoSubDictionariesThatFitAndSharesEndings) {
    QList<QByteArray> words;
    for (const char* stem : {"walk", "talk", "stalk", "chalk", "balk"})
        for (const char* end : {"", "s", "ed", "ing", "er", "ers"})
            words << QByteArray(stem) + end;
    const DctBuildResult shared = buildDct(words, "x");
    ASSERT_TRUE(shared.ok);
    EXPECT_EQ(shared.subDictionaries, 1);
    // The five stems share one tree of endings.
    EXPECT_LE(shared.nodes, 16);
    const DctBuildResult small = buildDct(words, "x", 8);
    ASSERT_TRUE(small.ok);
    EXPECT_GT(small.subDictionaries, 1);
    MainDictionary d;
    ASSERT_TRUE(d.load(small.bytes).ok);
    for (const QByteArray& w : words)
        EXPECT_TRUE(d.contains(w)) << w.constData();
    EXPECT_FALSE(d.contains("walke"));
    EXPECT_FALSE(d.contains("stal"));
    EXPECT_EQ(d.characterTable().left(1), QByteArray("a"));
}

// The program's own dictionary, made by mkdct in the build from the system word list.
TEST(DctWriter, AmericanDictionaryHoldsEveryWordOfItsList) {
    QFile list(QStringLiteral(QUILLON_WORD_LIST));
    if (!list.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no word list";
    QSet<QByteArray> words;
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QString w = QString::fromUtf8(line).trimmed();
        bool latin1 = !w.isEmpty();
        for (QChar ch : w)
            latin1 = latin1 && ch.unicode() < 256;
        if (latin1)
            words.insert(w.toLatin1());
    }
    ASSERT_GT(words.size(), 50000);
    MainDictionary d;
    ASSERT_TRUE(d.open(QStringLiteral(QUILLON_MAIN_DCT)).ok);
    EXPECT_EQ(MainDictionary::readDescription(QStringLiteral(QUILLON_MAIN_DCT)),
              QStringLiteral("American English"));
    int missing = 0;
    for (const QByteArray& w : words)
        missing += d.contains(w) ? 0 : 1;
    EXPECT_EQ(missing, 0);
    // Non-words: every word with a letter added, cut or doubled where that is no word.
    int checked = 0;
    int found = 0;
    int n = 0;
    for (const QByteArray& w : words) {
        if (++n % 7 != 0)
            continue;
        for (const QByteArray& non :
             {w + "q", w + "zx", w.left(w.size() - 1), w + w.right(1), QByteArray("x") + w}) {
            if (non.isEmpty() || words.contains(non))
                continue;
            ++checked;
            found += d.contains(non) ? 1 : 0;
        }
    }
    EXPECT_GT(checked, 40000);
    EXPECT_EQ(found, 0);
}
