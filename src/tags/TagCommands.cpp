// The tag room's command table: every simple tag command is one row below, and the Tags menu,
// the tag tabs and the editor pop-up are built from those rows.
#include "tags/TagCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "tags/TagInsertion.h"

#include <QDateTime>
#include <QRegularExpression>
#include <map>

const QList<SimpleTagRow>& simpleTagRows() {
    using M = TagMode;
    static const QList<SimpleTagRow> rows = {
        {"Paragraph1", "Paragraph <P>", "Common", "P", "", "Format... › Paragraph <P>",
         "Alt+Return", M::Point, "<P>", ""},
        {"Center1", "Center", "Common", "", "Insert <center> Tag", "Format... › Center",
         "Ctrl+Shift+C", M::Wrap, "<CENTER>", "</CENTER>"},
        {"LineBreak1", "Line Break <BR>", "Common", "BR", "", "Format... › Line Break <BR>",
         "Shift+Return", M::Point, "<BR>", ""},
        {"NonBreakingSpace1", "Non-breaking Space", "", "", "", "Format... › Non-breaking space",
         "Ctrl+Shift+N", M::Point, "&nbsp;", ""},
        {"H11", "Heading.. › H1", "Font", "H1", "", "Format... › Heading.. › H1", "", M::Wrap,
         "<H1>", "</H1>"},
        {"H21", "Heading.. › H2", "Font", "H2", "", "Format... › Heading.. › H2", "", M::Wrap,
         "<H2>", "</H2>"},
        {"H31", "Heading.. › H3", "Font", "H3", "", "Format... › Heading.. › H3", "", M::Wrap,
         "<H3>", "</H3>"},
        {"FONT1", "Font... › <FONT>", "Font", "F", "", "Font... › Size › <FONT>", "", M::Wrap,
         "<FONT>", "</FONT>"},
        {"FontSizePlus11", "Font... › Font Size +1", "Font", "F+1", "", "Font... › Size › Font + 1",
         "Alt+F1", M::Wrap, "<FONT SIZE=\"+1\">", "</FONT>"},
        {"FontSizePlus21", "Font... › Font Size +2", "Font", "F+2", "", "Font... › Size › Font + 2",
         "Alt+F2", M::Wrap, "<FONT SIZE=\"+2\">", "</FONT>"},
        {"FontSizeMinus11", "Font... › Font Size -1", "Font", "F-1", "",
         "Font... › Size › Font - 1", "Ctrl+Alt+F1", M::Wrap, "<FONT SIZE=\"-1\">", "</FONT>"},
        {"FontSizeMinus21", "Font... › Font Size -2", "Font", "F-2", "",
         "Font... › Size › Font - 2", "Ctrl+Alt+F2", M::Wrap, "<FONT SIZE=\"-2\">", "</FONT>"},
        {"Bold1", "Font... › Bold", "Common", "B", "", "Font... › Bold", "Ctrl+Shift+B", M::Wrap,
         "<B>", "</B>"},
        {"Italic1", "Font... › Italic", "Common", "", "Insert Italics Tag", "Font... › Italic",
         "Ctrl+Shift+I", M::Wrap, "<I>", "</I>"},
        {"Underline1", "Font... › Underline", "Common", "U", "", "Font... › Underline",
         "Ctrl+Shift+U", M::Wrap, "<U>", "</U>"},
        {"PRE1", "Font... › <PRE>", "Font", "PRE", "", "Font... › <PRE>", "", M::Wrap, "<PRE>",
         "</PRE>"},
        {"Blockquote1", "Font... › Blockquote", "", "", "", "Font... › Blockquote", "", M::Wrap,
         "<BLOCKQUOTE>", "</BLOCKQUOTE>"},
        {"Superscript1", "Font... › Superscript", "Font", "", "Insert Superscript Tag",
         "Font... › Superscript", "", M::Wrap, "<SUP>", "</SUP>"},
        {"Subscript1", "Font... › Subscript", "Font", "", "Insert Subscript Tag",
         "Font... › Subscript", "", M::Wrap, "<SUB>", "</SUB>"},
        {"AHREF1", "<A HREF>", "", "", "", "", "", M::Wrap, "<A HREF=\"\">", "</A>"},
        {"UnorderedList1", "Lists... › Unordered List <UL>", "List", "UL", "", "List... › UL", "",
         M::Block, "UL", ""},
        {"OrderedList1", "Lists... › Ordered List <OL>", "List", "OL", "", "List... › OL", "",
         M::Block, "OL", ""},
        {"DefinitionList1", "Lists... › Definition List <DL>", "List", "DL", "", "List... › DL", "",
         M::Block, "DL", ""},
        {"ListItem1", "Lists... › List Item <LI>", "List", "LI", "", "List... › LI", "", M::Point,
         "<LI>", ""},
        {"DefinitionTerm1", "Lists... › Definition Term <DT>", "List", "DT", "", "List... › DT", "",
         M::Point, "<DT>", ""},
        {"Definition1", "Lists... › Definition <DD>", "List", "DD", "", "List... › DD", "",
         M::Point, "<DD>", ""},
        {"TABLE1", "Table... › <TABLE>", "Table", "Tbl", "", "Table... › <TABLE>", "", M::Wrap,
         "<TABLE>", "</TABLE>"},
        {"Caption1", "Table... › <Caption>", "Table", "Cap", "", "Table... › <CAPTION>", "",
         M::Wrap, "<CAPTION>", "</CAPTION>"},
        {"TH1", "Table... › <TH>", "Table", "TH", "", "Table... › <TH>", "", M::Wrap, "<TH>",
         "</TH>"},
        {"TR1", "Table... › <TR>", "Table", "TR", "", "Table... › <TR>", "", M::Wrap, "<TR>",
         "</TR>"},
        {"TD1", "Table... › <TD>", "Table", "TD", "", "Table... › <TD>", "", M::Wrap, "<TD>",
         "</TD>"},
        {"FRAMESET1", "Frames › <FRAMESET>", "Frames", "SET", "", "Frame... › <FRAMESET>", "",
         M::Block, "FRAMESET", ""},
        {"FRAME1", "Frames › <FRAME>", "Frames", "FRA", "", "Frame... › <FRAME>", "", M::Point,
         "<FRAME>", ""},
        {"NOFRAME1", "Frames › <NOFRAME>", "Frames", "NO", "", "Frame... › <NOFRAME>", "", M::Block,
         "NOFRAMES", ""},
        {"Copyright1", "Special Characters... › Copyright", "", "", "", "", "", M::Point, "&copy;",
         ""},
        {"Trademark1", "Special Characters... › TM - Trademark", "", "", "", "", "", M::Point,
         "&trade;", ""},
        {"Registered1", "Special Characters... › R - Registered Trademark", "", "", "", "", "",
         M::Point, "&reg;", ""},
        {"OneQuarter1", "Special Characters... › 1/4", "", "", "", "", "", M::Point, "&#188;", ""},
        {"OneHalf1", "Special Characters... › 1/2", "", "", "", "", "", M::Point, "&#189;", ""},
        {"ThreeQuarters1", "Special Characters... › 3/4", "", "", "", "", "", M::Point, "&#190;",
         ""},
        {"Ampersand1", "Special Characters... › Ampersand", "", "", "", "", "", M::Point, "&amp;",
         ""},
        {"LessThan1", "Special Characters... › <", "", "", "", "", "", M::Point, "&lt;", ""},
        {"GreaterThan1", "Special Characters... › >", "", "", "", "", "", M::Point, "&gt;", ""},
    };
    return rows;
}

namespace {

const QString pathSeparator = QStringLiteral(" › ");

// Puts an entry at the end of a path of sub-menus, making the sub-menus as they are first met.
// prefix keeps the object names of one tree apart from another's.
void place(QList<LayoutItem>& items, const QStringList& path, const QString& id,
           const QString& prefix, const QString& caption = {}) {
    if (path.size() == 1) {
        items << entry(id, caption);
        return;
    }
    for (LayoutItem& item : items) {
        if (item.kind == LayoutItem::Kind::SubMenu && item.caption == path.first()) {
            place(item.items, path.mid(1), id, prefix, caption);
            return;
        }
    }
    QString name = prefix + path.first();
    name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    items << subMenu(name, path.first(), {});
    place(items.last().items, path.mid(1), id, name, caption);
}

} // namespace

CommandTable tagCommands(AppState& state, TagInserter& inserter, TagDialogs& dialogs,
                         std::function<QDateTime()> now) {
    CommandTable t;
    QList<LayoutItem> menu;
    QList<LayoutItem> popup;
    std::map<QString, QList<LayoutItem>> tabs;
    Settings& settings = state.settings();
    inserter.setLowerCase([&settings] { return settings.lowerCaseTags; });
    // Keys a desktop keeps for itself under X11 (Alt+F1 and Alt+F2 open its menu and its run
    // box, Ctrl+Alt+F1 and Ctrl+Alt+F2 switch to a text console) get a second key that always
    // reaches the program: the same F key with Shift for Alt, with Ctrl+Shift for Ctrl+Alt.
    static const std::map<QString, const char*> secondKeys = {
        {QStringLiteral("FontSizePlus11"), "Shift+F1"},
        {QStringLiteral("FontSizePlus21"), "Shift+F2"},
        {QStringLiteral("FontSizeMinus11"), "Ctrl+Shift+F1"},
        {QStringLiteral("FontSizeMinus21"), "Ctrl+Shift+F2"},
    };

    for (const SimpleTagRow& row : simpleTagRows()) {
        Command c;
        c.id = QLatin1String(row.id);
        const QStringList path = QString::fromUtf8(row.menuPath).split(pathSeparator);
        c.caption = path.last();
        c.shortcut = QKeySequence(QLatin1String(row.shortcut));
        if (const auto second = secondKeys.find(c.id); second != secondKeys.end())
            c.moreShortcuts << QKeySequence(QLatin1String(second->second));
        c.hint = QString::fromUtf8(row.hint);
        const QString start = QString::fromUtf8(row.start);
        const QString end = QString::fromUtf8(row.end);
        const QString id = c.id;
        switch (row.mode) {
        case TagMode::Point:
            c.run = [&inserter, start] { inserter.insertTag(start); };
            break;
        case TagMode::Block:
            c.run = [&inserter, start] { inserter.insertBlock(start); };
            break;
        case TagMode::Wrap:
            // Bold and Italic follow the STRONG and EM settings as they stand when chosen.
            c.run = [&inserter, &settings, id, start, end] {
                if (id == QLatin1String("Bold1") && settings.strongTag)
                    inserter.wrap(QStringLiteral("<STRONG>"), QStringLiteral("</STRONG>"));
                else if (id == QLatin1String("Italic1") && settings.emTag)
                    inserter.wrap(QStringLiteral("<EM>"), QStringLiteral("</EM>"));
                else
                    inserter.wrap(start, end);
            };
            break;
        }
        t.commands << c;
        place(menu, path, id, QStringLiteral("Tags"));
        if (*row.popupPath) {
            const QStringList p = QString::fromUtf8(row.popupPath).split(pathSeparator);
            place(popup, p, id, QStringLiteral("Popup"), p.last());
        }
        if (*row.tab)
            tabs[QLatin1String(row.tab)] << entry(id, QString::fromUtf8(row.tabText));
    }

    // The quick tables: 25 in the menu, the 16 from 2 by 2 in the pop-up.
    for (int r = 1; r <= 5; ++r) {
        for (int col = 1; col <= 5; ++col) {
            Command c;
            c.id = QStringLiteral("Table%1R%2C").arg(r).arg(col);
            c.caption = QStringLiteral("%1C").arg(col);
            c.run = [&inserter, r, col] { inserter.insertTableGrid(r, col); };
            t.commands << c;
            const QString rows = QStringLiteral("%1R X").arg(r);
            place(menu, {QStringLiteral("Table..."), rows, c.caption}, c.id,
                  QStringLiteral("Tags"));
            if (r >= 2 && col >= 2)
                place(popup, {QStringLiteral("Table..."), rows, c.caption}, c.id,
                      QStringLiteral("Popup"));
        }
    }

    const CommandTableBuilder rows(t);
    const auto add = [&rows](const char* id, const char* caption, const char* shortcut,
                             std::function<void()> run) {
        return rows(QLatin1String(id), QString::fromUtf8(caption),
                    QKeySequence(QLatin1String(shortcut)), std::move(run));
    };
    add("Comment1", "Comment", "", [&inserter] { inserter.comment(); });
    add("MailTo1", "Mail To:", "Ctrl+Shift+M", [&inserter, &dialogs, &state] {
        const auto address = dialogs.askMailToAddress(state.settings().email);
        if (inserter.mailTo(address))
            state.store().set(state.settings(), &Settings::email, *address);
    })->hint = QStringLiteral("Insert <Mailto:> Tag");
    add("InsertLastModified1", "Insert Last Modified Date/Time", "",
        [&inserter, now] { inserter.insertLastModified(now()); });
    add("ShowTagPanel1", "Show Tag Panel", "", [&dialogs, &inserter] {
        dialogs.showTagPanel(inserter);
    })->hint = QStringLiteral("Show Tag Panel");
    // The Power dialogs: each shows its dialog and hands its text to the editor.
    const auto powerDialog = [&inserter, &dialogs, &state](PowerDialog which) {
        return [&inserter, &dialogs, &state, which] {
            runPowerDialog(which, inserter, state,
                           [&dialogs](PowerDialog d) { return dialogs.openPowerDialog(d); });
        };
    };
    add("PowerBODY1", "Power <&BODY>", "Ctrl+B", powerDialog(PowerDialog::Body))->hint =
        QStringLiteral("Power Body Tag");
    add("PowerAHREF1", "Power <&A HREF>", "Ctrl+H", powerDialog(PowerDialog::Anchor))->hint =
        QStringLiteral("Power Anchor Tag");
    add("PowerIMG1", "Power <&IMG>", "Ctrl+I", powerDialog(PowerDialog::Image))->hint =
        QStringLiteral("Power Image Tag/Preview");
    add("PowerTABLE1", "Power <&TABLE>", "Ctrl+T", powerDialog(PowerDialog::Table))->hint =
        QStringLiteral("Power Table Tag");
    add("PowerFRAME1", "Power <&FRAME>", "Ctrl+Shift+F", powerDialog(PowerDialog::Frames))->hint =
        QStringLiteral("POWER Frame");
    add("PowerLIST1", "Power &LIST", "Ctrl+L", powerDialog(PowerDialog::List))->hint =
        QStringLiteral("Power LIST Tag");
    add("HorizontalRule1", "Horizontal Rule <HR>", "", powerDialog(PowerDialog::Rule));
    add("FRAMESETDialog1", "FRAMESET Dialog", "", powerDialog(PowerDialog::FrameSet))->hint =
        QStringLiteral("FRAMESET Dialog");
    add("FRAMEDialog1", "FRAME Dialog", "", powerDialog(PowerDialog::Frame))->hint =
        QStringLiteral("FRAME Dialog");

    for (const char* id : {"Comment1", "MailTo1"})
        place(menu, {QLatin1String(id)}, QLatin1String(id), QStringLiteral("Tags"));
    for (const char* id : {"FRAMESETDialog1", "FRAMEDialog1"})
        place(menu, {QStringLiteral("Frames"), QLatin1String(id)}, QLatin1String(id),
              QStringLiteral("Tags"));
    menu << separator();
    for (const char* id : {"PowerBODY1", "PowerAHREF1", "PowerIMG1", "PowerTABLE1", "PowerFRAME1",
                           "PowerLIST1", "HorizontalRule1"})
        menu << entry(QLatin1String(id));
    menu << separator() << entry(QStringLiteral("InsertLastModified1"))
         << entry(QStringLiteral("ShowTagPanel1"));

    place(popup, {QStringLiteral("Format..."), QStringLiteral("x")},
          QStringLiteral("HorizontalRule1"), QStringLiteral("Popup"));
    for (const char* id : {"FRAMESETDialog1", "FRAMEDialog1"})
        place(popup, {QStringLiteral("Frame..."), QLatin1String(id)}, QLatin1String(id),
              QStringLiteral("Popup"));
    const QList<std::pair<const char*, const char*>> power = {
        {"PowerBODY1", "<BODY>"},   {"PowerAHREF1", "<A HREF>"}, {"PowerIMG1", "<IMG>"},
        {"PowerTABLE1", "<TABLE>"}, {"PowerLIST1", "<LIST>"},    {"HorizontalRule1", "<HR>"},
        {"PowerFRAME1", "<FRAME>"}};
    for (const auto& [id, caption] : power)
        place(popup, {QStringLiteral("Power..."), QLatin1String(caption)}, QLatin1String(id),
              QStringLiteral("Popup"), QLatin1String(caption));
    popup << entry(QStringLiteral("Comment1"), QStringLiteral("Comment.."))
          << entry(QStringLiteral("MailTo1"));

    tabs[QStringLiteral("Common")] << entry(QStringLiteral("MailTo1")) << separator();
    for (const char* id :
         {"PowerBODY1", "PowerAHREF1", "PowerIMG1", "PowerTABLE1", "PowerLIST1", "PowerFRAME1"})
        tabs[QStringLiteral("Common")] << entry(QLatin1String(id));
    // The List, Table and Frames tabs word the hints of their Power buttons their own way.
    const auto hinted = [](const char* id, const char* hint) {
        LayoutItem item = entry(QLatin1String(id));
        item.hint = QLatin1String(hint);
        return item;
    };
    tabs[QStringLiteral("List")] << hinted("PowerLIST1", "Power List Tag");
    tabs[QStringLiteral("Table")] << hinted("PowerTABLE1", "POWER Table Tag");
    tabs[QStringLiteral("Frames")] << hinted("PowerFRAME1", "POWER Frame Tag")
                                   << entry(QStringLiteral("FRAMESETDialog1"))
                                   << entry(QStringLiteral("FRAMEDialog1"));

    t.layouts << Layout{LayoutPlace::MenuBar,      MenuId::Tags, QStringLiteral("Ta&gs"),
                        TagCommandOrder::TagsMenu, {},           menu};
    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::Editor,
                        {},
                        0,
                        Group::PopupTags,
                        QList<LayoutItem>{separator()} + popup};
    // Common is declared by the shell; the other tabs follow it in this order.
    t.layouts << Layout{LayoutPlace::TagTab,           TagTabId::Common, {}, 0, {},
                        tabs[QStringLiteral("Common")]};
    int order = 110;
    for (const auto& [id, tab] :
         {std::pair{TagTabId::Font, "Font"}, std::pair{TagTabId::List, "List"},
          std::pair{TagTabId::Table, "Table"}, std::pair{TagTabId::Frames, "Frames"}})
        t.layouts << Layout{LayoutPlace::TagTab,     id, QLatin1String(tab), order++, {},
                            tabs[QLatin1String(tab)]};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarTags,
                        {entry(QStringLiteral("ShowTagPanel1"))}};

    // The buttons that show no caption show a picture of ours (drawn by the window's shell).
    static const std::map<QString, QString> pictures = {
        {QStringLiteral("Center1"), QStringLiteral("tag-center")},
        {QStringLiteral("Italic1"), QStringLiteral("tag-italic")},
        {QStringLiteral("Superscript1"), QStringLiteral("tag-sup")},
        {QStringLiteral("Subscript1"), QStringLiteral("tag-sub")},
        {QStringLiteral("MailTo1"), QStringLiteral("tag-mailto")},
        {QStringLiteral("ShowTagPanel1"), QStringLiteral("tag-panel")},
        {QStringLiteral("PowerBODY1"), QStringLiteral("power-body")},
        {QStringLiteral("PowerAHREF1"), QStringLiteral("power-anchor")},
        {QStringLiteral("PowerIMG1"), QStringLiteral("power-image")},
        {QStringLiteral("PowerTABLE1"), QStringLiteral("power-table")},
        {QStringLiteral("PowerLIST1"), QStringLiteral("power-list")},
        {QStringLiteral("PowerFRAME1"), QStringLiteral("power-frame")},
        {QStringLiteral("FRAMESETDialog1"), QStringLiteral("frameset-dialog")},
        {QStringLiteral("FRAMEDialog1"), QStringLiteral("frame-dialog")},
    };
    for (Command& c : t.commands) {
        const auto it = pictures.find(c.id);
        if (it != pictures.end())
            c.icon = it->second;
    }
    return t;
}
