// Trying the embedded browser view in a copy of the program.
#include "ui/preview/EmbeddedViewCheck.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

int runEmbeddedViewCheck() {
    QWebEngineView view;
    int code = 2;
    QEventLoop loop;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
        code = ok ? 0 : 1;
        loop.quit();
    });
    QObject::connect(view.page(), &QWebEnginePage::renderProcessTerminated, &loop, [&] {
        code = 1;
        loop.quit();
    });
    QTimer::singleShot(45000, &loop, &QEventLoop::quit);
    view.setHtml(QStringLiteral("<p>Quillon Pro</p>"));
    loop.exec();
    return code;
}

bool embeddedViewWorks(const QString& program, int timeoutMs) {
    QProcess copy;
    copy.setProgram(program);
    copy.setArguments({QLatin1String(EmbeddedViewCheckArgument)});
    // The copy shows no window of its own.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    copy.setProcessEnvironment(env);
    copy.setStandardInputFile(QProcess::nullDevice());
    copy.setStandardOutputFile(QProcess::nullDevice());
    copy.setStandardErrorFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&copy, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&copy, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    copy.start();
    if (!copy.waitForStarted(10000))
        return false;
    if (copy.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (copy.state() != QProcess::NotRunning) {
        copy.kill();
        copy.waitForFinished(5000);
        return false;
    }
    return copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0;
}
