// Analyze Site over a generated site against `du -b` over the same files, in the same run.
//
// The site has 1000 pages (about 3 KB each) naming 20 images each out of 2000; every image is
// named by ten pages. Analyze Site reads each page once and asks each image's size once, so its
// time should stay within a few times that of du walking the same files. Rounds alternate and
// the medians are compared. One untimed round of each warms the cache for both. Wall time counts
// whatever else the machine runs, so the processor time of each side (ours, and du's from the
// child's usage) is compared as well.
// Usage: site_analysis_bench [pages images-per-page rounds]
#include "AnalysisBenchSite.h"
#include "analysis/SiteAnalysis.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/IniFile.h"
#include "platform/UiPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <vector>

using namespace bench;

namespace {
double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double childrenCpuMs() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// The part of the processor time spent in the kernel (system calls and the file system).
double systemMs(int who) {
    rusage u{};
    getrusage(who, &u);
    return u.ru_stime.tv_sec * 1e3 + u.ru_stime.tv_usec / 1e3;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int perPage = argc > 2 ? std::atoi(argv[2]) : 20;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/site_analysis_bench-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QString root = dir.path() + QLatin1Char('/');
    const GeneratedSite generated = makeSite(root, pages, perPage);
    const int images = generated.images;
    const AnalysisStart& start = generated.start;

    Settings settings;
    settings.images = generated.imageFolder;
    const SettingsStore store(IniFile(root + QStringLiteral("prog/DEFAULT.INI")),
                              IniFile(root + QStringLiteral("prog/OPTIONS.INI")));
    SilentPrompter prompter;
    CallbackPump pump({});
    SiteAnalysis analysis(generated.programFolder, settings, store, prompter, pump);
    analysis.open(start);

    const QString& site = generated.siteFolder;
    analysis.analyzeSite();
    runDu(site);
    std::vector<double> ours;
    std::vector<double> du;
    std::vector<double> oursCpu;
    std::vector<double> duCpu;
    std::vector<double> oursSystem;
    std::vector<double> duSystem;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        double cpu = processCpuMs();
        double system = systemMs(RUSAGE_SELF);
        t.start();
        analysis.analyzeSite();
        ours.push_back(t.nsecsElapsed() / 1e6);
        oursCpu.push_back(processCpuMs() - cpu);
        oursSystem.push_back(systemMs(RUSAGE_SELF) - system);
        if (static_cast<int>(analysis.grid().size()) != pages)
            std::fprintf(stderr, "analysis gave %zu rows\n", analysis.grid().size());
        if (analysis.imageLookups() != images)
            std::fprintf(stderr, "analysis asked for %d image sizes\n", analysis.imageLookups());

        cpu = childrenCpuMs();
        system = systemMs(RUSAGE_CHILDREN);
        t.restart();
        if (!runDu(site))
            std::fprintf(stderr, "du failed\n");
        du.push_back(t.nsecsElapsed() / 1e6);
        duCpu.push_back(childrenCpuMs() - cpu);
        duSystem.push_back(systemMs(RUSAGE_CHILDREN) - system);
    }
    const double a = median(ours);
    const double d = median(du);
    std::printf("site: %d pages, %d images each, %d distinct images\n", pages, perPage, images);
    std::printf("Analyze Site    median %8.2f ms (processor %8.2f ms, system %8.2f ms)\n", a,
                median(oursCpu), median(oursSystem));
    std::printf("du -b           median %8.2f ms (processor %8.2f ms, system %8.2f ms)\n", d,
                median(duCpu), median(duSystem));
    std::printf("processor ratio analyze/du: %.2f\n", median(oursCpu) / median(duCpu));
    std::printf("ratio analyze/du: %.2f (goal at most 3)\n", a / d);
    return 0;
}
