// Backup copies of a set of files in one backup folder, as Project Backup and Extended Replace's
// backup make them.
//
// Each file keeps its own name in the backup folder, so that where all files sit in one folder
// (or simply have different names) the backup looks exactly like the folder they came from. A
// second file of a name already taken gets its path below the files' common folder instead
// (a/index.html, b/index.html: "index.html" and "b/index.html"), so no file's copy replaces
// another's. Names keep the bytes they have on disk (a Latin-1 name is copied as the same bytes).
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct BackupCopy {
    QString source; // the file as listed
    QString name;   // its place in the backup folder: a name, or a path with "/" below it
};

// The copies for the files in their order, each file once (a file listed again, by the same
// path, is left out); reserved: names taken already (the project's own files).
std::vector<BackupCopy> planBackupCopies(const QStringList& files,
                                         const QStringList& reserved = {});

struct BackupCopyResult {
    bool ok = false;
    QString reason; // the system's reason when !ok
};

// Copies one file to its place below folder (which exists), making the folders of its path.
// The copy is atomic and keeps the source's modification time, as CopyFileTo does.
BackupCopyResult copyBackup(const BackupCopy& copy, const QString& folder);

struct BackupFailure {
    QString file;
    QString reason;
};

// The lines that tell which files were not backed up and why, for one message at the end of a
// run: "FILE (REASON)" for the first few, then how many more.
QString backupFailureLines(const std::vector<BackupFailure>& failures, int shown = 10);
