// The HTML extension list and the file-dialog filters built from it.
#include "app/HtmlExtensions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(HtmlExtensions, MissingFileGivesTheFiveDefaults) {
    TempDir dir;
    const QStringList ext = loadHtmlExtensions(dir.file(QStringLiteral("htmlext.dat")));
    EXPECT_EQ(htmlFilePattern(ext), QStringLiteral("*.html;*.htm;*.shtml;*.shtm;*.asp"));
}

TEST(HtmlExtensions, OnlyTheFirstFifteenOfTwentyLinesAreUsed) {
    TempDir dir;
    QByteArray bytes;
    for (int i = 1; i <= 20; ++i)
        bytes += "e" + QByteArray::number(i) + "\r\n";
    ASSERT_TRUE(dir.write(QStringLiteral("htmlext.dat"), bytes));
    const QStringList ext = loadHtmlExtensions(dir.file(QStringLiteral("htmlext.dat")));
    ASSERT_EQ(ext.size(), 15);
    EXPECT_EQ(ext.last(), QStringLiteral("e15"));
    EXPECT_EQ(htmlFilePattern(ext), QStringLiteral("*.e1;*.e2;*.e3;*.e4;*.e5;*.e6;*.e7;*.e8;*.e9;"
                                                   "*.e10;*.e11;*.e12;*.e13;*.e14;*.e15"));
}

TEST(HtmlExtensions, BlankLinesDotsAndLfEndingsAreTolerated) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("htmlext.dat"), "php\n\n  .xhtml \nhtm"));
    EXPECT_EQ(htmlFilePattern(loadHtmlExtensions(dir.file(QStringLiteral("htmlext.dat")))),
              QStringLiteral("*.php;*.xhtml;*.htm"));
}

TEST(HtmlExtensions, AFileWithNoExtensionFallsBackToTheDefaults) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("htmlext.dat"), "\r\n  \r\n"));
    EXPECT_EQ(loadHtmlExtensions(dir.file(QStringLiteral("htmlext.dat"))), defaultHtmlExtensions());
}

TEST(HtmlExtensions, FiltersAreBuiltAroundThePattern) {
    const QString p = QStringLiteral("*.html;*.htm");
    EXPECT_EQ(filesTabFilter(p),
              QStringLiteral("All Files|*.*|Image Files|*.jpg;*.gif|HTML Files|"
                             "*.html;*.htm|All Web Files|*.jpg;*.gif;*.html;*.htm"));
    EXPECT_EQ(mainOpenFilter(p), QStringLiteral("HTML Files|*.html;*.htm|Project Files|*.out|EXE "
                                                "Files|*.exe|All Files|*.*"));
    EXPECT_EQ(pageDialogFilter(p), QStringLiteral("HTML Files|*.html;*.htm|All Files|*.*"));
}
