// PageChecks: the checks of a set of pages and the one report they give (page, line, problem).
//
// Each page is read from disk as it will be uploaded. Its links, images and other files must
// exist on the site as the server will look for them (see checks/LinkTargets.h), with a "#name"
// present in the page it names; its images should give WIDTH and HEIGHT; the page with its
// images should stay under the size limit; and HTML Tidy should find no error in it (nor a
// warning, when those are asked for). Over a whole project the pages that no other page links to
// are reported too, the first page of the outline (the home page) aside. The pass lets the window
// run between pages through the UiPump and ends at stop().
#pragma once

#include "checks/LinkTargets.h"
#include "checks/PageReferences.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

class UiPump;

struct CheckOptions {
    // The folder the site is published from, absolute; empty: the deepest folder holding every
    // page checked. "/x" links start here and ".." stops here.
    QString siteFolder;
    // The extensions of pages (without dots, any case): a "#name" into such a file is checked.
    QStringList htmlExtensions;
    // Kilobytes of 1000 bytes for a page with its images; 0: no limit.
    int sizeLimitKb = 0;
    bool tidy = true;
    bool tidyWarnings = false;
    // Report the pages no other checked page links to (the first page aside).
    bool orphans = false;
};

struct CheckProblem {
    QString page; // the page's path
    int line = 0; // from 1; 0: the page as a whole
    QString text;
    bool operator==(const CheckProblem&) const = default;
};

struct CheckReport {
    QString heading;
    QString siteFolder; // the folder the links were read against, ending with "/"
    int pagesPlanned = 0;
    int pagesChecked = 0;
    bool stopped = false;
    // Grouped by page in the order the pages were checked, each page's by line (0 first).
    std::vector<CheckProblem> problems;

    // The report as printed, one line each.
    QStringList lines() const;
};

// The texts of the report.
namespace CheckTexts {
QString missingTarget(ReferenceKind kind, const QString& target);
QString otherCase(const QString& missing, const QString& onDisk);
QString aboveSiteFolder(const QString& missing);
QString noIndexPage(const QString& target);
QString thisComputerOnly(const QString& target);
QString missingAnchor(const QString& target);
QString imageWithoutSize(bool width, bool height, const QString& target);
QString overSizeLimit(qint64 kilobytes, int limit);
QString tidyError(const QString& message);
QString tidyWarning(const QString& message);
QString couldNotOpen();
QString noPageLinksHere();
QString pagesLine(int checked, int problems);
QString stoppedLine(int checked, int planned);
QString noProblemsLine();
QString equalsLine();
} // namespace CheckTexts

class PageChecker : public QObject {
    Q_OBJECT
public:
    PageChecker(CheckOptions options, UiPump& pump, QObject* parent = nullptr);

    // Checks the pages (paths; a page listed twice is checked once).
    CheckReport check(const QStringList& pages);
    // Ends the pass before its next page.
    void stop() { m_stop = true; }
    bool stopRequested() const { return m_stop; }

signals:
    // done of total pages are checked; page is the one checked next (empty at the end).
    void progress(int done, int total, const QString& page);

private:
    struct AnchorCheck {
        QString page;
        int line;
        QString target;
        QString path; // the page that should hold the anchor
        QString fragment;
    };
    void checkPage(const QString& page);
    void problem(const QString& page, int line, const QString& text);
    bool isPage(const QString& path) const;
    const QSet<QString>* anchorsOf(const QString& path);

    CheckOptions m_options;
    UiPump& m_pump;
    bool m_stop = false;
    QString m_siteFolder;
    FileLookup m_lookup;
    QHash<QString, std::vector<CheckProblem>> m_problems;
    QHash<QString, QSet<QString>> m_anchors;
    QSet<QString> m_unreadable; // pages read for their anchors that could not be read
    QSet<QString> m_linked;     // pages and folders some other page links to
    std::vector<AnchorCheck> m_anchorChecks;
};
