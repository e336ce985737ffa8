// The check before an upload and Check Links.
#include "checks/CheckRuns.h"

#include "app/AppState.h"
#include "editor/EditWindow.h"
#include "platform/Prompter.h"

#include <QDir>

namespace CheckTexts {

QString uploadCheckTitle() {
    return QStringLiteral("Check Before Upload");
}
QString checkLinksTitle() {
    return QStringLiteral("Check Links");
}
QString uploadCheckHeading(int pages) {
    return QStringLiteral("Check before upload of %1 %2")
        .arg(pages)
        .arg(pages == 1 ? QStringLiteral("page") : QStringLiteral("pages"));
}
QString checkLinksHeading(const QString& projectFileName) {
    const qsizetype dot = projectFileName.lastIndexOf(QLatin1Char('.'));
    return QStringLiteral("Check Links report for project: ") +
           (dot > 0 ? projectFileName.left(dot) : projectFileName).toUpper();
}
QString noProjectText() {
    return QStringLiteral("Check Links checks every page of the open project. Please open a "
                          "project first.");
}

} // namespace CheckTexts

QStringList pagesAmong(const QStringList& files, const QStringList& htmlExtensions) {
    QStringList pages;
    for (const QString& f : files) {
        const qsizetype dot = f.lastIndexOf(QLatin1Char('.'));
        if (dot < 0 || dot < f.lastIndexOf(QLatin1Char('/')))
            continue;
        if (htmlExtensions.contains(f.mid(dot + 1), Qt::CaseInsensitive) && !pages.contains(f))
            pages << f;
    }
    return pages;
}

QString siteFolderFor(const QStringList& pages, const QStringList& projectPages) {
    QStringList linked;
    for (const QString& p : projectPages)
        if (!p.isEmpty())
            linked << QDir::cleanPath(p);
    const QString project = commonFolder(linked);
    if (!project.isEmpty()) {
        bool holdsAll = true;
        for (const QString& p : pages)
            holdsAll = holdsAll && QDir::cleanPath(p).startsWith(project);
        if (holdsAll)
            return project;
    }
    QStringList clean;
    for (const QString& p : pages)
        clean << QDir::cleanPath(p);
    return commonFolder(clean);
}

CheckOptions checkOptionsFrom(const Settings& settings, const QStringList& htmlExtensions) {
    CheckOptions o;
    o.htmlExtensions = htmlExtensions;
    o.sizeLimitKb = std::max(0, settings.pageSizeLimit);
    o.tidy = true;
    o.tidyWarnings = settings.tidyWarnings;
    return o;
}

bool checkBeforeUpload(AppState& state, const QStringList& files, const QString& siteFolder,
                       const QStringList& projectPages, UiPump& pump, CheckView& view) {
    if (!state.settings().checkBeforeUpload)
        return true;
    const QStringList pages = pagesAmong(files, state.htmlExtensions());
    if (pages.isEmpty())
        return true;
    CheckOptions options = checkOptionsFrom(state.settings(), state.htmlExtensions());
    options.siteFolder = siteFolder.isEmpty() ? siteFolderFor(pages, projectPages) : siteFolder;
    PageChecker checker(options, pump);
    CheckReport report = view.runPass(checker, pages, CheckTexts::uploadCheckTitle());
    report.heading = CheckTexts::uploadCheckHeading(report.pagesPlanned);
    if (report.problems.empty() && !report.stopped)
        return true;
    return view.askGoOn(report);
}

void checkLinks(AppState& state, const QStringList& outlinePages, UiPump& pump, CheckView& view,
                Prompter& prompter) {
    const QString project = state.project().projectFileName;
    if (project.isEmpty()) {
        prompter.inform(CheckTexts::noProjectText());
        return;
    }
    QStringList pages;
    for (const QString& p : outlinePages)
        if (!p.isEmpty())
            pages << p;
    CheckOptions options = checkOptionsFrom(state.settings(), state.htmlExtensions());
    options.orphans = true;
    PageChecker checker(options, pump);
    CheckReport report = view.runPass(checker, pages, CheckTexts::checkLinksTitle());
    report.heading = CheckTexts::checkLinksHeading(project);
    view.showReport(report);
}

bool openPageAtLine(HtmlDocument& document, EditWindow& editor, Prompter& prompter,
                    const QString& page, int line) {
    if (QDir::cleanPath(document.currentHtmlFile()) != QDir::cleanPath(page)) {
        if (document.confirmCloseHtml() == MessageAnswer::Cancel)
            return false;
        if (!document.loadDocument(page).ok) {
            prompter.inform(HtmlDocument::cannotOpenLinkedFileText());
            return false;
        }
    }
    // Positions count each line end as two characters, as the editor's text holds them.
    const QString text = editor.text();
    int position = 0;
    for (int i = 1; i < line; ++i) {
        const qsizetype end = text.indexOf(QStringLiteral("\r\n"), position);
        if (end < 0)
            break;
        position = static_cast<int>(end) + 2;
    }
    qsizetype end = text.indexOf(QStringLiteral("\r\n"), position);
    if (end < 0)
        end = text.size();
    editor.setSelStart(position);
    editor.setSelLength(static_cast<int>(end) - position);
    editor.setFocus();
    return true;
}
