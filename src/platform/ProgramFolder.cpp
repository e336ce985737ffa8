// ProgramFolder: the build folder or the user's data folder, seeded from the installed data.
#include "platform/ProgramFolder.h"

#include "platform/CopyFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

QString withSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

bool writableFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    return !native.isEmpty() && ::access(native.constData(), W_OK | X_OK) == 0;
}

} // namespace

QString installedDataFolder(const QString& executableFolder) {
    const QString data =
        QDir::cleanPath(withSlash(executableFolder) + QStringLiteral("../share/quillon"));
    return QFileInfo(data).isDir() ? withSlash(data) : QString();
}

QString userProgramFolder(const QString& xdgDataHome, const QString& home) {
    const QString base = !xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : withSlash(home) + QStringLiteral(".local/share");
    return withSlash(QDir::cleanPath(base + QStringLiteral("/quillon")));
}

QStringList seedProgramFolder(const QString& from, const QString& to, QStringList& problems,
                              const QStringList& leaveOut) {
    QStringList copied;
    const QDir source(from);
    // Links are not followed: the installed data is plain files and folders, and a link out of
    // it must not pull other files into the user's folder.
    QDirIterator it(from,
                    QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink() || !info.isFile())
            continue;
        const QString relative = source.relativeFilePath(info.filePath());
        if (leaveOut.contains(relative.section(QLatin1Char('/'), 0, 0)))
            continue;
        const QString target = withSlash(to) + relative;
        // Anything already there is the user's, whatever it is (a changed file, a folder).
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
            problems << QStringLiteral("Cannot create the folder \"%1\".")
                            .arg(QFileInfo(target).absolutePath());
            continue;
        }
        const FileCopyResult r = copyFileTo(info.filePath(), target);
        if (!r.ok) {
            problems << r.error + QStringLiteral(": ") + r.reason;
            continue;
        }
        // Installed files may be read-only; the user's copies are theirs to change.
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::ReadOwner |
                                     QFileDevice::WriteOwner);
        copied << relative;
    }
    copied.sort();
    return copied;
}

QString readOnlyProgramFolderText(const QString& executableFolder, const QString& userFolder) {
    return QStringLiteral("The program folder \"%1\" cannot be written. Settings, projects and "
                          "backups are kept in \"%2\" instead, which now holds a copy of the "
                          "help pages, dictionaries and data files of the program folder.")
        .arg(executableFolder, userFolder);
}

ProgramFolder resolveProgramFolder(const QString& executableFolder, const QString& xdgDataHome,
                                   const QString& home, const QString& executableName) {
    return resolveProgramFolderFor(executableFolder,
                                   writableFolder(withSlash(QDir::cleanPath(executableFolder))),
                                   xdgDataHome, home, executableName);
}

ProgramFolder resolveProgramFolderFor(const QString& executableFolder,
                                      bool executableFolderWritable, const QString& xdgDataHome,
                                      const QString& home, const QString& executableName) {
    ProgramFolder result;
    const QString own = withSlash(QDir::cleanPath(executableFolder));
    result.installData = installedDataFolder(own);
    // An installed copy (data beside it) uses the user's folder even where it could write its
    // own: root could write into /usr/bin, and a copy installed under ~/.local would scatter its
    // settings among the user's programs.
    if (result.installData.isEmpty() && executableFolderWritable) {
        result.directory = own;
        return result;
    }
    result.directory = userProgramFolder(xdgDataHome, home);
    if (!QDir().mkpath(result.directory)) {
        result.problem = QStringLiteral("The program folder \"%1\" cannot be created. Settings, "
                                        "projects and backups cannot be kept.")
                             .arg(result.directory);
        return result;
    }
    QStringList problems;
    if (!result.installData.isEmpty()) {
        result.seeded = seedProgramFolder(result.installData, result.directory, problems);
    } else {
        // A folder the program cannot write: its own data comes along, so help and spell
        // checking work; the program file and old backups stay where they are.
        result.seeded = seedProgramFolder(own, result.directory, problems,
                                          {executableName, QStringLiteral("backup")});
        if (!result.seeded.isEmpty())
            result.notice = readOnlyProgramFolderText(own, result.directory);
    }
    if (!problems.isEmpty())
        result.problem = QStringLiteral("Some of the program's files could not be copied into "
                                        "\"%1\":\n")
                             .arg(result.directory) +
                         problems.join(QLatin1Char('\n'));
    return result;
}
