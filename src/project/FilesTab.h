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
    // The names as the system lists them, each name once (a name equal to the one before it is
    // skipped).
    static QStringList visibleNames(const QStringList& listed);
    // The regular files of folder matching a "*.html;*.htm" pattern, as visibleNames lists them.
    static QStringList listFiles(const QString& folder, const QString& pattern);
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
