// The test programs: one application object on the offscreen platform for every test, so that
// tests that need an event loop (sockets, timers) and, in the ui tests, widget tests can run side
// by side. The core tests get no QApplication: they must not need one.
#ifdef QUILLON_WIDGET_TESTS
#include "ui/preview/EmbeddedViewCheck.h"

#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include "app/ProgramTitle.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    TestApplication::setApplicationName(programTitle());
#ifdef QUILLON_WIDGET_TESTS
    // The window tests are the program that tries the embedded view first, as the program is.
    if (app.arguments().value(1) == QLatin1String(EmbeddedViewCheckArgument))
        return runEmbeddedViewCheck();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
