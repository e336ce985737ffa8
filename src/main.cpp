// Quillon Pro: the program's entry point.
#include "app/ProgramTitle.h"
#include "app/TipOfTheDay.h"
#include "ui/QtClipboard.h"
#include "ui/QtFileChooser.h"
#include "ui/QtPrompter.h"
#include "ui/TForm1.h"

#include <QApplication>
#include <QScreen>
#include <unistd.h>

int main(int argc, char** argv) {
    // The embedded browser view cannot run its sandbox as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(programTitle());

    QString programDirectory = QCoreApplication::applicationDirPath();
    if (!programDirectory.endsWith(QLatin1Char('/')))
        programDirectory += QLatin1Char('/');

    QtPrompter prompter;
    QtFileChooser chooser;
    QtClipboard clipboard;
    TForm1 form(programDirectory, prompter, chooser, clipboard, TForm1::Options{});
    // Without a window manager (Xvfb) maximising alone leaves the window at its default size.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    form.tips().offerAtStartUp();
    return app.exec();
}
