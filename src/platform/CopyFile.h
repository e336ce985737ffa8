// CopyFileTo: a byte-for-byte copy of one file, into a folder or to a full name.
//
// Backups and the extended replace's backup folder both copy through here. The copy is written
// beside its target and renamed over it, so a copy that fails half-way never destroys a backup
// of the same name that was there before; the source's modification time is kept, so a backup
// shows when its page last changed, not when it was copied.
#pragma once

#include <QString>

struct FileCopyResult {
    bool ok = false;
    // When !ok: "Cannot open file NAME" (the source) or "Cannot create file NAME" (the copy).
    QString error;
    QString reason;      // the system's reason when !ok
    QString destination; // the full name of the copy
};

// When destination names an existing folder, the copy goes into it under the source's file
// name (the bytes it has on disk); otherwise destination is the copy's full name. Only a regular
// file is read.
FileCopyResult copyFileTo(const QString& source, const QString& destination);
// The same between two paths given as the bytes of the file system; source names the file in
// the texts of a failure.
FileCopyResult copyNativeFile(const QByteArray& sourceBytes, const QString& source,
                              const QByteArray& targetBytes);
