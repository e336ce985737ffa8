// The two ways the page checks run: before an upload, over the pages about to go out, and as
// Check Links, over every page of the open project. Both show the pass's progress with a Stop
// button and then one report, through a CheckView the window provides.
#pragma once

#include "checks/PageChecks.h"

#include <QString>
#include <QStringList>

class AppState;
class Prompter;
class UiPump;
struct Settings;

class CheckView {
public:
    virtual ~CheckView() = default;
    // Runs checker.check(pages) while showing its progress under title, with a Stop button that
    // calls checker.stop().
    virtual CheckReport runPass(PageChecker& checker, const QStringList& pages,
                                const QString& title) = 0;
    // Before an upload: the report with the buttons to go on or to stop. True: go on.
    virtual bool askGoOn(const CheckReport& report) = 0;
    // Check Links: the report, to read, to open pages from and to print.
    virtual void showReport(const CheckReport& report) = 0;
};

namespace CheckTexts {
QString uploadCheckTitle();
QString checkLinksTitle();
QString uploadCheckHeading(int pages);
QString checkLinksHeading(const QString& projectFileName);
QString noProjectText();
} // namespace CheckTexts

// The pages among the files of an upload: those whose extension counts as HTML, each once, in
// the order given.
QStringList pagesAmong(const QStringList& files, const QStringList& htmlExtensions);
// The folder the pages are published from when the upload names none: the folder that holds
// every page of the open project if it holds these pages too, else the folder that holds these.
QString siteFolderFor(const QStringList& pages, const QStringList& projectPages);
// The checks the settings ask for (DEFAULT.INI [Check]).
CheckOptions checkOptionsFrom(const Settings& settings, const QStringList& htmlExtensions);

// Before an upload of files (pages, images, anything): unless the setting turns the check off,
// checks the pages among them and, when it found something (or was stopped), asks through the
// view whether the upload goes on. siteFolder: where the upload's layout starts (empty: see
// siteFolderFor). projectPages: the open project's pages. Returns whether the upload goes on.
bool checkBeforeUpload(AppState& state, const QStringList& files, const QString& siteFolder,
                       const QStringList& projectPages, UiPump& pump, CheckView& view);

// Check Links: every page of the open project's outline (in outline order, the first being the
// home page) and the pages no page links to, in one report. Without an open project the user
// is told so.
void checkLinks(AppState& state, const QStringList& outlinePages, UiPump& pump, CheckView& view,
                Prompter& prompter);

class EditWindow;
class HtmlDocument;

// A double-click in a report: the page goes into the editor (the save question first, unless it
// is the page open already) and its line is selected, so the editor shows it. Line 0: the start.
// Returns false when the page was not opened (the question was cancelled, or it cannot be read:
// the user is told).
bool openPageAtLine(HtmlDocument& document, EditWindow& editor, Prompter& prompter,
                    const QString& page, int line);
