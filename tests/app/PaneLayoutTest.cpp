// The sizing rules of the left pane and the splitter.
#include "app/PaneLayout.h"

#include <gtest/gtest.h>

TEST(PaneLayout, DragFollowsThePointerOnlyPast203Pixels) {
    EXPECT_FALSE(PaneLayout::dragWidth(203).has_value());
    EXPECT_FALSE(PaneLayout::dragWidth(-40).has_value());
    EXPECT_EQ(PaneLayout::dragWidth(204), 199);
    EXPECT_EQ(PaneLayout::dragWidth(600), 595);
}

TEST(PaneLayout, LeftPaneIsCutTo95PercentTruncated) {
    // 95 % of 1001 is 950.95: more than round(950.95) = 951 is cut to 950.
    EXPECT_EQ(PaneLayout::clampLeftPane(951, 1001), 951);
    EXPECT_EQ(PaneLayout::clampLeftPane(952, 1001), 950);
    EXPECT_EQ(PaneLayout::clampLeftPane(1000, 1000), 950);
    EXPECT_EQ(PaneLayout::clampLeftPane(950, 1000), 950);
    EXPECT_EQ(PaneLayout::clampLeftPane(300, 1000), 300);
}

TEST(PaneLayout, ResizeRulesAndChildGeometry) {
    EXPECT_FALSE(PaneLayout::mainResizeClamps(205));
    EXPECT_TRUE(PaneLayout::mainResizeClamps(206));
    EXPECT_FALSE(PaneLayout::editingPaneResizeClamps(200));
    EXPECT_TRUE(PaneLayout::editingPaneResizeClamps(201));

    const QRect editor = PaneLayout::editorGeometry(700, 500);
    EXPECT_EQ(editor.width(), 679);
    EXPECT_EQ(editor.height(), 468);

    const auto tall = PaneLayout::leftPaneGeometry(200, 600, 768, 56);
    EXPECT_EQ(tall.outlineWidth, 188);
    EXPECT_EQ(tall.buttonGroupTop, 600 - 34 - 56);
    EXPECT_EQ(tall.outlineBottom, 600 - 34 - 56 - 8);
    EXPECT_EQ(tall.filesListBottom, 600 - 38);
    const auto low = PaneLayout::leftPaneGeometry(200, 300, 400, 56);
    EXPECT_FALSE(low.buttonGroupTop.has_value());
    EXPECT_FALSE(low.filesListBottom.has_value());
}
