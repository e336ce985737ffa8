// The print command: what is printed in each mode, and when nothing is.
#include "project/ProjectPrint.h"
#include "ProjectTestSupport.h"
#include "support/CapturePrinter.h"

namespace {

struct ScriptedPrintOptions : PrintOptionsWindow {
    std::deque<PrintOptionsResult> results;
    std::vector<bool> offeredHtml;
    PrintOptionsResult run(bool htmlFileOpen) override {
        offeredHtml.push_back(htmlFileOpen);
        if (results.empty()) {
            ADD_FAILURE() << "Print Options shown with no result queued";
            return {1, false, true};
        }
        PrintOptionsResult r = results.front();
        results.pop_front();
        return r;
    }
};

class ProjectPrintTest : public ProjectFixture {
protected:
    ProjectPrintTest()
        : print(app, project.outline(), editor, options, printer,
                {[] { return QFont(QStringLiteral("Outline Font"), 13); },
                 [] { return QFont(QStringLiteral("Editor Font"), 9); }}) {}

    ScriptedPrintOptions options;
    CapturePrinter printer;
    ProjectPrint print;
};

} // namespace

TEST_F(ProjectPrintTest, NothingOpenUntitledDocumentAndCancel) {
    // A document without a name and no project: nothing to print, nothing asked.
    AppState unnamed(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser,
                     clipboard);
    ASSERT_TRUE(unnamed.document().currentHtmlFile().isEmpty());
    ProjectPrint none(unnamed, project.outline(), editor, options, printer, {});
    prompter.queue(MessageAnswer::Ok);
    none.printProjectHtml();
    EXPECT_EQ(prompter.texts(), QStringList({"There is no project or HTML file open to print."}));
    EXPECT_TRUE(options.offeredHtml.empty());

    // The untitled document of a fresh start has a name: the command runs, mode 1 prints no lines.
    ASSERT_FALSE(app.document().currentHtmlFile().isEmpty());
    options.results.push_back({1, false, false});
    printer.queue(true);
    print.printProjectHtml();
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_TRUE(printer.jobs[0].lines.isEmpty());
    EXPECT_EQ(options.offeredHtml, std::vector<bool>({true}));

    // Cancel in the options, or the print dialog not confirmed: no job.
    options.results.push_back({2, false, true});
    print.printProjectHtml();
    EXPECT_EQ(printer.dialogs().size(), 1);
    options.results.push_back({1, false, false});
    printer.queue(false);
    print.printProjectHtml();
    EXPECT_EQ(printer.jobs.size(), 1u);
}

TEST_F(ProjectPrintTest, OutlineWithAndWithoutLinksInTheOutlineFont) {
    state().projectFileName = "site.out";
    std::vector<ProjectPage> pages = {{"Home", 1, "/site/index.html"},
                                      {"About", 2, "/site/about/us.html"},
                                      {"Team", 3, "team.html"},
                                      {"Contact", 1, ""}};
    SiteOutline outline;
    outline.assign(pages);
    EXPECT_EQ(ProjectPrint::outlineLines(outline, false, false),
              QStringList({"Home", "\tAbout", "\t\tTeam", "Contact"}));
    EXPECT_EQ(ProjectPrint::outlineLines(outline, true, false),
              QStringList({"Home  (index.html)", "\tAbout  (us.html)", "\t\tTeam  (team.html)",
                           "Contact  ()"}));
    EXPECT_EQ(ProjectPrint::outlineLines(outline, true, true),
              QStringList({"Home  (/site/index.html)", "\tAbout  (/site/about/us.html)",
                           "\t\tTeam  (team.html)", "Contact  ()"}));

    // Through the command, over the open project, with the document's name cleared.
    pageDialog.queue("Home", "/site/index.html");
    project.addPage();
    app.document().closeHtmlFile();
    options.results.push_back({2, true, false});
    options.results.push_back({2, false, false}); // the title-bar close: file names only
    printer.queue(true);
    printer.queue(true);
    print.printProjectHtml();
    print.printProjectHtml();
    ASSERT_EQ(printer.jobs.size(), 2u);
    EXPECT_EQ(printer.jobs[0].lines, QStringList({"Home  (/site/index.html)"}));
    EXPECT_EQ(printer.jobs[1].lines, QStringList({"Home  (index.html)"}));
    EXPECT_EQ(printer.jobs[0].font->family(), "Outline Font");
    EXPECT_EQ(printer.jobs[0].title, "site.out");
}

TEST_F(ProjectPrintTest, TheOpenDocumentAsOneJobNamedAfterIt) {
    const QString path = page("doc.html", "<html>\r\n<body>\tx</body>\r\n</html>\r\n");
    ASSERT_TRUE(app.document().loadDocument(path).ok);
    options.results.push_back({3, false, false});
    printer.queue(true);
    print.printProjectHtml();
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].title, path);
    EXPECT_EQ(printer.dialogs(), QStringList({path}));
    EXPECT_EQ(printer.jobs[0].lines, QStringList({"<html>", "<body>\tx</body>", "</html>"}));
    EXPECT_EQ(printer.jobs[0].font->family(), "Editor Font");
}

TEST_F(ProjectPrintTest, APrintoutThatFailsIsReportedWithThePrintersReason) {
    const QString path = page("doc.html", "<p>x</p>\r\n");
    ASSERT_TRUE(app.document().loadDocument(path).ok);
    printer.failWith = QStringLiteral("No space left on device");
    options.results.push_back({3, false, false});
    printer.queue(true);
    prompter.queue(MessageAnswer::Ok);
    print.printProjectHtml();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(prompter.texts()[0],
              QStringLiteral("\"%1\" was not printed: No space left on device").arg(path));
}
