// The project tools in the main window: the Backup dialog (also the backup reminder's window)
// and the project builder, each made for one use.
#pragma once

#include "app/Commands.h"
#include "app/ShellParts.h"

#include <QObject>

class ActionRegistry;
class AppState;
class Prompter;
class QWidget;
struct Shell;

class ProjectToolsUi : public QObject, public BackupWindow {
    Q_OBJECT
public:
    ProjectToolsUi(ActionRegistry& registry, Shell& context);

    // BackupWindow: "Backup Project Files", modal.
    void openBackupWindow() override;
    // "Website Project Builder", modal.
    void openProjectBuilder();

private:
    AppState& m_state;
    Prompter& m_prompter;
    QWidget* m_window = nullptr;
    Shell& m_shell;
};

// The composition root's line for the project tools.
CommandTable installProjectTools(ActionRegistry& registry, Shell& context);
