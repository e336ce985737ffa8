// Start-up and a setting change over a 50 MB DEFAULT.INI: the program's settings store against
// QSettings reading and writing the same file, in the same run.
// Usage: settings_file_bench [megabytes]   (default 50)
#include "BenchDoubles.h"
#include "app/AppState.h"
#include "app/ApplySettings.h"
#include "app/SettingsTable.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
// The program's own keys first, then a section that has grown to the size asked for.
QByteArray largeDefaultIni(qint64 bytes) {
    QByteArray ini = "[Start]\r\nLocation=/home/someone/site/\r\n[Files]\r\nLocation=/home/"
                     "someone/\r\nConfirm=1\r\n[HTML]\r\nExt=html\r\nFTPAUTO=1\r\n[Format]\r\n"
                     "Wrap=1\r\n[Tags]\r\nColored=0\r\n[History]\r\n";
    for (int k = 0; ini.size() < bytes; ++k)
        ini += "Entry" + QByteArray::number(k) + "=/home/someone/site/pages/page" +
               QByteArray::number(k) + ".html\r\n";
    return ini;
}

// Seconds of the fastest of some runs.
double best(int rounds, const std::function<void()>& run) {
    double fastest = 1e9;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        run();
        fastest = std::min(fastest, t.nsecsElapsed() / 1e9);
    }
    return fastest;
}

void report(const char* what, double ours, double peer) {
    std::printf("%-34s ours %8.3f s, QSettings %8.3f s\n", what, ours, peer);
    std::printf("ratio %s vs QSettings: %.2f\n", what, ours / peer);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString defaultIni = folder + QStringLiteral("DEFAULT.INI");
    {
        QFile f(defaultIni);
        if (!f.open(QIODevice::WriteOnly) || f.write(largeDefaultIni(megabytes << 20)) < 0)
            return 1;
    }
    // A settings file is not written in the moment the program starts: a file changed within the
    // last seconds is checked by its bytes at each access, not by its times alone.
    QThread::sleep(4);

    TextBuffer editor;
    MemoryClipboard clipboard;
    SilentPrompter prompter;
    NoChooser chooser;

    // Start-up: every setting of both files read, as the window's start does. Once each: a
    // program starts once, and both readers keep what they parsed for the next access.
    const double ourStart = best(1, [&] {
        AppState state(folder, QStringLiteral("/home/someone/"), editor, prompter, chooser,
                       clipboard);
        state.startUp();
        if (state.settings().ext != QLatin1String("html"))
            std::fprintf(stderr, "read failed\n");
    });
    const double peerStart = best(1, [&] {
        QSettings s(defaultIni, QSettings::IniFormat);
        for (const SettingRow& row : settingRows()) {
            if (row.file == SettingsFileId::Default)
                s.value(QLatin1String(row.section) + QLatin1Char('/') + QLatin1String(row.key));
        }
    });
    report("start-up settings read", ourStart, peerStart);

    // One setting changed (the Wrap box), then the settings dialog's Apply of several.
    AppState state(folder, QStringLiteral("/home/someone/"), editor, prompter, chooser, clipboard);
    state.startUp();
    bool wrap = state.settings().wrap;
    const double ourSet = best(3, [&] {
        wrap = !wrap;
        state.store().set(state.settings(), &Settings::wrap, wrap);
    });
    const double peerSet = best(3, [&] {
        QSettings s(defaultIni, QSettings::IniFormat);
        wrap = !wrap;
        s.setValue(QStringLiteral("Format/Wrap"), wrap ? 1 : 0);
        s.sync();
    });
    report("one setting changed", ourSet, peerSet);

    SettingsValues v = currentSettingsValues(state);
    const double ourApply = best(3, [&] {
        v.strongTag = !v.strongTag;
        v.emTag = !v.emTag;
        v.ftpFlush = !v.ftpFlush;
        v.confirmRemove = !v.confirmRemove;
        if (!ApplySettings(state, v).isEmpty())
            std::fprintf(stderr, "apply failed\n");
    });
    std::printf("%-34s ours %8.3f s\n", "settings dialog Apply", ourApply);
    return 0;
}
