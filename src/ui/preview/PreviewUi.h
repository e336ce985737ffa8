// The preview room in the main window: the embedded browser view over the editor with its "E"
// and "IE" tabs and its control panel, the blue mode letter in the editor's margin, the settings
// dialog, and the help windows.
#pragma once

#include "app/Commands.h"
#include "app/ShellParts.h"
#include "preview/Help.h"
#include "preview/Preview.h"

#include <QObject>
#include <QPointer>
#include <memory>

class ActionRegistry;
class EditWindow;
class FileChooser;
class Prompter;
class ProcessLauncher;
class ProjectPanes;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWebEngineView;
class QWidget;
class TFormHelpOnTop;
struct Shell;

class PreviewUi : public QObject,
                  public BrowserView,
                  public EmbeddedBrowser,
                  public SettingsDialog,
                  public HelpWindow,
                  public HelpDialogs {
    Q_OBJECT
public:
    // Lives as long as the registry it installs into (its parent). launcher: null for the
    // system's.
    PreviewUi(ActionRegistry& registry, Shell& context, ProcessLauncher* launcher = nullptr);
    ~PreviewUi() override;

    Preview& preview() { return *m_preview; }
    Help& help() { return *m_help; }
    QLabel* modeLabel() const { return m_modeLabel; }
    QLabel* editTab() const { return m_tabE; }
    QLabel* browserTab() const { return m_tabIE; }
    QWidget* controlPanel() const { return m_panel; }
    QLineEdit* addressField() const { return m_address; }
    // Made on first use of the IE tab (the engine starts then, not with every window).
    QWebEngineView* view() const { return m_view; }
    TFormHelpOnTop* helpOnTop() const;

    // The settings dialog opens through here; tests replace it to answer the dialog.
    std::function<void(SettingsPage)> settingsOpener;
    // The program that tries a view first (see EmbeddedViewCheck.h): this program itself.
    QString viewCheckProgram;

    // EmbeddedBrowser: whether the engine's program and resources are there.
    bool create() override;
    // BrowserView
    bool showView() override;
    void hideView() override;
    bool navigate(const QString& url) override;
    bool canGoBack() const override;
    bool canGoForward() const override;
    void goBack() override;
    void goForward() override;
    void stop() override;
    void showControlPanel(bool on) override;
    // SettingsDialog
    void openSettingsDialog() override { openSettingsDialogOn(SettingsPage::Files); }
    void openSettingsDialogOn(SettingsPage page) override;
    // HelpWindow
    void tickWrap() override;
    void showEditWindow() override;
    // HelpDialogs
    void showHelpOnTop() override;
    bool helpOnTopShown() const override;
    void showFaq() override;

    static PreviewUi* of(const ActionRegistry& registry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ensureView();
    void placeWidgets();
    void paintTabs(bool browserActive);

    AppState& m_state;
    EditWindow& m_editWindow;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    ActionRegistry& m_registry;
    std::unique_ptr<ProcessLauncher> m_systemLauncher;
    std::unique_ptr<Preview> m_preview;
    std::unique_ptr<Help> m_help;
    QWidget* m_pane = nullptr;
    QPlainTextEdit* m_editor = nullptr;
    QCheckBox* m_wrapBox = nullptr;
    ProjectPanes* m_projectPanes = nullptr;
    QLabel* m_modeLabel = nullptr;
    QLabel* m_tabE = nullptr;
    QLabel* m_tabIE = nullptr;
    QWidget* m_panel = nullptr;
    QLineEdit* m_address = nullptr;
    QWebEngineView* m_view = nullptr;
    bool m_viewFailed = false;
    bool m_viewShowedPage = false;
    QPointer<TFormHelpOnTop> m_helpOnTop;
};

// The composition root's line for the preview room.
CommandTable installPreview(ActionRegistry& registry, Shell& context);
