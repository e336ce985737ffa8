// Extended Replace: one text replaced by another in every file of a project or of a picked list,
// on disk, with an optional copy of the files into a dated backup folder first.
//
// The replacement in each file is the one Replace All makes in the editor: the loop of
// FindNextMatch and ReplaceCurrent over a snapshot, here computed in one pass over the file's
// text. Each file keeps its bytes: it is read as UTF-8 when it is valid UTF-8, else as Latin-1,
// and written back in the same encoding with its own line ends, so only the replaced stretches
// change. A file in which nothing matched, one that cannot be read, one whose Latin-1 text cannot
// hold the replacement and one whose backup failed are never rewritten. Each file is read,
// changed and written back atomically before the next is read.
#pragma once

#include "platform/LongPassView.h"

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
// The bar runs to the number of files (hidden with 0 files); the status is the first panel
// ("Processing...", "Finished.").
class ExtendedReplaceView : public LongPassView {
public:
    // The second status panel, which sums the run up so far.
    virtual void setReport(const QString& text) = 0;
    // The result list: emptied when a run or a preview starts, then one line per file done or
    // per match previewed.
    virtual void clearResults() = 0;
    virtual void addResult(const QString& line) = 0;
};

// What became of one file of a run.
struct FileOutcome {
    enum class Kind { Replaced, NothingFound, LeftUnchanged, NotBackedUp, WriteFailed };
    Kind kind = Kind::NothingFound;
    int count = 0;  // the replacements made (Replaced)
    QString reason; // why it was left as it was
};

// Replaces in one file on disk, keeping every byte outside the replaced stretches.
FileOutcome replaceInFile(const QString& path, const QString& pattern, const QString& replacement,
                          bool matchCase);

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
    // Preview: the first matches (at most limit) of the files, each as "FILE (line N): TEXT",
    // into the result list; nothing is written. False when refused.
    bool preview(ExtendedReplaceView& view, int limit = DefaultPreviewLimit);
    // Stop after the file being written.
    void stop() { m_stop = true; }
    bool running() const { return m_running; }

    // Add File: the path joins the list unless it is there already. False when it was.
    bool addFile(const QString& path);
    // Add Folder: every HTML file in the folder and its sub-folders, by name within each
    // folder, the folder's own files first; those listed already are not added again. Returns
    // how many were added.
    int addFolder(const QString& folder);
    // The HTML files below a folder, as Add Folder takes them.
    static QStringList htmlFilesBelow(const QString& folder);

    static constexpr int DefaultPreviewLimit = 200;

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
    static QString backingUpText();
    // The one message after a run in which some backups failed.
    static QString notBackedUpText(const QString& lines);
    // The result list's line for a file, and the run's summary.
    static QString outcomeLine(const QString& path, const FileOutcome& outcome);
    static QString summaryText(int files, int changed, int replacements, int leftAlone);
    static QString previewLine(const QString& path, int line, const QString& text);
    static QString previewSummaryText(int matches, int files, bool more);

private:
    // The files of the run, each once however often it is listed or by whichever name; nullopt
    // (after a message) when the project's list cannot be read.
    std::optional<QStringList> runFiles();
    // The refusals before a run or a preview; false after the message.
    bool acceptable();

    QString m_programDirectory;
    Prompter& m_prompter;
    UiPump& m_pump;
    std::function<QDate()> m_today;
    QList<ProjectEntry> m_projects;
    bool m_stop = false;
    bool m_running = false;
};
