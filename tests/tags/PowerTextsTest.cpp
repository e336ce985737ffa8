// The texts of the BODY, anchor, image, table, list and rule dialogs, from their field values.
#include "tags/PowerAnchor.h"
#include "tags/PowerBody.h"
#include "tags/PowerImage.h"
#include "tags/PowerList.h"
#include "tags/PowerRule.h"
#include "tags/PowerTable.h"
#include "tags/TagText.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

QString lines(const QStringList& l) {
    return joinLines(l);
}

TEST(PowerBody, ColoursAreRedGreenBlueFromTheLowByteUp) {
    EXPECT_EQ(colorText(16777215), "#FFFFFF");
    EXPECT_EQ(colorText(16711680), "#0000FF"); // stored blue
    EXPECT_EQ(colorText(255), "#FF0000");
    EXPECT_EQ(colorText(0x0A0B0C), "#0C0B0A");
    EXPECT_EQ(colorText(8388736), "#800080");
    EXPECT_EQ(colorText(10485760), "#0000A0");
}

TEST(PowerBody, Texts) {
    const QString defaults =
        "<BODY BGCOLOR=#FFFFFF TEXT=\"#000000\" LINK=#0000FF ALINK=#0000A0 VLINK=#800080>";
    struct Case {
        const char* what;
        std::function<void(BodyFields&)> set;
        QString text;
    };
    const QList<Case> cases = {
        {"insert at once: the BODY tag and a line break", [](BodyFields&) {}, lines({defaults})},
        {"end tag", [](BodyFields& f) { f.endTag = true; }, lines({defaults, "</BODY>"})},
        {"tiled, no image chosen: an empty BACKGROUND", [](BodyFields& f) { f.tiled = true; },
         lines({"<BODY BACKGROUND=\"\" TEXT=\"#000000\" LINK=#0000FF ALINK=#0000A0 "
                "VLINK=#800080>"})},
        {"tiled with the example path before the name",
         [](BodyFields& f) {
             f.tiled = true;
             f.imageLink = "bg.gif";
             f.useRelativePath = true;
             f.relativePath = "example:  data/images/";
         },
         lines({"<BODY BACKGROUND=\"example:  data/images/bg.gif\" TEXT=\"#000000\" "
                "LINK=#0000FF ALINK=#0000A0 VLINK=#800080>"})},
        {"the path unchecked is not written",
         [](BodyFields& f) {
             f.tiled = true;
             f.imageLink = "bg.gif";
             f.relativePath = "img/";
         },
         lines({"<BODY BACKGROUND=\"bg.gif\" TEXT=\"#000000\" LINK=#0000FF ALINK=#0000A0 "
                "VLINK=#800080>"})},
        {"colours in their attributes",
         [](BodyFields& f) {
             f.bg = 0x00FFFF;
             f.text = 0x0000FF;
             f.link = 0x00FF00;
             f.alink = 0x010203;
             f.vlink = 0x102030;
         },
         lines({"<BODY BGCOLOR=#FFFF00 TEXT=\"#FF0000\" LINK=#00FF00 ALINK=#030201 "
                "VLINK=#302010>"})},
        {"only TITLE: no HEAD, and </BODY> though its box is unchecked",
         [](BodyFields& f) {
             f.title = true;
             f.titleText = "Home";
         },
         lines({"    <TITLE>Home</TITLE>", defaults, "</BODY>"})},
        {"everything",
         [](BodyFields& f) {
             f.html = f.head = f.title = f.meta = true;
             f.titleText = "T";
             f.description = "D";
             f.keywords = "K";
         },
         lines({"<HTML>", "<HEAD>", "    <TITLE>T</TITLE>",
                "    <META Name=\"Description\" Content=\"D\">",
                "    <META Name=\"Keywords\" Content=\"K\">", "</HEAD>", defaults, "</BODY>",
                "</HTML>"})},
        {"HTML alone",
         [](BodyFields& f) {
             f.html = true;
             f.endTag = true;
         },
         lines({"<HTML>", defaults, "</BODY>", "</HTML>"})},
        {"quotes in attribute values, not in the title",
         [](BodyFields& f) {
             f.meta = f.title = true;
             f.titleText = "Say \"hi\"";
             f.description = "a \"b\"";
             f.keywords = "k";
         },
         lines({"    <TITLE>Say \"hi\"</TITLE>",
                "    <META Name=\"Description\" Content=\"a &quot;b&quot;\">",
                "    <META Name=\"Keywords\" Content=\"k\">", defaults, "</BODY>"})},
    };
    for (const Case& c : cases) {
        BodyFields f;
        c.set(f);
        EXPECT_EQ(bodyText(f), c.text) << c.what;
    }
}

TEST(PowerAnchor, Texts) {
    struct Case {
        AnchorFields f;
        const char* text;
    };
    const Case cases[] = {
        {{"index.htm", "Home", false, false, ""}, "<A HREF=\"index.htm\">Home</A>"},
        {{"top", "Top", true, false, ""}, "<A HREF=#top>Top</A>  <A NAME=top>"},
        {{"a.htm", "x", false, true, "Ex:  --    /webdata/pages/"},
         "<A HREF=\"Ex:  --    /webdata/pages/a.htm\">x</A>"},
        // The path goes before web addresses as well, without a separator.
        {{"http://x.org", "", false, true, "p"}, "<A HREF=\"phttp://x.org\"></A>"},
        {{"top", "T", true, true, "p/"}, "<A HREF=#p/top>T</A>  <A NAME=p/top>"},
        {{"say\"x\".htm", "a \"quote\"", false, false, ""},
         "<A HREF=\"say&quot;x&quot;.htm\">a \"quote\"</A>"},
        {AnchorFields{}, "<A HREF=\"http://\"></A>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(anchorText(c.f), QString::fromUtf8(c.text));
}

TEST(PowerImage, Texts) {
    struct Case {
        const char* what;
        std::function<void(ImageFields&)> set;
        const char* text;
    };
    const QList<Case> cases = {
        {"LOGO.GIF of 120 by 60",
         [](ImageFields& f) {
             f.source = "LOGO.GIF";
             f.width = "120";
             f.height = "60";
         },
         // The name as on disk: a case-sensitive server finds LOGO.GIF as LOGO.GIF only.
         "<IMG BORDER=0 HEIGHT=60 WIDTH=120 SRC=\"LOGO.GIF\">"},
        {"nothing but BORDER=0 and an empty source", [](ImageFields&) {},
         "<IMG BORDER=0 SRC=\"\">"},
        {"every field in its order",
         [](ImageFields& f) {
             f.source = "a.gif";
             f.alt = "Alt";
             f.width = "50%";
             f.height = "7";
             f.align = "LEFT";
             f.border = 3;
             f.ismap = true;
         },
         "<IMG ALIGN=LEFT BORDER=3 HEIGHT=7 WIDTH=50% ALT=\"Alt\" SRC=\"a.gif\" ISMAP>"},
        {"the relative path and the name keep their case",
         [](ImageFields& f) {
             f.source = "PIC.JPG";
             f.useRelativePath = true;
             f.relativePath = "/Data/Images/";
         },
         "<IMG BORDER=0 SRC=\"/Data/Images/PIC.JPG\">"},
        {"the path unchecked is not written",
         [](ImageFields& f) {
             f.source = "p.gif";
             f.relativePath = "x/";
         },
         "<IMG BORDER=0 SRC=\"p.gif\">"},
        {"folders of the source keep their case",
         [](ImageFields& f) { f.source = "../Pics/LOGO.GIF"; },
         "<IMG BORDER=0 SRC=\"../Pics/LOGO.GIF\">"},
        {"quotes in ALT and SRC",
         [](ImageFields& f) {
             f.source = "a\"b.gif";
             f.alt = "the \"best\"";
         },
         "<IMG BORDER=0 ALT=\"the &quot;best&quot;\" SRC=\"a&quot;b.gif\">"},
    };
    for (const Case& c : cases) {
        ImageFields f;
        c.set(f);
        EXPECT_EQ(imageText(f), QString::fromUtf8(c.text)) << c.what;
    }
    EXPECT_EQ(imageDimText(120, 60), "Dim: 120 X 60 pixels");
    EXPECT_EQ(imageDimText(1, 2, true), "File Dim: 1 X 2 pixels");
    EXPECT_EQ(imageSizeText(4999), "Size: 4KB");
    EXPECT_EQ(imageSizeText(999, true), "File Size: 0KB");
}

TEST(RelativeLink, ReachesTheFileFromThePage) {
    EXPECT_EQ(relativeLink("/site/a.gif", "/site"), "a.gif");
    EXPECT_EQ(relativeLink("/site/a.gif", "/site/"), "a.gif");
    EXPECT_EQ(relativeLink("/site/img/a.gif", "/site"), "img/a.gif");
    EXPECT_EQ(relativeLink("/a.gif", "/site/pages"), "../../a.gif");
    EXPECT_EQ(relativeLink("/site/a.gif", "/site/pages/"), "../a.gif");
    EXPECT_EQ(relativeLink("/tmp/other/a b.gif", "/home/u/site"), "../../../tmp/other/a b.gif");
    EXPECT_EQ(relativeLink("/site/./x/../a.gif", "/site"), "a.gif");
    EXPECT_EQ(relativeLink("/any/where/a.gif", ""), "a.gif");
}

TEST(PowerTable, Texts) {
    const QString tr2 = lines({"<TR>", "    <TD></TD>", "    <TD></TD>", "</TR>"});
    struct Case {
        const char* what;
        std::function<void(TableFields&)> set;
        QString text;
    };
    const QList<Case> cases = {
        {"defaults: ten lines, one space for the width", [](TableFields&) {},
         lines({"<TABLE >"}) + tr2 + tr2 + lines({"</TABLE>"})},
        {"border 2", [](TableFields& f) { f.border = 2; },
         lines({"<TABLE  BORDER=2>"}) + tr2 + tr2 + lines({"</TABLE>"})},
        {"3 rows, 2 columns, border 1",
         [](TableFields& f) {
             f.rows = 3;
             f.border = 1;
         },
         lines({"<TABLE  BORDER=1>"}) + tr2 + tr2 + tr2 + lines({"</TABLE>"})},
        {"percent 0: nothing between TABLE and >",
         [](TableFields& f) {
             f.percentWidth = true;
             f.percent = 0;
             f.rows = 0;
         },
         lines({"<TABLE>", "</TABLE>"})},
        {"every part in its order",
         [](TableFields& f) {
             f.rows = 1;
             f.columns = 1;
             f.percentWidth = true;
             f.padding = 4;
             f.spacing = 5;
             f.border = 6;
             f.align = "LEFT";
             f.valign = "TOP";
         },
         lines({"<TABLE CELLPADDING=4 CELLSPACING=5 WIDTH=\"90%\" BORDER=6 ALIGN=LEFT "
                "VALIGN=TOP>",
                "<TR>", "    <TD></TD>", "</TR>", "</TABLE>"})},
        {"pixels",
         [](TableFields& f) {
             f.rows = 0;
             f.pixels = 600;
         },
         lines({"<TABLE WIDTH=600>", "</TABLE>"})},
        {"0 rows with a caption at the bottom: the caption still follows TABLE",
         [](TableFields& f) {
             f.rows = 0;
             f.caption = "Prices";
             f.captionBottom = true;
         },
         lines({"<TABLE >", "   <CAPTION ALIGN=BOTTOM>Prices</CAPTION>", "</TABLE>"})},
        {"0 columns",
         [](TableFields& f) {
             f.columns = 0;
             f.caption = "C";
         },
         lines({"<TABLE >", "   <CAPTION ALIGN=TOP>C</CAPTION>", "<TR>", "</TR>", "<TR>", "</TR>",
                "</TABLE>"})},
        {"negative counts count as 0",
         [](TableFields& f) {
             f.rows = -3;
             f.columns = -1;
         },
         lines({"<TABLE >", "</TABLE>"})},
        {"cells by row and column",
         [](TableFields& f) {
             f.columns = 3;
             f.cells = {{"a", "b"}, {"", "", "f"}};
         },
         lines({"<TABLE >", "<TR>", "    <TD>a</TD>", "    <TD>b</TD>", "    <TD></TD>", "</TR>",
                "<TR>", "    <TD></TD>", "    <TD></TD>", "    <TD>f</TD>", "</TR>", "</TABLE>"})},
    };
    for (const Case& c : cases) {
        TableFields f;
        c.set(f);
        EXPECT_EQ(tableText(f), c.text) << c.what;
    }
}

TEST(PowerTable, SamplerGeometry) {
    EXPECT_EQ(tableSamplerCells(0, 0, 0),
              (QList<QRect>{QRect(2, 2, 35, 17), QRect(38, 2, 35, 17), QRect(2, 20, 35, 17)}));
    // Border, padding and spacing stop at 6, 6 and 8.
    EXPECT_EQ(tableSamplerCells(9, 100, 20),
              (QList<QRect>{QRect(16, 16, 47, 29), QRect(72, 16, 47, 29), QRect(16, 54, 47, 29)}));
    EXPECT_EQ(tableSamplerCells(2, 1, 3),
              (QList<QRect>{QRect(7, 7, 37, 19), QRect(48, 7, 37, 19), QRect(7, 30, 37, 19)}));
    EXPECT_EQ(tableSamplerBevel(8), 6);
}

TEST(PowerList, Texts) {
    ListFields unordered;
    EXPECT_EQ(listText(unordered), lines({"<UL>", "    <LI>", "</UL>"}));

    ListFields twelve;
    twelve.ordered = true;
    twelve.rows = 12;
    for (int i = 1; i <= 10; ++i)
        twelve.items << QString::number(i);
    QStringList expected{"<OL>"};
    for (int i = 1; i <= 10; ++i)
        expected << "    <LI>" + QString::number(i);
    expected << "    <LI>"
             << "    <LI>"
             << "</OL>";
    EXPECT_EQ(listText(twelve), lines(expected));

    ListFields flat;
    flat.rows = 2;
    flat.items = QStringList{"a", "b", "c"};
    flat.noIndent = true;
    EXPECT_EQ(listText(flat), lines({"<UL>", "<LI>a", "<LI>b", "</UL>"}));

    ListFields many;
    many.rows = 500;
    EXPECT_EQ(listText(many).count("\r\n"), 502);
}

TEST(PowerRule, TextsAndSample) {
    struct Case {
        RuleFields f;
        const char* text;
        QRect sample;
    };
    const Case cases[] = {
        {RuleFields{}, "<HR ALIGN=\"CENTER\"  SIZE=\"2\"  WIDTH=\"50%\">", QRect(80, 0, 160, 2)},
        {{"LEFT", 5, true, 100, 100, true},
         "<HR ALIGN=\"LEFT\"  SIZE=\"5\"  WIDTH=\"100%\" NOSHADE>",
         QRect(0, 0, 320, 5)},
        {{"RIGHT", 1, false, 50, 1600, false},
         "<HR ALIGN=\"RIGHT\"  SIZE=\"1\"  WIDTH=\"1600\">",
         QRect(0, 0, 320, 1)},
        {{"RIGHT", 20, false, 50, 101, false},
         "<HR ALIGN=\"RIGHT\"  SIZE=\"20\"  WIDTH=\"101\">",
         QRect(270, 0, 50, 20)},
        {{"CENTER", 2, true, 33, 100, false},
         "<HR ALIGN=\"CENTER\"  SIZE=\"2\"  WIDTH=\"33%\">",
         QRect(107, 0, 105, 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ruleText(c.f), QString::fromUtf8(c.text));
        EXPECT_EQ(ruleSample(c.f), c.sample) << c.text;
    }
}

} // namespace
