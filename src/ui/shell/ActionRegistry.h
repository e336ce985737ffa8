// ActionRegistry: one QAction per command id, placed from the rooms' layout tables into the menu
// bar, the tool bar, the tag tool box and the pop-up menus.
//
// Tables are added in the order the rooms are installed (app first). A layout whose name is met
// for the first time declares that menu, tool bar, tab or pop-up; a later layout of the same
// place and name adds its entries to it, into the group it names or at the end. Enabled and
// checked states and live captions are asked again whenever one of a command's watched model
// signals fires.
#pragma once

#include "app/Commands.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <map>

class QAction;
class QMenu;
class QMenuBar;
class QTabWidget;
class QToolBar;
class QWidget;

class ActionRegistry : public QObject {
    Q_OBJECT
public:
    // window: the main window; it owns the actions and hears their shortcuts.
    explicit ActionRegistry(QWidget* window);
    ~ActionRegistry() override;

    // Makes the table's actions and keeps its layouts for build(). An id that is already
    // declared is refused and listed in problems().
    void add(const CommandTable& table);
    // Places every layout added so far. Any of the containers may be null (tests build parts).
    void build(QMenuBar* menuBar, QToolBar* toolBar, QTabWidget* tagTabs);

    QAction* action(const QString& id) const;
    QStringList ids() const;
    // A menu of the menu bar, a sub-menu or a pop-up, by object name.
    QMenu* menu(const QString& name) const;
    // A page of the tag tool box, by its id (CommandPlaces.h); null before build().
    QWidget* tagTab(const QString& id) const;
    // Faults of the tables: ids declared twice, entries placing an undeclared id, additions to
    // layouts nobody declared or to a group that is not there. Empty when all is well; a
    // test keeps it so.
    const QStringList& problems() const { return m_problems; }

    // The shortcuts of the enabled commands that act anywhere in the window: keys that run a
    // command rather than type into the editor. Kept, and made again only after an action has
    // changed (enabled, shortcut) or a table has been added.
    const QList<QKeySequence>& windowShortcuts() const;

    // Asks every command's enabled, checked and caption functions again.
    void refreshAll();

signals:
    // build() has placed everything: rooms that add widgets of their own to a tab or pane
    // the registry laid out do so now.
    void built();

private:
    struct Entry {
        Command command;
        QAction* action = nullptr;
    };
    void refresh(Entry& entry);
    QList<Layout> mergedLayouts(LayoutPlace place);
    void fillMenu(QMenu* menu, const QList<LayoutItem>& items, bool popup, const QString& where);
    QAction* popupView(QAction* source, const QString& caption, QObject* parent);

    QWidget* m_window;
    std::map<QString, Entry> m_entries;
    QList<Layout> m_layouts;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QWidget*> m_tagTabs;
    QStringList m_problems;
    mutable QList<QKeySequence> m_windowShortcuts;
    mutable bool m_shortcutsStale = true;
};
