// The project room's command table and layouts.
#include "project/ProjectCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "project/Project.h"

CommandTable projectCommands(Project& project, OutlineView& view) {
    CommandTable t;
    const CommandTableBuilder add(t);
    Project* p = &project;
    // The File menu's project rows (the app room places them among the HTML file's).
    const CommandRow newProject = add("NewProject1", "&New Project", [p] { p->newProject(); });
    newProject->shortcut = QKeySequence(QStringLiteral("Ctrl+N"));
    newProject->hint = QStringLiteral("New Project");
    newProject->icon = QStringLiteral("project-new");
    const CommandRow openProject = add("OpenProject1", "&Open Project", [p] { p->openProject(); });
    openProject->shortcut = QKeySequence(QStringLiteral("Ctrl+O"));
    openProject->hint = QStringLiteral("Open Project");
    openProject->icon = QStringLiteral("project-open");
    add("SaveProject1", "&Save Project", [p] { p->saveProjectFiles(); })->shortcut =
        QKeySequence(QStringLiteral("Ctrl+S"));
    add("SaveProjectAs1", "Save Project &As", [p] { p->saveProjectAs(); });
    // The tool-bar button starts disabled and is enabled once a project is opened or a page is
    // added; the menu entry stays enabled, so an unnamed, empty project can still be saved.
    const CommandRow saveButton =
        add("SaveProjectButton1", "Save Project", [p] { p->saveProjectFiles(); });
    saveButton->hint = QStringLiteral("Save Project");
    saveButton->icon = QStringLiteral("project-save");
    saveButton->enabled = [p] { return p->saveProjectEnabled(); };
    saveButton->watches = {watch(p, &Project::saveProjectEnabledChanged)};
    add("AddaWebPage1", "&Add a Web Page", [p] { p->addPage(); });
    add("AddaSubPage1", "Add a Sub-Page", [p] { p->addSubPage(); });
    const CommandRow remove =
        add("RemovePagefromProject1", "&Remove Page from Project", [p] { p->removePage(); });
    remove->hint = QStringLiteral("Remove page from project");
    remove->icon = QStringLiteral("edit-delete");
    add("ChangePageTitle1", "C&hange Page Title", [p] { p->changePageTitle(); });
    add("ChangeHTMLLink1", "Change &HTML Link", [p] { p->changeHtmlLink(); });
    add("OpenEditWebPage1", "Open/Edit Web Page", [p] { p->openPage(); });
    add("MovePageUpDown1", "Move Page Up/Down", [p] { p->movePages(); });
    add("ExpandThisPageGroup1", "This Page Group",
        [p, &view] { view.expandGroup(p->selectedItem()); });
    add("ExpandAllPageGroups1", "All Page Groups", [&view] { view.expandAll(); });
    add("CollapseThisPageGroup1", "This Page Group",
        [p, &view] { view.collapseGroup(p->selectedItem()); });
    add("CollapseAllPageGroups1", "All Page Groups", [&view] { view.collapseAll(); });
    // The pop-up's FTP list entry (AddtoFTPlist1) is the publishing room's, "Page/Site Analysis"
    // (PageSiteAnalysis1) the analysis room's: placed here, declared there.

    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Edit,
                        {},
                        0,
                        Group::EditPage,
                        {separator(), entry("RemovePagefromProject1"), entry("ChangePageTitle1"),
                         entry("ChangeHTMLLink1")}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarPage,
                        {entry("RemovePagefromProject1")}};
    // The project buttons follow the HTML file's on the tool bar.
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarProject,
                        {entry("NewProject1"), entry("OpenProject1"), entry("SaveProjectButton1")}};
    // The button group below the outline: the buttons word the commands their own way.
    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::PageButtons,
                        QStringLiteral("Add/Move Web Pages"),
                        0,
                        {},
                        {entry("AddaWebPage1"), entry("AddaSubPage1"),
                         entry("RemovePagefromProject1", QStringLiteral("&Remove from Project")),
                         entry("MovePageUpDown1", QStringLiteral("Moves Pages Up/Down"))}};
    t.layouts << Layout{
        LayoutPlace::Popup,
        PopupId::Outline,
        QStringLiteral("Outline"),
        0,
        {},
        {entry("OpenProject1", QStringLiteral("Open Project")),
         entry("ProjectBuilder1"),
         entry("PrintProjectHTML1", QStringLiteral("Print Project")),
         separator(),
         entry("OpenEditWebPage1"),
         entry("RemovePagefromProject1", QStringLiteral("Remove Page from Project")),
         separator(),
         entry("AddaWebPage1", QStringLiteral("Add a Web Page")),
         entry("AddaSubPage1"),
         separator(),
         entry("MovePageUpDown1"),
         separator(),
         entry("ChangeHTMLLink1", QStringLiteral("Change HTML Link")),
         entry("ChangePageTitle1", QStringLiteral("Change Page Title")),
         separator(),
         subMenu(MenuId::Expand, QStringLiteral("Expand"),
                 {entry("ExpandThisPageGroup1"), entry("ExpandAllPageGroups1")}),
         subMenu(MenuId::Collapse, QStringLiteral("Collapse"),
                 {entry("CollapseThisPageGroup1"), entry("CollapseAllPageGroups1")}),
         separator(),
         entry("AddtoFTPlist1"),
         entry("PageSiteAnalysis1")}};
    return t;
}
