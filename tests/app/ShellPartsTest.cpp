// The shell's parts: each slot is filled once.
#include "app/ShellParts.h"

#include <gtest/gtest.h>

namespace {
struct Save : ProjectSave {
    void saveProject() override {}
};
} // namespace

TEST(ShellParts, ASlotFilledTwiceKeepsTheFirstPartAndSaysSo) {
    ShellParts parts;
    Save first;
    Save second;
    parts.provide(&ShellParts::projectSave, &first, "projectSave");
    EXPECT_TRUE(parts.problems.isEmpty());
    parts.provide(&ShellParts::projectSave, &second, "projectSave");
    EXPECT_EQ(parts.projectSave, &first);
    EXPECT_EQ(parts.problems, QStringList({"projectSave is filled twice"}));
}
