// File names as the disk holds them.
//
// A Linux file name is a string of bytes. Most are UTF-8, but pages copied from older machines
// often carry Latin-1 names ("caf\xe9.htm"), which Qt's own path handling cannot reach: it turns
// the byte into a replacement character and then finds nothing. The program shows such a name
// decoded as Latin-1, as it does a file's text, and these functions find the bytes again when the
// file is read, written, listed or sent.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Name bytes to text: UTF-8 when valid, else Latin-1 (every byte a character, so nothing is
// lost and the Latin-1 bytes come back from nativePath).
QString nameFromNative(const QByteArray& bytes);

// The bytes of the file path names. Each component is the UTF-8 form when that exists (or when
// nothing of that name exists yet, so a new file is created with a UTF-8 name), else its Latin-1
// form when that exists. A path that exists as UTF-8 costs one lstat.
QByteArray nativePath(const QString& path);

struct FolderEntry {
    enum class Kind { File, Folder, Other };
    QString name;      // as shown
    QByteArray native; // as on disk
    Kind kind = Kind::Other; // links followed; a broken link is Other
};

struct FolderListing {
    bool ok = false;
    QString error; // the system's reason when !ok
    std::vector<FolderEntry> entries; // without "." and "..", in the order the disk gives
};

// Every entry of the folder, whatever bytes its name holds.
FolderListing listFolder(const QString& folder);

// Whether anything of that name is there (a broken link counts), whatever bytes its name holds.
bool pathExists(const QString& path);
