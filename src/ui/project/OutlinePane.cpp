// OutlinePane: the outline's tree, its pointer handling and its expand and collapse.
#include "ui/project/OutlinePane.h"

#include "project/Project.h"

#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTreeWidget>

OutlinePane::OutlinePane(Project& project, QTreeWidget& tree, QObject* parent)
    : QObject(parent), m_project(project), m_tree(tree) {
    m_tree.setHeaderHidden(true);
    m_tree.viewport()->installEventFilter(this);
    connect(&m_project, &Project::outlineChanged, this, &OutlinePane::rebuild);
    // A click on the page already highlighted shows it again (its size may have changed); a
    // click on another page was taken when the press moved the highlight.
    connect(&m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (!m_pressMovedHighlight)
            m_project.selectPage(itemNumber(item));
    });
    // The highlighted page is the one the commands act on, however it became so: a click, the
    // arrow keys, Home and End, or typing a title's first letters.
    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (m_rebuilding || !item)
            return;
        m_pressMovedHighlight = true;
        m_project.selectPage(itemNumber(item));
    });
    connect(&m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        m_project.setSelectedItem(itemNumber(item));
        m_project.openPage();
    });
    rebuild(true);
}

int OutlinePane::itemNumber(const QTreeWidgetItem* item) const {
    if (!item)
        return 0;
    return item->data(0, Qt::UserRole).toInt();
}

QTreeWidgetItem* OutlinePane::treeItem(int number) const {
    if (number < 1 || number > static_cast<int>(m_items.size()))
        return nullptr;
    return m_items[static_cast<size_t>(number - 1)];
}

void OutlinePane::rebuild(bool expand) {
    // Groups the user opened stay open across a change that does not expand everything.
    std::vector<bool> wasExpanded;
    for (QTreeWidgetItem* i : m_items)
        wasExpanded.push_back(i->isExpanded());
    // The tree follows the project's selection here, not the other way round.
    const QScopedValueRollback<bool> rebuilding(m_rebuilding, true);
    m_tree.clear();
    m_items.clear();
    const SiteOutline& outline = m_project.outline();
    m_items.reserve(static_cast<size_t>(outline.count()));
    std::vector<QTreeWidgetItem*> parents; // the open item of each level
    for (int n = 1; n <= outline.count(); ++n) {
        const ProjectPage& p = outline.page(n);
        const size_t depth = static_cast<size_t>(p.level - 1);
        parents.resize(std::min(parents.size(), depth));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(&m_tree) : new QTreeWidgetItem(parents.back());
        item->setText(0, p.title);
        item->setData(0, Qt::UserRole, n);
        parents.push_back(item);
        m_items.push_back(item);
    }
    if (expand) {
        m_tree.expandAll();
    } else {
        for (size_t k = 0; k < std::min(wasExpanded.size(), m_items.size()); ++k)
            m_items[k]->setExpanded(wasExpanded[k]);
    }
    if (QTreeWidgetItem* selected = treeItem(m_project.selectedItem()))
        m_tree.setCurrentItem(selected);
}

void OutlinePane::expandGroup(int item) {
    if (QTreeWidgetItem* i = treeItem(item); i && i->childCount() > 0)
        i->setExpanded(true);
}

void OutlinePane::collapseGroup(int item) {
    if (QTreeWidgetItem* i = treeItem(item); i && i->childCount() > 0)
        i->setExpanded(false);
}

void OutlinePane::expandAll() {
    m_tree.expandAll();
}

void OutlinePane::collapseAll() {
    for (int k = 0; k < m_tree.topLevelItemCount(); ++k)
        m_tree.topLevelItem(k)->setExpanded(false);
}

bool OutlinePane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree.viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            // Any button selects the item under the pointer, the right one too.
            auto* e = static_cast<QMouseEvent*>(event);
            m_pressMovedHighlight = false;
            if (QTreeWidgetItem* item = m_tree.itemAt(e->position().toPoint())) {
                m_tree.setCurrentItem(item);
                m_project.setSelectedItem(itemNumber(item));
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::RightButton && m_popup) {
                m_popup->popup(e->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
