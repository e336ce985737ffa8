// The Custom tab, the custom tags dialog, the new page's block and the Files tab's tag commands in
// the main window.
#include "ui/tags/TagRoomParts.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "app/PaneLayout.h"
#include "app/ShellWindow.h"
#include "editor/EditWindow.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"
#include "ui/tags/TFormCustom.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

TagRoomParts::TagRoomParts(ActionRegistry& registry, Shell& c)
    : QObject(&registry), m_registry(registry), m_prompter(c.prompter), m_window(&c.messageParent),
      m_shell(c),
      m_customTags(c.state.programDirectory() + QStringLiteral("custom.dat"), c.prompter),
      m_inserter(c.editor, *c.editor.clipboard(),
                 [&state = c.state] { state.document().setHtmlModified(true); }) {
    setObjectName(QStringLiteral("TagRoomParts"));
    m_inserter.setLowerCase([&settings = c.state.settings()] { return settings.lowerCaseTags; });
    // Start-up reads custom.dat through us, and New HTML File inserts its page through us.
    ShellParts& parts = c.state.parts();
    parts.provide(&ShellParts::customTags, this, "customTags");
    parts.provide(&ShellParts::blocks, this, "blocks");
    connect(&registry, &ActionRegistry::built, this, &TagRoomParts::placeInWindow);
}

TagRoomParts* TagRoomParts::of(const ActionRegistry& registry) {
    return registry.findChild<TagRoomParts*>(QString(), Qt::FindDirectChildrenOnly);
}

// The Custom tab -----------------------------------------------------------------------------

void TagRoomParts::showCustomList() {
    if (!m_customList)
        return;
    const QSignalBlocker quiet(m_customList);
    m_customList->clear();
    m_customList->addItems(m_customTags.entries());
    m_customList->setCurrentIndex(0);
}

void TagRoomParts::pickCustomTag(int index) {
    if (const std::optional<CustomTagParts> tag = m_customTags.pick(index))
        m_inserter.insertCustomTag(tag->start, tag->end);
    if (m_customList)
        m_customList->setCurrentIndex(0);
}

void TagRoomParts::loadCustomTags() {
    m_customTags.loadCustomTags();
    showCustomList();
}

void TagRoomParts::insertBlock(const QString& tagName) {
    m_inserter.insertBlock(tagName);
}

std::optional<NewCustomTag> TagRoomParts::askNewCustomTag() {
    TFormCustom dialog(TFormCustom::Mode::Add, m_prompter, {}, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return NewCustomTag{dialog.name(), dialog.startTag(), dialog.endTag()};
}

std::optional<QStringList> TagRoomParts::askCustomTagsToKeep(const QStringList& entries) {
    TFormCustom dialog(TFormCustom::Mode::Delete, m_prompter, entries, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.entries();
}

// The Files tab ------------------------------------------------------------------------------

QListWidget* TagRoomParts::fileList() const {
    const ProjectPanes* project = m_shell.projectPanes;
    return project ? project->filesTabList() : nullptr;
}

FileListChoice TagRoomParts::fileListChoice() const {
    const ProjectPanes* project = m_shell.projectPanes;
    const QListWidget* list = project ? project->filesTabList() : nullptr;
    if (!list)
        return {};
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return {project->filesTabFolder(), chosen.isEmpty() ? QString() : chosen.first()->text()};
}

void TagRoomParts::placeOnFileList() {
    QListWidget* list = fileList();
    if (!list || list == m_fileList)
        return;
    m_fileList = list;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QListWidget::itemSelectionChanged, &m_choiceSignal,
            &FileListChoiceSignal::changed);
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // The right click chooses the file under the mouse first.
        if (QListWidgetItem* item = m_fileList->itemAt(pos))
            m_fileList->setCurrentItem(item);
        else
            m_fileList->clearSelection();
        emit m_choiceSignal.changed();
        if (QMenu* menu = m_registry.menu(PopupId::FileList))
            menu->exec(m_fileList->viewport()->mapToGlobal(pos));
    });
}

void TagRoomParts::layoutInsertButton() {
    if (!m_insertButton || !m_filesPage || !m_window)
        return;
    const PaneLayout::LeftPaneGeometry g = PaneLayout::leftPaneGeometry(
        m_filesPage->width(), m_filesPage->height(), m_window->height(), 0);
    // The button sits in the room below the file list; a window too low for it has none.
    m_insertButton->setVisible(g.filesListBottom.has_value());
    if (g.filesListBottom)
        m_insertButton->setGeometry(4, *g.filesListBottom + 6, g.outlineWidth, 26);
}

bool TagRoomParts::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filesPage && event->type() == QEvent::Resize)
        layoutInsertButton();
    return QObject::eventFilter(watched, event);
}

// Placing -----------------------------------------------------------------------------------

void TagRoomParts::placeInWindow() {
    if (!m_window)
        return;
    if (QWidget* page = m_registry.tagTab(TagTabId::Custom)) {
        if (auto* row = qobject_cast<QHBoxLayout*>(page->layout())) {
            m_customList = new QComboBox(page);
            m_customList->setObjectName(QStringLiteral("CustomList"));
            m_customList->setMinimumContentsLength(28);
            m_customList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            auto* label = new QLabel(QStringLiteral("Add/Delete"), page);
            label->setObjectName(QStringLiteral("CustomAddDeleteLabel"));
            row->insertWidget(0, m_customList);
            row->insertSpacing(1, 8);
            row->insertWidget(2, label);
            connect(m_customList, &QComboBox::activated, this, &TagRoomParts::pickCustomTag);
            showCustomList();
        }
    }

    m_filesPage = &m_shell.filesTab;
    QAction* insert = m_registry.action(QLatin1String(FileListCommands::insertButton));
    if (m_filesPage && insert) {
        m_insertButton = new QToolButton(m_filesPage);
        m_insertButton->setObjectName(QStringLiteral("InsertLinkImageButton"));
        m_insertButton->setDefaultAction(insert);
        m_insertButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_filesPage->installEventFilter(this);
        layoutInsertButton();
    }
    // The project room makes the Files tab's lists when the tab is first shown; it connected
    // before us, so its pane is there when we look.
    connect(&m_shell.leftTabs, &QTabWidget::currentChanged, this, &TagRoomParts::placeOnFileList);
}

CommandTable installTagRoomParts(ActionRegistry& registry, Shell& c) {
    auto* parts = new TagRoomParts(registry, c);
    CommandTable t =
        customTagCommands(parts->customTags(), *parts, [parts] { parts->showCustomList(); });
    const CommandTable files = fileListCommands(
        c.state, c.editor, [parts] { return parts->fileListChoice(); },
        parts->fileListChoiceSignal());
    t.commands << files.commands;
    t.layouts << files.layouts;
    return t;
}
