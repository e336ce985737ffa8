// The text stream's pages: where each line lands.
#include "platform/PrintLayout.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(PrintLayout, LinesFillPagesTopDownAndBreakWhenTheNextWouldNotFit) {
    // Pages of 100 pixels and lines of 30: three lines a page (90), the fourth starts page two.
    const std::vector<PrintPage> pages =
        layoutTextLines({"one", "two", "\tthree", "four", "", "six", "seven"}, {100, 30});
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].runs,
              std::vector<PrintRun>({{0, 0, "one"}, {0, 30, "two"}, {0, 60, "\tthree"}}));
    // An empty line still takes its place.
    EXPECT_EQ(pages[1].runs, std::vector<PrintRun>({{0, 0, "four"}, {0, 30, ""}, {0, 60, "six"}}));
    EXPECT_EQ(pages[2].runs, std::vector<PrintRun>({{0, 0, "seven"}}));
    // A line exactly filling the page fits.
    EXPECT_EQ(layoutTextLines({"a", "b"}, {60, 30}).size(), 1u);
}

TEST(PrintLayout, OddPagesAndNoLines) {
    // Nothing to print still gives the page the job prints.
    EXPECT_EQ(layoutTextLines({}, {100, 30}), std::vector<PrintPage>(1));
    // A line taller than the page: one a page rather than none, and no endless loop.
    const std::vector<PrintPage> tall = layoutTextLines({"a", "b"}, {10, 30});
    ASSERT_EQ(tall.size(), 2u);
    EXPECT_EQ(tall[1].runs, std::vector<PrintRun>({{0, 0, "b"}}));
    EXPECT_EQ(layoutTextLines({"a", "b"}, {100, 0})[0].runs.size(), 2u);
}
