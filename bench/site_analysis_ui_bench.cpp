// Analyze Site in the real "Web Page Analysis" screen on the offscreen platform, against `du -b`
// over the same files in the same run.
//
// The screen is shown with the generated site's outline; each round presses its "Analyze Site"
// button and lets the window catch up (the report, the summary grid, the outlines and the bar
// drawn) before the clock stops. Rounds alternate with du and the medians are compared; one
// untimed round of each warms the cache for both.
// Usage: site_analysis_ui_bench [pages images-per-page rounds]
#include "AnalysisBenchSite.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/FileChooser.h"
#include "platform/IniFile.h"
#include "platform/Printer.h"
#include "platform/UiPump.h"
#include "ui/analysis/TFormLoadSize.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace bench;

namespace {
struct NoPrinter : Printer {
    bool choosePrinter(const QString&) override { return false; }
    bool printLines(const QString&, const QStringList&, const std::optional<QFont>&) override {
        return false;
    }
    bool printPages(const QString&, const std::vector<PrintPage>&,
                    const std::optional<QFont>&) override {
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int perPage = argc > 2 ? std::atoi(argv[2]) : 20;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/site_analysis_ui_bench-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QString root = dir.path() + QLatin1Char('/');
    const GeneratedSite site = makeSite(root, pages, perPage);

    Settings settings;
    settings.images = site.imageFolder;
    const SettingsStore store(IniFile(site.programFolder + QStringLiteral("DEFAULT.INI")),
                              IniFile(site.programFolder + QStringLiteral("OPTIONS.INI")));
    SilentPrompter prompter;
    NoChooser chooser;
    NoPrinter printer;
    // The pump the window's passes use.
    EventLoopPump pump;
    SiteAnalysis analysis(site.programFolder, settings, store, prompter, pump);
    TFormLoadSize screen(analysis, prompter, chooser, printer);
    analysis.open(site.start);
    screen.show();
    QApplication::processEvents();
    QPushButton* analyze = screen.button(QStringLiteral("AnalyzeSite"));

    const auto analyzeSite = [&] {
        analyze->click();
        QApplication::processEvents();
    };
    analyzeSite();
    runDu(site.siteFolder);
    std::vector<double> ours;
    std::vector<double> du;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        analyzeSite();
        ours.push_back(t.nsecsElapsed() / 1e6);
        if (screen.grid()->model()->rowCount() != pages ||
            screen.reportList()->model()->rowCount() != analysis.report().size())
            std::fprintf(stderr, "the window shows %d rows and %d report lines\n",
                         screen.grid()->model()->rowCount(),
                         screen.reportList()->model()->rowCount());
        t.restart();
        if (!runDu(site.siteFolder))
            std::fprintf(stderr, "du failed\n");
        du.push_back(t.nsecsElapsed() / 1e6);
    }
    const double a = median(ours);
    const double d = median(du);
    std::printf("site: %d pages, %d images each, %d distinct images\n", pages, perPage,
                site.images);
    std::printf("Analyze Site in the window  median %8.2f ms\n", a);
    std::printf("du -b                       median %8.2f ms\n", d);
    std::printf("ratio window/du: %.2f (goal at most 3)\n", a / d);
    return 0;
}
