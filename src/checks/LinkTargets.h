// LinkTargets: where a reference of a page leads once the site is on the server, and what the
// disk holds there.
//
// resolveTarget is pure: it reads a reference the way a browser and a web server do. Back
// slashes are forward slashes; "//host/..." and any "scheme:" other than file: are outside the
// site and not checked; "#anchor" and "?query" are cut off; %XX escapes become the bytes they
// stand for (UTF-8 when those are UTF-8, else Latin-1, as the program names files); "/x" starts
// at the site folder; ".." never climbs above the site folder (the server's root), as a browser
// clamps it. FileLookup then asks the disk, once per path, case-sensitively as the server will.
#pragma once

#include "project/ChangeFilePath.h" // folderOf

#include <QHash>
#include <QString>
#include <QStringList>

struct ResolvedTarget {
    enum class Kind {
        Outside,      // another site, mail, a script: not checked
        SamePage,     // "", "#name" or "?query" alone: this page
        Local,        // a file of the site: `path`
        ThisComputer, // file: or a drive letter: only this computer has it
    };
    Kind kind = Kind::Outside;
    QString path;        // Local: the file's absolute path, cleaned (a folder ends with "/")
    QString fragment;    // after "#", escapes decoded; empty when there is none
    bool folder = false; // Local: the reference ends with "/"
    // Local: a ".." went above the site folder; `localPath` is where it leads on this disk.
    bool aboveSite = false;
    QString localPath;
    // Local, written from the root ("/images/a.gif"): the path as written, escapes decoded, which
    // may name a file of this computer instead of one of the site.
    QString rootPath;
};

// pageFolder and siteFolder: absolute, ending with "/". A page outside siteFolder (or an empty
// siteFolder) resolves against its own folder, ".." stopping at the disk's root.
ResolvedTarget resolveTarget(const QString& target, const QString& pageFolder,
                             const QString& siteFolder);

// "%20" and the like as bytes, then as a name: UTF-8 when valid, else Latin-1. A "%" that
// starts no escape stays as written.
QString decodeUrlPath(const QString& text);

// The deepest folder that holds every one of the paths, ending with "/"; empty for no paths.
QString commonFolder(const QStringList& paths);

// What the disk holds at a path, asked once per path.
struct DiskEntry {
    enum class Kind { File, Folder, Missing };
    Kind kind = Kind::Missing;
    qint64 size = 0;           // File
    bool hasIndexPage = false; // Folder: an index.* or default.* file that a server serves
    QString otherCase;         // Missing: the path of a file whose name differs only in case
};

class FileLookup {
public:
    const DiskEntry& entry(const QString& path);

private:
    QString findOtherCase(const QString& path);
    const QStringList& namesIn(const QString& folder);

    QHash<QString, DiskEntry> m_entries;
    QHash<QString, QStringList> m_folders;
};
