// CollectHrefLinks on the lines that trip a tag walker up.
#include "analysis/HrefLinks.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(HrefLinks, BothSpellingsInOrderAndOnlyThose) {
    EXPECT_EQ(CollectHrefLinks({R"(<a href="one.html">One</a> <A HREF="two.html">Two</A>)",
                                R"(<a Href="mixed.html">not counted</a>)",
                                R"(<p><a href="three.html">x</a>)"}),
              QStringList({"one.html", "two.html", "three.html"}));
    // Repeats stay: sorting and de-duplicating is the listing's business.
    EXPECT_EQ(CollectHrefLinks({R"(<a href="a.html"><a href="a.html">)", ""}),
              QStringList({"a.html", "a.html"}));
}

TEST(HrefLinks, QuotesOutsideTheTagAreNotALink) {
    // The first quote of the line stands before the tag: the href pairs no quotes, and every
    // quote before the tag's ">" is used up with it, its own included.
    EXPECT_EQ(CollectHrefLinks({R"(He said "hi" <a href="lost.html">x</a>)", "next"}),
              QStringList());
    // Quotes in the text between tags go with the next tag that has none of its own, so a later
    // link still pairs its own quotes.
    EXPECT_EQ(CollectHrefLinks({R"(<b>"quoted"</b> <a href="after.html">x</a>)", ""}),
              QStringList({"after.html"}));
    // A value whose closing quote lies beyond the first ">" gives nothing.
    EXPECT_EQ(CollectHrefLinks({R"(<a href="x>y.html">z</a>)", ""}), QStringList());
    // href in the text between tags is not inside a tag.
    EXPECT_EQ(CollectHrefLinks({R"(<b>see href "q"</b>)", ""}), QStringList());
}

TEST(HrefLinks, ATagWithoutItsEndOnTheLastLineEndsTheCollection) {
    EXPECT_EQ(CollectHrefLinks({R"(<a href="first.html">)", R"(<a href="cut.html")"}),
              QStringList({"first.html"}));
    // Not on the last line: the walk moves on to the next "<" and the next line.
    EXPECT_EQ(CollectHrefLinks({R"(<a href="split.html")", R"(<a href="next.html">)", ""}),
              QStringList({"next.html"}));
    // A missing closing quote on the last line ends it too, links before stay.
    EXPECT_EQ(CollectHrefLinks({R"(<a href="ok.html">)", R"(<a href=bad.html>)"}),
              QStringList({"ok.html"}));
    EXPECT_EQ(CollectHrefLinks({}), QStringList());
    EXPECT_EQ(CollectHrefLinks({"", "no tags at all", "<"}), QStringList());
}
