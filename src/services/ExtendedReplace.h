// Extended Replace: one text replaced by another in every file of a project or of a picked list,
// on disk, with an optional copy of the files into a dated backup folder first.
//
// The replacement in each file is the one Replace All makes in the editor: the loop of
// FindNextMatch and ReplaceCurrent over a snapshot, here computed in one pass over the file's
// text. Each file is read, changed and written back atomically before the next is read; a file
// that cannot be read is never rewritten.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Prompter;
class UiPump;

struct TextReplaced {
    QString text;
    int count = 0;
};

// Every match of pattern in text replaced, as the find-and-replace loop leaves it: a search goes
// on just after each inserted replacement, so the matches replaced are the leftmost
// non-overlapping ones, and "a" by "aa" doubles each "a" once. Without matchCase the comparison
// ignores case (one character for one, as the search's snapshot does). An empty pattern
// replaces nothing.
TextReplaced replaceAllInText(const QString& text, const QString& pattern,
                              const QString& replacement, bool matchCase);

// What the dialog shows while a run goes on.
class ExtendedReplaceView {
public:
    virtual ~ExtendedReplaceView() = default;
    // The busy cursor and the progress bar (shown with its maximum, hidden with 0 files).
    virtual void runStarted(int fileCount) = 0;
    virtual void fileStarted(int index) = 0;
    virtual void runEnded() = 0;
    // The first status panel ("Processing...", "Finished.") and the second, which lists the
    // files that were left unchanged or could not be backed up.
    virtual void setStatus(const QString& text) = 0;
    virtual void setReport(const QString& text) = 0;
};

// A project of the projects folder as the list shows it, and its file on disk.
struct ProjectEntry {
    QString shown; // the file name in upper case
    QString path;  // the real file
};

// The .out files of folder (extension compared without regard to case), by name.
QList<ProjectEntry> projectEntries(const QString& projectsFolder);

class ExtendedReplace {
public:
    // today: the date of the backup folder's name (tests fix it).
    ExtendedReplace(QString programDirectory, Prompter& prompter, UiPump& pump,
                    std::function<QDate()> today = {});

    // The dialog's fields.
    QString text;        // "Replace:"
    QString replacement; // "With:"
    bool matchCase = false;
    bool projectMode = true;
    QString project; // the shown name of the chosen project; empty: none
    QStringList files;
    bool backup = false;
    QString backupDir;

    const QList<ProjectEntry>& projects() const { return m_projects; }
    // The entry of the open project, if it is in the list (compared in upper case).
    QString shownProject(const QString& projectFileName) const;
    QString backupFolder() const;

    // Replace All. False when it stopped before touching any file.
    bool run(ExtendedReplaceView& view);
    // Stop after the file being written.
    void stop() { m_stop = true; }
    bool running() const { return m_running; }

    // month_day_year, no leading zeros: 12_25_1998.
    static QString dateName(const QDate& date);
    static QString addFileFilter();
    static QString noProjectText();
    static QString noFilesText();
    static QString noTextText();
    static QString confirmText();
    static QString cannotCreateBackupText();
    static QString processingText();
    static QString finishedText();
    static QString stoppedText();
    static QString cannotReadListText(const QString& path, const QString& reason);
    static QString cannotWriteText(const QString& path, const QString& reason);

private:
    // The files of the run; nullopt (after a message) when the project's list cannot be read.
    std::optional<QStringList> runFiles();

    QString m_programDirectory;
    Prompter& m_prompter;
    UiPump& m_pump;
    std::function<QDate()> m_today;
    QList<ProjectEntry> m_projects;
    bool m_stop = false;
    bool m_running = false;
};
