// AppState: the long-lived state the main window owns, and the start-up and close logic that
// needs no window.
#pragma once

#include "app/ChangedList.h"
#include "app/HtmlDocument.h"
#include "app/RecentProjects.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "app/ShellParts.h"
#include "platform/IniFile.h"

#include <QObject>
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

class AppState : public QObject {
    Q_OBJECT
public:
    // programDirectory ends with "/"; homeDirectory is the Files tab's starting folder. parts:
    // the later rooms' steps of start-up, close and the document (null members are skipped).
    AppState(QString programDirectory, QString homeDirectory, EditWindow& editor,
             Prompter& prompter, FileChooser& chooser, Clipboard& clipboard, ShellParts parts = {},
             QObject* parent = nullptr);

    // The start-up steps that need no window, in their order: extensions and filters, custom
    // tags and snippets, the projects and backup folders, both settings files, the embedded
    // browser, the document state, the recent projects and the spell checker's configuration.
    void startUp();

    // The close check: whether the program may close.
    bool closeQuery();
    // Records an opened or saved project in the recent list; returns the slots to re-caption.
    QList<int> updateRecentProjects(const QString& path);
    // Takes a project that is gone out of the recent list.
    void removeRecentProject(const QString& path);
    // The save question before the open project is left (New, Open, a recent project, help,
    // exit): Yes runs save, which returns whether the project was saved; when it was not (the
    // write failed or the name was not given) the question comes again. No leaves the changes;
    // Cancel stays. Returns whether the project may be left. Nothing is asked when the project
    // is not changed.
    bool askToSaveProject(const QString& question, const std::function<bool()>& save);
    // Whether the embedded browser view was created at start-up.
    bool hasEmbeddedBrowser() const { return m_browserCreated; }
    void runBackupReminder();

    const QString& programDirectory() const { return m_programDirectory; }
    const QString& homeDirectory() const { return m_homeDirectory; }
    // DEFAULT.INI and OPTIONS.INI: settings are written through the store's table; the lists
    // with keys of their own (recent projects, backup counters) use the files.
    const SettingsStore& store() const { return m_store; }
    const IniFile& defaultIni() const { return m_store.defaultIni(); }
    const IniFile& optionsIni() const { return m_store.optionsIni(); }

    Settings& settings() { return m_settings; }
    const QStringList& htmlExtensions() const { return m_htmlExtensions; }
    const QString& htmlFilePattern() const { return m_htmlFilePattern; }
    const QString& filesTabFilter() const { return m_filesTabFilter; }
    const QString& mainOpenFilter() const { return m_mainOpenFilter; }
    const QString& pageDialogFilter() const { return m_pageDialogFilter; }
    // The extensions that count as HTML (at most 15 are kept) with the mask and the filters
    // built from them anew; the running window's lists follow htmlFiltersChanged.
    void setHtmlExtensions(const QStringList& extensions);
    // The preview mode changed (settings dialog, the mode letter): the letter follows.
    void notifyPreviewModeChanged() { emit previewModeChanged(m_settings.previewModeLabel); }
    RecentProjects& recentProjects() { return m_recent; }
    ChangedList& changedList() { return m_changedList; }
    // The upload queue follows the open project: opening one (or leaving every project, path
    // empty) takes that project's queue; carry: the present entries go along into the
    // project's queue (a project saved under a new name).
    void useUploadQueueOf(const QString& projectPath, bool carry = false);
    HtmlDocument& document() { return m_document; }
    ProjectState& project() { return m_project; }
    ShellParts& parts() { return m_parts; }
    Prompter& prompter() { return m_prompter; }

    static QString saveProjectQuestion();
    static QString noEmbeddedBrowserText();
    static QString ignoredSettingsFileText(const QString& path);

signals:
    // The recent-projects list was read or changed: the File menu's last entries follow it.
    void recentProjectsChanged();
    void htmlFiltersChanged();
    void previewModeChanged(const QString& letter);

private:
    QString m_programDirectory;
    QString m_homeDirectory;
    Prompter& m_prompter;
    ShellParts m_parts;
    SettingsStore m_store;
    bool m_browserCreated = false;

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
