// Project backup: every HTML file of a project and the project's two files copied into a folder
// the user picks, by default a new one below the program's backup folder named after the
// project and the date.
//
// ProjectBackup holds what the Backup dialog shows (the project list, the chosen project's file
// list, the proposed sub-folder, the destination) and carries out its buttons; the dialog turns
// clicks into these calls and draws the results.
#pragma once

#include "platform/LongPassView.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class Prompter;
struct FileCopyResult;
class UiPump;

class ProjectBackup {
public:
    struct Project {
        QString shown; // the file name in upper case, with its extension
        QString path;  // the real file
    };

    // today: the date of the proposed sub-folder (tests fix it).
    ProjectBackup(QString programDirectory, Prompter& prompter, UiPump& pump,
                  std::function<QDate()> today = {});

    // Opening: the open project chosen if it is in the list; the folder list's first folder. A
    // project opened from outside the projects folder (openProjectPath) joins the list under its
    // whole path.
    void open(const QString& openProjectFileName, const QString& folder,
              const QString& openProjectPath = {});
    // A project chosen, or a name typed, in the list.
    void chooseProject(const QString& text);
    // The folder list moved to folder.
    void changeFolder(const QString& folder);
    // EditBackupPath edited by hand.
    void editBackupPath(const QString& path);
    // "Create": folder (the folder list's) plus the proposed name made a folder.
    void createSubFolder();
    // "Backup NOW": every file copied (platform/BackupCopies.h gives the names they get), the
    // bar running to the number of files minus one, then one message that says whether, and
    // which, files could not be backed up. Returns whether any file failed (false too when
    // nothing ran).
    bool backupRun(LongPassView& view);
    void stop() { m_stop = true; }
    bool running() const { return m_running; }

    const QList<Project>& projects() const { return m_projects; }
    const QString& project() const { return m_project; }
    const QStringList& files() const { return m_files; }
    const QString& folder() const { return m_folder; }
    QString newSub;     // EditNewSub
    QString backupPath; // EditBackupPath
    bool backupEnabled() const { return m_backupEnabled; }
    const QString& status() const { return m_status; }
    QString backupFolder() const { return m_programDirectory + QStringLiteral("backup/"); }

    // The project's name without ".out", lower case, "_month_day_year": acme_12_25_1998.
    static QString subFolderName(const QString& projectFileName, const QDate& date);
    static QString statusText();
    static QString copyingText(const QString& fileName);
    static QString completeText();
    static QString stoppedText();
    static QString typedProjectText();
    static QString noValidProjectText();
    static QString errorCopyingText(const QString& path);
    static QString errorCopyingProjectText();
    static QString finishedText(bool anyFailed);
    // The one report of the files that failed, each with its reason (the first ten of them).
    static QString failuresText(const QStringList& failures);
    static QString failureLine(const QString& what, const FileCopyResult& result);

private:
    const Project* find(const QString& shown) const;
    void setStatus(LongPassView* view, const QString& text);

    QString m_programDirectory;
    Prompter& m_prompter;
    UiPump& m_pump;
    std::function<QDate()> m_today;
    QList<Project> m_projects;
    QString m_project;
    QStringList m_files;
    QString m_folder;
    bool m_backupEnabled = false;
    QString m_status;
    bool m_stop = false;
    bool m_running = false;
};
