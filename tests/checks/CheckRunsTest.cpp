// The check before an upload, driven as a transfer drives it, Check Links over a project, and
// the opening of a reported page at its line.
#include "checks/CheckRuns.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "platform/UiPump.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// The window's part, scripted: runs the pass as the progress window does and answers the report
// as queued; strict, like the other doubles.
class ScriptedView : public CheckView {
public:
    CheckReport runPass(PageChecker& checker, const QStringList& pages,
                        const QString& title) override {
        passes << title;
        return checker.check(pages);
    }
    bool askGoOn(const CheckReport& report) override {
        asked.push_back(report);
        if (answers.empty()) {
            ADD_FAILURE() << "report shown with no answer queued";
            return false;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void showReport(const CheckReport& report) override { shown.push_back(report); }

    QStringList passes;
    std::deque<bool> answers;
    std::vector<CheckReport> asked;
    std::vector<CheckReport> shown;
};

class CheckRuns : public ::testing::Test {
protected:
    CheckRuns() : state(dir.path(), dir.path(), editor, prompter, chooser, clipboard) {
        editor.setClipboard(&clipboard);
        state.startUp();
    }
    QString file(const QString& name) const { return dir.file(name); }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState state;
    CallbackPump pump{{}};
    ScriptedView view;
};

} // namespace

TEST_F(CheckRuns, PagesAmongTheUploadAndTheirSiteFolder) {
    EXPECT_EQ(pagesAmong({"/s/a.html", "/s/img/b.gif", "/s/C.HTM", "/s/a.html", "/s/x.html/noext",
                          "/s/d.shtml", "/s/e.txt"},
                         {"html", "htm", "shtml"}),
              QStringList({"/s/a.html", "/s/C.HTM", "/s/d.shtml"}));
    // The open project's folder when it holds the pages, else the pages' own.
    EXPECT_EQ(siteFolderFor({"/s/news/a.html"}, {"/s/index.html", "/s/news/b.html", ""}), "/s/");
    EXPECT_EQ(siteFolderFor({"/s/news/a.html", "/s/news/x/b.html"}, {}), "/s/news/");
    EXPECT_EQ(siteFolderFor({"/other/a.html"}, {"/s/index.html"}), "/other/");
}

TEST_F(CheckRuns, BeforeUploadAsTheTransferCallsIt) {
    ASSERT_TRUE(dir.write("site/index.html", "<a href=\"gone.html\">x</a>\r\n<foo>\r\n"));
    ASSERT_TRUE(dir.write("site/news/ok.html",
                          "<!DOCTYPE html><html><head><title>t</title></head><body>"
                          "<a href=\"/index.html\">home</a></body></html>"));
    ASSERT_TRUE(dir.write("site/logo.gif", "GIF"));
    const QStringList upload = {file("site/logo.gif"), file("site/index.html"),
                                file("site/news/ok.html")};

    // Problems: the report is asked about, and the answer is the transfer's.
    view.answers = {false, true};
    EXPECT_FALSE(checkBeforeUpload(state, upload, file("site"), {}, pump, view));
    EXPECT_TRUE(checkBeforeUpload(state, upload, file("site/"), {}, pump, view));
    ASSERT_EQ(view.asked.size(), 2u);
    const CheckReport& r = view.asked[0];
    EXPECT_EQ(view.passes, QStringList({"Check Before Upload", "Check Before Upload"}));
    EXPECT_EQ(r.heading, "Check before upload of 2 pages");
    EXPECT_EQ(r.siteFolder, file("site/"));
    EXPECT_EQ(r.problems, (std::vector<CheckProblem>{
                              {file("site/index.html"), 1, "Broken link: gone.html"},
                              {file("site/index.html"), 2, "HTML error: <foo> is not recognized!"},
                          }));

    // Without a site folder the pages' own folder is the root: "/index.html" is found there.
    view.answers = {true};
    EXPECT_TRUE(checkBeforeUpload(state, {file("site/news/ok.html")}, QString(), {}, pump, view));
    EXPECT_EQ(view.asked.back().problems.front().text, "Broken link: /index.html");
    // ... unless the open project's pages show where the site starts.
    const size_t asks = view.asked.size();
    EXPECT_TRUE(checkBeforeUpload(state, {file("site/news/ok.html")}, QString(),
                                  {file("site/index.html"), file("site/news/ok.html")}, pump,
                                  view));
    EXPECT_EQ(view.asked.size(), asks); // nothing found: nothing asked

    // No page among the files, or the check turned off: the upload goes on unasked.
    EXPECT_TRUE(checkBeforeUpload(state, {file("site/logo.gif")}, QString(), {}, pump, view));
    state.settings().checkBeforeUpload = false;
    const int passes = static_cast<int>(view.passes.size());
    EXPECT_TRUE(checkBeforeUpload(state, upload, QString(), {}, pump, view));
    EXPECT_EQ(view.passes.size(), passes);
    EXPECT_TRUE(view.answers.empty());
}

TEST_F(CheckRuns, BeforeUploadFollowsTheSettings) {
    QByteArray page = "<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n"
                      "<img src=\"a.gif\" alt=\"a\">\n<p></p></body></html>\n";
    page += QByteArray(2500 - page.size(), '\n');
    ASSERT_TRUE(dir.write("site/p.html", page));
    ASSERT_TRUE(dir.write("site/a.gif", "GIF"));
    state.settings().pageSizeLimit = 1;
    state.settings().tidyWarnings = true;
    view.answers = {true};
    EXPECT_TRUE(checkBeforeUpload(state, {file("site/p.html")}, QString(), {}, pump, view));
    QStringList texts;
    for (const CheckProblem& p : view.asked.back().problems)
        texts << QStringLiteral("%1 %2").arg(p.line).arg(p.text);
    EXPECT_EQ(texts, QStringList({"0 The page and its images are 2KB, over the limit of 1KB",
                                  "3 Image without WIDTH and HEIGHT: a.gif",
                                  "4 HTML warning: trimming empty <p>"}))
        << texts.join('\n').toStdString();
}

TEST_F(CheckRuns, CheckLinksNeedsAProjectAndReportsItsPagesInOneReport) {
    prompter.queue(MessageAnswer::Ok);
    checkLinks(state, {file("a.html")}, pump, view, prompter);
    EXPECT_EQ(prompter.texts(),
              QStringList({"Check Links checks every page of the open project. Please open a "
                           "project first."}));
    EXPECT_TRUE(view.shown.empty());

    ASSERT_TRUE(dir.write("site/index.html", "<a href=\"a.html\">a</a>"));
    ASSERT_TRUE(dir.write("site/a.html", "<a href=\"index.html\">home</a>"));
    ASSERT_TRUE(dir.write("site/lost.html", "<p>"));
    state.project().projectFileName = "mysite.out";
    checkLinks(state, {file("site/index.html"), "", file("site/a.html"), file("site/lost.html")},
               pump, view, prompter);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.passes.back(), "Check Links");
    EXPECT_EQ(view.shown[0].heading, "Check Links report for project: MYSITE");
    EXPECT_EQ(view.shown[0].pagesChecked, 3);
    EXPECT_EQ(view.shown[0].problems, (std::vector<CheckProblem>{{file("site/lost.html"), 0,
                                                                  "No page links to this page"}}));
}

TEST_F(CheckRuns, OpeningAReportedPageAtItsLine) {
    ASSERT_TRUE(dir.write("a.html", "one\r\ntwo\ntHree\r\n\r\nfive"));
    ASSERT_TRUE(openPageAtLine(state.document(), editor, prompter, file("a.html"), 3));
    EXPECT_EQ(state.document().currentHtmlFile(), file("a.html"));
    EXPECT_EQ(editor.selStart(), 10);
    EXPECT_EQ(editor.selText(), "tHree");
    // The same page again: no reload, so an edit stays; line 0 is the start, a line past the
    // end the last one.
    editor.setText(editor.text() + "\r\nsix");
    state.document().setHtmlModified(true);
    ASSERT_TRUE(openPageAtLine(state.document(), editor, prompter, file("a.html"), 0));
    EXPECT_EQ(editor.selText(), "one");
    ASSERT_TRUE(openPageAtLine(state.document(), editor, prompter, file("a.html"), 99));
    EXPECT_EQ(editor.selText(), "six");

    // Another page: the save question first; Cancel keeps everything as it was.
    prompter.queue(MessageAnswer::Cancel);
    EXPECT_FALSE(openPageAtLine(state.document(), editor, prompter, file("b.html"), 1));
    EXPECT_EQ(state.document().currentHtmlFile(), file("a.html"));
    // No, and the page cannot be read: the user is told.
    prompter.queue(MessageAnswer::No);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(openPageAtLine(state.document(), editor, prompter, file("b.html"), 1));
    EXPECT_EQ(prompter.texts().last(), HtmlDocument::cannotOpenLinkedFileText());
    EXPECT_FALSE(prompter.answersLeft());
}
