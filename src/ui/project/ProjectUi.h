// The project room in the main window: the project, its dialogs, the outline over the "Web Site"
// tab's tree, the page buttons below it, the Files tab, and the window title and status fields that
// follow the project.
#pragma once

#include "app/Commands.h"
#include "ui/shell/Shell.h"

#include <QObject>
#include <memory>

class ActionRegistry;
class AppState;
class FilesPane;
class FilesTab;
class Prompter;
class OutlinePane;
class Project;
class TFormConfirmDelete;
class TFormMove;
class TFormPage;
struct Shell;

class ProjectUi : public QObject, public ProjectPanes {
    Q_OBJECT
public:
    // Lives as long as the registry it installs into (its parent).
    ProjectUi(ActionRegistry& registry, Shell& context);
    ~ProjectUi() override;

    Project& project() override { return *m_project; }
    OutlinePane* outline() const { return m_outline; }
    TFormPage* pageDialog() const { return m_pageDialog; }
    // Made the first time the Files tab is shown (start-up has then read its file types).
    FilesPane* filesPane() const { return m_filesPane; }
    QListWidget* filesTabList() const override;
    QString filesTabFolder() const override;

    // The one instance of the main window.
    static ProjectUi* of(const ActionRegistry& registry);

private:
    void showFilesTab(AppState& state, Prompter& prompter, QWidget& area);

    Shell& m_shell;

    std::unique_ptr<Project> m_project;
    std::unique_ptr<TFormMove> m_move;
    OutlinePane* m_outline = nullptr;
    TFormPage* m_pageDialog = nullptr;
    TFormConfirmDelete* m_confirm = nullptr;
    FilesTab* m_filesTab = nullptr;
    FilesPane* m_filesPane = nullptr;
};

// The composition root's line for the project room: makes the ProjectUi and returns the table.
CommandTable installProject(ActionRegistry& registry, Shell& context);
// Once the table is in the registry: one button per entry of the page buttons' layout in the
// group below the outline, running the registry's action.
void placePageButtons(Shell& shell, const CommandTable& table);
