// StartArguments: the project and the document given on the command line.
#include "app/StartArguments.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <sys/stat.h>

namespace {

bool isProjectFile(const QString& path) {
    return path.endsWith(QStringLiteral(".out"), Qt::CaseInsensitive);
}

// Why a path cannot be opened as a file; empty for a regular file. Only stat() is asked, so a
// pipe or a device handed over is never opened.
QString notAFileReason(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0)
        return qt_error_string(native.isEmpty() ? ENOENT : errno);
    if (S_ISDIR(st.st_mode))
        return qt_error_string(EISDIR);
    if (!S_ISREG(st.st_mode))
        return notRegularFileText(path);
    return {};
}

} // namespace

QString notOpenedText(const QStringList& paths) {
    return QStringLiteral("Only one project and one HTML file can be open at a time. These files "
                          "were not opened:\n") +
           paths.join(QLatin1Char('\n'));
}

StartPaths sortStartArguments(const QStringList& arguments, const QString& currentFolder) {
    StartPaths paths;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        QString path = argument;
        if (argument.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
            path = QUrl(argument).toLocalFile();
        if (path.isEmpty())
            continue;
        path = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(path));
        QString& slot = isProjectFile(path) ? paths.project : paths.document;
        if (slot.isEmpty())
            slot = path;
        else
            paths.notOpened << path;
    }
    return paths;
}

void openStartArguments(AppState& state, const QStringList& arguments,
                        const QString& currentFolder) {
    const StartPaths paths = sortStartArguments(arguments, currentFolder);
    if (!paths.project.isEmpty()) {
        const QString reason = notAFileReason(paths.project);
        if (!reason.isEmpty())
            state.prompter().inform(
                QStringLiteral("Cannot open the project \"%1\".\n%2").arg(paths.project, reason));
        else if (state.parts().projectFiles)
            state.parts().projectFiles->openProjectFile(paths.project);
    }
    if (!paths.document.isEmpty())
        state.document().openHtmlFilePath(paths.document);
    if (!paths.notOpened.isEmpty())
        state.prompter().inform(notOpenedText(paths.notOpened));
}
