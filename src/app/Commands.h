// Commands as data: the rows of a room's command table and the layouts that place them.
//
// Each room declares its commands in one table (src/<room>/<Room>Commands.cpp): an id (the
// control's object name, such as SaveHTMLFile1), the caption, the shortcut, the hint, what it
// runs and when it is enabled. The window's ActionRegistry (ui/shell/) makes one QAction per id
// and puts it wherever the layouts say: menus, sub-menus, tool bars, tag tabs, pop-up menus. A
// command shown in three places is still one action, so its caption, shortcut and enabled state
// cannot drift apart. Nothing here needs a widget.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <functional>

// How a command hears that its enabled or checked state or its caption may have changed: a
// connection from a model signal to the registry's refresh, made with the registry as context so
// that it ends with the registry.
using StateWatch =
    std::function<QMetaObject::Connection(QObject* context, std::function<void()> refresh)>;

// A watch on one signal of a model object, e.g. watch(&doc,
// &HtmlDocument::saveCommandsEnabledChanged).
template <class Model, class Signal> StateWatch watch(Model* model, Signal signal) {
    return [model, signal](QObject* context, std::function<void()> refresh) {
        return QObject::connect(model, signal, context, [refresh] { refresh(); });
    };
}

struct Command {
    QString id;      // the object name of the action, unique in the program
    QString caption; // with its "&" accelerator, as the menu shows it
    QKeySequence shortcut;
    // Further keys for it, shown in its menu entry after the first: a key that a desktop may
    // keep for itself gets a second one that always reaches the program.
    QList<QKeySequence> moreShortcuts;
    QString hint; // tool-tip of its tool-bar button and tag-tab button
    QString icon; // icon name for tool bars and tag tabs (ui/shell maps it); empty: none
    // What choosing it does. Empty: the feature that runs it has not arrived yet; the entry shows
    // and stays disabled.
    std::function<void()> run;
    // Whether it can be chosen now; empty: whenever it can run.
    std::function<bool()> enabled;
    // A check entry: its state now. Choosing it runs `run`, which changes the model.
    std::function<bool()> checked;
    // A caption that follows the model (the recent projects); empty: `caption` stays.
    std::function<QString()> liveCaption;
    // The signals after which enabled, checked and liveCaption are asked again.
    QList<StateWatch> watches;
    // Shortcuts of commands that an editor also handles by itself (Cut, Copy, Paste ...) act only
    // when the focus is elsewhere in the window.
    Qt::ShortcutContext shortcutContext = Qt::WindowShortcut;
};

// One entry of a layout: a command, a separator, a sub-menu with entries of its own, or the mark
// of a group that other rooms' layouts add their entries to (it shows nothing).
struct LayoutItem {
    enum class Kind { Command, Separator, SubMenu, Group };
    Kind kind = Kind::Command;
    QString id;      // the command, the sub-menu's object name or the group's name
    QString caption; // a sub-menu's title; for a command in a pop-up, its caption there if the
                     // pop-up words it differently from the menu (empty: the command's caption)
    QList<LayoutItem> items; // a sub-menu's entries
    // A tag-tab button's own hint where the tab words it differently (empty: the command's)
    QString hint;
};

inline LayoutItem entry(const QString& id, const QString& popupCaption = {}) {
    return {LayoutItem::Kind::Command, id, popupCaption, {}, {}};
}
inline LayoutItem separator() {
    return {LayoutItem::Kind::Separator, {}, {}, {}, {}};
}
// A group of a shared place (CommandPlaces.h): an addition naming it goes after the group's
// last entry, before the next group.
inline LayoutItem group(const QString& name) {
    return {LayoutItem::Kind::Group, name, {}, {}, {}};
}
inline LayoutItem subMenu(const QString& name, const QString& caption, QList<LayoutItem> items) {
    return {LayoutItem::Kind::SubMenu, name, caption, std::move(items), {}};
}

// Where a layout goes.
enum class LayoutPlace {
    MenuBar, // a top-level menu
    ToolBar, // the main tool bar
    TagTab,  // a page of the tag tool box above the editor: one button per command
    Popup,   // a pop-up menu, shown by the pane that owns it (EditorPopup, OutlinePopup ...)
};

// A menu, tool bar, tag tab or pop-up, or entries added to one that another room declared.
struct Layout {
    LayoutPlace place = LayoutPlace::MenuBar;
    QString name;    // object name: File1, ToolBar1, CommonTab, EditorPopup
    QString caption; // menu title or tab caption; empty in an addition
    // Among the menus of the menu bar or the tabs of the tag tool box: smaller comes first.
    int order = 0;
    // An addition to a layout declared by another room (caption empty): the group (CommandPlaces.h)
    // its entries join. Empty: at the end.
    QString group;
    QList<LayoutItem> items;
};

// What a room hands to the registry.
struct CommandTable {
    QList<Command> commands;
    QList<Layout> layouts;
};

// A command of a table being built, kept as its table and row: each use looks the row up anew,
// so it stays good while further commands are added (a reference into the list would dangle
// once the list grows).
class CommandRow {
public:
    CommandRow(CommandTable& table, qsizetype row) : m_table(&table), m_row(row) {}
    const QString& id() const { return m_table->commands.at(m_row).id; }
    Command* operator->() const { return &m_table->commands[m_row]; }
    Command& operator*() const { return m_table->commands[m_row]; }

private:
    CommandTable* m_table;
    qsizetype m_row;
};

// Adds the commands of a room's table, each with its id, caption, shortcut and what it runs;
// the rest is set through the CommandRow it gives back.
class CommandTableBuilder {
public:
    explicit CommandTableBuilder(CommandTable& table) : m_table(table) {}
    CommandRow operator()(const QString& id, const QString& caption, QKeySequence shortcut = {},
                          std::function<void()> run = {}) const {
        Command c;
        c.id = id;
        c.caption = caption;
        c.shortcut = std::move(shortcut);
        c.run = std::move(run);
        m_table.commands << std::move(c);
        return {m_table, m_table.commands.size() - 1};
    }
    CommandRow operator()(const QString& id, const QString& caption,
                          std::function<void()> run) const {
        return (*this)(id, caption, {}, std::move(run));
    }

private:
    CommandTable& m_table;
};
