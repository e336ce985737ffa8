// Quillon Pro: the program's entry point.
#include "app/ProgramTitle.h"
#include "app/StartArguments.h"
#include "app/TipOfTheDay.h"
#include "platform/ProgramFolder.h"
#include "ui/QtClipboard.h"
#include "ui/QtFileChooser.h"
#include "ui/QtPrompter.h"
#include "ui/TForm1.h"
#include "ui/preview/EmbeddedViewCheck.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QScreen>
#include <unistd.h>

int main(int argc, char** argv) {
    // The embedded browser view cannot run its sandbox as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // A copy started only to find out whether the embedded browser view works here.
    if (app.arguments().value(1) == QLatin1String(EmbeddedViewCheckArgument))
        return runEmbeddedViewCheck();
    QApplication::setApplicationName(programTitle());
    // Ties the windows to the menu entry, so the desktop shows the entry's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillon.Quillon"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.png")));

    // The build folder, or for an installed copy the user's own folder, seeded from the
    // installed data.
    const ProgramFolder folder = resolveProgramFolder(
        QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_DATA_HOME"),
        QDir::homePath(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());

    QtPrompter prompter;
    if (!folder.notice.isEmpty())
        prompter.inform(folder.notice);
    if (!folder.problem.isEmpty())
        prompter.inform(folder.problem);
    const QString programDirectory = folder.directory;
    QtFileChooser chooser;
    QtClipboard clipboard;
    TForm1 form(programDirectory, prompter, chooser, clipboard, TForm1::Options{});
    // Without a window manager (Xvfb) maximising alone leaves the window at its default size.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    // The files a file manager's "Open with" or the menu entry hands over.
    openStartArguments(form.state(), QCoreApplication::arguments().mid(1), QDir::currentPath());
    form.tips().offerAtStartUp();
    return app.exec();
}
