// Starting programs detached.
#include "platform/ProcessLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool SystemProcessLauncher::startDetached(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return false;
    // A path names the program itself; a bare name is looked up on PATH. A folder or a file that
    // cannot be run is refused here, so the caller's message comes at once.
    const QString path =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isExecutable())
        return false;
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

bool SystemProcessLauncher::openWithDesktop(const QString& path) {
    return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
