// AppState: start-up, the recent projects, the backup reminder and the close check.
#include "app/AppState.h"

#include "app/BackupReminder.h"
#include "app/HtmlExtensions.h"
#include "platform/Prompter.h"

#include <QDir>

AppState::AppState(QString programDirectory, QString homeDirectory, EditWindow& editor,
                   Prompter& prompter, FileChooser& chooser, Clipboard& clipboard, ShellParts parts,
                   QObject* parent)
    : QObject(parent), m_programDirectory(std::move(programDirectory)),
      m_homeDirectory(std::move(homeDirectory)), m_prompter(prompter), m_parts(parts),
      m_store(IniFile(m_programDirectory + QStringLiteral("DEFAULT.INI")),
              IniFile(m_programDirectory + QStringLiteral("OPTIONS.INI"))),
      m_document(editor, prompter, chooser, clipboard, m_settings, m_store, m_changedList,
                 m_programDirectory) {
    m_document.setParts(&m_parts);
}

QString AppState::noEmbeddedBrowserText() {
    return QStringLiteral("You do not appear to have Microsoft Internet Explorer 3.0 (or higher) "
                          "installed. You will not be able to use the built-in MSIE browser "
                          "preview. We recommend you download a free copy from:  "
                          "https://www.quillon.example/");
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
    setHtmlExtensions(loadHtmlExtensions(m_programDirectory + QStringLiteral("htmlext.dat")));

    if (m_parts.customTags)
        m_parts.customTags->loadCustomTags();
    if (m_parts.snippets)
        m_parts.snippets->loadSnippets();

    QDir dir(m_programDirectory);
    dir.mkpath(QStringLiteral("projects"));
    dir.mkpath(QStringLiteral("backup"));

    m_settings = m_store.load(m_programDirectory, m_homeDirectory);
    // A settings file that is not text gives the defaults and is never written; the user hears
    // once which one it was, so the settings that seem lost can be found.
    for (const IniFile& ini : {defaultIni(), optionsIni()}) {
        if (ini.isIgnored())
            m_prompter.inform(ignoredSettingsFileText(ini.path()));
    }

    // The embedded browser view of the preview: without it the program runs on, without the
    // built-in preview.
    if (m_parts.browser) {
        m_browserCreated = m_parts.browser->create();
        if (!m_browserCreated)
            m_prompter.inform(noEmbeddedBrowserText());
    }

    m_project = ProjectState{};
    // The files changed in an earlier run and not sent yet are waiting again.
    useUploadQueueOf(QString());
    m_document.startUntitled();
    if (m_settings.filesUseSelected)
        m_settings.filesLocation = m_settings.filesSelected;

    m_recent.load(optionsIni());
    emit recentProjectsChanged();
}

void AppState::useUploadQueueOf(const QString& projectPath, bool carry) {
    const QString file = ChangedList::queueFileFor(m_programDirectory, projectPath);
    if (carry)
        m_changedList.keepIn(file);
    else if (file != m_changedList.file())
        m_changedList.open(file);
}

void AppState::setHtmlExtensions(const QStringList& extensions) {
    m_htmlExtensions = extensions.mid(0, MaxHtmlExtensions);
    m_htmlFilePattern = ::htmlFilePattern(m_htmlExtensions);
    m_filesTabFilter = ::filesTabFilter(m_htmlFilePattern);
    m_mainOpenFilter = ::mainOpenFilter(m_htmlFilePattern);
    m_pageDialogFilter = ::pageDialogFilter(m_htmlFilePattern);
    m_document.setOpenFilter(m_mainOpenFilter);
    emit htmlFiltersChanged();
}

QList<int> AppState::updateRecentProjects(const QString& path) {
    const QList<int> changed = m_recent.update(path, optionsIni());
    emit recentProjectsChanged();
    return changed;
}

void AppState::removeRecentProject(const QString& path) {
    if (m_recent.remove(path, optionsIni()))
        emit recentProjectsChanged();
}

bool AppState::askToSaveProject(const QString& question, const std::function<bool()>& save) {
    // Yes / No / Cancel: No throws the changes away, so the user can also step back; and a save
    // that fails never lets the project go unsaved without a second word.
    while (m_project.projectModified) {
        const MessageAnswer answer =
            m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNoCancel, question);
        if (answer == MessageAnswer::Cancel)
            return false;
        if (answer != MessageAnswer::Yes)
            return true;
        if (save())
            return true;
    }
    return true;
}

void AppState::runBackupReminder() {
    backupReminder(m_settings, optionsIni(), m_project.projectFileName, m_prompter, [this] {
        if (m_parts.backupWindow)
            m_parts.backupWindow->openBackupWindow();
    });
}

bool AppState::closeQuery() {
    if (m_project.helpProjectMode)
        return true;
    if (m_document.confirmCloseHtml() == MessageAnswer::Cancel)
        return false;
    const bool leave = askToSaveProject(saveProjectQuestion(), [this] {
        if (!m_parts.projectSave)
            return true;
        m_parts.projectSave->saveProject();
        return !m_project.projectModified;
    });
    if (!leave)
        return false;
    runBackupReminder();
    return true;
}
