// Growth of the project files' load and save and of adding pages one by one: the time per page
// at 10,000 and at 100,000 pages, and their ratio (linear growth keeps it near 1).
// Usage: project_outline_bench
#include "BenchDoubles.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "project/Project.h"
#include "project/ProjectFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
struct CountingDialog : PageDialog {
    int n = 0;
    PageDialogResult run(const PageDialogRequest&) override {
        ++n;
        return {false, QStringLiteral("Page %1").arg(n),
                QStringLiteral("/home/someone/site/page%1.html").arg(n)};
    }
};

// A site of n pages in up to five levels, as a depth-first walk gives it.
SiteOutline generated(int n) {
    std::vector<ProjectPage> pages;
    pages.reserve(static_cast<size_t>(n));
    int level = 1;
    for (int k = 0; k < n; ++k) {
        pages.push_back({QStringLiteral("Page number %1 of the site").arg(k), level,
                         QStringLiteral("/home/someone/site/section/page%1.html").arg(k)});
        level = (k % 7 == 6) ? 1 : std::min(level + (k % 3 == 0 ? 1 : 0), 5);
    }
    SiteOutline o;
    o.assign(std::move(pages));
    return o;
}

// Seconds for one save and one load of an n-page project, best of three.
double loadAndSave(const QString& folder, int n) {
    const SiteOutline o = generated(n);
    const QString path = folder + QStringLiteral("/bench.out");
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        if (!writeProject(path, o).ok)
            std::fprintf(stderr, "write failed\n");
        const ProjectRead r = readProject(path);
        if (!r.ok() || static_cast<int>(r.pages.size()) != n)
            std::fprintf(stderr, "read failed\n");
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

// Seconds to add n pages one by one through the Add a Web Page command, best of three.
double addPages(const QString& folder, int n) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        TextBuffer editor;
        MemoryClipboard clipboard;
        SilentPrompter prompter;
        NoChooser chooser;
        AppState app(folder + QLatin1Char('/'), QStringLiteral("/home/someone"), editor, prompter,
                     chooser, clipboard);
        app.startUp();
        Project project(app, prompter, chooser);
        CountingDialog dialog;
        project.setDialogs(&dialog, nullptr, nullptr);
        QElapsedTimer t;
        t.start();
        for (int k = 0; k < n; ++k)
            project.addPage();
        best = std::min(best, t.nsecsElapsed() / 1e9);
        if (project.outline().count() != n)
            std::fprintf(stderr, "add failed\n");
    }
    return best;
}

void report(const char* what, double small, double large) {
    const double perSmall = small / 10000 * 1e6, perLarge = large / 100000 * 1e6;
    std::printf("%-28s %8.3f us/page at 10k, %8.3f us/page at 100k, ratio %.2f\n", what, perSmall,
                perLarge, perLarge / perSmall);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    report("load and save", loadAndSave(dir.path(), 10000), loadAndSave(dir.path(), 100000));
    report("add pages one by one", addPages(dir.path(), 10000), addPages(dir.path(), 100000));
    return 0;
}
