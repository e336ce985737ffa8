// The page checks against the command-line tools over the same files, in the same run.
//
// A generated site of 1000 pages (about 4 KB each): each links to ten other pages (one link in
// ten broken, some with "#anchor" or "?query"), names six images out of 500 (some without their
// size, some missing) and has an HTML error now and then. Two goals:
//  - the check before an upload (links, images, size, HTML Tidy's errors) over the pages costs
//    at most 3 times `tidy -e` over the same pages: "ratio preflight/tidy";
//  - Check Links over the whole project (the same checks and the pages nothing links to) costs
//    at most 3 times `du -b` over the site plus that `tidy -e`: "ratio linkcheck/(du+tidy)".
// The tools run as one process each over all the files, their fastest way. Rounds alternate; the
// medians are compared, after one untimed round of each that warms the cache for all.
// Usage: preflight_bench [pages rounds]
#include "checks/PageChecks.h"
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

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    // tidy ends with 1 or 2 when it found warnings or errors: only a crash or a missing program
    // is a failure here.
    return p.waitForFinished(300000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() <= 2;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QByteArray pageText(int p, int pages, int images) {
    QByteArray html = "<!DOCTYPE html>\r\n<html><head><title>Page " + QByteArray::number(p) +
                      "</title>\r\n<link rel=\"stylesheet\" href=\"/style.css\"></head>\r\n"
                      "<body>\r\n<h1 id=\"top\">Page " +
                      QByteArray::number(p) + "</h1>\r\n";
    for (int j = 0; j < 10; ++j) {
        const int to = (p * 7 + j * 13 + 1) % pages;
        QByteArray target = "page" + QByteArray::number(to) + ".html";
        if (j == 3)
            target += "#top";
        if (j == 5)
            target = "../site/" + target + "?from=" + QByteArray::number(p);
        if ((p + j) % 10 == 9)
            target = "gone" + QByteArray::number(j) + ".html";
        html += "<p>A paragraph of the page with some words in it, and a link to <a href=\"" +
                target + "\">another page</a> of the site.</p>\r\n";
    }
    for (int j = 0; j < 6; ++j) {
        const int image = (p * 3 + j * 89) % images;
        const QByteArray size = (p + j) % 7 == 0 ? "" : " width=\"40\" height=\"30\"";
        const QByteArray name = (p + j) % 50 == 0 ? "missing" : "img" + QByteArray::number(image);
        html += "<p><img src=\"images/" + name + ".gif\" alt=\"picture\"" + size + "></p>\r\n";
    }
    if (p % 20 == 0)
        html += "<blink>An element no HTML knows</blink>\r\n";
    html += "<p>" + QByteArray(300, 'x') + "</p>\r\n</body></html>\r\n";
    return html;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int pages = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int images = 500;

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/preflight_bench-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QString site = dir.path() + QStringLiteral("/site/");
    QDir().mkpath(site + QStringLiteral("images"));
    writeFile(site + QStringLiteral("style.css"), "body { color: black }\n");
    for (int i = 0; i < images; ++i)
        writeFile(site + QStringLiteral("images/img%1.gif").arg(i), QByteArray(200 + i * 7, 'g'));
    QStringList paths;
    for (int p = 0; p < pages; ++p) {
        const QString path = site + QStringLiteral("page%1.html").arg(p);
        writeFile(path, pageText(p, pages, images));
        paths << path;
    }

    CheckOptions upload;
    upload.siteFolder = site;
    upload.htmlExtensions = {QStringLiteral("html"), QStringLiteral("htm")};
    upload.sizeLimitKb = 100;
    CheckOptions project = upload;
    project.orphans = true;
    CallbackPump pump({});

    QStringList tidyArgs{QStringLiteral("-e"), QStringLiteral("-q")};
    tidyArgs << paths;
    const QStringList duArgs{QStringLiteral("-b"), QStringLiteral("-s"), site};

    // Warm-up: every file read once by each side.
    size_t found = 0;
    {
        PageChecker checker(project, pump);
        found = checker.check(paths).problems.size();
    }
    if (!runTool(QStringLiteral("tidy"), tidyArgs) || !runTool(QStringLiteral("du"), duArgs)) {
        std::fprintf(stderr, "tidy or du could not run (Debian packages tidy, coreutils)\n");
        return 1;
    }

    std::vector<double> preflight, linkcheck, tidy, du;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        {
            PageChecker checker(upload, pump);
            const CheckReport report = checker.check(paths);
            if (report.pagesChecked != pages)
                std::fprintf(stderr, "preflight checked %d pages\n", report.pagesChecked);
        }
        preflight.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        runTool(QStringLiteral("tidy"), tidyArgs);
        tidy.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        {
            PageChecker checker(project, pump);
            const CheckReport report = checker.check(paths);
            if (report.problems.size() != found)
                std::fprintf(stderr, "Check Links found %zu problems, first %zu\n",
                             report.problems.size(), found);
        }
        linkcheck.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        runTool(QStringLiteral("du"), duArgs);
        du.push_back(t.nsecsElapsed() / 1e6);
    }
    const double p = median(preflight);
    const double l = median(linkcheck);
    const double ti = median(tidy);
    const double d = median(du);
    std::printf("site: %d pages, %d images; Check Links found %zu problems\n", pages, images,
                found);
    std::printf("preflight       median %9.2f ms\n", p);
    std::printf("tidy -e         median %9.2f ms\n", ti);
    std::printf("Check Links     median %9.2f ms\n", l);
    std::printf("du -b           median %9.2f ms\n", d);
    std::printf("ratio preflight/tidy: %.2f (goal at most 3)\n", p / ti);
    std::printf("ratio linkcheck/(du+tidy): %.2f (goal at most 3)\n", l / (d + ti));
    return 0;
}
