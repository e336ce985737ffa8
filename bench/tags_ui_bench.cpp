// Bold and UL over selections in the real editor widget on the offscreen platform: 10,000 Bold
// insertions and 1,000 UL blocks on a 1 MB page, run through the tag command table exactly as
// the menu runs them. Each insertion's cost is compared with one full load of the page into the
// widget (the goal: under 5 % of it), and with the same edits made straight on the widget's
// QTextDocument through a QTextCursor (document positions, no CR LF counting, no clipboard):
// the floor that any insertion through the widget pays.
// Then UL over a whole page selected with Select All (5 MB by default): the block is built and
// put in at most three times as long as loading that page into the widget takes.
// Usage: tags_ui_bench [page bytes] [bold count] [ul count] [whole page bytes]
#include "BenchDoubles.h"
#include "app/AppState.h"
#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "tags/TagCommands.h"
#include "tags/TagInsertion.h"
#include "ui/PlainTextEditWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct NoPrompter : Prompter {
    MessageAnswer message(MessageKind, MessageButtons, const QString&) override {
        return MessageAnswer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};
struct NoDialogs : TagDialogs {
    std::optional<QString> askMailToAddress(const QString&) override { return std::nullopt; }
    void showTagPanel(TagInserter&) override {}
};

// Lines of 80 characters and their line end.
QString page(qsizetype bytes) {
    const QString line = QStringLiteral(
        "<TD>Some words of a table cell, <A HREF=\"page.htm\">a link</A> and more text.</TD>\r\n");
    QString t;
    t.reserve(bytes + line.size());
    while (t.size() < bytes)
        t += line;
    return t;
}

double ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The selection of insertion i: spread over the whole page, the same for both runs.
int spread(int i, int count, int length, int span) {
    const qint64 room = std::max(1, length - span - 16);
    return static_cast<int>((qint64(i) * 7919 % count) * room / count);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    NoPrompter prompter;
    NoChooser chooser;
    MemoryClipboard clipboard;
    NoDialogs dialogs;

    const qsizetype bytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1'000'000;
    const int bolds = argc > 2 ? QByteArray(argv[2]).toInt() : 10'000;
    const int lists = argc > 3 ? QByteArray(argv[3]).toInt() : 1'000;
    const QString text = page(bytes);

    QPlainTextEdit widget;
    widget.resize(900, 700);
    widget.show();
    PlainTextEditWindow editor(&widget);
    editor.setClipboard(&clipboard);
    AppState state(folder, folder, editor, prompter, chooser, clipboard);
    state.startUp();
    TagInserter inserter(editor, clipboard, [&state] { state.document().setHtmlModified(true); });
    const CommandTable table =
        tagCommands(state, inserter, dialogs, [] { return QDateTime::currentDateTime(); });
    const auto run = [&table](const char* id) {
        for (const Command& c : table.commands)
            if (c.id == QLatin1String(id))
                return c.run;
        return std::function<void()>();
    };
    const std::function<void()> bold = run("Bold1");
    const std::function<void()> ul = run("UnorderedList1");

    std::vector<double> loads;
    QElapsedTimer t;
    for (int round = 0; round < 3; ++round) {
        t.start();
        editor.setText(text);
        QCoreApplication::processEvents();
        loads.push_back(ms(t));
    }
    const double load = median(loads);

    // Through the command table and the EditWindow adapter.
    const int length = editor.length();
    t.start();
    for (int i = 0; i < bolds; ++i) {
        editor.setSelStart(spread(i, bolds, length, 4));
        editor.setSelLength(4);
        bold();
    }
    QCoreApplication::processEvents();
    const double boldMs = ms(t);
    t.start();
    for (int i = 0; i < lists; ++i) {
        editor.setSelStart(spread(i, lists, length, 250));
        editor.setSelLength(250); // about three lines
        ul();
    }
    QCoreApplication::processEvents();
    const double ulMs = ms(t);
    const int ourLength = editor.length();

    // The same edits straight on the document.
    editor.setText(text);
    QCoreApplication::processEvents();
    QTextDocument* doc = widget.document();
    const int docLength = doc->characterCount() - 1;
    t.start();
    for (int i = 0; i < bolds; ++i) {
        QTextCursor c(doc);
        const int q = spread(i, bolds, docLength, 4);
        c.setPosition(q);
        c.setPosition(q + 4, QTextCursor::KeepAnchor);
        const QString s = c.selectedText();
        c.beginEditBlock();
        c.insertText(QStringLiteral("<B>") + s + QStringLiteral("</B>"));
        c.endEditBlock();
        widget.setTextCursor(c);
    }
    QCoreApplication::processEvents();
    const double rawBoldMs = ms(t);
    t.start();
    for (int i = 0; i < lists; ++i) {
        QTextCursor c(doc);
        const int q = spread(i, lists, docLength, 250);
        c.setPosition(q);
        c.setPosition(q + 247, QTextCursor::KeepAnchor);
        QStringList lines = c.selectedText().split(QChar::ParagraphSeparator);
        for (QString& line : lines)
            line.prepend(QStringLiteral("   <LI>"));
        c.beginEditBlock();
        c.insertText(QStringLiteral("<UL>\n") + lines.join(QLatin1Char('\n')) +
                     QStringLiteral("\n</UL>"));
        c.endEditBlock();
        widget.setTextCursor(c);
    }
    QCoreApplication::processEvents();
    const double rawUlMs = ms(t);

    const double perBold = boldMs / bolds;
    const double perUl = ulMs / lists;
    std::printf("page: %lld characters, line ends CR LF (editor length %d), %d Bold, %d UL\n",
                static_cast<long long>(text.size()), length, bolds, lists);
    std::printf("load into the widget: %.1f ms (median of 3)\n", load);
    std::printf("Bold: %.1f ms in all, %.4f ms each; raw cursor %.1f ms in all\n", boldMs, perBold,
                rawBoldMs);
    std::printf("UL:   %.1f ms in all, %.4f ms each; raw cursor %.1f ms in all\n", ulMs, perUl,
                rawUlMs);
    std::printf("text after the run: %d characters\n", ourLength);
    std::printf("ratio bold insertion / page load: %.5f\n", perBold / load);
    std::printf("ratio ul block / page load: %.5f\n", perUl / load);
    std::printf("ratio bold through the commands / raw cursor: %.2f\n", boldMs / rawBoldMs);
    std::printf("ratio ul through the commands / raw cursor: %.2f\n", ulMs / rawUlMs);
    const bool met = perBold < 0.05 * load && perUl < 0.05 * load;
    std::printf("goal (each insertion under 5 %% of a load): %s\n", met ? "met" : "NOT met");

    // UL over the whole of a large page, as Select All and the List tab's UL do it.
    const qsizetype wholeBytes = argc > 4 ? QByteArray(argv[4]).toLongLong() : 5'000'000;
    const QString whole = page(wholeBytes);
    std::vector<double> wholeLoads;
    for (int round = 0; round < 3; ++round) {
        t.start();
        editor.setText(whole);
        QCoreApplication::processEvents();
        wholeLoads.push_back(ms(t));
    }
    const double wholeLoad = median(wholeLoads);
    std::vector<double> wholeUls;
    for (int round = 0; round < 3; ++round) {
        editor.setText(whole);
        QCoreApplication::processEvents();
        t.start();
        editor.selectAll();
        ul();
        QCoreApplication::processEvents();
        wholeUls.push_back(ms(t));
    }
    const double wholeUl = median(wholeUls);
    const int lines = editor.lineCount();
    const bool wholeRight = editor.line(0) == QLatin1String("<UL>") &&
                            editor.line(1).startsWith(QLatin1String("   <LI><TD>")) &&
                            editor.line(lines - 1) == QLatin1String("</UL>");
    std::printf("whole page: %lld characters, %d lines after UL%s\n",
                static_cast<long long>(whole.size()), lines, wholeRight ? "" : " (WRONG TEXT)");
    std::printf("load of the whole page: %.1f ms; Select All + UL: %.1f ms (medians of 3)\n",
                wholeLoad, wholeUl);
    std::printf("ratio ul over the whole page / page load: %.2f\n", wholeUl / wholeLoad);
    const bool wholeMet = wholeRight && wholeUl <= 3 * wholeLoad;
    std::printf("goal (UL over the whole page at most 3 loads): %s\n",
                wholeMet ? "met" : "NOT met");
    return met && wholeMet ? 0 : 1;
}
