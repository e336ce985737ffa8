// The publishing room in the main window.
#include "ui/publish/PublishUi.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "project/Project.h"
#include "publish/FtpScreen.h"
#include "ui/publish/TFormFTP.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"

#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QWidget>

PublishUi::PublishUi(ActionRegistry& registry, Shell& c)
    : QObject(&registry), m_registry(registry), m_state(c.state), m_prompter(c.prompter),
      m_chooser(c.chooser), m_window(&c.messageParent), m_shell(c),
      m_room(std::make_unique<PublishRoom>(c.state, c.editor, c.prompter, *this)) {
    setObjectName(QStringLiteral("PublishUi"));
}

PublishUi::~PublishUi() = default;

PublishUi* PublishUi::of(const ActionRegistry& registry) {
    return registry.findChild<PublishUi*>(QString(), Qt::FindDirectChildrenOnly);
}

void PublishUi::openFtpScreen() {
    AppState& state = m_state;
    FtpScreen screen(state.programDirectory(), state.changedList(), state.settings(), m_prompter);
    TFormFTP form(screen, state.settings().lastHtmlDirectory, state.homeDirectory(), m_window);
    form.uploadCheck = state.parts().uploadCheck;
    if (onScreenOpened)
        onScreenOpened(form);
    form.exec();
}

FtpAddSelection PublishUi::ftpAddSelection() {
    FtpAddSelection s;
    const QWidget* shown = m_shell.leftTabs.currentWidget();
    ProjectPanes* project = m_shell.projectPanes;
    if (shown == &m_shell.webSiteTab) {
        s.page = FtpAddSelection::Page::WebSite;
        if (project) {
            const Project& p = project->project();
            const int item = p.selectedItem();
            s.pageSelected = item >= 1 && item <= p.outline().count();
            if (s.pageSelected)
                s.pageFile = p.outline().page(item).link;
        }
    } else if (shown == &m_shell.filesTab) {
        s.page = FtpAddSelection::Page::Files;
        if (QListWidget* list = project ? project->filesTabList() : nullptr) {
            s.folder = project->filesTabFolder();
            QListWidgetItem* item = list->currentItem();
            if (item && item->isSelected())
                s.fileName = item->text();
        }
    }
    return s;
}

std::optional<QString> PublishUi::askImageFolder(const QString& current,
                                                 const QString& startFolder) {
    TFormFTPImageLoc dialog(m_chooser, m_prompter, current, startFolder, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.result();
}

CommandTable installPublish(ActionRegistry& registry, Shell& context) {
    auto* ui = new PublishUi(registry, context);
    return publishCommands(ui->room());
}
