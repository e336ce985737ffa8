// Lines of an EditWindow's text.
#include "editor/TextBuffer.h"

#include <gtest/gtest.h>

TEST(EditWindowLines, CountsLinesWithoutATrailingEmptyOne) {
    TextBuffer b;
    EXPECT_EQ(b.lineCount(), 0);
}
