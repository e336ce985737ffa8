// TextBuffer's own parts: the colour ranges it records and the selection its undo restores.
#include "editor/TextBuffer.h"

#include <gtest/gtest.h>

namespace {

TEST(TextBuffer, ColouredRangesAreClampedAndClearedByNewText) {
    TextBuffer b;
    b.setText(QStringLiteral("<b>\r\n<i>"));
    b.colorRange(0, 3, Qt::red);
    b.colorRange(4, 4, Qt::blue);  // starts between CR and LF, runs past the end
    b.colorRange(3, 1, Qt::green); // only half a line end: nothing
    b.colorRange(-2, 0, Qt::green);
    ASSERT_EQ(b.coloredRanges().size(), 2);
    EXPECT_EQ(b.coloredRanges()[0].start, 0);
    EXPECT_EQ(b.coloredRanges()[0].length, 3);
    EXPECT_EQ(b.coloredRanges()[0].color, QColor(Qt::red));
    EXPECT_EQ(b.coloredRanges()[1].start, 3);
    EXPECT_EQ(b.coloredRanges()[1].length, 4); // up to the end of the text
    b.setText(QStringLiteral("x"));
    EXPECT_TRUE(b.coloredRanges().isEmpty());
}

TEST(TextBuffer, UndoRestoresTextAndSelectionOnce) {
    TextBuffer b;
    b.setText(QStringLiteral("abc"));
    b.setSelStart(1);
    b.setSelLength(1);
    b.replaceSelection(QStringLiteral("XY"));
    b.undo();
    EXPECT_EQ(b.text(), QStringLiteral("abc"));
    EXPECT_EQ(b.selStart(), 1);
    EXPECT_EQ(b.selLength(), 1);
    b.undo(); // one step only
    EXPECT_EQ(b.text(), QStringLiteral("abc"));
}

} // namespace
