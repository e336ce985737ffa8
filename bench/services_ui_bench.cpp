// Tag colouring, Replace All and the in-tags slash replacement in the real editor widget on the
// offscreen platform, each timed against loading the same page into the widget in the same run.
// Prints the times and their ratios to the load.
// Usage: services_ui_bench [largest size in bytes]   (pages of 100 KB, 1 MB and 5 MB)
#include "BenchDoubles.h"
#include "app/AppState.h"
#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/UiPump.h"
#include "services/FindReplace.h"
#include "services/TagColors.h"
#include "ui/PlainTextEditWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// About one tag per 20 characters; "qzx" once a line, so a 5 MB page holds about 50,000.
QString page(qsizetype bytes) {
    // 100 characters with its line end, 5 tags.
    const QString line =
        QStringLiteral("<TR><TD>cell qzx</TD><TD><A HREF=\"dir\\page.htm\">link</A> "
                       "<B>bold</B> text and more words</TD></TR>\r\n");
    QString t;
    t.reserve(bytes + line.size());
    while (t.size() < bytes)
        t += line;
    return t;
}

double ms(QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    YesPrompter prompter;
    NoChooser chooser;
    MemoryClipboard clipboard;

    std::printf("%-8s %10s %10s %7s %12s %7s %10s %7s  matches\n", "size", "load ms", "color ms",
                "ratio", "replace ms", "ratio", "slash ms", "ratio");
    const qsizetype largest = argc > 1 ? QByteArray(argv[1]).toLongLong() : 5'000'000;
    for (const qsizetype size : {qsizetype(100'000), qsizetype(1'000'000), qsizetype(5'000'000)}) {
        if (size > largest)
            break;
        QPlainTextEdit widget;
        widget.resize(800, 600);
        widget.show();
        PlainTextEditWindow editor(&widget);
        AppState state(folder, folder, editor, prompter, chooser, clipboard);
        EventLoopPump pump;
        StopColoring stop;
        bool wrap = true;
        TagColoringPass pass(editor, pump, stop, wrap);
        FindReplace find(editor, prompter, state.document(), pump, stop, wrap);
        const QString text = page(size);

        QElapsedTimer t;
        t.start();
        editor.setText(text);
        QCoreApplication::processEvents();
        const double load = ms(t);

        t.restart();
        pass.colorTags();
        editor.applyColors();
        QCoreApplication::processEvents();
        const double color = ms(t);

        editor.setText(text);
        t.restart();
        const int matches = find.replaceAll(QStringLiteral("qzx"), QStringLiteral("abc"), true);
        QCoreApplication::processEvents();
        const double replace = ms(t);

        editor.setText(text);
        t.restart();
        find.slashReplaceInTags();
        QCoreApplication::processEvents();
        const double slash = ms(t);

        std::printf("%-8lld %10.1f %10.1f %7.2f %12.1f %7.2f %10.1f %7.2f  %d\n",
                    static_cast<long long>(size), load, color, color / load, replace,
                    replace / load, slash, slash / load, matches);
        std::fflush(stdout);
    }
    return 0;
}
