// The dialogs the project commands open, as the window provides them, and the page dialog's own
// rules (PageDialogModel), which the window's dialog calls on each button.
#pragma once

#include <QString>

class FileChooser;
class Prompter;

struct PageDialogRequest {
    bool change = false;    // change mode: the fields start with the page's title and link
    bool focusPath = false; // in change mode: focus on the path (Change HTML Link)
    QString title;
    QString path;
};

struct PageDialogResult {
    bool cancelled = true;
    QString title;
    QString path;
};

// "Adding/Changing Web Pages": created once and reused.
class PageDialog {
public:
    virtual ~PageDialog() = default;
    virtual PageDialogResult run(const PageDialogRequest& request) = 0;
};

// "Confirm Delete".
class ConfirmDeleteWindow {
public:
    struct Answer {
        bool confirmed = false;      // only "&Yes" confirms
        bool doNotShowAgain = false; // the check box, whatever the answer
    };
    virtual ~ConfirmDeleteWindow() = default;
    // which: the page that goes and how many go with it (PageDialogModel::removedPagesText).
    virtual Answer ask(const QString& which) = 0;
};

// "Move Pages within Site": reads the scratch files, and on OK writes them back; true on OK.
// selectedLine: the line (from 0) the dialog starts on, the outline's highlighted page; -1 none.
class MoveDialog {
public:
    virtual ~MoveDialog() = default;
    virtual bool run(int selectedLine) = 0;
};

// What the page dialog shows and checks. The window keeps its fields in step with title and
// path and moves the focus where focus() says.
class PageDialogModel {
public:
    enum class Field { Title, Path };

    PageDialogModel(Prompter& prompter, FileChooser& chooser)
        : m_prompter(prompter), m_chooser(chooser) {}

    // On showing: filter is the page dialog's file-type list; lastHtmlDirectory fills the path
    // in add mode.
    void show(const PageDialogRequest& request, const QString& filter,
              const QString& lastHtmlDirectory);
    // "Select/Change File".
    void selectFile();
    // "&OK": true when the dialog closes with a result.
    bool ok();
    // "&Cancel" or any other close.
    void cancel();

    QString title;
    QString path;
    Field focus() const { return m_focus; }
    // In change mode the focused field's text starts selected.
    bool selectAllInFocus() const { return m_selectAll; }
    const PageDialogResult& result() const { return m_result; }

    static QString windowTitle();
    static QString intro1Text();
    static QString intro2Text();
    static QString intro3Text();
    static QString titleGroupText();
    static QString titleHintText();
    static QString pathGroupText();
    static QString pathHintText();
    static QString selectFileText();
    static QString noSuchFileText();
    static QString noTitleText();
    static QString confirmDeleteText();
    // Below the question: "Page: "TITLE"", and how many pages below it go with it.
    static QString removedPagesText(const QString& title, int pagesBelow);
    static QString doNotShowAgainText();

private:
    Prompter& m_prompter;
    FileChooser& m_chooser;
    QString m_filter;
    QString m_lastHtmlDirectory;
    Field m_focus = Field::Title;
    bool m_selectAll = false;
    PageDialogResult m_result;
};
