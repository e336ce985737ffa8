// FilesTab: the folder browser on the left pane's "Files" tab.
//
// The window shows the drive box, the folder list, the type filter and the file list; this class
// decides which folder it starts in, which names are listed and what a click or a double click
// on a file does.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class AppState;
class Prompter;

class FilesTab : public QObject {
    Q_OBJECT
public:
    // powerImage: the Power Image command, run for a GIF or JPEG file (null: nothing happens).
    FilesTab(AppState& app, Prompter& prompter, std::function<void(const QString&)> powerImage = {},
             QObject* parent = nullptr);

    // The drive box: the one root and the home folder.
    static QStringList drives(const QString& homeDirectory);
    // The folder shown when the tab becomes active: Selected when UseSel is on, else Location.
    QString startFolder() const;
    // The drive box's entry for folder: the home folder when folder lies in it, else the root.
    static QString driveOf(const QString& folder, const QString& homeDirectory);
    // The names as listed, each name once (a name equal to the one before it is skipped).
    static QStringList visibleNames(const QStringList& listed);
    // File-manager order: letters without regard to case, numbers by their value (page2 before
    // page10).
    static bool namesInOrder(const QString& a, const QString& b);
    static void sortNames(QStringList& names);
    // The regular files of folder matching a "*.html;*.htm" pattern (without regard to case), in
    // file-manager order, each once. Names are read by their bytes, so names holding Latin-1
    // letters are listed too.
    static QStringList listFiles(const QString& folder, const QString& pattern);
    // The folders in folder, in the same order.
    static QStringList listFolders(const QString& folder);
    // Folder and name with exactly one "/" between them.
    static QString joinPath(const QString& folder, const QString& name);

    void clickFile(const QString& folder, const QString& name);
    void doubleClickFile(const QString& folder, const QString& name);

    static QString notHtmlQuestion();

signals:
    void fileSizeTextChanged(const QString& text);
    void pageLocationTextChanged(const QString& text);

private:
    void openInEditor(const QString& path);

    AppState& m_app;
    Prompter& m_prompter;
    std::function<void(const QString&)> m_powerImage;
};
