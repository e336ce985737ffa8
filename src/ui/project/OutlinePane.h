// OutlinePane: the "Web Site" tab's tree over the project's outline.
//
// Rebuilt from the page list whenever the project says the outline changed (expanded after
// loading, a sub-page and a move); any button press selects the item under the pointer, a single
// click selects the page for the status bar, a double click opens it, and releasing the right
// button opens the outline's pop-up menu.
#pragma once

#include "project/ProjectCommands.h"

#include <QObject>
#include <vector>

class Project;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

class OutlinePane : public QObject, public OutlineView {
    Q_OBJECT
public:
    OutlinePane(Project& project, QTreeWidget& tree, QObject* parent = nullptr);
    // The outline's pop-up menu, once the registry has built it.
    void setPopup(QMenu* popup) { m_popup = popup; }

    // The item number (from 1) of a tree item, 0 for none; and the tree item of a number.
    int itemNumber(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* treeItem(int number) const;

    // OutlineView
    void expandGroup(int item) override;
    void collapseGroup(int item) override;
    void expandAll() override;
    void collapseAll() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild(bool expand);

    Project& m_project;
    QTreeWidget& m_tree;
    QMenu* m_popup = nullptr;
    bool m_rebuilding = false;
    bool m_pressMovedHighlight = false;
    std::vector<QTreeWidgetItem*> m_items; // in item order
};
