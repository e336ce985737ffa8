// The page checks and their report.
#include "checks/PageChecks.h"

#include "checks/TidyCheck.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"

#include <QDir>
#include <algorithm>

namespace CheckTexts {

QString missingTarget(ReferenceKind kind, const QString& target) {
    switch (kind) {
    case ReferenceKind::Link:
        return QStringLiteral("Broken link: ") + target;
    case ReferenceKind::Image:
        return QStringLiteral("Missing image: ") + target;
    case ReferenceKind::File:
        break;
    }
    return QStringLiteral("Missing file: ") + target;
}
QString otherCase(const QString& missing, const QString& onDisk) {
    return missing + QStringLiteral(" (the file is named ") + onDisk +
           QStringLiteral("; the server tells upper and lower case apart)");
}
QString aboveSiteFolder(const QString& missing) {
    return missing + QStringLiteral(" (it leads above the site folder)");
}
QString noIndexPage(const QString& target) {
    return QStringLiteral("Broken link: ") + target +
           QStringLiteral(" (the folder has no index page)");
}
QString thisComputerOnly(const QString& target) {
    return QStringLiteral("Link to a file on this computer only: ") + target;
}
QString missingAnchor(const QString& target) {
    return QStringLiteral("Missing anchor: ") + target;
}
QString imageWithoutSize(bool width, bool height, const QString& target) {
    const QString what = !width && !height ? QStringLiteral("WIDTH and HEIGHT")
                         : !width          ? QStringLiteral("WIDTH")
                                           : QStringLiteral("HEIGHT");
    return QStringLiteral("Image without ") + what + QStringLiteral(": ") + target;
}
QString overSizeLimit(qint64 kilobytes, int limit) {
    return QStringLiteral("The page and its images are %1KB, over the limit of %2KB")
        .arg(kilobytes)
        .arg(limit);
}
QString tidyError(const QString& message) {
    return QStringLiteral("HTML error: ") + message;
}
QString tidyWarning(const QString& message) {
    return QStringLiteral("HTML warning: ") + message;
}
QString couldNotOpen() {
    return QStringLiteral("Could not open this HTML file. Has it been moved, renamed, or deleted?");
}
QString noPageLinksHere() {
    return QStringLiteral("No page links to this page");
}
QString pagesLine(int checked, int problems) {
    return QStringLiteral("Pages checked: %1   Problems found: %2").arg(checked).arg(problems);
}
QString stoppedLine(int checked, int planned) {
    return QStringLiteral("The check was stopped after %1 of %2 pages.").arg(checked).arg(planned);
}
QString noProblemsLine() {
    return QStringLiteral("No problems found.");
}
QString equalsLine() {
    return QString(54, QLatin1Char('='));
}

} // namespace CheckTexts

QStringList CheckReport::lines() const {
    QStringList out;
    out << heading << CheckTexts::pagesLine(pagesChecked, static_cast<int>(problems.size()));
    if (stopped)
        out << CheckTexts::stoppedLine(pagesChecked, pagesPlanned);
    out << CheckTexts::equalsLine();
    if (problems.empty())
        out << CheckTexts::noProblemsLine();
    QString page;
    for (size_t i = 0; i < problems.size(); ++i) {
        const CheckProblem& p = problems[i];
        if (i == 0 || p.page != page) {
            if (i > 0)
                out << QStringLiteral(" ");
            page = p.page;
            out << QStringLiteral("Page: ") + page;
        }
        out << (p.line > 0 ? QStringLiteral("    Line %1: %2").arg(p.line).arg(p.text)
                           : QStringLiteral("    ") + p.text);
    }
    return out;
}

namespace {

bool isIndexPage(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return name.startsWith(QLatin1String("index."), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("default."), Qt::CaseInsensitive);
}

// "#top" needs no anchor: browsers go to the top of the page for it.
bool namesAnchor(const QString& fragment) {
    return !fragment.isEmpty() && fragment.compare(QLatin1String("top"), Qt::CaseInsensitive) != 0;
}

QString withSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace

PageChecker::PageChecker(CheckOptions options, UiPump& pump, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_pump(pump) {
}

void PageChecker::problem(const QString& page, int line, const QString& text) {
    m_problems[page].push_back({page, line, text});
}

bool PageChecker::isPage(const QString& path) const {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < path.lastIndexOf(QLatin1Char('/')))
        return false;
    return m_options.htmlExtensions.contains(path.mid(dot + 1), Qt::CaseInsensitive);
}

const QSet<QString>* PageChecker::anchorsOf(const QString& path) {
    if (const auto it = m_anchors.constFind(path); it != m_anchors.constEnd())
        return &*it;
    if (m_unreadable.contains(path))
        return nullptr;
    const FileBytesResult file = readFileBytes(path);
    if (!file.ok) {
        m_unreadable.insert(path);
        return nullptr;
    }
    return &*m_anchors.insert(path, scanPage(decodeText(file.bytes).text).anchors);
}

CheckReport PageChecker::check(const QStringList& listed) {
    m_stop = false;
    m_problems.clear();
    m_anchors.clear();
    m_unreadable.clear();
    m_linked.clear();
    m_anchorChecks.clear();
    m_lookup = FileLookup();

    QStringList pages;
    for (const QString& p : listed) {
        const QString clean = QDir::cleanPath(p);
        if (!clean.isEmpty() && !pages.contains(clean))
            pages << clean;
    }
    m_siteFolder =
        withSeparator(m_options.siteFolder.isEmpty() ? commonFolder(pages)
                                                     : QDir::cleanPath(m_options.siteFolder));

    CheckReport report;
    report.siteFolder = m_siteFolder;
    report.pagesPlanned = static_cast<int>(pages.size());
    const int total = report.pagesPlanned;
    for (int i = 0; i < total; ++i) {
        if (m_pump.due())
            m_pump.pump();
        if (m_stop) {
            report.stopped = true;
            break;
        }
        emit progress(i, total, pages[i]);
        checkPage(pages[i]);
        ++report.pagesChecked;
    }

    for (const AnchorCheck& a : m_anchorChecks) {
        const QSet<QString>* anchors = anchorsOf(a.path);
        if (anchors && !anchors->contains(a.fragment))
            problem(a.page, a.line, CheckTexts::missingAnchor(a.target));
    }

    if (m_options.orphans && !report.stopped) {
        for (int i = 1; i < total; ++i) {
            const QString& page = pages[i];
            if (m_linked.contains(page) || (isIndexPage(page) && m_linked.contains(folderOf(page))))
                continue;
            problem(page, 0, CheckTexts::noPageLinksHere());
        }
    }

    for (int i = 0; i < report.pagesChecked; ++i) {
        auto it = m_problems.find(pages[i]);
        if (it == m_problems.end())
            continue;
        std::stable_sort(it->begin(), it->end(), [](const CheckProblem& a, const CheckProblem& b) {
            return a.line < b.line;
        });
        report.problems.insert(report.problems.end(), it->begin(), it->end());
    }
    emit progress(report.pagesChecked, total, QString());
    return report;
}

void PageChecker::checkPage(const QString& page) {
    const FileBytesResult file = readFileBytes(page);
    if (!file.ok) {
        problem(page, 0, CheckTexts::couldNotOpen());
        m_unreadable.insert(page);
        return;
    }
    const DecodedText decoded = decodeText(file.bytes);
    PageScan scan = scanPage(decoded.text);
    const QSet<QString>& anchors = *m_anchors.insert(page, std::move(scan.anchors));

    // A BASE tag moves every relative reference; one that names another site takes them all
    // out of reach.
    QString folder = folderOf(page);
    bool checkable = true;
    if (scan.hasBase && !scan.baseHref.isEmpty()) {
        const ResolvedTarget base = resolveTarget(scan.baseHref, folder, m_siteFolder);
        if (base.kind == ResolvedTarget::Kind::Local)
            folder = base.folder ? base.path : folderOf(base.path);
        else if (base.kind != ResolvedTarget::Kind::SamePage)
            checkable = false;
    }

    qint64 kilobytes = file.bytes.size() / 1000;
    QSet<QString> images;
    for (const PageReference& ref : scan.references) {
        if (ref.sizedTag && (!ref.hasWidth || !ref.hasHeight))
            problem(page, ref.line,
                    CheckTexts::imageWithoutSize(ref.hasWidth, ref.hasHeight, ref.target));
        if (!checkable)
            continue;
        const ResolvedTarget r = resolveTarget(ref.target, folder, m_siteFolder);
        switch (r.kind) {
        case ResolvedTarget::Kind::Outside:
            continue;
        case ResolvedTarget::Kind::ThisComputer:
            problem(page, ref.line, CheckTexts::thisComputerOnly(ref.target));
            continue;
        case ResolvedTarget::Kind::SamePage:
            if (namesAnchor(r.fragment) && !anchors.contains(r.fragment))
                problem(page, ref.line, CheckTexts::missingAnchor(ref.target));
            continue;
        case ResolvedTarget::Kind::Local:
            break;
        }
        const DiskEntry& e = m_lookup.entry(r.path);
        if (e.kind == DiskEntry::Kind::Missing) {
            const QString missing = CheckTexts::missingTarget(ref.kind, ref.target);
            // "/home/me/site/a.gif": a file of this disk, not of the site.
            if (!r.rootPath.isEmpty() &&
                m_lookup.entry(r.rootPath).kind != DiskEntry::Kind::Missing)
                problem(page, ref.line, CheckTexts::thisComputerOnly(ref.target));
            else if (r.aboveSite && m_lookup.entry(r.localPath).kind != DiskEntry::Kind::Missing)
                problem(page, ref.line, CheckTexts::aboveSiteFolder(missing));
            else if (!e.otherCase.isEmpty())
                problem(page, ref.line,
                        CheckTexts::otherCase(missing, QDir(folder).relativeFilePath(e.otherCase)));
            else
                problem(page, ref.line, missing);
            continue;
        }
        if (e.kind == DiskEntry::Kind::Folder) {
            if (ref.kind != ReferenceKind::Image && !e.hasIndexPage)
                problem(page, ref.line, CheckTexts::noIndexPage(ref.target));
            m_linked.insert(withSeparator(r.path));
            continue;
        }
        if (ref.kind == ReferenceKind::Image) {
            if (!images.contains(r.path)) {
                images.insert(r.path);
                kilobytes += e.size / 1000;
            }
            continue;
        }
        if (r.path != page)
            m_linked.insert(r.path);
        if (ref.kind == ReferenceKind::Link && namesAnchor(r.fragment) && isPage(r.path))
            m_anchorChecks.push_back({page, ref.line, ref.target, r.path, r.fragment});
    }

    if (m_options.sizeLimitKb > 0 && kilobytes > m_options.sizeLimitKb)
        problem(page, 0, CheckTexts::overSizeLimit(kilobytes, m_options.sizeLimitKb));

    if (m_options.tidy) {
        for (const TidyFinding& f :
             tidyFindings(file.bytes, decoded.encoding, m_options.tidyWarnings))
            problem(page, f.line,
                    f.error ? CheckTexts::tidyError(f.message)
                            : CheckTexts::tidyWarning(f.message));
    }
}
