// The project room in the main window.
#include "ui/project/ProjectUi.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "app/ShellWindow.h"
#include "project/FilesTab.h"
#include "project/Project.h"
#include "project/ProjectCommands.h"
#include "ui/project/FilesPane.h"
#include "ui/project/OutlinePane.h"
#include "ui/project/ProjectDialogs.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>

ProjectUi::ProjectUi(ActionRegistry& registry, Shell& c) : QObject(&registry), m_shell(c) {
    setObjectName(QStringLiteral("ProjectUi"));
    QWidget* window = &c.messageParent;
    m_project = std::make_unique<Project>(c.state, c.prompter, c.chooser);
    m_pageDialog = new TFormPage(c.state, c.prompter, c.chooser, window);
    m_confirm = new TFormConfirmDelete(window);
    m_move = std::make_unique<TFormMove>(c.state.programDirectory(), c.prompter, window);
    m_project->setDialogs(m_pageDialog, m_confirm, m_move.get());

    // The close check saves through the project, and the File menu's recent entries open
    // through it.
    ShellParts& parts = c.state.parts();
    parts.provide(&ShellParts::projectSave, m_project.get(), "projectSave");
    parts.provide(&ShellParts::recentProjects, m_project.get(), "recentProjects");
    parts.provide(&ShellParts::projectFiles, m_project.get(), "projectFiles");

    // The rooms after this one read the project and the Files tab's lists through the shell.
    c.projectPanes = this;

    m_outline = new OutlinePane(*m_project, c.outline, this);
    connect(m_project.get(), &Project::captionChanged, window, &QWidget::setWindowTitle);
    connect(m_project.get(), &Project::fileSizeTextChanged, &c.fileSizeField, &QLabel::setText);
    connect(m_project.get(), &Project::pageLocationTextChanged, &c.pageLocationField,
            &QLabel::setText);

    QTabWidget* tabs = &c.leftTabs;
    QWidget* area = &c.filesArea;
    AppState* state = &c.state;
    Prompter* prompter = &c.prompter;
    connect(tabs, &QTabWidget::currentChanged, this, [this, tabs, area, state, prompter] {
        if (tabs->currentWidget() && tabs->currentWidget()->isAncestorOf(area))
            showFilesTab(*state, *prompter, *area);
    });
    // Once the registry has built its menus: the outline's pop-up menu.
    connect(&registry, &ActionRegistry::built, this,
            [this, &registry] { m_outline->setPopup(registry.menu(PopupId::Outline)); });
}

void ProjectUi::showFilesTab(AppState& state, Prompter& prompter, QWidget& area) {
    if (!m_filesPane) {
        // A GIF or JPEG double-clicked opens the Power Image dialog on it.
        const auto powerImage = [this](const QString&) {
            if (QAction* image = m_shell.registry.action(QStringLiteral("PowerIMG1")))
                image->trigger();
        };
        m_filesTab = new FilesTab(state, prompter, powerImage, this);
        // A single click on a file shows its size, as a click on a page does.
        connect(m_filesTab, &FilesTab::fileSizeTextChanged, &m_shell.fileSizeField,
                &QLabel::setText);
        connect(m_filesTab, &FilesTab::pageLocationTextChanged, &m_shell.pageLocationField,
                &QLabel::setText);
        m_filesPane =
            new FilesPane(*m_filesTab, state.homeDirectory(), state.filesTabFilter(), &area);
        area.layout()->addWidget(m_filesPane);
        m_filesPane->show(); // the area is on screen already
        // Settings, Apply: new HTML extensions show at once.
        connect(&state, &AppState::htmlFiltersChanged, m_filesPane,
                [this, &state] { m_filesPane->setFilter(state.filesTabFilter()); });
    }
    m_filesPane->activate();
}

ProjectUi::~ProjectUi() {
    // The dialogs the project points at belong to the window; the project goes first.
    m_project.reset();
}

QListWidget* ProjectUi::filesTabList() const {
    return m_filesPane ? m_filesPane->fileList() : nullptr;
}

QString ProjectUi::filesTabFolder() const {
    return m_filesPane ? m_filesPane->folder() : QString();
}

ProjectUi* ProjectUi::of(const ActionRegistry& registry) {
    return registry.findChild<ProjectUi*>(QString(), Qt::FindDirectChildrenOnly);
}

CommandTable installProject(ActionRegistry& registry, Shell& c) {
    auto* ui = new ProjectUi(registry, c);
    return projectCommands(ui->project(), *ui->outline());
}

void placePageButtons(Shell& shell, const CommandTable& table) {
    ActionRegistry& registry = shell.registry;
    QGroupBox* group = &shell.pageButtons;
    const auto it = std::find_if(table.layouts.begin(), table.layouts.end(),
                                 [](const Layout& l) { return l.name == PopupId::PageButtons; });
    if (it == table.layouts.end())
        return;
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setSpacing(2);
    int n = 0;
    for (const LayoutItem& item : it->items) {
        QAction* action = registry.action(item.id);
        if (item.kind != LayoutItem::Kind::Command || !action)
            continue;
        auto* button = new QToolButton(group);
        button->setObjectName(item.id + QStringLiteral("Button"));
        button->setText(item.caption.isEmpty() ? action->text() : item.caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setEnabled(action->isEnabled());
        QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
        QObject::connect(action, &QAction::changed, button,
                         [button, action] { button->setEnabled(action->isEnabled()); });
        // One button a row: the outline pane is narrow, and two side by side cut the captions.
        grid->addWidget(button, n, 0);
        ++n;
    }
    group->setFixedHeight(group->sizeHint().height());
    group->setEnabled(true);
}
