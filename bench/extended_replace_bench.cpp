// Extended Replace over 1000 generated pages of 20 KB against `sed -i` over copies of the same
// pages, in the same run: the time of each, best of five, and their ratio.
// Usage: extended_replace_bench [files] [kilobytes]
#include "platform/Prompter.h"
#include "platform/UiPump.h"
#include "services/ExtendedReplace.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
struct YesPrompter : Prompter {
    MessageAnswer message(MessageKind, MessageButtons, const QString& text) override {
        if (text != ExtendedReplace::confirmText())
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return MessageAnswer::Yes;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};
struct QuietView : ExtendedReplaceView {
    void runStarted(int) override {}
    void fileStarted(int) override {}
    void runEnded() override {}
    void setStatus(const QString&) override {}
    void setReport(const QString&) override {}
    void clearResults() override {}
    // Every file has the text: anything but a replacement is worth telling.
    void addResult(const QString& line) override {
        if (!line.contains(QStringLiteral(" replacements: ")))
            std::fprintf(stderr, "%s\n", qPrintable(line));
    }
};

// A page of about kb kilobytes: markup lines with the word to replace now and then.
QByteArray page(int n, int kb) {
    QByteArray p =
        "<html><head><title>Page " + QByteArray::number(n) + "</title></head>\r\n<body>\r\n";
    int line = 0;
    while (p.size() < kb * 1024) {
        p += "<p class=\"text\">Line " + QByteArray::number(line) +
             (line % 5 == 0 ? " of the oldsite page, see <a href=\"oldsite/index.html\">home</a>"
                            : " with some words of plain text in a paragraph of the page") +
             "</p>\r\n";
        ++line;
    }
    p += "</body></html>\r\n";
    return p;
}

QStringList writeSet(const QString& folder, int files, int kb) {
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const QString path = folder + QStringLiteral("/page%1.html").arg(i);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(page(i, kb)) < 0)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        paths << path;
    }
    return paths;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int kb = argc > 2 ? std::atoi(argv[2]) : 20;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    YesPrompter prompter;
    CallbackPump pump({});
    QuietView view;
    double ours = 1e9, sed = 1e9;
    for (int round = 0; round < 5; ++round) {
        const QString a = dir.path() + QStringLiteral("/ours%1").arg(round);
        const QString b = dir.path() + QStringLiteral("/sed%1").arg(round);
        const QStringList mine = writeSet(a, files, kb);
        const QStringList theirs = writeSet(b, files, kb);

        ExtendedReplace r(dir.path() + QLatin1Char('/'), prompter, pump);
        r.projectMode = false;
        r.files = mine;
        r.text = QStringLiteral("oldsite");
        r.replacement = QStringLiteral("newsite");
        r.matchCase = true;
        QElapsedTimer t;
        t.start();
        r.run(view);
        ours = std::min(ours, t.nsecsElapsed() / 1e9);

        QStringList args{QStringLiteral("-i"), QStringLiteral("s/oldsite/newsite/g")};
        args << theirs;
        t.restart();
        const int rc = QProcess::execute(QStringLiteral("sed"), args);
        sed = std::min(sed, t.nsecsElapsed() / 1e9);
        if (rc != 0)
            std::fprintf(stderr, "sed failed: %d\n", rc);
        // Both sets must end alike, or the comparison means nothing.
        for (int i = 0; i < files; i += std::max(1, files / 10)) {
            QFile x(mine[i]), y(theirs[i]);
            if (!x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly) ||
                x.readAll() != y.readAll())
                std::fprintf(stderr, "results differ: %s\n", qPrintable(mine[i]));
        }
    }
    std::printf("extended replace: %d files of %d KB: %.3f s; sed -i: %.3f s; ratio %.2f\n", files,
                kb, ours, sed, ours / sed);
    return 0;
}
