// AppState: the long-lived state the main window owns, and the start-up and close logic that
// needs no window.
#pragma once

#include "app/HtmlDocument.h"
#include "app/RecentProjects.h"
#include "app/Settings.h"
#include "ftp/ChangedList.h"
#include "platform/IniFile.h"

#include <QString>
#include <QStringList>
#include <functional>

class Clipboard;
class EditWindow;
class FileChooser;
class Prompter;

// The open project as far as the shell needs it; the project model fills it in.
struct ProjectState {
    QString projectFileName; // file name without folder; empty when none is open
    bool projectModified = false;
    bool helpProjectMode = false;
};

class AppState {
public:
    // Work of later features that the start-up and close sequences call at their place.
    struct Hooks {
        std::function<void()> loadCustomTags;   // custom.dat
        std::function<void()> loadSnippets;     // urlsnips.dat, missnips.dat
        std::function<void()> saveProject;      // "Save changes to this Project?" answered Yes
        std::function<void()> openBackupWindow; // the backup reminder accepted
    };

    // programDirectory ends with "/"; homeDirectory is the Files tab's starting folder.
    AppState(QString programDirectory, QString homeDirectory, EditWindow& editor,
             Prompter& prompter, FileChooser& chooser, Clipboard& clipboard);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // The start-up steps that need no window, in their order: extensions and filters, custom
    // tags and snippets, the projects and backup folders, both settings files, the document
    // state, the recent projects and the spell checker's configuration.
    void startUp();

    // The close check: whether the program may close.
    bool closeQuery();
    // Records an opened or saved project in the recent list; returns the slots to re-caption.
    QList<int> updateRecentProjects(const QString& path);
    void runBackupReminder();

    const QString& programDirectory() const { return m_programDirectory; }
    IniFile defaultIni() const {
        return IniFile(m_programDirectory + QStringLiteral("DEFAULT.INI"));
    }
    IniFile optionsIni() const {
        return IniFile(m_programDirectory + QStringLiteral("OPTIONS.INI"));
    }

    Settings& settings() { return m_settings; }
    const QStringList& htmlExtensions() const { return m_htmlExtensions; }
    const QString& htmlFilePattern() const { return m_htmlFilePattern; }
    const QString& filesTabFilter() const { return m_filesTabFilter; }
    const QString& mainOpenFilter() const { return m_mainOpenFilter; }
    const QString& pageDialogFilter() const { return m_pageDialogFilter; }
    RecentProjects& recentProjects() { return m_recent; }
    ChangedList& changedList() { return m_changedList; }
    HtmlDocument& document() { return m_document; }
    ProjectState& project() { return m_project; }

    static QString saveProjectQuestion();
    static QString ignoredSettingsFileText(const QString& path);

private:
    QString m_programDirectory;
    QString m_homeDirectory;
    Prompter& m_prompter;
    Hooks m_hooks;

    Settings m_settings;
    QStringList m_htmlExtensions;
    QString m_htmlFilePattern;
    QString m_filesTabFilter;
    QString m_mainOpenFilter;
    QString m_pageDialogFilter;
    RecentProjects m_recent;
    ChangedList m_changedList;
    ProjectState m_project;
    HtmlDocument m_document;
};
