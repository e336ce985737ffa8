// The project room's command table: captions, places and what each row runs.
#include "ProjectTestSupport.h"
#include "project/ProjectCommands.h"

namespace {
struct RecordingView : OutlineView {
    QStringList done;
    void expandGroup(int item) override { done << QStringLiteral("expand %1").arg(item); }
    void collapseGroup(int item) override { done << QStringLiteral("collapse %1").arg(item); }
    void expandAll() override { done << QStringLiteral("expand all"); }
    void collapseAll() override { done << QStringLiteral("collapse all"); }
};

// A layout's entries as its captions show them ("-" a separator, "Name>" a sub-menu).
QStringList shown(const CommandTable& t, const QList<LayoutItem>& items) {
    QStringList s;
    for (const LayoutItem& i : items) {
        if (i.kind == LayoutItem::Kind::Separator) {
            s << QStringLiteral("-");
        } else if (i.kind == LayoutItem::Kind::SubMenu) {
            s << i.caption + QStringLiteral(">") + shown(t, i.items).join(QLatin1Char(','));
        } else if (!i.caption.isEmpty()) {
            s << i.caption;
        } else {
            const auto it = std::find_if(t.commands.begin(), t.commands.end(),
                                         [&](const Command& c) { return c.id == i.id; });
            s << (it == t.commands.end() ? QStringLiteral("[%1]").arg(i.id) : it->caption);
        }
    }
    return s;
}

const Command& row(const CommandTable& t, const char* id) {
    return *std::find_if(t.commands.begin(), t.commands.end(),
                         [&](const Command& c) { return c.id == QLatin1String(id); });
}

const Layout& layout(const CommandTable& t, const char* name) {
    return *std::find_if(t.layouts.begin(), t.layouts.end(),
                         [&](const Layout& l) { return l.name == QLatin1String(name); });
}
} // namespace

TEST_F(ProjectFixture, TheTablePlacesThePageCommandsAndEachRowRunsItsCommand) {
    RecordingView view;
    const CommandTable t = projectCommands(project, view);
    // Entries that the app room's File-menu rows declare appear as their ids.
    EXPECT_EQ(shown(t, layout(t, "OutlinePopup").items),
              QStringList({"Open Project", "[ProjectBuilder1]", "Print Project", "-",
                           "Open/Edit Web Page", "Remove Page from Project", "-", "Add a Web Page",
                           "Add a Sub-Page", "-", "Move Page Up/Down", "-", "Change HTML Link",
                           "Change Page Title", "-", "Expand>This Page Group,All Page Groups",
                           "Collapse>This Page Group,All Page Groups", "-",
                           // Declared by the publishing and analysis rooms.
                           "[AddtoFTPlist1]", "[PageSiteAnalysis1]"}));
    EXPECT_EQ(shown(t, layout(t, "PageButtons").items),
              QStringList({"&Add a Web Page", "Add a Sub-Page", "&Remove from Project",
                           "Moves Pages Up/Down"}));
    EXPECT_EQ(
        shown(t, layout(t, "Edit1").items),
        QStringList({"-", "&Remove Page from Project", "C&hange Page Title", "Change &HTML Link"}));
    EXPECT_EQ(row(t, "RemovePagefromProject1").hint, QStringLiteral("Remove page from project"));

    pageDialog.queue("Home", page("index.html"));
    row(t, "AddaWebPage1").run();
    EXPECT_EQ(titles(), QStringList({"Home"}));
    pageDialog.queue("Sub", page("sub.html"));
    row(t, "AddaSubPage1").run();
    EXPECT_EQ(project.outline().page(2).level, 2);
    pageDialog.queue("Renamed", page("index.html"));
    row(t, "ChangePageTitle1").run();
    EXPECT_FALSE(pageDialog.requests.back().focusPath);
    pageDialog.queue("Renamed", page("other.html"));
    row(t, "ChangeHTMLLink1").run();
    EXPECT_TRUE(pageDialog.requests.back().focusPath);
    row(t, "OpenEditWebPage1").run();
    EXPECT_EQ(app.document().currentHtmlFile(), web.file("other.html"));
    moveDialog.moves = [](MovePages&) { return true; };
    state().projectModified = false;
    row(t, "MovePageUpDown1").run();
    EXPECT_TRUE(state().projectModified);
    for (const char* id : {"ExpandThisPageGroup1", "ExpandAllPageGroups1", "CollapseThisPageGroup1",
                           "CollapseAllPageGroups1"})
        row(t, id).run();
    EXPECT_EQ(view.done, QStringList({"expand 1", "expand all", "collapse 1", "collapse all"}));
    confirm.answers.push_back({true, false});
    row(t, "RemovePagefromProject1").run();
    EXPECT_TRUE(project.outline().isEmpty());
}
