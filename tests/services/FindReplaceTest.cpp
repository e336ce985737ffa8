// Find, replace and slash replacement over the editor: the snapshot rules, the messages, and
// the one-pass Replace All against a direct transcription of the search-and-replace loop.
#include "services/FindReplace.h"
#include "services/ServicesFixture.h"

#include <QRandomGenerator>

namespace {

class Find : public ServicesTest {
protected:
    QString selection() const {
        return QStringLiteral("%1+%2").arg(editor.selStart()).arg(editor.selLength());
    }

    StopColoring stop;
    bool wrap = true;
    FindReplace find{editor, prompter, doc, pump, stop, wrap};
};

TEST_F(Find, MatchCaseDecidesWhetherAbcFindsABC) {
    setText(QStringLiteral("xx ABC abc"));
    find.openDialog();
    EXPECT_TRUE(find.findNextButton(QStringLiteral("abc"), false));
    EXPECT_EQ(selection(), QStringLiteral("3+3"));
    EXPECT_TRUE(find.findNext(QStringLiteral("abc")));
    EXPECT_EQ(selection(), QStringLiteral("7+3"));

    find.openDialog();
    EXPECT_TRUE(find.findNextButton(QStringLiteral("abc"), true));
    EXPECT_EQ(selection(), QStringLiteral("7+3"));
    prompter.queue(MessageAnswer::Ok);
    find.openDialog();
    setText(QStringLiteral("ABC"));
    EXPECT_FALSE(find.findNextButton(QStringLiteral("abc"), true));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("\"abc\" not found")});
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Information);
}

TEST_F(Find, OverlappingMatchesThenNotFoundUntilANewSearch) {
    setText(QStringLiteral("aaaa"));
    select(1, 2);
    EXPECT_EQ(find.openDialog(), QStringLiteral("aa"));
    QStringList found;
    ASSERT_TRUE(find.findNextButton(QStringLiteral("aa"), true));
    found << selection();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(find.findNext(QStringLiteral("aa")));
        found << selection();
    }
    EXPECT_EQ(found,
              (QStringList{QStringLiteral("0+2"), QStringLiteral("1+2"), QStringLiteral("2+2")}));
    // After the last match: the message, and again on every Find Next.
    prompter.queue(MessageAnswer::Ok, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(find.findNext(QStringLiteral("aa")));
    EXPECT_EQ(prompter.texts().size(), 3);
    // A new search from the dialog starts again at the start.
    find.openDialog();
    EXPECT_TRUE(find.findNextButton(QStringLiteral("aa"), true));
    EXPECT_EQ(selection(), QStringLiteral("0+2"));
}

TEST_F(Find, TheSearchRunsOverTheSnapshotNotTheLiveText) {
    setText(QStringLiteral("one two one"));
    find.openDialog();
    ASSERT_TRUE(find.findNextButton(QStringLiteral("one"), true));
    // Typed at the start: the next match is still at the snapshot's place.
    editor.setSelStart(0);
    editor.replaceSelection(QStringLiteral("XY"));
    EXPECT_TRUE(find.findNext(QStringLiteral("one")));
    EXPECT_EQ(selection(), QStringLiteral("8+3"));
}

TEST_F(Find, FindNextBeforeAnySearchSaysNotFound) {
    setText(QStringLiteral("abc"));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(find.findNext(QString()));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("\"\" not found")});
}

TEST_F(Find, ReplaceButtonReplacesOnlyAMatchingSelectionAndGoesOnAfterIt) {
    setText(QStringLiteral("Cat cat"));
    // Nothing selected: nothing happens.
    EXPECT_FALSE(find.replaceButton(QStringLiteral("cat"), QStringLiteral("dog")));
    EXPECT_EQ(editor.text(), QStringLiteral("Cat cat"));
    EXPECT_FALSE(doc.htmlModified());

    find.openDialog();
    ASSERT_TRUE(find.findNextButton(QStringLiteral("cat"), true));
    EXPECT_EQ(selection(), QStringLiteral("4+3"));
    select(0, 3); // "Cat": equal to the find text without regard to case
    EXPECT_TRUE(find.replaceButton(QStringLiteral("cat"), QStringLiteral("catcat")));
    EXPECT_EQ(editor.text(), QStringLiteral("catcat cat"));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(find.state().position, 6);
    // The replacement holds the pattern but is not searched again.
    EXPECT_TRUE(find.findNext(QStringLiteral("cat")));
    EXPECT_EQ(selection(), QStringLiteral("7+3"));
    // An empty find text never matches an empty selection.
    select(0, 0);
    EXPECT_FALSE(find.replaceButton(QString(), QStringLiteral("x")));
}

TEST_F(Find, ReplaceAllIsOneEditThatNeverLoops) {
    setText(QStringLiteral("aaa"));
    EXPECT_EQ(find.replaceAll(QStringLiteral("a"), QStringLiteral("aa"), true), 3);
    EXPECT_EQ(editor.text(), QStringLiteral("aaaaaa"));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(selection(), QStringLiteral("6+0"));
    editor.undo();
    EXPECT_EQ(editor.text(), QStringLiteral("aaa"));

    // Without Match case; nothing found: no message, nothing changed.
    setText(QStringLiteral("xAx ax\r\nA"));
    EXPECT_EQ(find.replaceAll(QStringLiteral("a"), QStringLiteral("[]"), false), 3);
    EXPECT_EQ(editor.text(), QStringLiteral("x[]x []x\r\n[]"));
    setText(QStringLiteral("abc"));
    EXPECT_EQ(find.replaceAll(QStringLiteral("z"), QStringLiteral("y"), false), 0);
    EXPECT_EQ(find.replaceAll(QString(), QStringLiteral("y"), false), 0);
    EXPECT_EQ(editor.text(), QStringLiteral("abc"));
    EXPECT_FALSE(doc.htmlModified());
}

TEST_F(Find, UpperCaseKeepsPositions) {
    // "ß" upper-cases to two letters; one character for one keeps snapshot positions.
    setText(QStringLiteral("straße x"));
    find.openDialog();
    ASSERT_TRUE(find.findNextButton(QStringLiteral("X"), false));
    EXPECT_EQ(selection(), QStringLiteral("7+1"));
}

// The search-and-replace loop as the program describes it, written out step by step over a
// plain string: the reference for the one-pass Replace All.
QString loopReplaceAll(QString text, const QString& pattern, const QString& replacement,
                       bool matchCase, int* count) {
    const auto fold = [matchCase](const QString& s) { return matchCase ? s : upperSameLength(s); };
    QString snapshot = fold(text);
    const QString p = fold(pattern);
    int position = 0;
    *count = 0;
    for (;;) {
        // FindNextMatch
        int match = -1;
        for (int i = position; i < snapshot.size(); ++i) {
            if (snapshot[i] != p[0])
                continue;
            if (QStringView(snapshot).mid(i).startsWith(p)) {
                match = i;
                break;
            }
        }
        if (match < 0)
            return text;
        // ReplaceCurrent
        text.replace(match, p.size(), replacement);
        snapshot = fold(text);
        position = match + static_cast<int>(replacement.size());
        ++*count;
    }
}

TEST_F(Find, OnePassReplaceAllEqualsTheLoopOnRandomTexts) {
    QRandomGenerator random(20261208);
    const QString letters = QStringLiteral("aAbB\r\n");
    // Texts may hold line ends; a dialog's pattern and replacement are one line.
    const auto word = [&](int minLength, int maxLength, bool lines) {
        QString s;
        const int n = minLength + random.bounded(maxLength - minLength + 1);
        for (int i = 0; i < n; ++i)
            s += letters[random.bounded(lines && i % 3 == 2 ? 6 : 4)];
        return s;
    };
    for (int round = 0; round < 10000; ++round) {
        const QString text = toCrLf(word(0, 24, true));
        const QString pattern = word(1, 3, false);
        const QString replacement = word(0, 4, false);
        const bool matchCase = random.bounded(2) == 1;
        int expectedCount = 0;
        const QString expected =
            loopReplaceAll(text, pattern, replacement, matchCase, &expectedCount);
        editor.setText(text);
        const int count = find.replaceAll(pattern, replacement, matchCase);
        ASSERT_EQ(editor.text(), expected)
            << round << ": " << text.toStdString() << " / " << pattern.toStdString() << " / "
            << replacement.toStdString() << " case " << matchCase;
        ASSERT_EQ(count, expectedCount) << round;
    }
}

const QString kAnchorLine = QStringLiteral("<A HREF=\"dir\\page.htm\">Page</A> c:\\plain\r\n");

TEST_F(Find, SlashReplaceAllCountsEveryBackSlash) {
    setText(kAnchorLine);
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_EQ(find.slashReplaceAll(), 2);
    EXPECT_EQ(editor.text(), QStringLiteral("<A HREF=\"dir/page.htm\">Page</A> c:/plain\r\n"));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Replace ALL instance of \"\\\" with \"/\" (within "
                                          "tags and elsewhere) in open file?"),
                           QStringLiteral("There were 2 slash characters replaced.")}));
    EXPECT_EQ(prompter.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(doc.htmlModified());
    // Only No stops it; closing the box counts as going on.
    setText(QStringLiteral("a\\b"));
    prompter.queue(MessageAnswer::No);
    EXPECT_EQ(find.slashReplaceAll(), -1);
    EXPECT_EQ(editor.text(), QStringLiteral("a\\b"));
    prompter.queue(MessageAnswer::Cancel);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_EQ(find.slashReplaceAll(), 1);
}

TEST_F(Find, SlashReplaceInTagsOnlyInsideQuotedValues) {
    setText(kAnchorLine);
    prompter.queue(MessageAnswer::Yes);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_EQ(find.slashReplaceInTags(), 1);
    EXPECT_EQ(editor.text(), QStringLiteral("<A HREF=\"dir/page.htm\">Page</A> c:\\plain\r\n"));
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Replace PRECISE instances of \"\\\" with \"/\" (only "
                                          "when it appears within quotes within a tag) in open "
                                          "file?"),
                           QStringLiteral("There were 1 slash characters replaced.")}));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(selection(), QStringLiteral("0+0"));
    EXPECT_TRUE(editor.wordWrap());
}

TEST(SlashPositions, QuoteRulesOfOneLine) {
    const struct {
        const char* line;
        QList<int> positions;
    } rows[] = {
        {"<IMG SRC=x\\y.gif>", {}},                    // in a tag, outside quotes
        {"<IMG SRC=\"a\\b\" ALT=\"c\\d\">", {11, 21}}, // two values of one tag
        {"\"a\\b\" <P>", {2}},                         // quotes before the tag count
        {"<A HREF=\"x\\y>z\\\">", {}},                 // value runs past ">": skipped
        {"<A HREF=\"x>\\\" <B TITLE=\"p\\q\">", {25}}, // its closing quote is consumed too
        {"<A HREF=\"a\\b", {}},                        // no ">" on the line
        {"x\\y\"> <A HREF=\"c\\d\">", {}},             // a stray quote pairs with the value's first
        {"<P>\"a\\b\"", {}},                           // last thing on the line is the tag
        {"<P> <A HREF=\"c\\\\d\">", {14, 15}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(slashPositionsInLine(QString::fromLatin1(r.line)), r.positions);
    }
}

TEST_F(Find, SlashReplaceInTagsStopsAtTheNextLineWithoutAMessage) {
    QString text;
    for (int i = 0; i < 10; ++i)
        text += QStringLiteral("<A HREF=\"a\\b\">\r\n");
    setText(text);
    int pumps = 0;
    onPump = [&] {
        if (++pumps == 4)
            stop.stop = true;
    };
    prompter.queue(MessageAnswer::Yes);
    editor.setWordWrap(true);
    EXPECT_EQ(find.slashReplaceInTags(), -1);
    EXPECT_EQ(editor.text().count(QLatin1Char('/')), 3);
    EXPECT_TRUE(editor.wordWrap());
    EXPECT_EQ(prompter.texts().size(), 1);
}

TEST_F(Find, SlashReplaceInTagsNeverWorksOnAPageOpenedMeanwhile) {
    QString text;
    for (int i = 0; i < 10; ++i)
        text += QStringLiteral("<A HREF=\"a\\b\">\r\n");
    setText(text);
    ASSERT_TRUE(dir.write(QStringLiteral("other.htm"), "<A HREF=\"x\\y\">\r\n"));
    int pumps = 0;
    onPump = [&] {
        if (++pumps == 4) {
            ASSERT_TRUE(doc.loadDocument(dir.file(QStringLiteral("other.htm"))).ok);
        }
    };
    prompter.queue(MessageAnswer::Yes);
    EXPECT_EQ(find.slashReplaceInTags(), -1);
    // No count, no change, not marked: the pass ended when it saw the other page.
    EXPECT_EQ(prompter.texts().size(), 1);
    EXPECT_EQ(editor.text(), QStringLiteral("<A HREF=\"x\\y\">\r\n"));
    EXPECT_FALSE(doc.htmlModified());
}

TEST(FindMatches, WholeWordsAndRegularExpressions) {
    const QString text = QStringLiteral("cat concat Cat_ cats CAT\r\n<b>one</b>\r\n<b>two</b>");
    FindOptions words;
    words.wholeWord = true;
    const auto starts = [](const MatchSearch& m) {
        QStringList out;
        for (const TextMatch& t : m.matches)
            out << QStringLiteral("%1+%2>%3").arg(t.start).arg(t.length).arg(t.replacement);
        return out.join(QLatin1Char(' '));
    };
    EXPECT_EQ(starts(findAllMatches(text, "cat", "dog", false, words)), "0+3>dog 21+3>dog");
    EXPECT_EQ(starts(findAllMatches(text, "cat", "dog", true, words)), "0+3>dog");
    EXPECT_EQ(starts(findAllMatches(text, "cat", "dog", true, {})), "0+3>dog 7+3>dog 16+3>dog");

    FindOptions re;
    re.regularExpression = true;
    // Groups in the replacement; "$" ends a line before its CR LF; positions count CR LF twice.
    EXPECT_EQ(starts(findAllMatches(text, "<b>(\\w+)</b>$", "[\\1]", false, re)),
              "26+10>[one] 38+10>[two]");
    EXPECT_EQ(starts(findAllMatches(text, "^<B>", "\\\\", false, re)), "26+3>\\ 38+3>\\");
    EXPECT_EQ(starts(findAllMatches(text, "cats?", "x", false, re)),
              "0+3>x 7+3>x 11+3>x 16+4>x 21+3>x");
    re.wholeWord = true;
    EXPECT_EQ(starts(findAllMatches(text, "cats?", "x", false, re)), "0+3>x 16+4>x 21+3>x");
    // Empty matches find nothing; a broken expression says why.
    EXPECT_EQ(starts(findAllMatches(text, "z*", "x", false, re)), "");
    const MatchSearch bad = findAllMatches(text, "(cat", "x", false, re);
    EXPECT_TRUE(bad.matches.isEmpty());
    EXPECT_FALSE(bad.error.isEmpty());
}

TEST_F(Find, OptionsSearchFromTheSelectionBackwardsAndRoundTheEnd) {
    setText(QStringLiteral("one two one two one"));
    FindOptions o;
    o.wholeWord = true;
    select(4, 0);
    EXPECT_TRUE(find.findNextButton(QStringLiteral("one"), false, o));
    EXPECT_EQ(selection(), QStringLiteral("8+3"));
    EXPECT_TRUE(find.findNext(QStringLiteral("one"))); // F3 keeps the options
    EXPECT_EQ(selection(), QStringLiteral("16+3"));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(find.findNext(QStringLiteral("one")));
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("\"one\" not found"));
    o.wrapAround = true;
    EXPECT_TRUE(find.findNextButton(QStringLiteral("one"), false, o));
    EXPECT_EQ(selection(), QStringLiteral("0+3"));
    o.backwards = true;
    EXPECT_TRUE(find.findNextButton(QStringLiteral("one"), false, o)); // round to the last
    EXPECT_EQ(selection(), QStringLiteral("16+3"));
    EXPECT_TRUE(find.findNextButton(QStringLiteral("one"), false, o));
    EXPECT_EQ(selection(), QStringLiteral("8+3"));

    // Replace on a match replaces it and goes on to the next; Replace All takes every match.
    o = {};
    o.regularExpression = true;
    select(0, 3);
    EXPECT_TRUE(find.replaceButton(QStringLiteral("o(ne)"), QStringLiteral("1\\1"), true, o));
    EXPECT_EQ(editor.text(), QStringLiteral("1ne two one two one"));
    EXPECT_EQ(selection(), QStringLiteral("8+3"));
    EXPECT_TRUE(doc.htmlModified());
    EXPECT_EQ(find.replaceAll(QStringLiteral("t(w)o"), QStringLiteral("<\\1>"), true, o), 2);
    EXPECT_EQ(editor.text(), QStringLiteral("1ne <w> one <w> one"));
    prompter.queue(MessageAnswer::Ok);
    EXPECT_EQ(find.replaceAll(QStringLiteral("[a"), QStringLiteral("x"), true, o), 0);
    EXPECT_TRUE(prompter.texts().last().startsWith(
        QStringLiteral("\"[a\" is not a valid regular expression: ")));

    // Back to the plain search: the snapshot rules again (overlapping matches).
    setText(QStringLiteral("aaa"));
    find.openDialog();
    EXPECT_TRUE(find.findNextButton(QStringLiteral("aa"), true));
    EXPECT_TRUE(find.findNext(QStringLiteral("aa")));
    EXPECT_EQ(selection(), QStringLiteral("1+2"));
}

} // namespace
