// A big page (50 MB by default) in the real editor widget on the offscreen platform: how long the
// window goes without running its events while the page loads through the program's open path and
// while it is coloured. Prints the longest stretch without a look at the event loop, the time to
// the first one, and the whole time of each.
// Usage: big_page_ui_bench [megabytes]
#include "BenchDoubles.h"
#include "app/AppState.h"
#include "app/HtmlDocument.h"
#include "app/Settings.h"
#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/LongStep.h"
#include "platform/Prompter.h"
#include "platform/UiPump.h"
#include "services/TagColors.h"
#include "ui/PlainTextEditWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

struct OneFileChooser : FileChooser {
    QString path;
    std::optional<QString> openFile(const FileDialogRequest&) override { return path; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};

// Times between the looks at the event loop of a step or a pass.
struct Gaps {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 first = -1;
    qint64 longest = 0;
    int looks = 0;
    void start() {
        clock.start();
        last = 0;
        first = -1;
        longest = 0;
        looks = 0;
    }
    void look() {
        const qint64 now = clock.nsecsElapsed();
        if (first < 0)
            first = now;
        longest = std::max(longest, now - last);
        last = now;
        ++looks;
    }
    double ms(qint64 ns) const { return double(ns) / 1e6; }
};

// The load's progress, looked at as the window's LongStep would be.
struct TimedSteps : LongStep {
    Gaps& gaps;
    explicit TimedSteps(Gaps& g) : gaps(g) {}
    void begin(const QString&, qint64) override { gaps.look(); }
    bool advance(qint64) override {
        gaps.look();
        QCoreApplication::processEvents();
        return true;
    }
    void end() override { gaps.look(); }
};

struct TimedPump : EventLoopPump {
    Gaps& gaps;
    explicit TimedPump(Gaps& g) : EventLoopPump(DefaultInterval), gaps(g) {}
    void pump() override {
        gaps.look();
        EventLoopPump::pump();
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoll(argv[1]) : 50;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString path = folder + QStringLiteral("big.htm");
    {
        const QByteArray line = "<TR><TD>cell</TD><TD><A HREF=\"dir\\page.htm\">link</A> "
                                "<B>bold</B> text and more words</TD></TR>\r\n";
        QByteArray page;
        page.reserve(megabytes * 1000 * 1000 + line.size());
        while (page.size() < megabytes * 1000 * 1000)
            page += line;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(page) != page.size())
            return 1;
    }
    YesPrompter prompter;
    OneFileChooser chooser;
    chooser.path = path;
    MemoryClipboard clipboard;
    QPlainTextEdit widget;
    widget.resize(800, 600);
    widget.show();
    PlainTextEditWindow editor(&widget);
    AppState state(folder, folder, editor, prompter, chooser, clipboard);
    Gaps gaps;
    TimedSteps steps(gaps);
    TimedPump pump(gaps);
    StopColoring stop;
    TagColoringPass pass(editor, pump, stop, state.settings().wrap);
    pass.setDocument(&state.document());
    ShellParts parts;
    parts.longSteps = &steps;
    state.document().setParts(&parts);
    QCoreApplication::processEvents();

    std::printf("page: %lld MB\n", static_cast<long long>(megabytes));
    QElapsedTimer total;
    gaps.start();
    total.start();
    state.document().openHtmlFile();
    gaps.look();
    std::printf("Open HTML File: %8.1f ms in all; first look at the window after %7.1f ms, "
                "longest stretch without one %7.1f ms (%d looks)\n",
                total.nsecsElapsed() / 1e6, gaps.ms(gaps.first), gaps.ms(gaps.longest),
                gaps.looks);
    QCoreApplication::processEvents();

    gaps.start();
    total.restart();
    pass.colorTags();
    editor.applyColors();
    gaps.look();
    std::printf("Color Tags Now: %8.1f ms in all; first look at the window after %7.1f ms, "
                "longest stretch without one %7.1f ms (%d looks)\n",
                total.nsecsElapsed() / 1e6, gaps.ms(gaps.first), gaps.ms(gaps.longest),
                gaps.looks);
    return 0;
}
