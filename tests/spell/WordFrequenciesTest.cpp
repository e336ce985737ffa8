// The frequency file of a main dictionary: reading, refusing, writing; the program's own table
// made in the build; and the order of suggestions it gives.
#include "spell/WordFrequencies.h"
#include "editor/TextBuffer.h"
#include "spell/DctWriter.h"
#include "spell/MainDictionary.h"
#include "spell/SuggestionRanking.h"
#include "spell/TAddictSpell.h"
#include "support/TempDir.h"

#include "support/QtPrinters.h"
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

WordFrequencies table(const QByteArray& body) {
    WordFrequencies t;
    const WordFrequencies::Result r = t.load(WordFrequencies::header() + '\n' + body);
    EXPECT_TRUE(r.ok) << qPrintable(r.error);
    return t;
}

} // namespace

TEST(WordFrequencies, ClassesCaseAndPairs) {
    const WordFrequencies t = table("@10\r\nthe\r\ncat\r\n\r\n@20\r\nThe\r\nParis\r\ncat\r\n@"
                                    "35\r\ncaf\xc3\xa9\r\n@10\r\ndog\r\n");
    EXPECT_EQ(t.size(), 6);
    EXPECT_EQ(t.wordClass("the"), 10);
    // A word listed twice keeps its commonest class; classes may come again.
    EXPECT_EQ(t.wordClass("cat"), 10);
    EXPECT_EQ(t.wordClass("dog"), 10);
    EXPECT_EQ(t.wordClass("The"), 20);
    EXPECT_EQ(t.wordClass("café"), 35);
    // Capitals typed: the word as listed, else in lower case.
    EXPECT_EQ(t.wordClass("CAT"), 10);
    EXPECT_EQ(t.wordClass("Paris"), 20);
    EXPECT_EQ(t.wordClass("paris"), WordFrequencies::Unlisted);
    EXPECT_EQ(t.wordClass("cow"), WordFrequencies::Unlisted);
    // Two words split by a space are as common as the rarer.
    EXPECT_EQ(t.wordClass("the café"), 35);
    EXPECT_EQ(t.wordClass("the cow"), WordFrequencies::Unlisted);
    EXPECT_EQ(WordFrequencies().wordClass("the"), WordFrequencies::Unlisted);
}

TEST(WordFrequencies, DamagedFilesAreRefusedWhole) {
    const struct {
        QByteArray bytes;
        QString error;
    } cases[] = {
        {"", "The frequency file is damaged (line 1: empty)."},
        {"Quillon word frequencies 2\n@10\nthe\n",
         "The frequency file is damaged (line 1: not a frequency file)."},
        {"Quillon word frequencies 1\nthe\n",
         "The frequency file is damaged (line 2: a word before the first class)."},
        {"Quillon word frequencies 1\n@10\nthe\n@0\n",
         "The frequency file is damaged (line 4: bad class)."},
        {"Quillon word frequencies 1\n@100\n",
         "The frequency file is damaged (line 2: bad class)."},
        {"Quillon word frequencies 1\n@1x\n", "The frequency file is damaged (line 2: bad class)."},
        {"Quillon word frequencies 1\n@10\nthe\nbad\xff\n",
         "The frequency file is damaged (line 4: not a word)."},
        {"Quillon word frequencies 1\n@10\ntwo words\n",
         "The frequency file is damaged (line 3: not a word)."},
        {"Quillon word frequencies 1\n@10\n" + QByteArray(101, 'a') + "\n",
         "The frequency file is damaged (line 3: not a word)."},
    };
    for (const auto& c : cases) {
        WordFrequencies t;
        ASSERT_TRUE(t.load(WordFrequencies::header() + "\n@10\nkept\n").ok);
        const WordFrequencies::Result r = t.load(c.bytes);
        EXPECT_FALSE(r.ok) << c.bytes.toStdString();
        EXPECT_EQ(r.error, c.error) << c.bytes.toStdString();
        EXPECT_TRUE(t.isEmpty()) << "nothing of a refused file is kept";
    }
    // The header alone is an empty table, not a damaged one.
    WordFrequencies empty;
    EXPECT_TRUE(empty.load(WordFrequencies::header()).ok);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(WordFrequencies, WrittenAsItIsRead) {
    const QHash<QString, int> classes{{"the", 10},       {"a", 10},     {"Paris", 20}, {"café", 35},
                                      {"two words", 10}, {"@home", 10}, {"zero", 0}};
    EXPECT_EQ(
        WordFrequencies::write(classes),
        QByteArray("Quillon word frequencies 1\n@10\na\nthe\n@20\nParis\n@35\ncaf\xc3\xa9\n"));
    WordFrequencies back;
    ASSERT_TRUE(back.load(WordFrequencies::write(classes)).ok);
    EXPECT_EQ(back.classes(),
              (QHash<QString, int>{{"the", 10}, {"a", 10}, {"Paris", 20}, {"café", 35}}));
}

TEST(WordFrequencies, FileBesideItsDictionary) {
    EXPECT_EQ(WordFrequencies::pathFor("/p/spell/american.dct"),
              QStringLiteral("/p/spell/american.frq"));
    EXPECT_EQ(WordFrequencies::pathFor("/p/sp.ell/medical"),
              QStringLiteral("/p/sp.ell/medical.frq"));

    TempDir dir;
    WordFrequencies t;
    EXPECT_EQ(t.open(dir.file("none.frq")).error,
              QStringLiteral("No frequency file: ") + dir.file("none.frq"));
    ASSERT_TRUE(QDir().mkpath(dir.file("folder.frq")));
    EXPECT_FALSE(t.open(dir.file("folder.frq")).ok);
    // A named pipe is never opened: reading it would wait for a writer for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe.frq")).constData(), 0600), 0);
    const WordFrequencies::Result pipe = t.open(dir.file("pipe.frq"));
    EXPECT_FALSE(pipe.ok);
    EXPECT_TRUE(pipe.error.startsWith(dir.file("pipe.frq") + ": ")) << qPrintable(pipe.error);
    ASSERT_TRUE(dir.write("bad.frq", "Quillon word frequencies 1\nthe\n"));
    EXPECT_EQ(t.open(dir.file("bad.frq")).error,
              dir.file("bad.frq") +
                  ": The frequency file is damaged (line 2: a word before the first class).");
    ASSERT_TRUE(dir.write("good.frq", "Quillon word frequencies 1\n@10\nthe\n"));
    EXPECT_TRUE(t.open(dir.file("good.frq")).ok);
    EXPECT_EQ(t.wordClass("the"), 10);
}

TEST(WordFrequencies, CountsOverTextGradeTheCommonestWords) {
    const QSet<QString> wanted{"the", "he", "He", "I", "i", "don't", "Paris", "cat"};
    QHash<QString, qint64> counts;
    WordFrequencies::countWords(
        "The cat. He said: 'the cat?' I don't -- 'Paris' he\nTHE the-cat dog paris", wanted,
        counts);
    // A capital at a sentence's start counts for the lower-case word; "I" and names stay as
    // written; quotes around a word are cut off, an apostrophe inside is kept; words the
    // dictionary lacks, in whatever case, are not counted.
    EXPECT_EQ(counts,
              (QHash<QString, qint64>{
                  {"the", 4}, {"cat", 3}, {"he", 2}, {"I", 1}, {"don't", 1}, {"Paris", 1}}));

    QHash<QString, qint64> c{{"top", 1024}, {"half", 512}, {"under", 511}, {"quarter", 256},
                             {"fourth", 4}, {"few", 2},    {"gone", 1},    {"none", 0}};
    EXPECT_EQ(
        WordFrequencies::classesByCount(c),
        (QHash<QString, int>{
            {"top", 1}, {"half", 1}, {"under", 2}, {"quarter", 2}, {"fourth", 8}, {"few", 9}}));
    EXPECT_TRUE(WordFrequencies::classesByCount({}).isEmpty());
}

// The program's own table, made by mkfrq in the build from the graded word lists.
TEST(WordFrequencies, AmericanTableGradesTheDictionarysWords) {
    const QString path = WordFrequencies::pathFor(QStringLiteral(QUILLON_MAIN_DCT));
    WordFrequencies t;
    const WordFrequencies::Result r = t.open(path);
    if (!QFileInfo::exists(path))
        GTEST_SKIP() << "no graded word lists in the build";
    ASSERT_TRUE(r.ok) << qPrintable(r.error);
    EXPECT_GT(t.size(), 50000);
    // The commonest word by count, everyday words graded finer above the lists' first class.
    EXPECT_EQ(t.wordClass("the"), 1);
    for (const char* everyday : {"of", "and", "people", "house", "because"})
        EXPECT_LT(t.wordClass(everyday), 10) << everyday;
    // At least five halvings between the commonest word and its archaic neighbours.
    EXPECT_GE(t.wordClass("thee"), t.wordClass("the") + 5);
    EXPECT_GE(t.wordClass("thy"), t.wordClass("the") + 5);
    EXPECT_GT(t.wordClass("abaft"), 20);
    // It speaks only of words the dictionary holds.
    MainDictionary d;
    ASSERT_TRUE(d.open(QStringLiteral(QUILLON_MAIN_DCT)).ok);
    int strangers = 0;
    const QHash<QString, int> classes = t.classes();
    for (auto it = classes.constBegin(); it != classes.constEnd(); ++it)
        strangers += d.contains(it.key().toLatin1()) ? 0 : 1;
    EXPECT_EQ(strangers, 0);
}

TEST(SuggestionRanking, CommonWordsFirstAmongLikeEdits) {
    const WordFrequencies t = table("@10\nthe\ncat\nfrom\n@35\nthy\n@50\nfoam\ncot\n");
    // Without a table, like edits keep the dictionaries' order; with one, the commoner leads.
    EXPECT_EQ(rankSuggestions("cit", {"cot", "cat"}), QStringList({"cot", "cat"}));
    EXPECT_EQ(rankSuggestions("cit", {"cot", "cat"}, &t), QStringList({"cat", "cot"}));
    EXPECT_LT(suggestionCost("thw", "the", &t), suggestionCost("thw", "the"));
    EXPECT_EQ(suggestionCost("thw", "thx", &t), suggestionCost("thw", "thx"));
    EXPECT_EQ(rankSuggestions("form", {"foam", "from"}, &t), QStringList({"from", "foam"}));
}

TEST(SuggestionRanking, CheckerTakesTheTableBesideTheDictionary) {
    TempDir dir;
    ASSERT_TRUE(
        dir.write("spell/american.dct", buildDct({"cat", "mat", "sat", "the"}, "Test").bytes));
    const auto suggestions = [&] {
        TAddictSpell spell(dir.file("spell/spell.cfg"), "default");
        spell.configure();
        spell.openDictionaries();
        return spell.suggestionsFor("bat");
    };
    // "bat" is one letter from each, the first letter changed, no key or sound alike.
    EXPECT_EQ(suggestions(), QStringList({"cat", "mat", "sat"}));
    ASSERT_TRUE(
        dir.write("spell/american.frq", WordFrequencies::header() + "\n@20\nsat\n@35\nmat\n"));
    EXPECT_EQ(suggestions(), QStringList({"sat", "mat", "cat"}));
    // A damaged table is passed over: the order is that of the edits alone.
    ASSERT_TRUE(dir.write("spell/american.frq", "Quillon word frequencies 1\nsat\n"));
    EXPECT_EQ(suggestions(), QStringList({"cat", "mat", "sat"}));
}
