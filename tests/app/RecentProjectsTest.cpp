// The recent-projects list and its mirror in OPTIONS.INI.
#include "app/RecentProjects.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
QStringList slotsOf(const RecentProjects& r) {
    QStringList s;
    for (int n = 1; n <= 4; ++n)
        s << r.path(n);
    return s;
}
} // namespace

TEST(RecentProjects, NewPathsPushTheOthersDownAndAKnownOneSwapsWithTheFirst) {
    TempDir dir;
    IniFile ini(dir.file(QStringLiteral("OPTIONS.INI")));
    RecentProjects r;
    r.load(ini);
    for (const char* p : {"A", "B", "C", "D", "E"})
        r.update(QLatin1String(p), ini);
    EXPECT_EQ(slotsOf(r), QStringList({"E", "D", "C", "B"}));
    const QList<int> changed = r.update(QStringLiteral("C"), ini);
    EXPECT_EQ(slotsOf(r), QStringList({"C", "D", "E", "B"}));
    EXPECT_EQ(changed, QList<int>({1, 3}));

    // Written back and read by a fresh list.
    RecentProjects again;
    again.load(ini);
    EXPECT_EQ(slotsOf(again), QStringList({"C", "D", "E", "B"}));
    EXPECT_EQ(ini.readString(QStringLiteral("Recent"), QStringLiteral("File3"), QString()),
              QStringLiteral("E"));
}

TEST(RecentProjects, ReopeningTheThirdOfFourSwapsItWithTheFirst) {
    TempDir dir;
    IniFile ini(dir.file(QStringLiteral("OPTIONS.INI")));
    RecentProjects r;
    for (const char* p : {"D", "C", "B", "A"})
        r.update(QLatin1String(p), ini);
    ASSERT_EQ(slotsOf(r), QStringList({"A", "B", "C", "D"}));
    r.update(QStringLiteral("C"), ini);
    EXPECT_EQ(slotsOf(r), QStringList({"C", "B", "A", "D"}));
}

TEST(RecentProjects, ComparisonIsExactAndCaptionsShowTheNumber) {
    TempDir dir;
    IniFile ini(dir.file(QStringLiteral("OPTIONS.INI")));
    RecentProjects r;
    r.load(ini);
    EXPECT_EQ(r.caption(1), QStringLiteral("1: "));
    EXPECT_EQ(r.caption(4), QStringLiteral("4: "));
    r.update(QStringLiteral("/p/site.out"), ini);
    const QList<int> changed = r.update(QStringLiteral("/p/SITE.out"), ini);
    EXPECT_EQ(changed, QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(r.caption(1), QStringLiteral("1: /p/SITE.out"));
    EXPECT_EQ(r.caption(2), QStringLiteral("2: /p/site.out"));
    // Re-opening the first changes only its own caption.
    EXPECT_EQ(r.update(QStringLiteral("/p/SITE.out"), ini), QList<int>({1}));
}
