// ProgramFolder: where the program keeps its own files.
//
// Run from its build folder, the program keeps everything beside the executable, as it always
// has. An installed copy cannot: its folder belongs to the package manager (and may be writable
// only because root runs it). It then keeps its files in the user's data folder,
// $XDG_DATA_HOME/quillon/ (~/.local/share/quillon/ by default), seeded at each start from the
// read-only data installed with it (../share/quillon/ beside the executable's folder). A program
// folder that cannot be written (a copy on a read-only medium, a shared folder) does the same,
// seeded from itself: its help, dictionaries and data files, not the executable nor its backups.
// Seeding only adds what is missing: nothing the user has there is ever replaced.
#pragma once

#include <QString>
#include <QStringList>

struct ProgramFolder {
    QString directory;   // ProgramDirectory, with a trailing "/"
    QString installData; // the installed data it was seeded from; empty for the build folder
    QStringList seeded;  // the files copied in at this start, relative to directory
    QString problem;     // when the folder cannot be made or seeded: the message for the user
    // When the executable's own folder could not be written and this start filled the user's
    // folder from it: the message for the user (said once, at the start that did it).
    QString notice;
};

// The installed read-only data beside an executable folder ("/usr/bin/" gives
// "/usr/share/quillon/"), with a trailing "/"; empty when there is none.
QString installedDataFolder(const QString& executableFolder);
// $XDG_DATA_HOME/quillon/, or HOME/.local/share/quillon/ when XDG_DATA_HOME is unset, empty or
// not absolute (a relative one is ignored, as the base-directory rules say).
QString userProgramFolder(const QString& xdgDataHome, const QString& home);
// Copies every regular file under from (recursively) to the same place under to, unless
// something of that name is there already. Returns the copied files, relative to to; failures
// are added to problems, one line each.
// leaveOut: names directly under from that are not copied (files or whole folders).
QStringList seedProgramFolder(const QString& from, const QString& to, QStringList& problems,
                              const QStringList& leaveOut = {});
// The program folder for an executable in executableFolder (with or without a trailing "/"):
// the executable's own folder when it is writable and no installed data lies beside it;
// otherwise the user's folder, made and seeded. xdgDataHome and home: the environment's values;
// executableName: the program file's name, never copied.
ProgramFolder resolveProgramFolder(const QString& executableFolder, const QString& xdgDataHome,
                                   const QString& home,
                                   const QString& executableName = QStringLiteral("quillon"));
// The same with the answer to "can the executable's folder be written?" given.
ProgramFolder resolveProgramFolderFor(const QString& executableFolder,
                                      bool executableFolderWritable, const QString& xdgDataHome,
                                      const QString& home, const QString& executableName);
// What the user is told when a read-only program folder was copied into the user's folder.
QString readOnlyProgramFolderText(const QString& executableFolder, const QString& userFolder);
