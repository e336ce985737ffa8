// Live colouring in the real editor widget on the offscreen platform.
//
// At 0.1, 1 and 5 MB: turning "Color" on for a loaded page against loading it (until every block
// has its colours), and the longest key press with colouring on (typing that changes the state
// of the lines after it: a "<", a quote, a comment's start) against a 16 ms frame.
// At 50 MB (or the size given): the longest the event loop goes without running, measured by a
// timer that records the longest gap between its ticks, while the page is opened, saved
// unchanged, coloured, given tags, coloured anew, saved, opened again while coloured, uncoloured,
// given the colouring pass and left for a new page; the saved bytes are compared with what was
// meant.
// Usage: live_colour_bench [megabytes for the stall run, 0 for none]
#include "BenchDoubles.h"
#include "app/AppState.h"
#include "app/HtmlDocument.h"
#include "app/Settings.h"
#include "platform/Clipboard.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "services/ServicesRoom.h"
#include "tags/TagInsertion.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/services/LiveColouringUi.h"
#include "ui/widgets/LongStepWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

struct OneFileChooser : FileChooser {
    QString path;
    std::optional<QString> openFile(const FileDialogRequest&) override { return path; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};

// A page of tables, anchors, comments, tags over two lines and a script, about `bytes` long.
QByteArray page(qsizetype bytes) {
    const QByteArray block =
        "<TR><TD class=\"cell\">cell &amp; more</TD><TD><A HREF=\"dir/page.htm\">link</A> "
        "<B>bold</B> text and more words</TD></TR>\r\n"
        "<!-- a note\r\n over two lines --><IMG SRC=\"x.gif\"\r\n  ALT='picture'>\r\n"
        "<p>Some ordinary text of a paragraph, written by hand, with <i>emphasis</i>.</p>\r\n"
        "<script>if (a < b) { x = \"<table>\"; }</script>\r\n";
    QByteArray out;
    out.reserve(bytes + block.size());
    out += "<HTML><BODY><TABLE>\r\n";
    while (out.size() < bytes)
        out += block;
    return out;
}

// The longest gap between the ticks of a timer that ticks as often as the loop lets it.
struct StallMeter {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    StallMeter() {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { tick(); });
    }
    void start() {
        longest = 0;
        clock.start();
        last = 0;
        timer.start();
    }
    void tick() {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    }
    double stop() {
        tick();
        timer.stop();
        return double(longest) / 1e6;
    }
};

void settle(int ms = 20) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void waitColoured(LiveTagHighlighter& h) {
    while (h.colouring())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// One window: the editor widget, its adapter, the state and live colouring.
struct Window {
    YesPrompter prompter;
    OneFileChooser chooser;
    MemoryClipboard clipboard;
    QPlainTextEdit widget;
    PlainTextEditWindow editor{&widget};
    QTemporaryDir dir;
    std::unique_ptr<AppState> state;
    std::unique_ptr<LongStepWindow> steps;
    std::unique_ptr<LiveColouringUi> live;
    ShellParts parts;
    Window() {
        // The main window's editor font; lines are not wrapped (and the Wrap setting says so).
        widget.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        widget.resize(900, 700);
        widget.setLineWrapMode(QPlainTextEdit::NoWrap);
        widget.show();
        const QString folder = dir.path() + QLatin1Char('/');
        state = std::make_unique<AppState>(folder, folder, editor, prompter, chooser, clipboard);
        state->settings().wrap = false;
        steps = std::make_unique<LongStepWindow>(&widget);
        parts.longSteps = steps.get();
        state->document().setParts(&parts);
        live = std::make_unique<LiveColouringUi>(*state, editor, nullptr);
        settle();
    }
    QString write(const QByteArray& bytes) {
        const QString path = dir.path() + QStringLiteral("/page.htm");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        return path;
    }
};

// Types one key into the editor and lets the window draw it; returns the milliseconds.
double typeKey(QPlainTextEdit& widget, int key, const QString& text) {
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &release);
    widget.viewport()->repaint();
    QCoreApplication::processEvents();
    return double(t.nsecsElapsed()) / 1e6;
}

void ratios(double megabytes) {
    Window w;
    const QByteArray bytes = page(qsizetype(megabytes * 1000 * 1000));
    w.chooser.path = w.write(bytes);

    QElapsedTimer t;
    t.start();
    w.state->document().openHtmlFile();
    w.widget.viewport()->repaint();
    QCoreApplication::processEvents();
    const double load = double(t.nsecsElapsed()) / 1e6;

    t.restart();
    w.state->document().setColored(true);
    w.live->setOn(true);
    waitColoured(w.live->highlighter());
    w.widget.viewport()->repaint();
    QCoreApplication::processEvents();
    const double on = double(t.nsecsElapsed()) / 1e6;

    // Keys in the middle of the page: plain letters, then those that change what follows.
    QTextCursor c = w.widget.textCursor();
    c.setPosition(w.widget.document()->characterCount() / 2);
    c.movePosition(QTextCursor::StartOfBlock);
    w.widget.setTextCursor(c);
    w.widget.centerCursor();
    settle();
    double worst = 0;
    const struct {
        int key;
        const char* text;
    } keys[] = {{Qt::Key_A, "a"},        {Qt::Key_B, "b"},       {Qt::Key_Less, "<"},
                {Qt::Key_P, "p"},        {Qt::Key_Space, " "},   {Qt::Key_T, "t"},
                {Qt::Key_Equal, "="},    {Qt::Key_QuoteDbl, "\""}, {Qt::Key_X, "x"},
                {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""},
                {Qt::Key_Less, "<"},     {Qt::Key_Exclam, "!"},  {Qt::Key_Minus, "-"},
                {Qt::Key_Minus, "-"},    {Qt::Key_Return, "\r"}, {Qt::Key_Backspace, ""},
                {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""},
                {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""}, {Qt::Key_Backspace, ""}};
    for (int round = 0; round < 3; ++round)
        for (const auto& k : keys)
            worst = std::max(worst, typeKey(w.widget, k.key, QLatin1String(k.text)));
    std::printf("%.1f MB: load %.1f ms, switch-on %.1f ms, worst key %.2f ms\n", megabytes, load,
                on, worst);
    std::printf("ratio switch-on/load: %.2f\n", on / load);
    std::printf("ratio worst key/16ms: %.2f\n", worst / 16.0);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void stalls(qsizetype megabytes) {
    Window w;
    EventLoopPump pump;
    ServicesRoom room(*w.state, w.editor, w.prompter, pump);
    room.setLiveColouring(w.live.get());
    w.parts.colouring = &room;
    TagInserter tags(w.editor, w.clipboard, [&] { w.state->document().setHtmlModified(true); });
    const QByteArray bytes = page(megabytes * 1000 * 1000);
    w.chooser.path = w.write(bytes);
    StallMeter meter;
    double worst = 0;
    const auto measure = [&](const char* what, const std::function<void()>& run) {
        QElapsedTimer t;
        t.start();
        meter.start();
        run();
        settle(50);
        const double ms = meter.stop();
        std::printf("%lld MB %-22s longest stall %7.1f ms (%.0f ms in all)\n",
                    static_cast<long long>(megabytes), what, ms, double(t.nsecsElapsed()) / 1e6);
        worst = std::max(worst, ms);
    };
    const auto colour = [&](bool on) {
        w.state->document().setColored(on);
        w.live->setOn(on);
        waitColoured(w.live->highlighter());
    };
    // A stretch in the middle of the page selected, about `length` long.
    const auto selectMiddle = [&](int length) {
        w.editor.setSelStart(w.editor.length() / 2);
        w.editor.setSelLength(length);
    };
    measure("open", [&] { w.state->document().openHtmlFile(); });
    measure("save unchanged", [&] {
        w.state->document().setHtmlModified(true); // Save writes only a changed page
        w.state->document().saveHtmlFile();
    });
    std::printf("an unchanged save writes %s bytes read\n",
                fileBytes(w.chooser.path) == bytes ? "exactly the" : "OTHER than the");
    measure("colour on", [&] { colour(true); });
    measure("tag wrap", [&] {
        selectMiddle(4000);
        tags.wrap(QStringLiteral("<B>"), QStringLiteral("</B>"));
    });
    measure("tag insert", [&] {
        selectMiddle(0);
        tags.insertTag(QStringLiteral("<TABLE BORDER=1>\r\n<TR>\r\n<TD>"));
    });
    measure("new colours", [&] {
        w.state->settings().tagColors[1] = QStringLiteral("clBlue");
        w.live->colourAgain();
        waitColoured(w.live->highlighter());
    });
    measure("save", [&] { w.state->document().saveHtmlFile(); });
    const QByteArray saved = fileBytes(w.chooser.path);
    std::printf("saved bytes %s what the editor holds (%lld bytes)\n",
                saved == w.editor.text().toUtf8() ? "are exactly" : "DIFFER from",
                static_cast<long long>(saved.size()));
    measure("open again, colour on", [&] {
        w.state->document().openHtmlFile();
        waitColoured(w.live->highlighter());
    });
    measure("colour off", [&] { colour(false); });
    measure("Color Tags Now", [&] { room.colorTagsNow(); });
    measure("new page", [&] { w.state->document().newHtmlFile(); });
    std::printf("longest stall ms: %.1f\n", worst);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoll(argv[1]) : 50;
    for (const double mb : {0.1, 1.0, 5.0})
        ratios(mb);
    if (megabytes > 0)
        stalls(megabytes);
    return 0;
}
