// Backup copies of a set of files in one backup folder, as Project Backup and Extended Replace's
// backup make them.
//
// A file whose name no other file has keeps its own name in the backup folder, so that where all
// files sit in one folder (or simply have different names) the backup looks exactly like the
// folder they came from. Files that share a name each get their path below the files' common
// folder instead (/s/a/index.html, /s/b/index.html: "a/index.html" and "b/index.html"): the
// backup mirrors where each came from, and no file's copy replaces another's. Names keep the
// bytes they have on disk (a Latin-1 name is copied as the same bytes).
#pragma once

#include "platform/CopyFile.h"

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

// Copies one file to its place below folder (which exists), making the folders of its path.
// The copy is atomic and keeps the source's modification time, as CopyFileTo does; a folder that
// cannot be made fails as "Cannot create file" of the copy's full name.
FileCopyResult copyBackup(const BackupCopy& copy, const QString& folder);

// One line of the failures told at the end of a run: "WHAT (Cannot ... NAME: REASON)".
QString backupFailureLine(const QString& what, const FileCopyResult& result);
// The first few of those lines, then how many more, for one message at the end of a run.
QString backupFailureLines(const QStringList& lines, int shown = 10);
