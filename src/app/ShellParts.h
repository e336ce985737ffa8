// What the start-up, close and document steps need from rooms that arrive later: small interfaces,
// each implemented by its room and handed in where the objects are wired together (main.cpp). A
// part that is not there yet is null, and its step is skipped.
#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

// custom.dat, read at start-up for the tag panel.
class CustomTagList {
public:
    virtual ~CustomTagList() = default;
    virtual void loadCustomTags() = 0;
};

// urlsnips.dat and missnips.dat, each read at start-up if it exists.
class SnippetLists {
public:
    virtual ~SnippetLists() = default;
    virtual void loadSnippets() = 0;
};

// The open project's save, run when "Save changes to this Project?" is answered Yes.
class ProjectSave {
public:
    virtual ~ProjectSave() = default;
    virtual void saveProject() = 0;
};

// Opening a numbered File-menu entry of the recent projects, by its caption ("1: /path/site.out").
class RecentProjectOpener {
public:
    virtual ~RecentProjectOpener() = default;
    virtual void openRecentProject(const QString& caption) = 0;
};

// Opening a project file by its path: a ".out" file the program was started with.
class ProjectFileOpener {
public:
    virtual ~ProjectFileOpener() = default;
    virtual void openProjectFile(const QString& path) = 0;
};

// The backup window, opened modally when the backup reminder is accepted.
class BackupWindow {
public:
    virtual ~BackupWindow() = default;
    virtual void openBackupWindow() = 0;
};

// The embedded browser view of the preview: created once at start-up; creation may fail, and
// the program then runs without it.
class EmbeddedBrowser {
public:
    virtual ~EmbeddedBrowser() = default;
    virtual bool create() = 0;
};

// The colouring pass of tag colouring, run over a newly loaded text while "Color" is on.
class TagColouring {
public:
    virtual ~TagColouring() = default;
    virtual void colourText() = 0;
};

// The settings dialog's tabs, in their order.
enum class SettingsPage { Files, TagOptions, WebBrowsers, HelperApps, BackUp, Ftp, ChangeFilePath };

// The settings dialog, modal (Open HTML Template without a template opens it).
class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;
    virtual void openSettingsDialog() = 0;
    // The commands that need a setting first open it on the tab that holds it.
    virtual void openSettingsDialogOn(SettingsPage page) {
        (void)page;
        openSettingsDialog();
    }
};

// The block insertion of the tag commands: New HTML File puts its skeleton in through it
// ("NEW"), as every other block goes in.
class BlockInsertion {
public:
    virtual ~BlockInsertion() = default;
    virtual void insertBlock(const QString& tagName) = 0;
};

// The page analysis window, opened by "Analyze Web Page" of the Files tab's file list for the
// file chosen there (folder and name; the name is empty when no file is chosen).
class PageAnalysisOpener {
public:
    virtual ~PageAnalysisOpener() = default;
    virtual void analyzeWebPage(const QString& folder, const QString& fileName) = 0;
};

class LongStep;

// The check of the pages about to be uploaded, run by a transfer before it starts: files are the
// local paths about to go out (pages, images, anything), siteFolder the local folder whose layout
// the upload keeps (empty: none set). Returns whether the upload goes on.
class UploadCheck {
public:
    virtual ~UploadCheck() = default;
    virtual bool checkBeforeUpload(const QStringList& files, const QString& siteFolder) = 0;
};

struct ShellParts {
    CustomTagList* customTags = nullptr;
    SnippetLists* snippets = nullptr;
    ProjectSave* projectSave = nullptr;
    BackupWindow* backupWindow = nullptr;
    EmbeddedBrowser* browser = nullptr;
    TagColouring* colouring = nullptr;
    SettingsDialog* settingsDialog = nullptr;
    RecentProjectOpener* recentProjects = nullptr;
    BlockInsertion* blocks = nullptr;
    PageAnalysisOpener* pageAnalysis = nullptr;
    ProjectFileOpener* projectFiles = nullptr;
    // The progress, with Cancel, of a long step on the open page (loading a big one).
    LongStep* longSteps = nullptr;
    UploadCheck* uploadCheck = nullptr;

    // The one way a room fills a slot while it is installed, each slot once: a second filling
    // keeps the first part and is listed in problems, which the window reports and a test keeps
    // empty. name: the slot's name, for that message.
    template <class Part, class Impl>
    void provide(Part* ShellParts::*slot, Impl* part, const char* name) {
        if (this->*slot)
            problems << QLatin1String(name) + QStringLiteral(" is filled twice");
        else
            this->*slot = part;
    }
    QStringList problems;
};
