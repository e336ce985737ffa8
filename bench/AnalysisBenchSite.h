// What the Analyze Site benchmarks share: a generated site on disk, `du -b` over it, and medians.
//
// The site has `pages` pages (about 3 KB each) naming `perPage` images each out of pages *
// perPage / 10; every image is named by ten pages.
#pragma once

#include "BenchDoubles.h"
#include "analysis/SiteAnalysis.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline bool runDu(const QString& folder) {
    QProcess p;
    p.start(QStringLiteral("du"), {QStringLiteral("-b"), QStringLiteral("-s"), folder});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct GeneratedSite {
    AnalysisStart start;   // the outline of the pages, their files linked
    QString siteFolder;    // root + "site": what du walks
    QString imageFolder;   // root + "site/images/"
    QString programFolder; // root + "prog/", with its projects folder
    int images = 0;
};

// Writes the site below root (ending in "/").
inline GeneratedSite makeSite(const QString& root, int pages, int perPage) {
    GeneratedSite site;
    site.images = std::max(1, pages * perPage / 10);
    site.siteFolder = root + QStringLiteral("site");
    site.imageFolder = root + QStringLiteral("site/images/");
    site.programFolder = root + QStringLiteral("prog/");
    QDir().mkpath(site.imageFolder);
    QDir().mkpath(site.programFolder + QStringLiteral("projects"));
    for (int i = 0; i < site.images; ++i)
        writeFile(site.imageFolder + QStringLiteral("img%1.gif").arg(i),
                  QByteArray(100 + (i * 37) % 5000, 'g'));
    for (int p = 0; p < pages; ++p) {
        QByteArray html = "<html><head><title>Page</title></head>\r\n<body>\r\n";
        for (int j = 0; j < perPage; ++j) {
            const int image = (p * 2 + j * (site.images / perPage + 1)) % site.images;
            html += "<p>Some text of the page, a line of it. <img src=\"images/img" +
                    QByteArray::number(image) + ".gif\" width=\"20\" height=\"20\"></p>\r\n";
            html += "<a href=\"page" + QByteArray::number((p + j) % pages) + ".html\">next</a>\r\n";
        }
        html += "</body></html>\r\n";
        const QString path = root + QStringLiteral("site/page%1.html").arg(p);
        writeFile(path, html);
        site.start.outline.appendPage(QStringLiteral("Page %1").arg(p), path);
    }
    return site;
}

} // namespace bench
