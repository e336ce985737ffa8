// Shell: the main window as its rooms see it. Every part a room may reach (the left tabs, the
// status fields, the outline tree, the editor widget, the clipboard, the action registry, the
// parent of its dialogs) is a typed member here, so a room never searches the window's widgets by
// name or casts the window's interfaces to find them.
#pragma once

#include <QString>

class ActionRegistry;
class AppState;
class EditorInput;
class Clipboard;
class EditWindow;
class FileChooser;
class PlainTextEditWindow;
class Project;
class Prompter;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;
class QWidget;
class ShellWindow;
class TipOfTheDay;

// What the other rooms read of the project room: the open project and the Files tab's lists.
class ProjectPanes {
public:
    virtual ~ProjectPanes() = default;
    virtual Project& project() = 0;
    // The Files tab's file list, made the first time the tab is shown; null before.
    virtual QListWidget* filesTabList() const = 0;
    // The folder whose files that list shows (empty before the tab is made).
    virtual QString filesTabFolder() const = 0;
};

struct Shell {
    AppState& state;
    // The document's editor, in CR LF positions.
    EditWindow& editor;
    // What the app room's commands need of the main window.
    ShellWindow& window;
    TipOfTheDay& tips;
    Prompter& prompter;
    FileChooser& chooser;
    Clipboard& clipboard;
    ActionRegistry& registry;

    // The main window: the parent of the rooms' dialogs and message boxes.
    QWidget& messageParent;
    // The editor widget under `editor`, and the strip above it that holds Color and Wrap.
    PlainTextEditWindow& editWindow;
    QPlainTextEdit& editorWidget;
    // The editor's keys and presses, routed in one place.
    EditorInput& editorInput;
    QWidget& editingPane;
    QCheckBox& colorBox;
    QCheckBox& wrapBox;
    // The left pane: its tabs, the "Web Site" tab with the outline and the page buttons below it,
    // the "Files" tab and the area in it that the project room fills with its lists.
    QTabWidget& leftTabs;
    QWidget& webSiteTab;
    QTreeWidget& outline;
    QGroupBox& pageButtons;
    QWidget& filesTab;
    QWidget& filesArea;
    // The tag tool box above the editor.
    QTabWidget& tagTabs;
    // The status bar's fields: file size, page location, open HTML file.
    QLabel& fileSizeField;
    QLabel& pageLocationField;
    QLabel& openFileField;

    // Filled once by the project room when it is installed; the rooms after it read it.
    ProjectPanes* projectPanes = nullptr;
};
