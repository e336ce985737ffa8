// The project tools in the main window.
#include "ui/project/ProjectToolsUi.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "project/Project.h"
#include "project/ProjectToolsCommands.h"
#include "ui/project/TFormBackup.h"
#include "ui/project/TFormProjectBuilder.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"

ProjectToolsUi::ProjectToolsUi(ActionRegistry& registry, Shell& c)
    : QObject(&registry), m_state(c.state), m_prompter(c.prompter), m_window(&c.messageParent),
      m_shell(c) {
    setObjectName(QStringLiteral("ProjectToolsUi"));
    // The backup reminder opens this dialog.
    c.state.parts().provide(&ShellParts::backupWindow, this, "backupWindow");
}

void ProjectToolsUi::openBackupWindow() {
    ProjectPanes* project = m_shell.projectPanes;
    TFormBackup dialog(m_state, m_prompter, m_window,
                       project ? project->project().projectPath() : QString());
    dialog.exec();
}

void ProjectToolsUi::openProjectBuilder() {
    TFormProjectBuilder dialog(m_state, m_prompter, m_window);
    dialog.exec();
}

CommandTable installProjectTools(ActionRegistry& registry, Shell& context) {
    auto* ui = new ProjectToolsUi(registry, context);
    return projectToolsCommands([ui] { ui->openBackupWindow(); },
                                [ui] { ui->openProjectBuilder(); });
}
