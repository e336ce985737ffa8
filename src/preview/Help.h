// The program's help: the help project (help/welcome.out and welcome.fil with their ".hxp"
// pages, opened read-only like any project), the page list of "Help On Top", the FAQ text and
// the Instructions message.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class AppState;
class Project;
class Prompter;

// What the help needs of the window: ticking "Wrap", showing the editor again (the "E" tab).
class HelpWindow {
public:
    virtual ~HelpWindow() = default;
    virtual void tickWrap() = 0;
    virtual void showEditWindow() = 0;
};

// The help's own windows, which the window makes.
class HelpDialogs {
public:
    virtual ~HelpDialogs() = default;
    // "Help On Top": not modal, one at a time.
    virtual void showHelpOnTop() = 0;
    virtual bool helpOnTopShown() const = 0;
    virtual void showFaq() = 0;
};

// The page list of help/welcome.fil: one file name per line, blank lines left out. nullopt when
// the file cannot be read.
std::optional<QStringList> loadHelpPageList(const QString& filPath);
// Where "Help On Top" starts: the first page, except while the help project is open
// (projectFileName "welcome.out" in any case): then the last page whose name is the name of the
// file open in the editor, or the first when none is.
int helpOnTopStartPage(const QStringList& pages, const QString& projectFileName,
                       const QString& openFile);
// The file of a list entry: help/ plus the entry (an entry with a folder of its own stays).
QString helpPagePath(const QString& programDirectory, const QString& entry);

class Help : public QObject {
    Q_OBJECT
public:
    Help(AppState& state, Project& project, Prompter& prompter, HelpWindow& window,
         QObject* parent = nullptr);

    // "&Welcome to Quillon Pro".
    void openHelpProject();
    void instructions();

    QString helpFolder() const;

    static QString instructionsText();
    static QString cannotOpenHelpText();
    static QString faqText();

private:
    AppState& m_state;
    Project& m_project;
    Prompter& m_prompter;
    HelpWindow& m_window;
};
