// ActionRegistry: the commands' actions and their places.
#include "ui/shell/ActionRegistry.h"

#include "ui/shell/DrawnPictures.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

namespace {

// A picture of ours from data/icons/, built into the program, drawn at the sizes tool bars and
// scaling screens ask for; a null icon when there is none of that name.
QIcon svgPicture(const QString& name) {
    QSvgRenderer svg(QStringLiteral(":/toolbar/%1.svg").arg(name));
    if (!svg.isValid())
        return {};
    QIcon icon;
    for (const int size : {16, 20, 24, 32, 40, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Icon names of the tables, mapped onto the style's standard icons, the pictures the program
// draws and its own SVGs; any other name is looked up in the icon theme, which a desktop need not
// have.
QIcon iconFor(const QWidget* window, const QString& name) {
    static const QHash<QString, QStyle::StandardPixmap> standard = {
        {QStringLiteral("file-new"), QStyle::SP_FileIcon},
        {QStringLiteral("file-open"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("file-template"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("file-save"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("spell-check"), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("project-new"), QStyle::SP_FileDialogNewFolder},
        {QStringLiteral("project-open"), QStyle::SP_DirOpenIcon},
        {QStringLiteral("project-save"), QStyle::SP_DriveFDIcon},
        {QStringLiteral("document-print"), QStyle::SP_FileDialogListView},
        {QStringLiteral("site-analysis"), QStyle::SP_FileDialogInfoView},
    };
    const auto it = standard.constFind(name);
    if (it != standard.constEnd())
        return window->style()->standardIcon(*it);
    if (const QIcon drawn = drawnPicture(name); !drawn.isNull())
        return drawn;
    if (const QIcon ours = svgPicture(name); !ours.isNull())
        return ours;
    return QIcon::fromTheme(name);
}

// Inserts items at the end of the group `group` (searched in sub-menus too): before the next
// group's mark of the same list, or at its end. False when there is no such group.
bool insertIntoGroup(QList<LayoutItem>& items, const QString& group,
                     const QList<LayoutItem>& added) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].kind == LayoutItem::Kind::Group && items[i].id == group) {
            qsizetype end = i + 1;
            while (end < items.size() && items[end].kind != LayoutItem::Kind::Group)
                ++end;
            for (qsizetype k = 0; k < added.size(); ++k)
                items.insert(end + k, added[k]);
            return true;
        }
        if (items[i].kind == LayoutItem::Kind::SubMenu &&
            insertIntoGroup(items[i].items, group, added))
            return true;
    }
    return false;
}

QAction* withTip(QAction* view, const QAction* source) {
    view->setToolTip(source->toolTip());
    return view;
}

} // namespace

ActionRegistry::ActionRegistry(QWidget* window) : QObject(window), m_window(window) {
}

ActionRegistry::~ActionRegistry() = default;

void ActionRegistry::add(const CommandTable& table) {
    for (const Command& command : table.commands) {
        if (m_entries.count(command.id)) {
            m_problems << QStringLiteral("%1 is declared twice").arg(command.id);
            continue;
        }
        auto* a = new QAction(command.caption, m_window);
        a->setObjectName(command.id);
        a->setShortcut(command.shortcut);
        if (!command.moreShortcuts.isEmpty()) {
            a->setShortcuts(QList<QKeySequence>{command.shortcut} + command.moreShortcuts);
            // A menu shows an action's first key only; after a tab it shows what it is told.
            QStringList keys;
            for (const QKeySequence& key : a->shortcuts())
                keys << key.toString(QKeySequence::NativeText);
            a->setText(command.caption + QLatin1Char('\t') + keys.join(QStringLiteral(", ")));
            if (command.hint.isEmpty())
                a->setToolTip(QString(command.caption).remove(QLatin1Char('&')) +
                              QStringLiteral(" (") + keys.join(QStringLiteral(", ")) +
                              QLatin1Char(')'));
        }
        a->setShortcutContext(command.shortcutContext);
        if (!command.hint.isEmpty())
            a->setToolTip(command.hint);
        if (!command.icon.isEmpty()) {
            a->setIcon(iconFor(m_window, command.icon));
            // Menus show captions only, as they always have.
            a->setIconVisibleInMenu(false);
        }
        a->setCheckable(static_cast<bool>(command.checked));
        // The editor's own keys win for commands it handles itself; every other shortcut acts
        // wherever the focus is in the window, also for commands no menu shows.
        if (command.shortcutContext == Qt::WindowShortcut)
            m_window->addAction(a);
        Entry& entry = m_entries[command.id];
        entry.command = command;
        entry.action = a;
        if (command.run)
            connect(a, &QAction::triggered, this, [run = command.run] { run(); });
        connect(a, &QAction::changed, this, [this] { m_shortcutsStale = true; });
        for (const StateWatch& w : command.watches)
            w(this, [this, id = command.id] { refresh(m_entries.at(id)); });
        refresh(entry);
    }
    m_layouts << table.layouts;
    m_shortcutsStale = true;
}

void ActionRegistry::refresh(Entry& entry) {
    const Command& c = entry.command;
    QAction* a = entry.action;
    a->setEnabled(c.run && (!c.enabled || c.enabled()));
    if (c.checked)
        a->setChecked(c.checked());
    if (c.liveCaption)
        a->setText(c.liveCaption());
}

void ActionRegistry::refreshAll() {
    for (auto& [id, entry] : m_entries)
        refresh(entry);
}

const QList<QKeySequence>& ActionRegistry::windowShortcuts() const {
    if (!m_shortcutsStale)
        return m_windowShortcuts;
    m_windowShortcuts.clear();
    for (const auto& [id, entry] : m_entries) {
        const QAction* a = entry.action;
        if (a->isEnabled() && !a->shortcut().isEmpty() &&
            a->shortcutContext() == Qt::WindowShortcut)
            m_windowShortcuts << a->shortcuts();
    }
    m_shortcutsStale = false;
    return m_windowShortcuts;
}

QAction* ActionRegistry::action(const QString& id) const {
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? nullptr : it->second.action;
}

QStringList ActionRegistry::ids() const {
    QStringList result;
    for (const auto& [id, entry] : m_entries)
        result << id;
    return result;
}

QMenu* ActionRegistry::menu(const QString& name) const {
    return m_menus.value(name);
}

QWidget* ActionRegistry::tagTab(const QString& id) const {
    return m_tagTabs.value(id);
}

QList<Layout> ActionRegistry::mergedLayouts(LayoutPlace place) {
    QList<Layout> declared;
    for (const Layout& layout : m_layouts) {
        if (layout.place != place)
            continue;
        const auto it = std::find_if(declared.begin(), declared.end(),
                                     [&](const Layout& d) { return d.name == layout.name; });
        if (it == declared.end()) {
            if (!layout.group.isEmpty())
                m_problems << QStringLiteral("%1 adds to group %2 of a layout nobody declared")
                                  .arg(layout.name, layout.group);
            declared << layout;
        } else if (layout.group.isEmpty()) {
            it->items << layout.items;
        } else if (!insertIntoGroup(it->items, layout.group, layout.items)) {
            m_problems << QStringLiteral("%1 has no group %2").arg(layout.name, layout.group);
            it->items << layout.items;
        }
    }
    std::stable_sort(declared.begin(), declared.end(),
                     [](const Layout& a, const Layout& b) { return a.order < b.order; });
    return declared;
}

QAction* ActionRegistry::popupView(QAction* source, const QString& caption, QObject* parent) {
    // A pop-up words some commands its own way ("Save As.." for Save HTML File As) and, like
    // every pop-up of the program, shows no shortcuts. Its entry is a view of the one action:
    // choosing it triggers that action, and it is enabled, checked and shown exactly when that
    // action is.
    auto* view = new QAction(
        caption.isEmpty() ? source->text().section(QLatin1Char('\t'), 0, 0) : caption, parent);
    view->setObjectName(source->objectName());
    const auto follow = [view, source] {
        view->setEnabled(source->isEnabled());
        view->setVisible(source->isVisible());
        view->setCheckable(source->isCheckable());
        view->setChecked(source->isChecked());
    };
    follow();
    connect(source, &QAction::changed, view, follow);
    connect(view, &QAction::triggered, source, [source] { source->trigger(); });
    return view;
}

void ActionRegistry::fillMenu(QMenu* menu, const QList<LayoutItem>& items, bool popup,
                              const QString& where) {
    for (const LayoutItem& item : items) {
        switch (item.kind) {
        case LayoutItem::Kind::Group:
            break;
        case LayoutItem::Kind::Separator:
            menu->addSeparator();
            break;
        case LayoutItem::Kind::SubMenu: {
            QMenu* sub = menu->addMenu(item.caption);
            sub->setObjectName(item.id);
            m_menus.insert(item.id, sub);
            fillMenu(sub, item.items, popup, item.id);
            break;
        }
        case LayoutItem::Kind::Command: {
            QAction* a = action(item.id);
            if (!a) {
                m_problems
                    << QStringLiteral("%1 places %2, which no table declares").arg(where, item.id);
                break;
            }
            menu->addAction(popup ? popupView(a, item.caption, menu) : a);
            break;
        }
        }
    }
}

void ActionRegistry::build(QMenuBar* menuBar, QToolBar* toolBar, QTabWidget* tagTabs) {
    if (menuBar) {
        for (const Layout& layout : mergedLayouts(LayoutPlace::MenuBar)) {
            QMenu* m = menuBar->addMenu(layout.caption);
            m->setObjectName(layout.name);
            m_menus.insert(layout.name, m);
            fillMenu(m, layout.items, false, layout.name);
        }
    }
    for (const Layout& layout : mergedLayouts(LayoutPlace::Popup)) {
        auto* m = new QMenu(layout.caption, m_window);
        m->setObjectName(layout.name);
        m_menus.insert(layout.name, m);
        fillMenu(m, layout.items, true, layout.name);
    }
    if (toolBar) {
        for (const Layout& layout : mergedLayouts(LayoutPlace::ToolBar)) {
            for (const LayoutItem& item : layout.items) {
                if (item.kind == LayoutItem::Kind::Group) {
                    continue;
                } else if (item.kind == LayoutItem::Kind::Separator) {
                    toolBar->addSeparator();
                } else if (QAction* a = action(item.id)) {
                    toolBar->addAction(a);
                } else {
                    m_problems << QStringLiteral("%1 places %2, which no table declares")
                                      .arg(layout.name, item.id);
                }
            }
        }
    }
    if (tagTabs) {
        for (const Layout& layout : mergedLayouts(LayoutPlace::TagTab)) {
            auto* page = new QWidget;
            page->setObjectName(layout.name);
            m_tagTabs.insert(layout.name, page);
            auto* row = new QHBoxLayout(page);
            row->setContentsMargins(2, 2, 2, 2);
            row->setSpacing(2);
            for (const LayoutItem& item : layout.items) {
                if (item.kind == LayoutItem::Kind::Group)
                    continue;
                if (item.kind == LayoutItem::Kind::Separator) {
                    row->addSpacing(8);
                    continue;
                }
                QAction* a = action(item.id);
                if (!a) {
                    m_problems << QStringLiteral("%1 places %2, which no table declares")
                                      .arg(layout.name, item.id);
                    continue;
                }
                auto* button = new QToolButton(page);
                button->setObjectName(QStringLiteral("Button") + item.id);
                // A tab may word a command its own way ("B" for Bold) or give it a hint of its
                // own: the button then shows a view of the one action.
                QAction* shown = a;
                if (!item.caption.isEmpty() || !item.hint.isEmpty()) {
                    shown = withTip(popupView(a, item.caption, button), a);
                    shown->setIcon(a->icon());
                    if (!item.hint.isEmpty())
                        shown->setToolTip(item.hint);
                }
                button->setDefaultAction(shown);
                button->setToolButtonStyle(a->icon().isNull() ? Qt::ToolButtonTextOnly
                                                              : Qt::ToolButtonIconOnly);
                row->addWidget(button);
            }
            row->addStretch(1);
            tagTabs->addTab(page, layout.caption);
        }
    }
    emit built();
}
