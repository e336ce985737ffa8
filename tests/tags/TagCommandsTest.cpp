// The tag command table walked row by row: each command sits in the Tags menu, its tag tab and
// the pop-up as its row says, and inserts exactly its texts in its mode.
#include "tags/TagCommands.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/TagInsertion.h"

#include <gtest/gtest.h>

namespace {

struct NoDialogs : TagDialogs {
    std::optional<QString> answer;
    std::optional<QString> askMailToAddress(const QString&) override { return answer; }
    void showTagPanel(TagInserter&) override {}
    QList<PowerDialog> opened;
    PowerDialogOutcome openPowerDialog(PowerDialog which) override {
        opened << which;
        return {};
    }
};

struct Tags {
    Tags()
        : state(dir.path(), dir.path(), editor, prompter, chooser, clipboard),
          inserter(editor, clipboard, [this] { state.document().setHtmlModified(true); }),
          table(tagCommands(state, inserter, dialogs,
                            [] { return QDateTime(QDate(2026, 12, 7), QTime(14, 3)); })) {
        editor.setClipboard(&clipboard);
        state.startUp();
    }
    const Command* command(const QString& id) const {
        for (const Command& c : table.commands)
            if (c.id == id)
                return &c;
        return nullptr;
    }
    // The captions leading to id in a layout's tree ("" when it is not there).
    static QString pathTo(const QList<LayoutItem>& items, const QString& id, const QString& at) {
        for (const LayoutItem& item : items) {
            if (item.kind == LayoutItem::Kind::Command && item.id == id)
                return at;
            if (item.kind == LayoutItem::Kind::SubMenu) {
                const QString p = pathTo(item.items, id, at + item.caption + QStringLiteral(" › "));
                if (!p.isEmpty())
                    return p;
            }
        }
        return {};
    }
    // The captions leading to id in a pop-up's tree and the entry's own caption there.
    static QString captionPath(const QList<LayoutItem>& items, const QString& id,
                               const QString& at) {
        for (const LayoutItem& item : items) {
            if (item.kind == LayoutItem::Kind::Command && item.id == id)
                return at + item.caption;
            if (item.kind == LayoutItem::Kind::SubMenu) {
                const QString p =
                    captionPath(item.items, id, at + item.caption + QStringLiteral(" › "));
                if (!p.isEmpty())
                    return p;
            }
        }
        return {};
    }
    const Layout* layout(const QString& name) const {
        for (const Layout& l : table.layouts)
            if (l.name == name)
                return &l;
        return nullptr;
    }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState state;
    TagInserter inserter;
    NoDialogs dialogs;
    CommandTable table;
};

// Each simple command as the user meets it: where it sits, how it is worded, its keys, and the
// exact text it makes of the two selected lines "a" and "b".
TEST(TagCommands, EverySimpleCommandIsPlacedAndInsertsItsTexts) {
    struct Row {
        const char* id;
        const char* menu;  // Tags menu path and caption
        const char* tab;   // tag tab and the button's caption, or its hint for a picture button
        const char* popup; // pop-up path and caption
        const char* keys;
        const char* text; // after the command ran over "a\r\nb", all of it selected
    };
    const Row rows[] = {
        {"Paragraph1", "Paragraph <P>", "Common P", "Format... › Paragraph <P>", "Alt+Return",
         "<P>a\r\nb"},
        {"Center1", "Center", "Common hint Insert <center> Tag", "Format... › Center",
         "Ctrl+Shift+C", "<CENTER>a\r\nb</CENTER>"},
        {"LineBreak1", "Line Break <BR>", "Common BR", "Format... › Line Break <BR>",
         "Shift+Return", "a\r\nb<BR>"},
        {"NonBreakingSpace1", "Non-breaking Space", "", "Format... › Non-breaking space",
         "Ctrl+Shift+N", "&nbsp;a\r\nb"},
        {"H11", "Heading.. › H1", "Font H1", "Format... › Heading.. › H1", "", "<H1>a\r\nb</H1>"},
        {"H21", "Heading.. › H2", "Font H2", "Format... › Heading.. › H2", "", "<H2>a\r\nb</H2>"},
        {"H31", "Heading.. › H3", "Font H3", "Format... › Heading.. › H3", "", "<H3>a\r\nb</H3>"},
        {"FONT1", "Font... › <FONT>", "Font F", "Font... › Size › <FONT>", "",
         "<FONT>a\r\nb</FONT>"},
        {"FontSizePlus11", "Font... › Font Size +1", "Font F+1", "Font... › Size › Font + 1",
         "Alt+F1, Shift+F1", "<FONT SIZE=\"+1\">a\r\nb</FONT>"},
        {"FontSizePlus21", "Font... › Font Size +2", "Font F+2", "Font... › Size › Font + 2",
         "Alt+F2, Shift+F2", "<FONT SIZE=\"+2\">a\r\nb</FONT>"},
        {"FontSizeMinus11", "Font... › Font Size -1", "Font F-1", "Font... › Size › Font - 1",
         "Ctrl+Alt+F1, Ctrl+Shift+F1", "<FONT SIZE=\"-1\">a\r\nb</FONT>"},
        {"FontSizeMinus21", "Font... › Font Size -2", "Font F-2", "Font... › Size › Font - 2",
         "Ctrl+Alt+F2, Ctrl+Shift+F2", "<FONT SIZE=\"-2\">a\r\nb</FONT>"},
        {"Bold1", "Font... › Bold", "Common B", "Font... › Bold", "Ctrl+Shift+B", "<B>a\r\nb</B>"},
        {"Italic1", "Font... › Italic", "Common hint Insert Italics Tag", "Font... › Italic",
         "Ctrl+Shift+I", "<I>a\r\nb</I>"},
        {"Underline1", "Font... › Underline", "Common U", "Font... › Underline", "Ctrl+Shift+U",
         "<U>a\r\nb</U>"},
        {"PRE1", "Font... › <PRE>", "Font PRE", "Font... › <PRE>", "", "<PRE>a\r\nb</PRE>"},
        {"Blockquote1", "Font... › Blockquote", "", "Font... › Blockquote", "",
         "<BLOCKQUOTE>a\r\nb</BLOCKQUOTE>"},
        {"Superscript1", "Font... › Superscript", "Font hint Insert Superscript Tag",
         "Font... › Superscript", "", "<SUP>a\r\nb</SUP>"},
        {"Subscript1", "Font... › Subscript", "Font hint Insert Subscript Tag",
         "Font... › Subscript", "", "<SUB>a\r\nb</SUB>"},
        {"AHREF1", "<A HREF>", "", "", "", "<A HREF=\"\">a\r\nb</A>"},
        {"UnorderedList1", "Lists... › Unordered List <UL>", "List UL", "List... › UL", "",
         "<UL>\r\n   <LI>a\r\n   <LI>b\r\n</UL>"},
        {"OrderedList1", "Lists... › Ordered List <OL>", "List OL", "List... › OL", "",
         "<OL>\r\n   <LI>a\r\n   <LI>b\r\n</OL>"},
        {"DefinitionList1", "Lists... › Definition List <DL>", "List DL", "List... › DL", "",
         "<DL>\r\na\r\nb\r\n</DL>"},
        {"ListItem1", "Lists... › List Item <LI>", "List LI", "List... › LI", "", "<LI>a\r\nb"},
        {"DefinitionTerm1", "Lists... › Definition Term <DT>", "List DT", "List... › DT", "",
         "<DT>a\r\nb"},
        {"Definition1", "Lists... › Definition <DD>", "List DD", "List... › DD", "", "<DD>a\r\nb"},
        {"TABLE1", "Table... › <TABLE>", "Table Tbl", "Table... › <TABLE>", "",
         "<TABLE>a\r\nb</TABLE>"},
        {"Caption1", "Table... › <Caption>", "Table Cap", "Table... › <CAPTION>", "",
         "<CAPTION>a\r\nb</CAPTION>"},
        {"TH1", "Table... › <TH>", "Table TH", "Table... › <TH>", "", "<TH>a\r\nb</TH>"},
        {"TR1", "Table... › <TR>", "Table TR", "Table... › <TR>", "", "<TR>a\r\nb</TR>"},
        {"TD1", "Table... › <TD>", "Table TD", "Table... › <TD>", "", "<TD>a\r\nb</TD>"},
        {"FRAMESET1", "Frames › <FRAMESET>", "Frames SET", "Frame... › <FRAMESET>", "",
         "<FRAMESET>\r\n   a\r\n   b\r\n</FRAMESET>"},
        {"FRAME1", "Frames › <FRAME>", "Frames FRA", "Frame... › <FRAME>", "", "<FRAME>a\r\nb"},
        {"NOFRAME1", "Frames › <NOFRAME>", "Frames NO", "Frame... › <NOFRAME>", "",
         "<NOFRAMES>\r\n   a\r\n   b\r\n</NOFRAMES>"},
        {"Copyright1", "Special Characters... › Copyright", "", "", "", "&copy;a\r\nb"},
        {"Trademark1", "Special Characters... › TM - Trademark", "", "", "", "&trade;a\r\nb"},
        {"Registered1", "Special Characters... › R - Registered Trademark", "", "", "",
         "&reg;a\r\nb"},
        {"OneQuarter1", "Special Characters... › 1/4", "", "", "", "&#188;a\r\nb"},
        {"OneHalf1", "Special Characters... › 1/2", "", "", "", "&#189;a\r\nb"},
        {"ThreeQuarters1", "Special Characters... › 3/4", "", "", "", "&#190;a\r\nb"},
        {"Ampersand1", "Special Characters... › Ampersand", "", "", "", "&amp;a\r\nb"},
        {"LessThan1", "Special Characters... › <", "", "", "", "&lt;a\r\nb"},
        {"GreaterThan1", "Special Characters... › >", "", "", "", "&gt;a\r\nb"},
    };
    Tags t;
    ASSERT_EQ(simpleTagRows().size(), static_cast<qsizetype>(std::size(rows)));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const QString id = QLatin1String(row.id);
        const Command* c = t.command(id);
        ASSERT_NE(c, nullptr);
        QStringList keys;
        for (const QKeySequence& key : QList<QKeySequence>{c->shortcut} + c->moreShortcuts)
            if (!key.isEmpty())
                keys << key.toString();
        EXPECT_EQ(keys.join(QStringLiteral(", ")), QLatin1String(row.keys));
        EXPECT_EQ(Tags::pathTo(t.layout(QStringLiteral("Tags1"))->items, id, {}) + c->caption,
                  QString::fromUtf8(row.menu));
        QString tab;
        for (const char* name : {"Common", "Font", "List", "Table", "Frames"})
            for (const LayoutItem& item :
                 t.layout(QLatin1String(name) + QStringLiteral("Tab"))->items)
                if (item.id == id)
                    tab =
                        QLatin1String(name) + QLatin1Char(' ') +
                        (item.caption.isEmpty() ? QStringLiteral("hint ") + c->hint : item.caption);
        EXPECT_EQ(tab, QString::fromUtf8(row.tab));
        EXPECT_EQ(Tags::captionPath(t.layout(QStringLiteral("EditorPopup"))->items, id, {}),
                  QString::fromUtf8(row.popup));

        t.editor.setText(QStringLiteral("a\r\nb"));
        t.editor.selectAll();
        t.state.document().setHtmlModified(false);
        ASSERT_TRUE(c->run);
        c->run();
        EXPECT_TRUE(t.state.document().htmlModified());
        EXPECT_EQ(t.editor.text(), QString::fromUtf8(row.text));
    }
}

TEST(TagCommands, BoldAndItalicFollowTheirSettings) {
    Tags t;
    t.state.settings().strongTag = true;
    t.command(QStringLiteral("Bold1"))->run();
    EXPECT_EQ(t.editor.text(), QStringLiteral("<STRONG></STRONG>"));
    t.editor.clear();
    t.state.settings().emTag = true;
    t.command(QStringLiteral("Italic1"))->run();
    EXPECT_EQ(t.editor.text(), QStringLiteral("<EM></EM>"));
}

TEST(TagCommands, QuickTablesAndPowerEntries) {
    Tags t;
    int menu = 0;
    int popup = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            const QString id = QStringLiteral("Table%1R%2C").arg(r).arg(c);
            const Command* cmd = t.command(id);
            ASSERT_NE(cmd, nullptr);
            EXPECT_EQ(Tags::pathTo(t.layout(QStringLiteral("Tags1"))->items, id, {}) + cmd->caption,
                      QStringLiteral("Table... › %1R X › %2C").arg(r).arg(c));
            ++menu;
            if (!Tags::pathTo(t.layout(QStringLiteral("EditorPopup"))->items, id, {}).isEmpty())
                ++popup;
            t.editor.clear();
            cmd->run();
            EXPECT_EQ(t.editor.text(), tableGridText(r, c));
        }
    EXPECT_EQ(menu + popup, 41);
    const std::pair<const char*, PowerDialog> power[] = {
        {"PowerBODY1", PowerDialog::Body},      {"PowerAHREF1", PowerDialog::Anchor},
        {"PowerIMG1", PowerDialog::Image},      {"PowerTABLE1", PowerDialog::Table},
        {"PowerFRAME1", PowerDialog::Frames},   {"PowerLIST1", PowerDialog::List},
        {"HorizontalRule1", PowerDialog::Rule}, {"FRAMESETDialog1", PowerDialog::FrameSet},
        {"FRAMEDialog1", PowerDialog::Frame}};
    for (const auto& [id, dialog] : power) {
        const Command* c = t.command(QLatin1String(id));
        ASSERT_NE(c, nullptr) << id;
        t.dialogs.opened.clear();
        c->run();
        EXPECT_EQ(t.dialogs.opened, QList<PowerDialog>{dialog}) << id;
    }
    EXPECT_EQ(t.command(QStringLiteral("PowerBODY1"))->shortcut,
              QKeySequence(QStringLiteral("Ctrl+B")));
}

TEST(TagCommands, MailToStoresTheAddressOnlyWhenAccepted) {
    Tags t;
    t.dialogs.answer = std::nullopt;
    const QString before = t.state.settings().email;
    t.command(QStringLiteral("MailTo1"))->run();
    EXPECT_EQ(t.editor.text(), QString());
    EXPECT_FALSE(t.state.document().htmlModified());
    EXPECT_EQ(t.state.settings().email, before);
    t.dialogs.answer = QStringLiteral("me@host.example");
    t.command(QStringLiteral("MailTo1"))->run();
    EXPECT_EQ(t.editor.text(), QStringLiteral("<A HREF=\"mailto:me@host.example\"></A>"));
    EXPECT_EQ(t.state.settings().email, QStringLiteral("me@host.example"));
    EXPECT_TRUE(t.dir.read("OPTIONS.INI").contains("EMAIL=me@host.example"));
    t.editor.clear();
    t.command(QStringLiteral("InsertLastModified1"))->run();
    EXPECT_EQ(t.editor.text(),
              QStringLiteral("<!--Last Modified: Monday, Dec 7, 2026, at 02:03 PM-->"));
}

} // namespace
