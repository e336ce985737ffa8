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

TEST(CollectImageNames, QuotedPictureValuesInOrderCutToTheirLastSeparator) {
    const QStringList lines = {
        QStringLiteral("<IMG SRC=\"Images/Logo.GIF\" ALT=\"x.jpg\"><IMG SRC=\"a\\b\\c.jpg\">"),
        // The closing quote of one value never opens the next: "x" then " y.gif " pair up.
        QStringLiteral("<A HREF=\"x\">\"y.gif\"</A> \"dangling.gif"),
        QStringLiteral("\"photo.jpeg\" \"pic.png\" \"noext\" \"dir.gif/\" \"\""),
        QStringLiteral("\"same.gif\" \"same.gif\""),
        QString(),
    };
    EXPECT_EQ(CollectImageNames(lines),
              QStringList({"logo.gif", "x.jpg", "c.jpg", "y.gif", "same.gif", "same.gif"}));
}
