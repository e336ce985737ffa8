// The list of changed files waiting for upload.
#include "app/ChangedList.h"
#include "platform/TextFile.h"

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

TEST(CollectImageNames, AWholeTextGivesWhatItsLinesGive) {
    // Every kind of line end; a quote left open at a line end does not pair with the next line;
    // upper-case and non-ASCII names are lower-cased, a non-ASCII extension is no picture.
    const QString text = QString::fromUtf8("<img src=\"A.GIF\">\r\n\"open.gif\n\"x.gif\"\r"
                                           "\"\u00c4B/\u00c9T\u00c9.JPG\"\r\n\r\n"
                                           "\"p.g\u00cdf\" \"k.Jpg\" \"\" \"..gif\"\n\"tail.jpg");
    const QStringList lines = QString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                  .split(QLatin1Char('\n'));
    const QStringList expected = {"a.gif", "x.gif", QString::fromUtf8("\u00e9t\u00e9.jpg"), "k.jpg",
                                  "..gif"};
    EXPECT_EQ(CollectImageNames(lines), expected);
    EXPECT_EQ(CollectImageNamesInText(text), expected);
    EXPECT_EQ(CollectImageNamesInText(QString()), QStringList());
}

TEST(CollectImageNames, TheBytesOfAFileGiveWhatItsDecodedTextGives) {
    // In UTF-8 and in Latin-1 (the same text, and bytes that are no UTF-8): the names found in
    // the bytes, decoded and lower-cased, are those of the decoded text, in order.
    const QString text =
        QString::fromUtf8("<img src=\"A.GIF\">\r\n\"open.gif\n\"x.gif\"\r"
                          "\"\u00c4B/\u00c9T\u00c9.JPG\"\r\n\r\n<a href=\"\u00e9\">"
                          "\"p.g\u00cdf\" \"k.Jpg\" \"\" \"..gif\"\n\"tail.jpg");
    const QList<QByteArray> files = {text.toUtf8(), text.toLatin1()};
    for (const QByteArray& bytes : files) {
        const DecodedText decoded = decodeText(bytes);
        std::vector<QByteArrayView> found;
        CollectImageNameBytes(bytes, found);
        QStringList names;
        for (const QByteArrayView name : found)
            names << (decoded.encoding == TextEncoding::Utf8 ? QString::fromUtf8(name)
                                                             : QString::fromLatin1(name))
                         .toLower();
        EXPECT_EQ(names, CollectImageNamesInText(decoded.text));
        EXPECT_EQ(names, QStringList({"a.gif", "x.gif", QString::fromUtf8("\u00e9t\u00e9.jpg"),
                                      "k.jpg", "..gif"}));
    }
    std::vector<QByteArrayView> none;
    CollectImageNameBytes(QByteArray("\"a.gif"), none);
    CollectImageNameBytes(QByteArray(), none);
    EXPECT_TRUE(none.empty());
}
