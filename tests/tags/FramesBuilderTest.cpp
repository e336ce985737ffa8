// The frames builder: the wizard's layout, naming and text, the templates, and the FRAMESET and
// FRAME dialogs' texts.
#include "tags/FramesBuilder.h"
#include "tags/TagText.h"

#include <gtest/gtest.h>

namespace {

const QString noResize = " SRC=\"\" SCROLLING=\"Auto\" NORESIZE>";

QString frame(const QString& indent, const QString& name) {
    return indent + "<FRAME NAME=\"" + name + "\"" + noResize;
}

TEST(FrameTexts, SizeListsAndFrameLines) {
    EXPECT_EQ(frameSizeList(1), "*");
    EXPECT_EQ(frameSizeList(2), "50%,*");
    EXPECT_EQ(frameSizeList(3), "33%,33%,*");
    EXPECT_EQ(frameSizeList(4), "25%,25%,25%,*");
    EXPECT_EQ(frameSizeList(5), "20%,20%,20%,20%,*");

    FrameSlot both{"a", "b.htm", "No", true, true};
    EXPECT_EQ(frameLine("  ", both),
              "  <FRAME NAME=\"a\" SRC=\"b.htm\" SCROLLING=\"No\" NORESIZE FRAMEBORDER=\"0\">");
    FrameSlot neither{"a", "", "Yes", false, false};
    EXPECT_EQ(frameLine("", neither), "<FRAME NAME=\"a\" SRC=\"\" SCROLLING=\"Yes\" >");
    FrameSlot border{"a", "", "Auto", false, true};
    EXPECT_EQ(frameLine("", border),
              "<FRAME NAME=\"a\" SRC=\"\" SCROLLING=\"Auto\"  FRAMEBORDER=\"0\">");
    FrameSlot quoted{"x\"y", "a\"b", "Auto", true, false};
    EXPECT_EQ(frameLine("", quoted),
              "<FRAME NAME=\"x&quot;y\" SRC=\"a&quot;b\" SCROLLING=\"Auto\" NORESIZE>");
}

TEST(FrameWizard, ColumnsTwoFramesTheSecondSplit) {
    FrameWizard w;
    w.next();
    EXPECT_EQ(w.step(), 2);
    w.setSubCount(2, 2);
    w.next();
    EXPECT_EQ(w.step(), 3);
    EXPECT_EQ(w.panel.name, "Frame1");
    EXPECT_TRUE(w.next());
    EXPECT_EQ(w.text(), joinLines({"<FRAMESET ROWS=\"100%\" COLS=\"50%,*\">",
                                   frame("    ", "Frame1"), "    <FRAMESET ROWS=\"50%,*\">",
                                   frame("        ", "Frame2A"), frame("        ", "Frame2B"),
                                   "    </FRAMESET>", "<NOFRAME>", "</NOFRAME>", "</FRAMESET>"}));
}

TEST(FrameWizard, RowsThreeFramesPutColsFirst) {
    FrameWizard w;
    w.setOrientation(FrameOrientation::Rows);
    w.setMainCount(3);
    w.next();
    w.next();
    ASSERT_TRUE(w.next());
    EXPECT_EQ(w.text(),
              joinLines({"<FRAMESET COLS=\"100%\" ROWS=\"33%,33%,*\">", frame("    ", "Frame1"),
                         frame("    ", "Frame2"), frame("    ", "Frame3"), "<NOFRAME>",
                         "</NOFRAME>", "</FRAMESET>"}));
}

TEST(FrameWizard, SlotsKeepTheirNamesAcrossBackAndAChangedSplit) {
    FrameWizard w;
    w.next();
    w.next(); // step 3, frame 1 loaded as "Frame1"
    w.panel.source = "menu.htm";
    w.clickSlot(6); // main frame 2: stores slot 1 as "Frame1"
    EXPECT_EQ(w.currentSlot(), 6);
    EXPECT_EQ(w.panel.name, "Frame2");
    w.panel.name = "Main";
    w.back(); // stores slot 6 as "Main"
    EXPECT_EQ(w.step(), 2);
    EXPECT_EQ(w.slot(6).name, "Main");
    w.setSubCount(1, 3);
    w.setSubCount(2, 2);
    w.next();
    // Slot 1 follows the split of frame 1; the name typed for frame 2 goes to its first subframe.
    EXPECT_EQ(w.slot(1).name, "Frame1A");
    EXPECT_EQ(w.panel.name, "Frame1A");
    EXPECT_EQ(w.panel.source, "menu.htm");
    EXPECT_EQ(w.highlightedSlot(), 1);
    w.clickSlot(7);
    EXPECT_EQ(w.panel.name, "Frame2B"); // not named yet: its caption
    w.panel.name = "*";                 // a typed "*" gets the default name at Finish
    w.clickSlot(3);
    w.panel.noResize = false;
    w.panel.scrolling = "No";
    ASSERT_TRUE(w.next());
    EXPECT_EQ(w.slot(2).name, "Frame1B");
    EXPECT_EQ(w.slot(7).name, "Frame2B");
    EXPECT_EQ(
        w.text(),
        joinLines({"<FRAMESET ROWS=\"100%\" COLS=\"50%,*\">", "    <FRAMESET ROWS=\"33%,33%,*\">",
                   "        <FRAME NAME=\"Frame1A\" SRC=\"menu.htm\" SCROLLING=\"Auto\" "
                   "NORESIZE>",
                   frame("        ", "Frame1B"),
                   "        <FRAME NAME=\"Frame1C\" SRC=\"\" SCROLLING=\"No\" >", "    </FRAMESET>",
                   "    <FRAMESET ROWS=\"50%,*\">", frame("        ", "Main"),
                   frame("        ", "Frame2B"), "    </FRAMESET>", "<NOFRAME>", "</NOFRAME>",
                   "</FRAMESET>"}));

    // Unsplitting frame 1 again turns only slot 1's default name back.
    FrameWizard u;
    u.next();
    u.setSubCount(1, 2);
    u.next();
    EXPECT_EQ(u.panel.name, "Frame1A");
    u.clickSlot(2); // stores slot 1 as Frame1A
    u.back();
    u.setSubCount(1, 1);
    u.next();
    EXPECT_EQ(u.slot(1).name, "Frame1");
    EXPECT_EQ(u.slot(2).name, "Frame1B"); // kept, though no longer shown
}

TEST(FrameWizard, FinishNamesUnnamedFirstSubframesOnlyOfSplitFrames) {
    FrameWizard w;
    w.setMainCount(5);
    w.next();
    w.setSubCount(3, 2);
    w.next();
    ASSERT_TRUE(w.next());
    EXPECT_EQ(w.slot(1).name, "Frame1");
    EXPECT_EQ(w.slot(6).name, "Frame2");
    EXPECT_EQ(w.slot(11).name, "Frame3A");
    EXPECT_EQ(w.slot(12).name, "Frame3B");
    EXPECT_EQ(w.slot(25).name, "Frame5E");
}

TEST(FrameWizard, ClicksOutsideStepThreeAndDialsBeyondTheCount) {
    FrameWizard w;
    w.clickSlot(6);
    EXPECT_EQ(w.currentSlot(), 1);
    w.setMainCount(4);
    w.next();
    w.setSubCount(4, 3);
    w.back();
    w.setMainCount(3);
    w.next(); // main frame 4 is gone: its dial back to 1
    EXPECT_EQ(w.subCount(4), 1);
    w.back();
    w.back();
    EXPECT_EQ(w.step(), 1);
    w.setMainCount(9);
    EXPECT_EQ(w.mainCount(), 5);
    w.setMainCount(1);
    EXPECT_EQ(w.mainCount(), 2);
}

TEST(FrameWizard, PictureGeometry) {
    FrameWizard w;
    w.setMainCount(3);
    w.setSubCount(2, 3);
    QList<FrameRectangle> r = w.rectangles();
    ASSERT_EQ(r.size(), 6);
    EXPECT_EQ(r[0].rect, QRect(16, 36, 106, 240));
    EXPECT_EQ(r[1].rect, QRect(122, 36, 106, 240));
    EXPECT_EQ(r[1].caption, "Frame2");
    EXPECT_EQ(r[2].rect, QRect(122, 36, 106, 80));
    EXPECT_EQ(r[2].caption, "Frame2A");
    EXPECT_EQ(r[2].slot, 6);
    EXPECT_EQ(r[4].rect, QRect(122, 196, 106, 80));
    EXPECT_EQ(r[4].slot, 8);
    EXPECT_TRUE(r[4].subframe);
    EXPECT_EQ(r[5].rect, QRect(228, 36, 106, 240));

    w.setOrientation(FrameOrientation::Rows);
    w.setSubCount(2, 2);
    r = w.rectangles();
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0].rect, QRect(16, 36, 320, 80));
    EXPECT_EQ(r[2].rect, QRect(16, 116, 160, 80));
    EXPECT_EQ(r[3].rect, QRect(176, 116, 160, 80));
    EXPECT_EQ(r[3].caption, "Frame2B");
    EXPECT_EQ(r[4].rect, QRect(16, 196, 320, 80));
}

TEST(FrameTemplates, TheFiveDesigns) {
    const FrameSlot yellow{"Frame1", "", "Auto", true, false};
    const FrameSlot white{"Frame2", "", "Auto", true, false};
    const FrameSlot pink{"Frame3", "", "Auto", true, false};
    const QStringList closing{"<NOFRAME>", "</NOFRAME>", "</FRAMESET>"};
    const QString f1 = frame("    ", "Frame1"), f2 = frame("    ", "Frame2"),
                  f3 = frame("    ", "Frame3");
    EXPECT_EQ(frameTemplateText(1, yellow, white, pink),
              joinLines(QStringList{"<FRAMESET ROWS=\"100%\" COLS=\"20%,*\">", f1, f2} + closing));
    EXPECT_EQ(frameTemplateText(2, yellow, white, pink),
              joinLines(QStringList{"<FRAMESET COLS=\"100%\" ROWS=\"20%,*\">", f1, f2} + closing));
    EXPECT_EQ(frameTemplateText(3, yellow, white, pink),
              joinLines(QStringList{"<FRAMESET COLS=\"100%\" ROWS=\"20%,60%,*\">", f1, f2, f3} +
                        closing));
    const QString design4 = frameTemplateText(4, yellow, white, pink);
    EXPECT_EQ(design4,
              joinLines(QStringList{"<FRAMESET ROWS=\"100%\" COLS=\"20%,*\">", f1,
                                    "    <FRAMESET ROWS=\"20%,*\">", frame("        ", "Frame3"),
                                    frame("        ", "Frame2"), "    </FRAMESET>"} +
                        closing));
    EXPECT_EQ(design4.count("\r\n"), 9);
    EXPECT_EQ(frameTemplateText(5, yellow, white, pink),
              joinLines(QStringList{"<FRAMESET COLS=\"100%\" ROWS=\"80%,*\">", f2, f1} + closing));
    EXPECT_TRUE(frameTemplateUsesPink(3));
    EXPECT_TRUE(frameTemplateUsesPink(4));
    EXPECT_FALSE(frameTemplateUsesPink(5));
}

TEST(FrameDialogs, FramesetAroundTheCutTextAndFrame) {
    EXPECT_EQ(framesetText("", "", ""), joinLines({"<FRAMESET>", "</FRAMESET>"}));
    EXPECT_EQ(framesetText("", "", "a\r\nb"),
              joinLines({"<FRAMESET>", "    a", "    b", "</FRAMESET>"}));
    EXPECT_EQ(framesetText("100%", "50%,50%", "a\r\n\r\nb\r\n"),
              joinLines({"<FRAMESET COLS=\"100%\" ROWS=\"50%,50%\">", "    a", "    ", "    b",
                         "</FRAMESET>"}));
    EXPECT_EQ(framesetText("", "25%,*", "x"),
              joinLines({"<FRAMESET ROWS=\"25%,*\">", "    x", "</FRAMESET>"}));

    EXPECT_EQ(frameDialogText(FrameSlot{"", "", "Auto", true, false}),
              "<FRAME NAME=\"\" SRC=\"\" SCROLLING=\"Auto\"  NORESIZE>\r\n");
    EXPECT_EQ(frameDialogText(FrameSlot{"Index", "table.html", "No", false, true}),
              "<FRAME NAME=\"Index\" SRC=\"table.html\" SCROLLING=\"No\"  FRAMEBORDER=\"0\">\r\n");
    EXPECT_EQ(frameDialogText(FrameSlot{"I", "t", "Yes", false, false}),
              "<FRAME NAME=\"I\" SRC=\"t\" SCROLLING=\"Yes\" >\r\n");
}

} // namespace
