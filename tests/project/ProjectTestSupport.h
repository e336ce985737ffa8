// A program folder with the shell's state, a project over it and scripted dialogs.
#pragma once

#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "project/MovePages.h"
#include "project/Project.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// The page dialog as the user fills it in: queued results, each request recorded. Strict like
// the other doubles.
struct ScriptedPageDialog : PageDialog {
    std::deque<PageDialogResult> results;
    std::vector<PageDialogRequest> requests;
    void queue(const QString& title, const QString& path) {
        results.push_back({false, title, path});
    }
    void queueCancel() { results.push_back({}); }
    PageDialogResult run(const PageDialogRequest& request) override {
        requests.push_back(request);
        if (results.empty()) {
            ADD_FAILURE() << "page dialog shown with no result queued";
            return {};
        }
        PageDialogResult r = results.front();
        results.pop_front();
        return r;
    }
};

struct ScriptedConfirmDelete : ConfirmDeleteWindow {
    std::deque<Answer> answers;
    int asked = 0;
    QStringList which; // what each question named
    Answer ask(const QString& w) override {
        ++asked;
        which << w;
        if (answers.empty()) {
            ADD_FAILURE() << "Confirm Delete shown with no answer queued";
            return {};
        }
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// The move dialog: reads the scratch files as the real one does, lets the test move, and on OK
// writes them back.
struct ScriptedMoveDialog : MoveDialog {
    QString programDirectory;
    Prompter* prompter = nullptr;
    std::function<bool(MovePages&)> moves; // returns OK (true) or Cancel
    std::vector<int> startedOn;            // the line each run started on
    bool run(int selectedLine) override {
        startedOn.push_back(selectedLine);
        MovePages list = MovePages::fromScratchFiles(programDirectory);
        list.select(selectedLine);
        if (!moves || !moves(list))
            return false;
        return list.writeScratchFiles(programDirectory).ok;
    }
};

class ProjectFixture : public ::testing::Test {
protected:
    ProjectFixture()
        : app(dir.path(), QStringLiteral("/home/someone"), editor, prompter, chooser, clipboard),
          project(app, prompter, chooser) {
        editor.setClipboard(&clipboard);
        app.startUp();
        project.setDialogs(&pageDialog, &confirm, &moveDialog);
        moveDialog.programDirectory = dir.path();
        moveDialog.prompter = &prompter;
        QObject::connect(&project, &Project::captionChanged,
                         [this](const QString& c) { caption = c; });
    }
    // A page file on disk, with its full path.
    QString page(const QString& name, const QByteArray& bytes = "<html></html>\r\n") {
        EXPECT_TRUE(web.write(name, bytes));
        return web.file(name);
    }
    QStringList titles() const { return project.outline().titles(); }
    QStringList links() const { return project.outline().pageLinkList(); }
    ProjectState& state() { return app.project(); }

    TempDir dir; // the program folder
    TempDir web; // the user's web files
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState app;
    Project project;
    ScriptedPageDialog pageDialog;
    ScriptedConfirmDelete confirm;
    ScriptedMoveDialog moveDialog;
    QString caption;
};
