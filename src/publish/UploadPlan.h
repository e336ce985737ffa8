// UploadPlan: what an upload sends and where: the local files in order, the remote path and
// folder of each, and the remote folders to make before them. A profile with a site folder
// keeps the site's layout on the server: a file below that folder goes to the same relative
// path below the remote folder the login ended in, and the folders it needs are made first.
// Other files go into the current remote folder. Names that come from the local disk keep
// their bytes (a Latin-1 name stays Latin-1); the remote folders given go as UTF-8.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

struct UploadPlan {
    struct Folder {
        QString path; // as the Log shows it
        QByteArray name;
    };
    struct File {
        QString localPath;
        QString remotePath; // as the Log shows it
        QByteArray remoteName;
        QString remoteFolder; // as the Log shows it; empty: the server's current folder
        QByteArray remoteFolderName;
        // The folders this file needs, outermost first, as indexes into folders.
        QList<int> folders;
        // A name holding a line break cannot go into a command: the file is skipped.
        bool skipped = false;
    };
    // Each folder once, in the order the files first need them (outermost first).
    std::vector<Folder> folders;
    std::vector<File> files;

    static UploadPlan make(const QStringList& localFiles, const QString& siteFolder,
                           const QString& remoteBase, const QString& remoteCurrent);

    // Where one local file goes: its remote path and the folders it needs, outermost first.
    struct Target {
        QString path; // as the Log shows it
        QByteArray bytes;
        QStringList folders;
        QList<QByteArray> folderBytes;
    };
    static Target targetFor(const QString& localPath, const QString& siteFolder,
                            const QString& remoteBase, const QString& remoteCurrent);
};
