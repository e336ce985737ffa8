// The app room's command table and layouts.
#include "app/AppCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "app/ShellWindow.h"
#include "app/TipOfTheDay.h"
#include "editor/EditWindow.h"

namespace {

QKeySequence keys(const char* text) {
    return QKeySequence(QLatin1String(text));
}

} // namespace

CommandTable appCommands(AppState& state, EditWindow& editor, ShellWindow& window,
                         TipOfTheDay& tips) {
    HtmlDocument& doc = state.document();
    CommandTable t;
    const CommandTableBuilder add(t);
    const auto saveEnabled = [&doc] { return doc.saveCommandsEnabled(); };
    const QList<StateWatch> saveWatch = {watch(&doc, &HtmlDocument::saveCommandsEnabledChanged)};

    // File. The project room declares the project commands placed here, and the project tools
    // the Project Builder.
    const CommandRow newHtml =
        add("NewHTMLFile1", "New HTML File", keys("Alt+N"), [&doc] { doc.newHtmlFile(); });
    newHtml->hint = QStringLiteral("New HTML file");
    newHtml->icon = QStringLiteral("file-new");
    const CommandRow open =
        add("OpenHTMLFile1", "Open HTML File", keys("Alt+O"), [&doc] { doc.openHtmlFile(); });
    open->hint = QStringLiteral("Open HTML file");
    open->icon = QStringLiteral("file-open");
    const CommandRow templ =
        add("OpenHTMLTemplate1", "Open HTML Template", {}, [&doc] { doc.openHtmlTemplate(); });
    templ->hint = QStringLiteral("Load HTML Template");
    templ->icon = QStringLiteral("file-template");
    const CommandRow save =
        add("SaveHTMLFile1", "Save &HTML File", keys("Alt+S"), [&doc] { doc.saveHtmlFile(); });
    save->hint = QStringLiteral("Save HTML File");
    save->icon = QStringLiteral("file-save");
    save->enabled = saveEnabled;
    save->watches = saveWatch;
    const CommandRow saveAs =
        add("SaveHTMLFileAs1", "Save HT&ML File As", {}, [&doc] { doc.saveHtmlFileAs(); });
    saveAs->enabled = saveEnabled;
    saveAs->watches = saveWatch;
    add("CloseHTMLFile1", "Close HTML File", {}, [&doc] { doc.closeHtmlFile(); });
    // "&Print Project/HTML" (PrintProjectHTML1) comes from the project room's print table.
    add("Exit1", "E&xit", keys("Alt+X"), [&window] { window.closeMainWindow(); });
    for (int n = 1; n <= RecentProjects::SlotCount; ++n) {
        // The project room opens the entry (it asks to save the open project first).
        const CommandRow recent = add("", "", {}, [&state, n] {
            if (RecentProjectOpener* opener = state.parts().recentProjects)
                opener->openRecentProject(state.recentProjects().caption(n));
        });
        recent->id = QStringLiteral("Recent%1").arg(n);
        recent->caption = QStringLiteral("%1: ").arg(n);
        recent->enabled = [&state, n] { return !state.recentProjects().path(n).isEmpty(); };
        recent->liveCaption = [&state, n] { return state.recentProjects().caption(n); };
        recent->watches = {watch(&state, &AppState::recentProjectsChanged)};
    }

    // Edit. The editor handles these keys itself; the menu's shortcuts act only when the focus
    // is elsewhere in the window. A command that changes the text marks the document as a key
    // press would.
    const auto edit = [&](const char* id, const char* caption, QKeySequence::StandardKey key,
                          std::function<void()> run) {
        const CommandRow c = add(id, caption, QKeySequence(key), std::move(run));
        c->shortcutContext = Qt::WidgetWithChildrenShortcut;
        return c;
    };
    // The tool bar's buttons (pictures drawn by the shell) leave the focus in the editor.
    const auto button = [](const CommandRow& c, const char* hint, const char* icon) {
        c->hint = QLatin1String(hint);
        c->icon = QLatin1String(icon);
    };
    button(edit("Cut1", "Cu&t", QKeySequence::Cut, [&] { doc.changeText([&] { editor.cut(); }); }),
           "Cut", "edit-cut");
    button(edit("Copy1", "&Copy", QKeySequence::Copy, [&editor] { editor.copy(); }), "Copy",
           "edit-copy");
    button(edit("Paste1", "&Paste", QKeySequence::Paste,
                [&] { doc.changeText([&] { editor.paste(); }); }),
           "Paste", "edit-paste");
    button(
        edit("Undo1", "&Undo", QKeySequence::Undo, [&] { doc.changeText([&] { editor.undo(); }); }),
        "Undo", "edit-undo");
    button(edit("SelectAll1", "Select &All", QKeySequence::SelectAll,
                [&editor] { editor.selectAll(); }),
           "Select All", "edit-select-all");

    // Help.
    add("ShowTipOfTheDay1", "Show Tip of the &Day", {}, [&tips] { tips.post(); });
    add("About1", "&About", {}, [&window] { window.showAboutBox(); });

    using namespace AppCommands;
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::File,
                        QStringLiteral("&File"),
                        FileMenuOrder,
                        {},
                        {entry("ProjectBuilder1"),
                         entry("NewProject1"),
                         entry("NewHTMLFile1"),
                         separator(),
                         entry("OpenProject1"),
                         entry("OpenHTMLFile1"),
                         entry("OpenHTMLTemplate1"),
                         separator(),
                         entry("SaveProject1"),
                         entry("SaveProjectAs1"),
                         separator(),
                         entry("SaveHTMLFile1"),
                         entry("SaveHTMLFileAs1"),
                         separator(),
                         entry("CloseHTMLFile1"),
                         separator(),
                         entry("PrintProjectHTML1"),
                         separator(),
                         entry("Exit1"),
                         separator(),
                         entry("Recent1"),
                         entry("Recent2"),
                         entry("Recent3"),
                         entry("Recent4")}};
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Edit,
                        QStringLiteral("&Edit"),
                        EditMenuOrder,
                        {},
                        {entry("Cut1"), entry("Copy1"), entry("Paste1"), entry("Undo1"),
                         entry("SelectAll1"), group(Group::EditReplace), group(Group::EditPage),
                         group(Group::EditSpelling)}};
    // The rooms' tools; this room has none of its own.
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Tools,
                        QStringLiteral("&Tools"),
                        ToolsMenuOrder,
                        {},
                        {group(Group::ToolsColour), group(Group::ToolsProject),
                         group(Group::ToolsOptions), group(Group::ToolsAnalysis),
                         group(Group::ToolsPublish)}};
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Help,
                        QStringLiteral("&Help"),
                        HelpMenuOrder,
                        {},
                        // The preview room declares the help entries.
                        {entry("WelcometoQuillonPro1"), entry("Instructions1"),
                         entry("ShowHelpOnTop1"), entry("FrequentlyAskedQuestions1"), separator(),
                         entry("ShowTipOfTheDay1"), entry("About1")}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        QStringLiteral("Tools"),
                        0,
                        {},
                        {entry("NewHTMLFile1"), entry("OpenHTMLFile1"), entry("OpenHTMLTemplate1"),
                         entry("SaveHTMLFile1"), group(Group::BarProject), group(Group::BarEdit),
                         separator(), entry("Cut1"), entry("Copy1"), entry("Paste1"),
                         entry("Undo1"), entry("SelectAll1"), separator(), group(Group::BarTags),
                         group(Group::BarSearch), group(Group::BarPage), group(Group::BarTools)}};
    // The tag tool box's first tab; the tag commands fill it.
    t.layouts << Layout{
        LayoutPlace::TagTab, TagTabId::Common, QStringLiteral("Common"), CommonTabOrder, {}, {}};
    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::Editor,
                        QStringLiteral("Editor"),
                        0,
                        {},
                        {entry("NewHTMLFile1", QStringLiteral("New")),
                         entry("OpenHTMLFile1", QStringLiteral("Open")),
                         entry("SaveHTMLFile1", QStringLiteral("Save")),
                         entry("SaveHTMLFileAs1", QStringLiteral("Save As..")), separator(),
                         entry("Cut1"), entry("Copy1"), entry("Paste1"), entry("Undo1"),
                         entry("SelectAll1"), group(Group::PopupTags), group(Group::PopupSearch),
                         group(Group::PopupOptions), group(Group::PopupPrint),
                         group(Group::PopupSpelling)}};
    return t;
}
