// Lines of an EditWindow's text.
#include "editor/TextBuffer.h"

#include <gtest/gtest.h>

TEST(EditWindowLines, CountsLinesWithoutATrailingEmptyOne) {
    TextBuffer b;
    EXPECT_EQ(b.lineCount(), 0);
}

TEST(EditWindowLines, SplitsOnCrLfOnly) {
    TextBuffer b;
    b.setText(QStringLiteral("one\r\n\r\nthree\n"));
    EXPECT_EQ(b.lineCount(), 3);
    EXPECT_EQ(b.line(0), QStringLiteral("one"));
    EXPECT_EQ(b.line(1), QString());
    EXPECT_EQ(b.line(2), QStringLiteral("three"));
    EXPECT_EQ(b.line(3), QString());
    EXPECT_EQ(b.line(-1), QString());
    b.setText(QStringLiteral("\r\n"));
    EXPECT_EQ(b.lineCount(), 1);
}
