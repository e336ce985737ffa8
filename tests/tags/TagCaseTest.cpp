// "Write tags in lower case": the names of every tag and attribute the program writes follow the
// setting, while values, the user's text between tags, comments and declarations keep their case.
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/FramesBuilder.h"
#include "tags/PowerAnchor.h"
#include "tags/PowerBody.h"
#include "tags/PowerImage.h"
#include "tags/PowerList.h"
#include "tags/PowerRule.h"
#include "tags/PowerTable.h"
#include "tags/TagCommands.h"
#include "tags/TagInsertion.h"
#include "tags/TagText.h"

#include <gtest/gtest.h>

namespace {

TEST(TagCase, NamesLowerValuesCommentsAndTextAsTheyAre) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"<A HREF=\"Page.HTM\">", "<a href=\"Page.HTM\">"},
        {"</FONT>", "</font>"},
        {"<TABLE  BORDER=1 ALIGN=LEFT VALIGN=TOP>", "<table  border=1 align=LEFT valign=TOP>"},
        {"<A HREF=#Top>", "<a href=#Top>"},
        {"<HR ALIGN=\"CENTER\"  SIZE=\"2\"  WIDTH=\"50%\" NOSHADE>",
         "<hr align=\"CENTER\"  size=\"2\"  width=\"50%\" noshade>"},
        {"<FRAME NAME=\"Main\" SRC=\"A.HTM\" SCROLLING=\"Auto\" NORESIZE FRAMEBORDER=\"0\">",
         "<frame name=\"Main\" src=\"A.HTM\" scrolling=\"Auto\" noresize frameborder=\"0\">"},
        {"<META Name=\"Description\" Content='It is \"OK\"'>",
         "<meta name=\"Description\" content='It is \"OK\"'>"},
        {"<INPUT TYPE=>", "<input type=>"},
        {"<!-- <B>KEEP</B> --><BR>", "<!-- <B>KEEP</B> --><br>"},
        {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">",
         "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">"},
        {"&nbsp;&COPY;", "&nbsp;&COPY;"},
        {"<IMG SRC=\"a>b.GIF\" ALT=x>", "<img src=\"a>b.GIF\" alt=x>"},
        {"<A HREF=\"never closed", "<a href=\"never closed"},
        {"<", "<"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tagCase(QString::fromUtf8(c.in), true), QString::fromUtf8(c.out)) << c.in;
        EXPECT_EQ(tagCase(QString::fromUtf8(c.in), false), QString::fromUtf8(c.in)) << c.in;
    }
}

TEST(TagCase, EveryDialogTextKeepsTheUsersTextAndValues) {
    BodyFields body;
    body.lowerCase = true;
    body.title = true;
    body.meta = true;
    body.titleText = QStringLiteral("My <EM>Page</EM>");
    body.description = QStringLiteral("About ME");
    body.keywords = QStringLiteral("K");
    EXPECT_EQ(bodyText(body),
              QStringLiteral("    <title>My <EM>Page</EM></title>\r\n"
                             "    <meta name=\"Description\" content=\"About ME\">\r\n"
                             "    <meta name=\"Keywords\" content=\"K\">\r\n"
                             "<body bgcolor=#FFFFFF text=\"#000000\" link=#0000FF "
                             "alink=#0000A0 vlink=#800080>\r\n</body>\r\n"));

    AnchorFields anchor;
    anchor.lowerCase = true;
    anchor.href = QStringLiteral("Top Of Page");
    anchor.description = QStringLiteral("<B>Up</B>");
    anchor.nameTag = true;
    EXPECT_EQ(anchorText(anchor),
              QStringLiteral("<a href=#Top Of Page><B>Up</B></a>  <a name=Top Of Page>"));
    anchor.nameTag = false;
    EXPECT_EQ(anchorText(anchor), QStringLiteral("<a href=\"Top Of Page\"><B>Up</B></a>"));

    ImageFields image;
    image.lowerCase = true;
    image.source = QStringLiteral("LOGO.GIF");
    image.align = QStringLiteral("LEFT TOP");
    image.width = QStringLiteral("50%");
    image.ismap = true;
    EXPECT_EQ(imageText(image),
              QStringLiteral("<img align=LEFT TOP border=0 width=50% src=\"LOGO.GIF\" ismap>"));

    TableFields table;
    table.lowerCase = true;
    table.rows = 1;
    table.columns = 2;
    table.border = 1;
    table.align = QStringLiteral("LEFT");
    table.caption = QStringLiteral("The <I>Caption</I>");
    table.cells = {{QStringLiteral("<B>A</B>")}};
    EXPECT_EQ(tableText(table),
              QStringLiteral("<table  border=1 align=LEFT>\r\n"
                             "   <caption align=TOP>The <I>Caption</I></caption>\r\n"
                             "<tr>\r\n    <td><B>A</B></td>\r\n    <td></td>\r\n"
                             "</tr>\r\n</table>\r\n"));

    ListFields list;
    list.lowerCase = true;
    list.ordered = true;
    list.rows = 2;
    list.items = {QStringLiteral("One <BR>")};
    EXPECT_EQ(listText(list), QStringLiteral("<ol>\r\n    <li>One <BR>\r\n    <li>\r\n</ol>\r\n"));

    RuleFields rule;
    rule.lowerCase = true;
    rule.noShade = true;
    EXPECT_EQ(ruleText(rule),
              QStringLiteral("<hr align=\"CENTER\"  size=\"2\"  width=\"50%\" noshade>"));

    FrameSlot frame;
    frame.name = QStringLiteral("Main");
    frame.source = QStringLiteral("Main.HTM");
    EXPECT_EQ(
        frameDialogText(frame, true),
        QStringLiteral("<frame name=\"Main\" src=\"Main.HTM\" scrolling=\"Auto\"  noresize>\r\n"));
    EXPECT_EQ(framesetText(QStringLiteral("50%,*"), {}, QStringLiteral("<P>Keep\r\n"), true),
              QStringLiteral("<frameset cols=\"50%,*\">\r\n    <P>Keep\r\n</frameset>\r\n"));
    EXPECT_EQ(
        frameTemplateText(2, frame, frame, frame, true),
        QStringLiteral("<frameset cols=\"100%\" rows=\"20%,*\">\r\n"
                       "    <frame name=\"Main\" src=\"Main.HTM\" scrolling=\"Auto\" noresize>\r\n"
                       "    <frame name=\"Main\" src=\"Main.HTM\" scrolling=\"Auto\" noresize>\r\n"
                       "<noframe>\r\n</noframe>\r\n</frameset>\r\n"));
    FrameWizard wizard;
    wizard.next();
    wizard.next();
    ASSERT_TRUE(wizard.next());
    EXPECT_TRUE(wizard.text(true).startsWith(
        QStringLiteral("<frameset rows=\"100%\" cols=\"50%,*\">\r\n    <frame name=\"Frame1\" ")));

    EXPECT_EQ(blockText(QStringLiteral("UL"), QStringLiteral("<P>A\r\nB"), true),
              QStringLiteral("<ul>\r\n   <li><P>A\r\n   <li>B\r\n</ul>"));
    EXPECT_EQ(tableGridText(1, 1, true),
              QStringLiteral("<table>\r\n<tr>\r\n    <td></td>\r\n</tr>\r\n</table>\r\n"));
    EXPECT_TRUE(blockText(QStringLiteral("NEW"), {}, true)
                    .endsWith(QStringLiteral("-->\r\n<html>\r\n<head>\r\n   <title></title>\r\n"
                                             "</head>\r\n<body>\r\n\r\n</body>\r\n</html>\r\n")));
}

struct NoDialogs : TagDialogs {
    std::optional<QString> askMailToAddress(const QString&) override {
        return QStringLiteral("Me@Example.ORG");
    }
    void showTagPanel(TagInserter&) override {}
};

TEST(TagCase, TheCommandsFollowTheSettingAsItStandsWhenChosen) {
    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState state(dir.path(), dir.path(), editor, prompter, chooser, clipboard);
    editor.setClipboard(&clipboard);
    state.startUp();
    TagInserter inserter(editor, clipboard, [] {});
    NoDialogs dialogs;
    const CommandTable table = tagCommands(state, inserter, dialogs, [] { return QDateTime(); });
    const auto run = [&](const char* id, const QString& selected) {
        editor.setText(selected);
        editor.selectAll();
        for (const Command& c : table.commands)
            if (c.id == QLatin1String(id))
                c.run();
        return editor.text();
    };
    EXPECT_EQ(run("Bold1", QStringLiteral("<I>X</I>")), QStringLiteral("<B><I>X</I></B>"));
    state.settings().lowerCaseTags = true;
    EXPECT_EQ(run("Bold1", QStringLiteral("<I>X</I>")), QStringLiteral("<b><I>X</I></b>"));
    state.settings().strongTag = true;
    EXPECT_EQ(run("Bold1", QStringLiteral("X")), QStringLiteral("<strong>X</strong>"));
    EXPECT_EQ(run("FontSizePlus11", QStringLiteral("X")),
              QStringLiteral("<font size=\"+1\">X</font>"));
    EXPECT_EQ(run("Paragraph1", QStringLiteral("X")), QStringLiteral("<p>X"));
    EXPECT_EQ(run("LineBreak1", QStringLiteral("X")), QStringLiteral("X<br>"));
    EXPECT_EQ(run("Copyright1", QStringLiteral("X")), QStringLiteral("&copy;X"));
    EXPECT_EQ(run("OrderedList1", QStringLiteral("A\r\nB")),
              QStringLiteral("<ol>\r\n   <li>A\r\n   <li>B\r\n</ol>"));
    EXPECT_EQ(run("Table1R1C", QString()),
              QStringLiteral("<table>\r\n<tr>\r\n    <td></td>\r\n</tr>\r\n</table>\r\n"));
    EXPECT_EQ(run("MailTo1", QStringLiteral("Write")),
              QStringLiteral("<a href=\"mailto:Me@Example.ORG\">Write</a>"));
    EXPECT_EQ(run("Comment1", QStringLiteral("<B>")), QStringLiteral("<!-- <B> -->"));

    editor.setText(QStringLiteral("X"));
    editor.selectAll();
    inserter.insertPanelTag(QStringLiteral("<A HREF=\"\">.</A>"));
    EXPECT_EQ(editor.text(), QStringLiteral("<a href=\"\">X</a>"));
    editor.setText(QStringLiteral("X"));
    editor.selectAll();
    inserter.insertPanelAttribute(QStringLiteral("HTTP-EQUIV="));
    EXPECT_EQ(editor.text(), QStringLiteral("http-equiv=X"));
    // A custom tag is the user's own text: written as it was typed.
    editor.setText(QStringLiteral("X"));
    editor.selectAll();
    inserter.insertCustomTag(QStringLiteral("<FONT COLOR=red>"), QStringLiteral("</FONT>"));
    EXPECT_EQ(editor.text(), QStringLiteral("<FONT COLOR=red>X</FONT>"));
}

} // namespace
