// TForm1: the main window. It holds the panes (the site outline on the left, the HTML editor on
// the right), the status bar and the ActionRegistry that builds the menus, the tool bar and the
// pop-ups from the rooms' command tables; every command's behaviour lives in the logic rooms.
#pragma once

#include "app/AppState.h"
#include "app/ShellWindow.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class ActionRegistry;
class EditorInput;
class Clipboard;
class FileChooser;
class PlainTextEditWindow;
class Prompter;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QTimer;
class QTreeWidget;
class RandomSource;
class Room;
class RoomList;
struct Shell;
class TipOfTheDay;

class TForm1 : public QMainWindow, public ShellWindow {
    Q_OBJECT
public:
    struct Options {
        bool showBanner = true;         // the start-up banner (tests leave it out)
        RandomSource* random = nullptr; // the tip of the day's chance; null: the system's
        // The window's rooms in their order; null: those of the composition root (tests wrap
        // them in rooms of their own).
        std::function<std::vector<std::unique_ptr<Room>>()> rooms;

        static Options withoutBanner() {
            Options o;
            o.showBanner = false;
            return o;
        }
    };

    TForm1(QString programDirectory, Prompter& prompter, FileChooser& chooser, Clipboard& clipboard,
           Options options, QWidget* parent = nullptr);
    ~TForm1() override;

    AppState& state() { return *m_state; }
    ActionRegistry& registry() { return *m_registry; }
    // What the rooms were handed.
    Shell& shell() { return *m_shell; }
    TipOfTheDay& tips() { return *m_tips; }
    PlainTextEditWindow& editWindow() { return *m_editWindow; }
    QPlainTextEdit* editor() const { return m_editor; }
    QMenu* fileMenu() const;
    QMenu* editorPopup() const;
    QLabel* statusField(int index) const { return m_status.at(index); }
    QWidget* leftPane() const { return m_leftPane; }
    QWidget* splitter() const { return m_splitter; }
    QTabWidget* leftTabs() const { return m_leftTabs; }
    QTabWidget* tagTabs() const { return m_tagTabs; }
    QCheckBox* colorBox() const { return m_color; }
    QCheckBox* wrapBox() const { return m_wrap; }
    QAction* recentAction(int slot) const;

    // The left pane's width; the splitter and the editing pane follow it.
    int leftPaneWidth() const { return m_leftWidth; }
    void setLeftPaneWidth(int width);
    // One tick of the splitter-drag timer for a pointer at x (main-window coordinates).
    void splitterDragTick(int pointerX);
    void splitterDragEnd();

    // ShellWindow
    void closeMainWindow() override;
    void showAboutBox() override;
    bool showTipWindow(const QStringList& tips, const std::function<int()>& drawTip,
                       bool showAtStartUp) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStatusBar();
    void buildPanes();
    void layoutPanes();
    void layoutEditingPane();
    void layoutLeftPane();

    std::unique_ptr<RandomSource> m_systemRandom;
    std::unique_ptr<PlainTextEditWindow> m_editWindow;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<TipOfTheDay> m_tips;
    ActionRegistry* m_registry = nullptr;
    EditorInput* m_editorInput = nullptr;
    // What the rooms are handed: the parts above, typed.
    std::unique_ptr<Shell> m_shell;
    // The rooms, installed into the shell in order; destroyed in reverse before the state.
    std::unique_ptr<RoomList> m_rooms;
    std::array<QLabel*, 3> m_status{};

    QWidget* m_central = nullptr;
    QWidget* m_leftPane = nullptr;
    QTabWidget* m_leftTabs = nullptr;
    QTreeWidget* m_outline = nullptr;
    QGroupBox* m_pageButtons = nullptr;
    QWidget* m_filesArea = nullptr;
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
