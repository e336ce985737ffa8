// The word scanner, word preparation, suggestions as shown, and the interactive walk of
// TAddictSpell and SpellCheckDocument over a TextBuffer with a scripted check dialog.
#include "editor/TextBuffer.h"
#include "spell/DctWriter.h"
#include "spell/SpellCheckDocument.h"
#include "spell/SuggestionRanking.h"
#include "spell/TAddictSpell.h"
#include "spell/WordFrequencies.h"
#include "spell/WordScanner.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>

#include "support/QtPrinters.h"
#include <deque>
#include <gtest/gtest.h>

namespace {

QStringList scanAll(const QString& text, const ScanOptions& o = {}) {
    QStringList words;
    int pos = 0;
    while (const std::optional<ScannedWord> w =
               nextWord(text, pos, static_cast<int>(text.size()), o)) {
        words << text.mid(w->start, w->length);
        pos = w->end();
    }
    return words;
}

// The check dialog as a script: each question is recorded, each answer taken in turn; a
// question nobody queued an answer for fails the test and cancels.
class ScriptedDialog : public SpellDialogHost {
public:
    void queue(SpellAction action, const QString& replacement = {}) {
        m_replies.push_back({action, replacement});
    }
    SpellReply ask(TAddictSpell&, const SpellQuery& q) override {
        visible = true;
        asked << (q.repeated ? QStringLiteral("repeated:") : QString()) + q.word;
        suggestions << q.suggestions.join(u',');
        if (m_replies.empty()) {
            ADD_FAILURE() << "unexpected question for " << qPrintable(q.word);
            return {SpellAction::Cancel, {}};
        }
        const SpellReply r = m_replies.front();
        m_replies.pop_front();
        return r;
    }
    void runFinished() override {
        ++finished;
        visible = false;
    }
    void hideForNow() override { visible = false; }
    QStringList asked;
    QStringList suggestions;
    int finished = 0;
    bool visible = false; // shown by a question, hidden when the run ends or steps aside
    bool done() const { return m_replies.empty(); }

private:
    std::deque<SpellReply> m_replies;
};

class SpellChecker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write(
            "spell/american.dct",
            buildDct({"the",   "cat",   "sat", "on",    "mat",   "a",     "dog",   "dogs",
                      "it",    "is",    "red", "hello", "world", "Paris", "can't", "here",
                      "there", "where", "I",   "we",    "went",  "to",    "house", "receive"},
                     "Test")
                .bytes));
        spell = std::make_unique<TAddictSpell>(dir.file("spell/spell.cfg"), "default");
        spell->configure();
        spell->setDialog(&dialog);
        spell->setPrompter(&prompter);
        spell->onCreated = [this] { events << "created"; };
        spell->onComplete = [this] { events << "complete"; };
        spell->onCancelled = [this] { events << "cancelled"; };
        // Every message box must find the check dialog out of the way.
        prompter.onMessage = [this](const QString& text) {
            if (dialog.visible)
                ADD_FAILURE() << "check dialog still up under: " << qPrintable(text);
        };
    }

    TempDir dir;
    ScriptedDialog dialog;
    ScriptedPrompter prompter;
    std::unique_ptr<TAddictSpell> spell;
    TextBuffer editor;
    QStringList events;
};

} // namespace

TEST(WordScanner, TagsAddressesEntitiesAndQuotedLines) {
    EXPECT_EQ(scanAll("<p class=\"big\">Hello <b\r\nstyle=x>world</b>"),
              QStringList({"Hello", "world"}));
    EXPECT_EQ(scanAll("Mail me: joe.bloggs@example.com, or (sue@x.org) now"),
              QStringList({"Mail", "me", "joe", "or", "now"}));
    EXPECT_EQ(scanAll("see http://example.com/a_b?c=d. FTP:x.y news:comp.x www.site.org end"),
              QStringList({"see", "end"}));
    // A reference to a letter is part of its word; other references separate words.
    EXPECT_EQ(scanAll("caf&eacute; &amp; &#233; R&D"),
              QStringList({"caf&eacute;", "&#233;", "R", "D"}));
    EXPECT_EQ(scanAll("> quoted line\r\nplain >not\r\n>also"), QStringList({"plain", "not"}));
    EXPECT_EQ(scanAll("it's 'quoted' dogs' 42 x2"),
              QStringList({"it's", "'quoted'", "dogs'", "42", "x2"}));
    // A tag that never closes ends the scan.
    EXPECT_EQ(scanAll("one <unclosed two three"), QStringList({"one"}));
    ScanOptions off{false, false, false};
    EXPECT_EQ(scanAll("<b>x</b> a@b.c >q", off), QStringList({"b", "x", "b", "a", "b", "c", "q"}));
    // The range end cuts the scan.
    EXPECT_EQ(nextWord("hello", 0, 3, {})->length, 3);
    EXPECT_EQ(nextWord("ab <b>cd</b>", 2, 12, {})->start, 6);
}

TEST_F(SpellChecker, WordPreparationCaseAndOptions) {
    spell->openDictionaries();
    EXPECT_TRUE(spell->isWordCorrect("The"));
    EXPECT_TRUE(spell->isWordCorrect("Paris"));
    EXPECT_FALSE(spell->isWordCorrect("paris"));
    EXPECT_TRUE(spell->isWordCorrect("can't"));
    EXPECT_TRUE(spell->isWordCorrect("DOGZ")); // upper case words are passed by default
    EXPECT_FALSE(spell->isWordCorrect("Dogz"));
    EXPECT_FALSE(spell->isWordCorrect("x2"));  // words with digits are checked by default
    EXPECT_TRUE(spell->isWordCorrect("1999")); // no letters, no word
    SpellConfig c = spell->configuration();
    c.setOption(soUpcase, false);
    c.setOption(soNumbers, true);
    spell->setConfiguration(c);
    EXPECT_TRUE(spell->isWordCorrect("DOGS"));
    EXPECT_FALSE(spell->isWordCorrect("DOGZ"));
    EXPECT_TRUE(spell->isWordCorrect("x2"));
    const QString text = "'dog's' dogs' 'tis";
    QStringList cores;
    int pos = 0;
    while (auto w = nextWord(text, pos, static_cast<int>(text.size()), {})) {
        cores << TAddictSpell::prepare(text, *w).core;
        pos = w->end();
    }
    EXPECT_EQ(cores, QStringList({"dog", "dogs", "tis"}));
}

TEST_F(SpellChecker, SuggestionsAreRankedAndKeepTheTypedCase) {
    spell->openDictionaries();
    EXPECT_EQ(spell->suggestionsFor("teh").value(0), QStringLiteral("the"));
    EXPECT_EQ(spell->suggestionsFor("Teh").value(0), QStringLiteral("The"));
    EXPECT_EQ(spell->suggestionsFor("HELO").value(0), QStringLiteral("HELLO"));
    EXPECT_EQ(spell->suggestionsFor("cst").value(0), QStringLiteral("cat"));
    EXPECT_EQ(spell->suggestionsFor("paris").value(0), QStringLiteral("Paris"));
    EXPECT_TRUE(spell->suggestionsFor("dogsat").contains("dog sat"));
    // The wider search reaches two changes and a letter before the first.
    EXPECT_TRUE(spell->wideSuggestionsFor("ouse").contains("house"));
    EXPECT_TRUE(spell->wideSuggestionsFor("hous").contains("house"));
    EXPECT_TRUE(keyboardNeighbours('s', 'a'));
    EXPECT_FALSE(keyboardNeighbours('q', 'p'));
}

TEST_F(SpellChecker, ChangeIgnoreAndTheComponentMessage) {
    editor.setText("<p title=\"colr\">the catt sat on teh mat</p>");
    dialog.queue(SpellAction::Change, "cat");
    dialog.queue(SpellAction::Ignore);
    prompter.queue(MessageAnswer::Ok);
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(dialog.asked, QStringList({"catt", "teh"}));
    // The first suggestion is offered, not chosen.
    EXPECT_EQ(dialog.suggestions.value(0), QStringLiteral("cat"));
    EXPECT_EQ(editor.text(), QStringLiteral("<p title=\"colr\">the cat sat on teh mat</p>"));
    EXPECT_EQ(spell->lastLengthChange(), -1);
    EXPECT_EQ(events, QStringList({"created", "complete"}));
    EXPECT_EQ(prompter.texts(), QStringList({"Spell Check Complete\n\nWords Checked: 7"}));
    EXPECT_EQ(dialog.finished, 1);
}

TEST_F(SpellChecker, ChangeAllIgnoreAllAddAndAutoCorrect) {
    editor.setText("zog and zog, blip, blip? no: blip. qux then qux; recieve recieve");
    dialog.queue(SpellAction::ChangeAll, "dog");
    dialog.queue(SpellAction::Ignore);    // "and"
    dialog.queue(SpellAction::IgnoreAll); // blip
    dialog.queue(SpellAction::Ignore);    // "no"
    dialog.queue(SpellAction::Add);       // qux
    dialog.queue(SpellAction::Ignore);    // "then"
    dialog.queue(SpellAction::AutoCorrect, "receive");
    prompter.queue(MessageAnswer::Ok);
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(dialog.asked, QStringList({"zog", "and", "blip", "no", "qux", "then", "recieve"}));
    EXPECT_EQ(editor.text(),
              QStringLiteral("dog and dog, blip, blip? no: blip. qux then qux; receive receive"));
    // The user dictionary is written when the run ends.
    EXPECT_EQ(dir.read("spell/default.udt"),
              QByteArray("[Added]\r\nIGN_ListCount=1\r\nIGN_0=qux\r\n[Auto Correct]\r\n"
                         "AC_ListCount=1\r\nAC_0=recieve@@@receive\r\n"));
}

TEST_F(SpellChecker, RepeatedWordsAndUndoLast) {
    editor.setText("the the cat\r\nsat sat");
    dialog.queue(SpellAction::Change, ""); // drop the second "the"
    dialog.queue(SpellAction::Undo);       // and bring it back
    dialog.queue(SpellAction::Ignore);     // "the the" asked again
    dialog.queue(SpellAction::Change, ""); // "sat sat"
    prompter.queue(MessageAnswer::Ok);
    spell->checkRange(editor, 0, editor.length());
    // The undo comes at the next question, and goes back to the pair it undoes.
    EXPECT_EQ(dialog.asked,
              QStringList({"repeated:the", "repeated:sat", "repeated:the", "repeated:sat"}));
    EXPECT_EQ(editor.text(), QStringLiteral("the the cat\r\nsat"));
    EXPECT_TRUE(dialog.done());
}

TEST_F(SpellChecker, UndoRevertsChangesInTurnUpToTheDepth) {
    editor.setText("aa bb cc");
    dialog.queue(SpellAction::Change, "cat");
    dialog.queue(SpellAction::Change, "dog");
    dialog.queue(SpellAction::Undo);
    dialog.queue(SpellAction::Undo);
    dialog.queue(SpellAction::Ignore);    // aa again
    dialog.queue(SpellAction::IgnoreAll); // bb
    dialog.queue(SpellAction::Undo);      // bb is asked again
    dialog.queue(SpellAction::Ignore);
    dialog.queue(SpellAction::Cancel); // cc
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(dialog.asked, QStringList({"aa", "bb", "cc", "bb", "aa", "bb", "cc", "bb", "cc"}));
    EXPECT_EQ(editor.text(), QStringLiteral("aa bb cc"));
    EXPECT_TRUE(spell->checkCancelled());
    EXPECT_EQ(events, QStringList({"created", "cancelled"}));
    EXPECT_TRUE(prompter.texts().isEmpty());

    // Only the last twenty answers can be undone.
    QString many;
    for (int i = 0; i < 23; ++i)
        many += QStringLiteral("zz%1 ").arg(QChar(u'a' + i));
    editor.setText(many);
    for (int i = 0; i < 22; ++i)
        dialog.queue(SpellAction::Ignore);
    for (int i = 0; i < 21; ++i)
        dialog.queue(SpellAction::Undo);
    dialog.queue(SpellAction::Cancel);
    dialog.asked.clear();
    spell->checkRange(editor, 0, editor.length());
    // After twenty undos the twenty-first finds nothing and the walk asks the same word again.
    ASSERT_EQ(dialog.asked.size(), 44);
    EXPECT_EQ(dialog.asked.value(22), QStringLiteral("zzw"));
    EXPECT_EQ(dialog.asked.value(41), QStringLiteral("zzd"));
    EXPECT_EQ(dialog.asked.value(42), QStringLiteral("zzc"));
    EXPECT_EQ(dialog.asked.value(43), QStringLiteral("zzc"));
}

TEST_F(SpellChecker, RecheckOfReplacedWordsFollowsItsOption) {
    editor.setText("catt");
    dialog.queue(SpellAction::Change, "dgo");
    dialog.queue(SpellAction::Change, "dog");
    prompter.queue(MessageAnswer::Ok, 2);
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(dialog.asked, QStringList({"catt", "dgo"}));
    SpellConfig c = spell->configuration();
    c.setOption(soRecheck, false);
    spell->setConfiguration(c);
    editor.setText("catt");
    dialog.asked.clear();
    dialog.queue(SpellAction::Change, "dgo");
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(dialog.asked, QStringList({"catt"}));
    EXPECT_EQ(editor.text(), QStringLiteral("dgo"));
}

TEST_F(SpellChecker, DocumentWithoutSelectionStartsAfterTheCaret) {
    editor.setText("zz cat yy");
    editor.setSelStart(3);
    QStringList hooks;
    SpellCheckDocumentHooks h{[&] { hooks << "busy"; }, [&] { hooks << "cursor"; },
                              [&](bool on) { hooks << (on ? "visible" : "hidden"); }};
    dialog.queue(SpellAction::Ignore);
    // At the end, the text before the caret is offered; here it is declined.
    prompter.queue(MessageAnswer::No);
    SpellCheckDocument(*spell, editor, prompter, h);
    EXPECT_EQ(dialog.asked, QStringList({"yy"}));
    EXPECT_EQ(prompter.texts(), QStringList({continueFromTopQuestion()}));
    EXPECT_EQ(hooks, QStringList({"busy", "visible", "hidden", "cursor"}));
    EXPECT_EQ(editor.selStart(), 3);
    EXPECT_EQ(editor.selLength(), 0);

    // Caret at the start of the text: nothing before it, so no question.
    prompter.clearShown();
    dialog.asked.clear();
    editor.setText("cat");
    editor.setSelStart(0);
    prompter.queue(MessageAnswer::Ok);
    SpellCheckDocument(*spell, editor, prompter, h);
    EXPECT_TRUE(dialog.asked.isEmpty());
    EXPECT_EQ(prompter.texts(), QStringList({"Spell Check Complete.\n\n"}));
}

TEST_F(SpellChecker, DocumentGoesOnFromTheTopUpToWhereItStarted) {
    editor.setText("zz cat yy qq");
    editor.setSelStart(7);                    // after "cat "
    dialog.queue(SpellAction::Ignore);        // yy
    dialog.queue(SpellAction::Change, "mat"); // qq
    prompter.queue(MessageAnswer::Yes);
    dialog.queue(SpellAction::Change, "the"); // zz, from the top
    prompter.queue(MessageAnswer::Ok);
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(dialog.asked, QStringList({"yy", "qq", "zz"}));
    EXPECT_EQ(prompter.texts(),
              QStringList({"The end of the document has been reached.\nContinue checking from "
                           "the beginning?",
                           "Spell Check Complete.\n\n"}));
    EXPECT_EQ(prompter.shown().at(0).buttons, MessageButtons::YesNo);
    EXPECT_EQ(editor.text(), QStringLiteral("the cat yy mat"));
    // The caret comes back where it was, moved by the change before it.
    EXPECT_EQ(editor.selStart(), 8);
    EXPECT_EQ(dialog.finished, 1);

    // Cancelled in the part from the top: no completion message.
    dialog.asked.clear();
    prompter.clearShown();
    editor.setText("zz cat yy");
    editor.setSelStart(7);
    dialog.queue(SpellAction::Ignore); // yy
    prompter.queue(MessageAnswer::Yes);
    dialog.queue(SpellAction::Cancel); // zz
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(dialog.asked, QStringList({"yy", "zz"}));
    EXPECT_EQ(prompter.texts(), QStringList({continueFromTopQuestion()}));
    EXPECT_EQ(editor.selStart(), 7);
}

TEST_F(SpellChecker, DocumentSelectionThenTheRemainder) {
    editor.setText("aa bbb cc dd");
    editor.setSelStart(3);
    editor.setSelLength(6); // "bbb cc"
    dialog.queue(SpellAction::Change, "cat");
    dialog.queue(SpellAction::Change, "a");
    prompter.queue(MessageAnswer::Yes);
    dialog.queue(SpellAction::Ignore); // dd
    prompter.queue(MessageAnswer::Yes);
    dialog.queue(SpellAction::Ignore); // aa, before the selection
    prompter.queue(MessageAnswer::Ok);
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(dialog.asked, QStringList({"bbb", "cc", "dd", "aa"}));
    EXPECT_EQ(editor.text(), QStringLiteral("aa cat a dd"));
    EXPECT_EQ(prompter.texts(),
              QStringList({"The selected text has been checked.\nCheck the remainder of the "
                           "document?",
                           continueFromTopQuestion(), "Spell Check Complete.\n\n"}));
    EXPECT_EQ(prompter.shown().at(0).kind, MessageKind::Confirmation);
    EXPECT_EQ(prompter.shown().at(0).buttons, MessageButtons::YesNo);
    // The selection comes back over the changed words.
    EXPECT_EQ(editor.selStart(), 3);
    EXPECT_EQ(editor.selLength(), 5);
    EXPECT_EQ(dialog.finished, 1);
}

TEST_F(SpellChecker, DocumentDeclinedOrCancelledEndsWithoutCompletion) {
    editor.setText("aa bb cc");
    editor.setSelStart(0);
    editor.setSelLength(2);
    dialog.queue(SpellAction::Ignore);
    prompter.queue(MessageAnswer::No);
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(dialog.asked, QStringList({"aa"}));
    EXPECT_EQ(prompter.texts(), QStringList({checkRemainderQuestion()}));
    EXPECT_EQ(editor.selStart(), 0);
    EXPECT_EQ(editor.selLength(), 2);

    // Cancelling inside the selection: no question, no completion, selection restored.
    prompter.clearShown();
    dialog.asked.clear();
    events.clear();
    editor.setSelStart(3);
    editor.setSelLength(5);
    dialog.queue(SpellAction::Cancel);
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(dialog.asked, QStringList({"bb"}));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(events, QStringList({"created", "cancelled"}));
    EXPECT_EQ(editor.selStart(), 3);
    EXPECT_EQ(editor.selLength(), 5);

    // Cancelling in the remainder.
    dialog.asked.clear();
    editor.setSelStart(0);
    dialog.queue(SpellAction::Ignore);
    dialog.queue(SpellAction::Cancel);
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(dialog.asked, QStringList({"aa", "bb"}));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(editor.text(), QStringLiteral("aa bb cc"));
}

TEST_F(SpellChecker, MissingMainDictionaryIsNamed) {
    SpellConfig c = spell->configuration();
    c.mainDictionaries.append({true, dir.file("spell/gone.dct"), "Gone"});
    spell->setConfiguration(c);
    prompter.clearShown();
    prompter.queue(MessageAnswer::Ok, 2);
    editor.setText("cat");
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(prompter.texts().value(0),
              QStringLiteral("Unable to find dictionary file:\n") + dir.file("spell/gone.dct"));
}

TEST(SuggestionRanking, EditsPeopleMakeComeFirst) {
    // A swap of neighbours before a change of letter; a doubled letter before any other extra.
    EXPECT_EQ(rankSuggestions("form", {"foam", "from"}), QStringList({"from", "foam"}));
    EXPECT_EQ(rankSuggestions("helllo", {"hell", "hello"}), QStringList({"hello", "hell"}));
    // A key beside the intended one before a key far away.
    EXPECT_EQ(rankSuggestions("cst", {"cot", "cat"}), QStringList({"cat", "cot"}));
    // A common word before a rare one; a capital the typist did not type costs.
    EXPECT_EQ(rankSuggestions("thw", {"thy", "the"}), QStringList({"the", "thy"}));
    EXPECT_NEAR(suggestionCost("ohm", "Ohm") - suggestionCost("Ohm", "Ohm"), 1.5, 1e-9);
    // A lost space only when both parts are real words of some length.
    EXPECT_EQ(rankSuggestions("mispelt", {"mi spelt", "misspelt"}),
              QStringList({"misspelt", "mi spelt"}));
    EXPECT_LT(suggestionCost("teh", "the"), suggestionCost("teh", "tea"));
}

TEST(SuggestionRanking, ADefiniteSlipBeforeOneLetterOfMany) {
    // A dropped letter is one slip; a wrong letter one of some 26: "wrk" is "work" with a
    // letter left out before it is "wok" with a letter changed.
    EXPECT_EQ(rankSuggestions("wrk", {"wok", "work"}), QStringList({"work", "wok"}));
    // Even a dropped first letter comes before a key beside the right one, and that before a
    // letter far from it.
    EXPECT_EQ(rankSuggestions("ost", {"out", "oat", "cost"}), QStringList({"cost", "oat", "out"}));
    // A doubled letter is the likeliest extra one; a key beside its neighbour next.
    EXPECT_EQ(rankSuggestions("laast", {"lest", "last"}), QStringList({"last", "lest"}));
    // A lost space between two words, but not one that leaves a scrap of two letters.
    EXPECT_EQ(rankSuggestions("regardgs", {"regard gs", "regards"}),
              QStringList({"regards", "regard gs"}));
}

// On the program's own dictionary and frequency table: where a common word and a rare one lie
// at like edits, the common one leads; where the edits differ, the likelier edit can still
// beat a commoner word.
TEST(SuggestionRanking, OrderOnTheAmericanDictionary) {
    TempDir dir;
    const QString frq = WordFrequencies::pathFor(QStringLiteral(QUILLON_MAIN_DCT));
    if (!QFileInfo::exists(frq))
        GTEST_SKIP() << "no frequency table in the build";
    ASSERT_TRUE(QDir().mkpath(dir.file("spell")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_MAIN_DCT), dir.file("spell/american.dct")));
    ASSERT_TRUE(QFile::copy(frq, dir.file("spell/american.frq")));
    TAddictSpell spell(dir.file("spell/spell.cfg"), "default");
    spell.configure();
    ASSERT_TRUE(spell.openDictionaries().isEmpty());
    const auto top = [&](const char* typed, int n) {
        return spell.suggestionsFor(QString::fromLatin1(typed)).mid(0, n);
    };
    // Swapped neighbours, a dropped letter, a key beside, a doubled letter.
    EXPECT_EQ(top("teh", 1), QStringList({"the"}));
    EXPECT_EQ(top("recieve", 1), QStringList({"receive"}));
    EXPECT_EQ(top("wprk", 1), QStringList({"work"}));
    EXPECT_EQ(top("licennse", 1), QStringList({"license"}));
    EXPECT_EQ(top("sofware", 1), QStringList({"software"}));
    // "thw": "the" by a key beside, before the rarer "thaw", "thew" and "thy".
    EXPECT_EQ(top("thw", 2), QStringList({"the", "thaw"}));
    // A capital the typist did not type comes after the common lower-case word.
    EXPECT_EQ(top("Teh", 1), QStringList({"The"}));
    EXPECT_EQ(top("ann", 3), QStringList({"an", "and", "any"}));
    EXPECT_GT(spell.suggestionsFor("ann").indexOf("Ann"), 2);
}

TEST_F(SpellChecker, ADroppedFirstLetterIsSuggestedByTheChecker) {
    spell->openDictionaries();
    // The dictionaries' own methods never insert before the first letter ...
    QList<QByteArray> raw;
    spell->mainDictionaries().first()->suggest("ouse", raw);
    EXPECT_FALSE(raw.contains("house"));
    // ... the list the dialog shows has it.
    EXPECT_EQ(spell->suggestionsFor("ouse").value(0), QStringLiteral("house"));
    EXPECT_EQ(spell->suggestionsFor("Ouse").value(0), QStringLiteral("House"));
}

TEST_F(SpellChecker, ADamagedDictionaryIsToldOncePerSpellCheck) {
    ASSERT_TRUE(dir.write("spell/broken.dct", QByteArray(300, 'x')));
    SpellConfig c = spell->configuration();
    c.mainDictionaries.append({true, dir.file("spell/broken.dct"), "Broken"});
    spell->setConfiguration(c);
    prompter.clearShown();
    editor.setText("cat zz dog qq");
    editor.setSelStart(0);
    editor.setSelLength(6);            // "cat zz"
    prompter.queue(MessageAnswer::Ok); // the warning
    dialog.queue(SpellAction::Ignore); // zz
    prompter.queue(MessageAnswer::Yes);
    dialog.queue(SpellAction::Ignore); // qq
    prompter.queue(MessageAnswer::Ok);
    SpellCheckDocument(*spell, editor, prompter, {});
    const QString warning = dir.file("spell/broken.dct") +
                            QStringLiteral(": The dictionary file is damaged (too short for its "
                                           "header).");
    EXPECT_EQ(prompter.texts(),
              QStringList({warning, checkRemainderQuestion(), "Spell Check Complete.\n\n"}));
    EXPECT_EQ(prompter.texts().count(warning), 1);

    // The next Spell Check tells it again, once.
    prompter.clearShown();
    editor.setSelStart(0);
    prompter.queue(MessageAnswer::Ok);
    dialog.queue(SpellAction::Ignore);
    dialog.queue(SpellAction::Ignore);
    prompter.queue(MessageAnswer::Ok);
    SpellCheckDocument(*spell, editor, prompter, {});
    EXPECT_EQ(prompter.texts(), QStringList({warning, "Spell Check Complete.\n\n"}));
}

TEST_F(SpellChecker, AUserDictionarySwitchedOffIsNotUsed) {
    ASSERT_TRUE(dir.write("spell/default.udt",
                          "[Added]\r\nIGN_ListCount=1\r\nIGN_0=quux\r\n[Auto Correct]\r\n"
                          "AC_ListCount=1\r\nAC_0=teh@@@the\r\n"));
    ASSERT_TRUE(dir.write("spell/other.udt", "[Added]\r\nIGN_ListCount=1\r\nIGN_0=blorp\r\n"));
    SpellConfig c = spell->configuration();
    c.userDictionaries = {{false, dir.file("spell/default.udt"), {}},
                          {true, dir.file("spell/other.udt"), {}}};
    c.userIndex = 0;
    spell->setConfiguration(c);
    ASSERT_TRUE(dir.read("spell/spell.cfg").contains("U_DCT_0=F"));
    spell->openDictionaries();
    EXPECT_FALSE(spell->isWordCorrect("quux"));
    EXPECT_TRUE(spell->isWordCorrect("blorp"));

    // Its words are asked about and its auto-correction is not made.
    editor.setText("teh quux blorp zork, zork");
    dialog.queue(SpellAction::Ignore); // teh
    dialog.queue(SpellAction::Ignore); // quux
    dialog.queue(SpellAction::Add);    // zork, into the switched-off dictionary that takes words
    prompter.queue(MessageAnswer::Ok);
    spell->checkRange(editor, 0, editor.length());
    EXPECT_EQ(dialog.asked, QStringList({"teh", "quux", "zork"}));
    EXPECT_EQ(editor.text(), QStringLiteral("teh quux blorp zork, zork"));
    EXPECT_TRUE(dir.read("spell/default.udt").contains("=zork\r\n"));

    // Switched on again, both count.
    c.userDictionaries[0].enabled = true;
    spell->setConfiguration(c);
    dialog.asked.clear();
    prompter.queue(MessageAnswer::Ok);
    spell->checkRange(editor, 0, editor.length());
    EXPECT_TRUE(dialog.asked.isEmpty());
    EXPECT_EQ(editor.text(), QStringLiteral("the quux blorp zork, zork"));
}

TEST(WordScanner, CharacterReferencesInsideWords) {
    const QString text = QStringLiteral(
        "Caf&eacute; &Eacute;cole na&#239;ve caf&#xE9;s don&rsquo;t a&nbsp;b AT&amp;T &bogus;x");
    QStringList read;
    int pos = 0;
    while (const auto w = nextWord(text, pos, static_cast<int>(text.size()), {})) {
        read << TAddictSpell::prepare(text, *w).core;
        pos = w->end();
    }
    EXPECT_EQ(read, QStringList({QStringLiteral("Café"), QStringLiteral("École"),
                                 QStringLiteral("naïve"), QStringLiteral("cafés"),
                                 QStringLiteral("don\u2019t"), "a", "b", "AT", "T", "x"}));
    // Written positions: the whole word as it stands in the text.
    const auto first = nextWord(text, 0, static_cast<int>(text.size()), {});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->length, 11);
    // An apostrophe written as a reference is cut off like a plain one.
    const QString quoted = QStringLiteral("&lsquo;dog&rsquo;s&rsquo;");
    const auto w = nextWord(quoted, 0, static_cast<int>(quoted.size()), {});
    ASSERT_TRUE(w);
    const TAddictSpell::Prepared p = TAddictSpell::prepare(quoted, *w);
    EXPECT_EQ(p.core, QStringLiteral("dog"));
    EXPECT_EQ(quoted.mid(p.start, p.length), QStringLiteral("dog"));
    // Without the HTML option references are text like any other.
    EXPECT_EQ(scanAll("caf&eacute;", ScanOptions{false, true, true}),
              QStringList({"caf", "eacute"}));

    EXPECT_EQ(writtenLike(QStringLiteral("Cafés"), QStringLiteral("Caf&eacute;")),
              QStringLiteral("Caf&eacute;s"));
    EXPECT_EQ(writtenLike(QStringLiteral("Ça"), QStringLiteral("caf&#233;")),
              QStringLiteral("&Ccedil;a"));
    EXPECT_EQ(writtenLike(QStringLiteral("\u20ACuro"), QStringLiteral("&eacute;")),
              QStringLiteral("&#8364;uro"));
    EXPECT_EQ(writtenLike(QStringLiteral("Café"), QStringLiteral("Cafe")), QStringLiteral("Café"));
}

TEST_F(SpellChecker, AWordWithReferencesIsCheckedAsItReadsAndReplacedWhole) {
    ASSERT_TRUE(dir.write("spell/american.dct",
                          buildDct({"the", "caf\xe9", "caf\xe9s", "na\xefve"}, "Test").bytes));
    spell = std::make_unique<TAddictSpell>(dir.file("spell/spell.cfg"), "default");
    spell->configure();
    spell->setDialog(&dialog);
    spell->setPrompter(&prompter);
    editor.setText("<p>Caf&eacute; na&#239;ve Caff&eacute; the Cafes</p>");
    dialog.queue(SpellAction::Change, QStringLiteral("Café"));
    dialog.queue(SpellAction::Change, QStringLiteral("Cafés"));
    prompter.queue(MessageAnswer::Ok);
    spell->checkRange(editor, 0, editor.length());
    // Found as the words they stand for; the misspelt one is offered as it reads.
    EXPECT_EQ(dialog.asked, QStringList({QStringLiteral("Caffé"), QStringLiteral("Cafes")}));
    EXPECT_TRUE(dialog.suggestions.value(0).split(u',').contains(QStringLiteral("Café")));
    // The change covers the whole word and keeps the page's way of writing it; a word written
    // without references takes the replacement as it is.
    EXPECT_EQ(editor.text(), QStringLiteral("<p>Caf&eacute; na&#239;ve Caf&eacute; the Cafés</p>"));
}
