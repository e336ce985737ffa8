// Preview: showing the open document in a browser, and the helper applications.
//
// Which file a browser gets depends on the preview mode (DEFAULT.INI, Location, PreviewOption):
// "auto" saves the open file first, "temp" writes the editor's text to "$$temp.htm" beside it,
// "nosave" shows the file as last saved. An untitled, changed document is always written to
// "$$temp.htm" in the last HTML folder. The external browsers are started with the file as their
// only argument (a running browser takes it over); the embedded view is the window's
// QWebEngineView behind the BrowserView interface.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class AppState;
class EditWindow;
class ProcessLauncher;
class Prompter;

// The embedded browser view as the preview drives it; the window implements it.
class BrowserView {
public:
    virtual ~BrowserView() = default;
    // Shows the view over the editor, at the editor's size, or hides it again. false: no view
    // can be made on this machine.
    virtual bool showView() = 0;
    virtual void hideView() = 0;
    // Starts loading url; false when the address cannot be loaded at all.
    virtual bool navigate(const QString& url) = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;
    virtual void showControlPanel(bool on) = 0;
};

// The file a preview shows, or why there is none.
struct PreviewTarget {
    bool ok = false;
    QString path;
    QString error; // the system's reason when !ok
};

enum class ExternalBrowser { Netscape = 1, Explorer = 2 };
enum class HelperApp { Editor, Imagemap };

class Preview : public QObject {
    Q_OBJECT
public:
    // view: null when the window has none (the view could not be created, or in tests).
    Preview(AppState& state, EditWindow& editor, Prompter& prompter, ProcessLauncher& launcher,
            QObject* parent = nullptr);

    void setView(BrowserView* view) { m_view = view; }
    void setLauncher(ProcessLauncher& launcher) { m_launcher = &launcher; }
    bool browserActive() const { return m_browserActive; }

    // The file to show, written first where the mode says so. A help page (".hxp") is never
    // written nor shown itself: its text goes to help/$$temp.html under the program folder, for
    // the embedded view and the browsers alike.
    PreviewTarget previewFile();

    // Netscape Preview and MS Explorer Preview. With neither browser location set, after the
    // settings dialog, the page goes to the desktop's default browser.
    void previewExternal(ExternalBrowser browser);
    // The "IE" tab.
    void previewEmbedded();
    // The "E" tab: back to the editor.
    void showEditWindow();
    // The control panel.
    void back();
    void next();
    void stop();
    void go(const QString& address);
    void hideControlPanel();
    // A page or a file was opened into the editor: the view follows it while it is shown (a
    // help page through its copy; a file that is not HTML by its extension is not shown).
    void documentOpened(const QString& path);
    // The view's render process ended before it could show anything: the view is gone for this
    // run; the editor comes back and the user hears why.
    void viewLost();
    // A double-click on the mode letter: S, T, N in turn, written at once.
    void cycleMode();

    void launchHelper(HelperApp app);

    // "file:///" and the path; with "/" for any "\".
    static QString fileUrl(const QString& path);
    // The web browsers of this machine, by the programs' usual names, found in the folders
    // given (empty: PATH), as full paths in the order of browserNames().
    static QStringList foundBrowsers(const QStringList& folders = {});
    static QStringList browserNames();

    static QString locateBrowserText(ExternalBrowser browser);
    static QString launchErrorText(ExternalBrowser browser);
    static QString noEmbeddedBrowserText();
    static QString noDataText();
    static QString cannotPrepareText();
    static QString cannotLoadText();
    static QString cannotFollowText();
    static QString initialPageText();
    static QString lastPageText();
    static QString badAddressText();
    static QString noHelperText();
    static QString cannotLaunchHelperText(const QString& path);
    static QString initialAddressText();

signals:
    // The "E" and "IE" tabs: which one is active.
    void browserActiveChanged(bool active);

private:
    bool writePreviewText(const QString& path, PreviewTarget& target);
    static bool isHelpPage(const QString& path);
    bool isHtmlName(const QString& path) const;
    PreviewTarget writeHelpCopy();
    void setBrowserActive(bool active);

    AppState& m_state;
    EditWindow& m_editor;
    Prompter& m_prompter;
    ProcessLauncher* m_launcher;
    BrowserView* m_view = nullptr;
    bool m_browserActive = false;
};
