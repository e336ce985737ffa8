// TForm1: the main window. The site outline on the left, the HTML editor on the right, the
// menus, the tool bar and the status bar; every handler calls the logic of AppState.
#pragma once

#include "app/AppState.h"

#include <QMainWindow>
#include <array>
#include <memory>

class Clipboard;
class FileChooser;
class PlainTextEditWindow;
class Prompter;
class QAction;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QTimer;
class QTreeWidget;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        bool showBanner = true; // the start-up banner (tests leave it out)
    };

    TForm1(QString programDirectory, Prompter& prompter, FileChooser& chooser, Clipboard& clipboard,
           Options options, QWidget* parent = nullptr);
    ~TForm1() override;

    AppState& state() { return *m_state; }
    PlainTextEditWindow& editWindow() { return *m_editWindow; }
    QPlainTextEdit* editor() const { return m_editor; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QLabel* statusField(int index) const { return m_status.at(index); }
    QWidget* leftPane() const { return m_leftPane; }
    QWidget* splitter() const { return m_splitter; }
    QTabWidget* leftTabs() const { return m_leftTabs; }
    QTabWidget* tagTabs() const { return m_tagTabs; }
    QCheckBox* colorBox() const { return m_color; }
    QCheckBox* wrapBox() const { return m_wrap; }
    QAction* recentAction(int slot) const { return m_recent.at(slot - 1); }

    // The left pane's width; the splitter and the editing pane follow it.
    int leftPaneWidth() const { return m_leftWidth; }
    void setLeftPaneWidth(int width);
    // One tick of the splitter-drag timer for a pointer at x (main-window coordinates).
    void splitterDragTick(int pointerX);
    void splitterDragEnd();

public slots:
    void NewHTMLFile1Click();
    void OpenHTMLFile1Click();
    void OpenHTMLTemplate1Click();
    void SaveHTMLFile1Click();
    void SaveHTMLFileAs1Click();
    void CloseHTMLFile1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Exit1Click();
    void About1Click();
    void ShowTipOfTheDay1Click();
    void ShowTipWindow();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildPanes();
    void layoutPanes();
    void layoutEditingPane();
    void layoutLeftPane();
    void setSaveCommandsEnabled(bool on);
    void renewRecentCaptions(const QList<int>& slotNumbers);
    void showEditorMenu(const QPoint& pos);
    bool countsAsEditorKey(const QKeyEvent* event) const;

    std::unique_ptr<AppState> m_state;
    std::unique_ptr<PlainTextEditWindow> m_editWindow;
    Prompter& m_prompter;

    QMenu* m_fileMenu = nullptr;
    QAction* m_saveHtml = nullptr;
    QAction* m_saveHtmlAs = nullptr;
    QAction* m_toolSaveHtml = nullptr;
    QAction* m_popupSave = nullptr;
    QAction* m_popupSaveAs = nullptr;
    std::array<QAction*, 4> m_recent{};
    std::array<QLabel*, 3> m_status{};

    QWidget* m_central = nullptr;
    QWidget* m_leftPane = nullptr;
    QTabWidget* m_leftTabs = nullptr;
    QTreeWidget* m_outline = nullptr;
    QGroupBox* m_pageButtons = nullptr;
    QListWidget* m_filesList = nullptr;
    QWidget* m_splitter = nullptr;
    QWidget* m_rightPane = nullptr;
    QTabWidget* m_tagTabs = nullptr;
    QWidget* m_editingPane = nullptr;
    QCheckBox* m_color = nullptr;
    QCheckBox* m_wrap = nullptr;
    QPlainTextEdit* m_editor = nullptr;
    QTimer* m_dragTimer = nullptr;
    int m_leftWidth = 200;
};
