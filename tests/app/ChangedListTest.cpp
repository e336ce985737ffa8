// The list of changed files waiting for upload.
#include "app/ChangedList.h"

#include <gtest/gtest.h>

TEST(ChangedList, SortedWithoutRegardToCaseAndExactDuplicatesDropped) {
    ChangedList list;
    list.add(QStringLiteral("/site/b.html"));
    list.add(QStringLiteral("/site/A.html"));
    list.add(QStringLiteral("/site/b.html"));
    list.add(QStringLiteral("/site/a.html"));
    list.add(QString());
    EXPECT_EQ(list.paths(), QStringList({"/site/A.html", "/site/a.html", "/site/b.html"}));
    list.replace({QStringLiteral("/z"), QStringLiteral("/y"), QStringLiteral("/z")});
    EXPECT_EQ(list.paths(), QStringList({"/y", "/z"}));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}
