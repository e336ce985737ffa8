// Project: the open web-site project and its commands.
//
// Holds the SiteOutline (with its PageLinkList view), the selected item and SelectedPageFile,
// and carries out New, Open, the recent entries, Save and Save As, the page operations and the
// move command. ProjectFileName, ProjectModified and HelpProjectMode live in the shell's
// ProjectState, which the close check reads; this class is the shell's ProjectSave. The window
// follows the signals.
#pragma once

#include "app/ShellParts.h"
#include "platform/TextFile.h"
#include "project/ProjectDialogs.h"
#include "project/SiteOutline.h"

#include <QObject>
#include <QString>
#include <optional>

class AppState;
class FileChooser;
class Prompter;
struct ProjectState;

class Project : public QObject,
                public ProjectSave,
                public RecentProjectOpener,
                public ProjectFileOpener {
    Q_OBJECT
public:
    Project(AppState& app, Prompter& prompter, FileChooser& chooser, QObject* parent = nullptr);

    // The window's dialogs; a missing one makes its command do nothing.
    void setDialogs(PageDialog* page, ConfirmDeleteWindow* confirm, MoveDialog* move);

    const SiteOutline& outline() const { return m_outline; }
    ProjectState& state();
    // S: the selected item, from 1; 0 when none. Any button press in the outline sets it.
    int selectedItem() const { return m_selected; }
    void setSelectedItem(int item);
    const QString& selectedPageFile() const { return m_selectedPageFile; }
    bool saveProjectEnabled() const { return m_saveEnabled; }
    // Where Open and Save As start: ProgramDirectory + "projects/".
    QString projectsFolder() const;
    // The outline file the project was read from or last saved to; empty for an unnamed project.
    // Save writes there (and the link file beside it).
    QString projectPath() const;

    void newProject();
    void openProject();
    // A numbered File-menu entry, by its caption ("1: /path/site.out").
    void openRecentProject(const QString& caption) override;
    // Open Project with the file already chosen (a ".out" file the program was started with).
    void openProjectFile(const QString& path) override;
    // Save Project; true when both files were written.
    bool saveProjectFiles();
    void saveProject() override { saveProjectFiles(); }
    void saveProjectAs();
    // The help project: its two files read as any project's, marked read-only.
    bool openHelpProject(const QString& outlinePath);

    void addPage();
    void addSubPage();
    void removePage();
    void changePageTitle() { changePage(false); }
    void changeHtmlLink() { changePage(true); }
    void openPage();
    // A single click: SelectedPageFile and the status fields.
    void selectPage(int item);
    void movePages();
    // Change File Path: the pages of oldFolder move to newFolder. The link file the project was
    // read from is written at once when the outline on disk is the one shown; otherwise the
    // project is marked changed and Save writes both files. Returns false when nothing changed
    // or the link file could not be written.
    bool changeFilePath(const QString& oldFolder, const QString& newFolder);
    // Links without a folder of their own are taken as lying in folder (the help project lists
    // its pages by name).
    void resolveRelativeLinks(const QString& folder);

    static QString saveProjectQuestion(const QString& projectFileName);
    static QString captionPrefix();       // "Ostra Quillon Pro:  "
    static QString recentCaptionPrefix(); // "Ostra Quillon:  "
    static QString askSaveOpenProjectText();
    static QString invalidProjectText();
    static QString cannotFindProjectText(const QString& path);
    // Asked after cannotFindProjectText when the project's file is gone.
    static QString removeRecentQuestionText();
    static QString helpCannotBeChangedText();
    static QString helpCannotBeEditedText();
    static QString cannotOpenPageText();
    static QString fileSizeText(qint64 bytes);
    static QString pageLocationText(const QString& path);
    // The save dialog's file types.
    static QString saveFilter();
    // name with its extension made ".out".
    static QString withOutExtension(const QString& name);

signals:
    // The outline was replaced or changed; expandAll: after loading, a sub-page and moving.
    void outlineChanged(bool expandAll);
    void captionChanged(const QString& caption);
    void saveProjectEnabledChanged(bool enabled);
    void fileSizeTextChanged(const QString& text);
    void pageLocationTextChanged(const QString& text);

private:
    // Asks where to save the project; gives the outline file's path, with ".out".
    std::optional<QString> chooseProjectPath(const QString& title);
    // The save question before the project is left; false: Cancel, stay.
    bool askToSaveFirst(bool evenInHelpMode, const QString& question);
    void takeProjectPath(const QString& path, bool carryQueue = false);
    void takeSavedPath(const QString& path);
    void openChosenProject(const QString& path);
    void enableSaveProject();
    void setModified(bool modified);
    void takePages(const struct ProjectRead& read);
    bool writeTo(const QString& path);
    void changePage(bool focusPath);
    void rememberHtmlFolder(const QString& path);
    void setCaption(const QString& caption);

    AppState& m_app;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    PageDialog* m_pageDialog = nullptr;
    ConfirmDeleteWindow* m_confirm = nullptr;
    MoveDialog* m_moveDialog = nullptr;

    SiteOutline m_outline;
    QString m_projectPath;
    int m_selected = 0;
    QString m_selectedPageFile;
    bool m_saveEnabled = false;
    TextEncoding m_outlineEncoding = TextEncoding::Utf8;
    TextEncoding m_linkEncoding = TextEncoding::Utf8;
};
