// Analyze Site over a generated site against `du -b` over the same files, in the same run.
//
// The site has 1000 pages (about 3 KB each) naming 20 images each out of 2000; every image is
// named by ten pages. Analyze Site reads each page once and asks each image's size once, so its
// time should stay within a few times that of du walking the same files. Rounds alternate and
// the medians are compared.
// Usage: site_analysis_bench [pages images-per-page rounds]
#include "analysis/SiteAnalysis.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "platform/UiPump.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct SilentPrompter : Prompter {
    MessageAnswer message(MessageKind, MessageButtons, const QString& text) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return MessageAnswer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int perPage = argc > 2 ? std::atoi(argv[2]) : 20;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;
    const int images = std::max(1, pages * perPage / 10);

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/site_analysis_bench-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QString root = dir.path() + QLatin1Char('/');
    QDir().mkpath(root + QStringLiteral("site/images"));
    QDir().mkpath(root + QStringLiteral("prog/projects"));
    for (int i = 0; i < images; ++i)
        writeFile(root + QStringLiteral("site/images/img%1.gif").arg(i),
                  QByteArray(100 + (i * 37) % 5000, 'g'));
    AnalysisStart start;
    for (int p = 0; p < pages; ++p) {
        QByteArray html = "<html><head><title>Page</title></head>\r\n<body>\r\n";
        for (int j = 0; j < perPage; ++j) {
            const int image = (p * 2 + j * (images / perPage + 1)) % images;
            html += "<p>Some text of the page, a line of it. <img src=\"images/img" +
                    QByteArray::number(image) + ".gif\" width=\"20\" height=\"20\"></p>\r\n";
            html += "<a href=\"page" + QByteArray::number((p + j) % pages) + ".html\">next</a>\r\n";
        }
        html += "</body></html>\r\n";
        const QString path = root + QStringLiteral("site/page%1.html").arg(p);
        writeFile(path, html);
        start.outline.appendPage(QStringLiteral("Page %1").arg(p), path);
    }

    Settings settings;
    settings.images = root + QStringLiteral("site/images/");
    const SettingsStore store(IniFile(root + QStringLiteral("prog/DEFAULT.INI")),
                              IniFile(root + QStringLiteral("prog/OPTIONS.INI")));
    SilentPrompter prompter;
    CallbackPump pump({});
    SiteAnalysis analysis(root + QStringLiteral("prog/"), settings, store, prompter, pump);
    analysis.open(start);

    std::vector<double> ours;
    std::vector<double> du;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        analysis.analyzeSite();
        ours.push_back(t.nsecsElapsed() / 1e6);
        if (static_cast<int>(analysis.grid().size()) != pages)
            std::fprintf(stderr, "analysis gave %zu rows\n", analysis.grid().size());

        t.restart();
        QProcess p;
        p.start(QStringLiteral("du"),
                {QStringLiteral("-b"), QStringLiteral("-s"), root + QStringLiteral("site")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            std::fprintf(stderr, "du failed\n");
        du.push_back(t.nsecsElapsed() / 1e6);
    }
    const double a = median(ours);
    const double d = median(du);
    std::printf("site: %d pages, %d images each, %d distinct images\n", pages, perPage, images);
    std::printf("Analyze Site    median %8.2f ms\n", a);
    std::printf("du -b           median %8.2f ms\n", d);
    std::printf("ratio analyze/du: %.2f (goal at most 3)\n", a / d);
    return 0;
}
