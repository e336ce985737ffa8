// AppState: start-up, the recent projects, the backup reminder and the close check.
#include "app/AppState.h"

#include "app/BackupReminder.h"
#include "app/HtmlExtensions.h"
#include "platform/Prompter.h"

#include <QDir>

AppState::AppState(QString programDirectory, QString homeDirectory, EditWindow& editor,
                   Prompter& prompter, FileChooser& chooser, Clipboard& clipboard)
    : m_programDirectory(std::move(programDirectory)), m_homeDirectory(std::move(homeDirectory)),
      m_prompter(prompter), m_document(editor, prompter, chooser, clipboard, m_settings,
                                       IniFile(m_programDirectory + QStringLiteral("DEFAULT.INI")),
                                       m_changedList, m_programDirectory) {
}

QString AppState::saveProjectQuestion() {
    return QStringLiteral("Save changes to this Project?");
}

QString AppState::ignoredSettingsFileText(const QString& path) {
    return QStringLiteral("The settings file \"%1\" cannot be read as text. Its settings are "
                          "ignored and the defaults are used; the file is left as it is.")
        .arg(path);
}

void AppState::startUp() {
    m_htmlExtensions = loadHtmlExtensions(m_programDirectory + QStringLiteral("htmlext.dat"));
    m_htmlFilePattern = ::htmlFilePattern(m_htmlExtensions);
    m_filesTabFilter = ::filesTabFilter(m_htmlFilePattern);
    m_mainOpenFilter = ::mainOpenFilter(m_htmlFilePattern);
    m_pageDialogFilter = ::pageDialogFilter(m_htmlFilePattern);
    m_document.setOpenFilter(m_mainOpenFilter);

    if (m_hooks.loadCustomTags)
        m_hooks.loadCustomTags();
    if (m_hooks.loadSnippets)
        m_hooks.loadSnippets();

    QDir dir(m_programDirectory);
    dir.mkpath(QStringLiteral("projects"));
    dir.mkpath(QStringLiteral("backup"));

    m_settings = loadSettings(defaultIni(), optionsIni(), m_programDirectory, m_homeDirectory);
    // A settings file that is not text gives the defaults and is never written; the user hears
    // once which one it was, so the settings that seem lost can be found.
    for (const IniFile& ini : {defaultIni(), optionsIni()}) {
        if (ini.isIgnored())
            m_prompter.inform(ignoredSettingsFileText(ini.path()));
    }

    m_project = ProjectState{};
    m_document.startUntitled();
    if (m_settings.filesUseSelected)
        m_settings.filesLocation = m_settings.filesSelected;

    m_recent.load(optionsIni());
}

QList<int> AppState::updateRecentProjects(const QString& path) {
    return m_recent.update(path, optionsIni());
}

void AppState::runBackupReminder() {
    backupReminder(m_settings, optionsIni(), m_project.projectFileName, m_prompter,
                   m_hooks.openBackupWindow);
}

bool AppState::closeQuery() {
    if (m_project.helpProjectMode)
        return true;
    if (m_document.confirmCloseHtml() == MessageAnswer::Cancel)
        return false;
    if (m_project.projectModified) {
        const MessageAnswer answer = m_prompter.message(
            MessageKind::Confirmation, MessageButtons::YesNo, saveProjectQuestion());
        if (answer == MessageAnswer::Yes && m_hooks.saveProject)
            m_hooks.saveProject();
    }
    runBackupReminder();
    return true;
}
