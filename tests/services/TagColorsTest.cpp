// Tag colouring: the names and list places, the kinds by substring, the pairing of "<" and ">"
// on a line, the pass over the editor with its stop, and the colour picker.
#include "services/TagColors.h"
#include "services/ColorPicker.h"
#include "services/ServicesFixture.h"

namespace {

TEST(TagColorNames, TenNamesTheirColoursAndListPlaces) {
    const struct {
        const char* name;
        QColor color;
        int index;
    } rows[] = {
        {"clBlack", QColor(0, 0, 0), 0},      {"clRed", QColor(255, 0, 0), 1},
        {"clMaroon", QColor(128, 0, 0), 2},   {"clBlue", QColor(0, 0, 255), 3},
        {"clNavy", QColor(0, 0, 128), 4},     {"clGreen", QColor(0, 128, 0), 5},
        {"clOlive", QColor(128, 128, 0), 6},  {"clPurple", QColor(128, 0, 128), 7},
        {"clGray", QColor(128, 128, 128), 8}, {"clTeal", QColor(0, 128, 128), 9},
    };
    ASSERT_EQ(colorNames().size(), 10);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(ColorFromName(QLatin1String(r.name)), r.color);
        EXPECT_EQ(ColorListIndex(r.color), r.index);
        EXPECT_EQ(colorNames().at(r.index), QLatin1String(r.name));
    }
    // Exact names only; anything else is the default red.
    EXPECT_EQ(ColorFromName(QStringLiteral("clblue")), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromName(QStringLiteral("clYellow")), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromName(QString()), QColor(255, 0, 0));
    EXPECT_EQ(ColorListIndex(QColor(1, 2, 3)), 1);

    const TagColors t = TagColors::fromNames({QStringLiteral("clBlack"), QStringLiteral("clBlue"),
                                              QStringLiteral("clTeal"), QStringLiteral("nonsense"),
                                              QStringLiteral("clNavy"), QStringLiteral("clGray")});
    EXPECT_EQ(t.of(TagKind::Default), QColor(0, 0, 0));
    EXPECT_EQ(t.of(TagKind::Anchor), QColor(0, 0, 255));
    EXPECT_EQ(t.of(TagKind::Image), QColor(0, 128, 128));
    EXPECT_EQ(t.of(TagKind::Font), QColor(255, 0, 0));
    EXPECT_EQ(t.of(TagKind::Table), QColor(0, 0, 128));
    EXPECT_EQ(t.of(TagKind::List), QColor(128, 128, 128));
}

TEST(TagKinds, SubstringTestsAndTheOrderOfKinds) {
    const struct {
        const char* tag;
        TagKind kind;
    } rows[] = {
        {"<B>", TagKind::Font},
        {"</B>", TagKind::Font},
        {"<b class=x>", TagKind::Default}, // "<b>" is the pattern, not "<b"
        {"<A HREF=\"a\">", TagKind::Anchor},
        {"<a name=top>", TagKind::Anchor},
        {"</A>", TagKind::Anchor},
        {"</ADDRESS>", TagKind::Anchor},
        {"<LINK rel=x>", TagKind::List},
        {"<THEAD>", TagKind::Table},
        {"<BR>", TagKind::Default},
        {"<IMG SRC=\"x.gif\">", TagKind::Image},
        {"<FONT SIZE=2>", TagKind::Font},
        {"<TABLE>", TagKind::Table},
        {"<UL>", TagKind::List},
        {"<DT>", TagKind::List},
        {"<HTML>", TagKind::Default},
        // A later kind wins: an anchor holding an image pattern is an image.
        {"<a href=\"<img\">", TagKind::Image},
        {"<td><li>", TagKind::List},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.tag);
        EXPECT_EQ(tagKindOf(QLatin1String(r.tag)), r.kind);
    }
    // Lower case as the text's own: a dotted capital I reads as an "i" and a dot.
    EXPECT_EQ(tagKindOf(QStringLiteral("<L\u0130>")), TagKind::List);
    EXPECT_EQ(tagKindOf(QStringLiteral("<\u0130MG>")), TagKind::Default);
    EXPECT_EQ(tagKindOf(QStringLiteral("<\u0130>")), TagKind::Default);
}

QString spans(const QString& line) {
    QStringList out;
    for (const TagSpan& s : tagSpansOfLine(line))
        out << QStringLiteral("%1+%2:%3").arg(s.start).arg(s.length).arg(int(s.kind));
    return out.join(QLatin1Char(' '));
}

TEST(TagSpans, KthLessThanPairsWithKthGreaterThanOnTheLine) {
    // An anchor then an image: 1 then 2.
    EXPECT_EQ(spans(QStringLiteral("<A HREF=\"a\">x<IMG SRC=\"i\">")),
              QStringLiteral("0+12:1 13+13:2"));
    EXPECT_EQ(spans(QStringLiteral("x <B>y</B> z")), QStringLiteral("2+3:3 6+4:3"));
    // The last thing on the line ends the work there.
    EXPECT_EQ(spans(QStringLiteral("text <P>")), QStringLiteral("5+3:0"));
    EXPECT_EQ(spans(QStringLiteral("no tags")), QString());
    EXPECT_EQ(spans(QString()), QString());
    // A "<" without ">": no tag, and nothing after it either.
    EXPECT_EQ(spans(QStringLiteral("<B> a < b")), QStringLiteral("0+3:3"));
    EXPECT_EQ(spans(QStringLiteral("<A HREF=\"x")), QString());
    // The end of a tag begun on an earlier line is passed over.
    EXPECT_EQ(spans(QStringLiteral("x\"> <B>y")), QStringLiteral("4+3:3"));
    EXPECT_EQ(spans(QStringLiteral(">>><I>")), QStringLiteral("3+3:3"));
    // Nested "<": the k-th with the k-th, spans may overlap; the consumed "<" and ">" read "$".
    EXPECT_EQ(spans(QStringLiteral("<a <b> c> d")), QStringLiteral("0+6:3 3+6:0"));
}

class ColorPass : public ServicesTest {
protected:
    ColorPass() { pass.setColors(colors); }

    QString coloured() const {
        QStringList out;
        for (const auto& r : editor.coloredRanges())
            out << QStringLiteral("%1+%2:%3")
                       .arg(r.start)
                       .arg(r.length)
                       .arg(ColorListIndex(r.color));
        return out.join(QLatin1Char(' '));
    }

    StopColoring stop;
    bool wrap = true;
    TagColoringPass pass{editor, pump, stop, wrap};
    // Default black, anchor blue, image teal, font maroon, table navy, list gray.
    TagColors colors = TagColors::fromNames({QStringLiteral("clBlack"), QStringLiteral("clBlue"),
                                             QStringLiteral("clTeal"), QStringLiteral("clMaroon"),
                                             QStringLiteral("clNavy"), QStringLiteral("clGray")});
};

TEST_F(ColorPass, ColoursEveryTagAtItsEditorPositionAndEndsAtTheStart) {
    setText(QStringLiteral("<HTML>\r\n\r\nx <B>bold</B> <A HREF=\"a\">y</A>\r\n<THEAD><BR>\r\n"
                           "<LINK><TD>\r\n</ADDRESS> <IMG SRC=\"p.gif\">"));
    select(3, 2);
    editor.setWordWrap(true);
    bool wrapDuringPass = true;
    int pumps = 0;
    onPump = [&] {
        wrapDuringPass = wrapDuringPass && editor.wordWrap();
        ++pumps;
    };
    const QString before = editor.text();
    EXPECT_TRUE(pass.colorTags());
    EXPECT_EQ(coloured(), QStringLiteral("0+6:0 "                        // <HTML>
                                         "12+3:2 19+4:2 24+12:3 37+4:3 " // B, /B, A, /A
                                         "43+7:4 50+4:0 "                // THEAD, BR
                                         "56+6:8 62+4:4 "                // LINK, TD
                                         "68+10:3 79+17:9"));            // /ADDRESS, IMG
    EXPECT_EQ(editor.text(), before);
    EXPECT_EQ(pumps, 6); // once per line, the empty one too
    // The pass reads the document's lines: it leaves the wrap alone (laying a big page out
    // again would hold the window for seconds) and ends on the setting.
    EXPECT_TRUE(wrapDuringPass);
    EXPECT_TRUE(editor.wordWrap());
    EXPECT_EQ(editor.selStart(), 0);
    EXPECT_EQ(editor.selLength(), 0);
    EXPECT_FALSE(doc.htmlModified());
}

TEST_F(ColorPass, WrapReturnsToTheSettingNotToWhatItWas) {
    setText(QStringLiteral("<P>"));
    wrap = false;
    editor.setWordWrap(true);
    pass.colorTags();
    EXPECT_FALSE(editor.wordWrap());
}

TEST_F(ColorPass, StopInTheMiddleKeepsEarlierTagsAndRestoresWrap) {
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("<P>line\r\n");
    setText(text);
    int pumps = 0;
    onPump = [&] {
        if (++pumps == 501)
            stop.stop = true; // a press in the editor while line 500 waits
    };
    EXPECT_FALSE(pass.colorTags());
    ASSERT_EQ(editor.coloredRanges().size(), 500);
    EXPECT_EQ(editor.coloredRanges().last().start, 499 * 9);
    EXPECT_TRUE(editor.wordWrap());
    // The selection stands on the last tag coloured.
    EXPECT_EQ(editor.selStart(), 499 * 9);
    EXPECT_EQ(editor.selLength(), 3);
    // The next pass clears the flag and runs to the end.
    onPump = nullptr;
    EXPECT_TRUE(pass.colorTags());
    EXPECT_EQ(editor.coloredRanges().size(), 1500);
}

TEST_F(ColorPass, APageOpenedWhileThePassRunsIsNeverTouched) {
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("<P>line\r\n");
    setText(text);
    pass.setDocument(&doc);
    ASSERT_TRUE(dir.write(QStringLiteral("other.htm"), "<B>other</B>\r\n<I>page</I>\r\n"));
    editor.setWordWrap(true);
    int pumps = 0;
    onPump = [&] {
        // Alt+O while line 50 waits: the other page is opened, its caret put somewhere.
        if (++pumps == 50) {
            ASSERT_TRUE(doc.loadDocument(dir.file(QStringLiteral("other.htm"))).ok);
            select(5, 3);
        }
    };
    EXPECT_FALSE(pass.colorTags());
    EXPECT_EQ(pumps, 50);
    EXPECT_EQ(editor.text(), QStringLiteral("<B>other</B>\r\n<I>page</I>\r\n"));
    EXPECT_TRUE(editor.coloredRanges().isEmpty());
    EXPECT_EQ(editor.selStart(), 5);
    EXPECT_EQ(editor.selLength(), 3);
    EXPECT_FALSE(doc.htmlModified());
    EXPECT_TRUE(editor.wordWrap()); // back to the setting
}

TEST_F(ColorPass, ColorTagsNowOnlyWithADocument) {
    setText(QStringLiteral("<P>"));
    pass.colorTagsNow(doc);
    EXPECT_EQ(editor.coloredRanges().size(), 1);
    // A document that was never started has no name: nothing runs.
    TextBuffer other;
    HtmlDocument none(other, prompter, chooser, clipboard, settings, store, changed, dir.path());
    other.setText(QStringLiteral("<P>"));
    TagColoringPass otherPass(other, pump, stop, wrap);
    otherPass.colorTagsNow(none);
    EXPECT_TRUE(other.coloredRanges().isEmpty());
}

TEST_F(ColorPass, RunsAfterALoadWhileColorIsOn) {
    ShellParts parts;
    parts.colouring = &pass;
    doc.setParts(&parts);
    ASSERT_TRUE(dir.write(QStringLiteral("a.htm"), "<B>x</B>\r\n"));
    doc.setColored(true);
    ASSERT_TRUE(doc.loadDocument(dir.file(QStringLiteral("a.htm"))).ok);
    EXPECT_EQ(coloured(), QStringLiteral("0+3:2 4+4:2"));
    EXPECT_EQ(IniFile(dir.file(QStringLiteral("DEFAULT.INI")))
                  .readString(QStringLiteral("Tags"), QStringLiteral("Colored"), QString()),
              QStringLiteral("1"));
}

struct FixedColor : ColorChooser {
    std::optional<QColor> color;
    std::optional<QColor> chooseColor() override { return color; }
};

TEST(ColorValue, NineCharactersUpperCaseHex) {
    EXPECT_EQ(colorValueText(QColor(255, 128, 0)), QStringLiteral("\"#FF8000\""));
    EXPECT_EQ(colorValueText(QColor(0, 10, 171)), QStringLiteral("\"#000AAB\""));
}

TEST_F(ColorPass, ColorPickerReplacesASelectedValueAndSelectsTheNewOne) {
    setText(QStringLiteral("<FONT COLOR=\"#000000\">"));
    select(12, 9);
    FixedColor chooser;
    chooser.color = QColor(255, 0, 0);
    ColorPicker(editor, doc, chooser);
    EXPECT_EQ(editor.text(), QStringLiteral("<FONT COLOR=\"#FF0000\">"));
    EXPECT_EQ(editor.selStart(), 12);
    EXPECT_EQ(editor.selLength(), 9);
    EXPECT_EQ(editor.selText(), QStringLiteral("\"#FF0000\""));
    EXPECT_TRUE(doc.htmlModified());

    // Cancel: nothing.
    setText(QStringLiteral("ab"));
    select(1, 0);
    chooser.color.reset();
    ColorPicker(editor, doc, chooser);
    EXPECT_EQ(editor.text(), QStringLiteral("ab"));
    EXPECT_FALSE(doc.htmlModified());
}

} // namespace
