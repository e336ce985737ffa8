#include "app/Commands.h"

#include <gtest/gtest.h>

// A row kept while the table grows past many reallocations still reaches its own command, and
// the fields set through it land on that command only.
TEST(CommandTableBuilder, RowsKeptWhileTheTableGrowsReachTheirOwnCommand) {
    CommandTable t;
    const CommandTableBuilder add(t);
    int ran = 0;
    const CommandRow first = add(QStringLiteral("First1"), QStringLiteral("&First"),
                                 QKeySequence(QStringLiteral("Ctrl+1")), [&ran] { ++ran; });
    const CommandRow second =
        add(QStringLiteral("Second1"), QStringLiteral("Second"), [&ran] { ran += 10; });
    for (int i = 0; i < 1000; ++i)
        add(QStringLiteral("Filler%1").arg(i), QStringLiteral("Filler"));
    first->hint = QStringLiteral("The first");
    second->icon = QStringLiteral("second-icon");

    ASSERT_EQ(t.commands.size(), 1002);
    EXPECT_EQ(first.id(), QStringLiteral("First1"));
    EXPECT_EQ(second.id(), QStringLiteral("Second1"));
    const Command& a = t.commands.at(0);
    EXPECT_EQ(a.caption, QStringLiteral("&First"));
    EXPECT_EQ(a.shortcut, QKeySequence(QStringLiteral("Ctrl+1")));
    EXPECT_EQ(a.hint, QStringLiteral("The first"));
    EXPECT_TRUE(a.icon.isEmpty());
    const Command& b = t.commands.at(1);
    EXPECT_TRUE(b.shortcut.isEmpty());
    EXPECT_EQ(b.icon, QStringLiteral("second-icon"));
    EXPECT_TRUE(b.hint.isEmpty());
    a.run();
    b.run();
    EXPECT_EQ(ran, 11);
    EXPECT_FALSE(t.commands.at(2).run);
    EXPECT_EQ(t.commands.at(1001).id, QStringLiteral("Filler999"));
}
