// Project: the project commands and the page operations.
#include "project/Project.h"

#include "app/AppState.h"
#include "platform/FileChooser.h"
#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/ChangeFilePath.h"
#include "project/MovePages.h"
#include "project/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>

Project::Project(AppState& app, Prompter& prompter, FileChooser& chooser, QObject* parent)
    : QObject(parent), m_app(app), m_prompter(prompter), m_chooser(chooser) {
}

void Project::setDialogs(PageDialog* page, ConfirmDeleteWindow* confirm, MoveDialog* move) {
    m_pageDialog = page;
    m_confirm = confirm;
    m_moveDialog = move;
}

ProjectState& Project::state() {
    return m_app.project();
}

QString Project::saveProjectQuestion(const QString& projectFileName) {
    return QStringLiteral("Save changes to Project \"%1\" ?").arg(projectFileName.toUpper());
}
QString Project::captionPrefix() {
    return QStringLiteral("Ostra Quillon Pro:  ");
}
QString Project::recentCaptionPrefix() {
    return QStringLiteral("Ostra Quillon:  ");
}
QString Project::askSaveOpenProjectText() {
    return QStringLiteral("Save changes to open Project?");
}
QString Project::invalidProjectText() {
    return QStringLiteral("Error opening this project. Please be sure you selected a valid, "
                          "existing project.");
}
QString Project::cannotFindProjectText(const QString& path) {
    return QStringLiteral("Cannot find the project \"%1\".\rPlease locate and open it using the "
                          "File|Open menu item.")
        .arg(path.toUpper());
}
QString Project::removeRecentQuestionText() {
    return QStringLiteral("\r\rIt is no longer there. Remove it from the list of recent projects?");
}
QString Project::helpCannotBeChangedText() {
    return QStringLiteral("Sorry, this is the HELP file and cannot be changed.");
}
QString Project::helpCannotBeEditedText() {
    return QStringLiteral("Sorry, this is the HELP file and cannot be edited.");
}
QString Project::cannotOpenPageText() {
    return QStringLiteral(
        "Cannot open this file. Has it been moved, renamed, or deleted? Please right-click it and "
        "select \"Change HTML Link\" or go to the SETTINGS menu and select CHANGE FILE PATH to "
        "update new file path location for all files that have been moved.");
}
QString Project::fileSizeText(qint64 bytes) {
    return QStringLiteral("File Size: %1KB").arg(bytes / 1000);
}
QString Project::pageLocationText(const QString& path) {
    return QStringLiteral("Page Location:  ") + path;
}
QString Project::saveFilter() {
    return QStringLiteral(
        "Project File|*.out|HTML Files|*.html;*.shtml;*.htm;*.sht;*.asp;*.cgi;|All Files|*.*");
}

QString Project::withOutExtension(const QString& name) {
    const QFileInfo info(name);
    if (info.suffix() == QStringLiteral("out"))
        return name;
    const QString base = info.suffix().isEmpty() && !name.endsWith(QLatin1Char('.'))
                             ? name
                             : name.left(name.lastIndexOf(QLatin1Char('.')));
    return base + QStringLiteral(".out");
}

QString Project::projectsFolder() const {
    return m_app.programDirectory() + QStringLiteral("projects/");
}

void Project::setSelectedItem(int item) {
    m_selected = (item >= 1 && item <= m_outline.count()) ? item : 0;
}

void Project::enableSaveProject() {
    if (m_saveEnabled)
        return;
    m_saveEnabled = true;
    emit saveProjectEnabledChanged(true);
}

void Project::setModified(bool modified) {
    state().projectModified = modified;
}

void Project::setCaption(const QString& caption) {
    emit captionChanged(caption);
}

bool Project::askToSaveFirst(bool evenInHelpMode, const QString& question) {
    if (!evenInHelpMode && state().helpProjectMode)
        return true;
    return m_app.askToSaveProject(question, [this] { return saveProjectFiles(); });
}

void Project::takePages(const ProjectRead& read) {
    m_outline.assign(read.pages);
    m_outlineEncoding = read.outlineEncoding;
    m_linkEncoding = read.linkEncoding;
    m_selected = m_outline.isEmpty() ? 0 : 1;
    emit outlineChanged(true);
}

void Project::newProject() {
    if (!askToSaveFirst(false, askSaveOpenProjectText()))
        return;
    m_app.runBackupReminder();
    state().projectFileName.clear();
    m_projectPath.clear();
    m_app.useUploadQueueOf(QString());
    m_outline.clear();
    m_selected = 0;
    m_outlineEncoding = m_linkEncoding = TextEncoding::Utf8;
    setModified(false);
    state().helpProjectMode = false;
    emit outlineChanged(true);
    setCaption(captionPrefix());
}

namespace {
// The 1-based index of a label in a "label|pattern|..." filter; 1 when it is not there.
int filterIndexOf(const QString& filter, const QString& label) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2)
        if (parts[i] == label)
            return static_cast<int>(i / 2) + 1;
    return 1;
}
} // namespace

void Project::openProject() {
    if (!askToSaveFirst(false, saveProjectQuestion(state().projectFileName)))
        return;
    m_app.runBackupReminder();
    FileDialogRequest r;
    r.title = QStringLiteral("Open");
    r.filter = m_app.mainOpenFilter();
    r.filterIndex = filterIndexOf(r.filter, QStringLiteral("Project Files"));
    r.initialDirectory = projectsFolder();
    const std::optional<QString> chosen = m_chooser.openFile(r);
    if (!chosen)
        return;
    openChosenProject(*chosen);
}

void Project::openProjectFile(const QString& path) {
    if (!askToSaveFirst(false, saveProjectQuestion(state().projectFileName)))
        return;
    m_app.runBackupReminder();
    openChosenProject(path);
}

void Project::openChosenProject(const QString& path) {
    if (regularFileSize(path) < 0) {
        m_prompter.inform(invalidProjectText());
        return;
    }
    enableSaveProject();
    m_app.updateRecentProjects(path);
    // Read first: a project that cannot be read leaves the open one as it was, so nothing ever
    // saves an empty outline over the file that failed.
    const ProjectRead read = readProject(path);
    if (!read.ok()) {
        m_prompter.inform(read.message);
        return;
    }
    setModified(false);
    state().helpProjectMode = false;
    takeProjectPath(path);
    takePages(read);
    setCaption(captionPrefix() + path);
}

void Project::openRecentProject(const QString& caption) {
    if (caption.size() <= 3)
        return;
    const QString path = caption.mid(3);
    if (!askToSaveFirst(true, saveProjectQuestion(state().projectFileName)))
        return;
    m_app.runBackupReminder();
    enableSaveProject();
    const ProjectRead read = readProject(path);
    if (!read.ok()) {
        if (read.failure == ProjectRead::Failure::BadOutline) {
            m_prompter.inform(read.message);
        } else if (!pathExists(path)) {
            // The project is gone: its entry would only fail again.
            const MessageAnswer a =
                m_prompter.message(MessageKind::Information, MessageButtons::YesNo,
                                   cannotFindProjectText(path) + removeRecentQuestionText());
            if (a == MessageAnswer::Yes)
                m_app.removeRecentProject(path);
        } else {
            m_prompter.inform(cannotFindProjectText(path));
        }
        return;
    }
    setModified(false);
    state().helpProjectMode = false;
    m_app.updateRecentProjects(path);
    takeProjectPath(path);
    takePages(read);
    setCaption(recentCaptionPrefix() + path);
}

bool Project::openHelpProject(const QString& outlinePath) {
    const ProjectRead read = readProject(outlinePath);
    if (!read.ok()) {
        m_prompter.inform(read.message);
        return false;
    }
    state().helpProjectMode = true;
    takeProjectPath(outlinePath);
    setModified(false);
    takePages(read);
    setCaption(captionPrefix() + outlinePath);
    return true;
}

void Project::takeProjectPath(const QString& path, bool carryQueue) {
    m_projectPath = path;
    state().projectFileName = QFileInfo(path).fileName();
    m_app.useUploadQueueOf(path, carryQueue);
}

QString Project::projectPath() const {
    const QString& name = m_app.project().projectFileName;
    if (name.isEmpty())
        return {};
    // A name set without a path (as a project of the projects folder is known by its name alone)
    // lies in the projects folder.
    if (QFileInfo(m_projectPath).fileName() == name)
        return m_projectPath;
    return projectsFolder() + name;
}

bool Project::writeTo(const QString& path) {
    if (path.startsWith(projectsFolder()))
        QDir().mkpath(projectsFolder());
    const ProjectWrite w = writeProject(path, m_outline, m_outlineEncoding, m_linkEncoding);
    if (!w.ok) {
        m_prompter.error(w.message);
        return false;
    }
    setModified(false);
    return true;
}

bool Project::changeFilePath(const QString& oldFolder, const QString& newFolder) {
    if (state().helpProjectMode) {
        m_prompter.inform(helpCannotBeChangedText());
        return false;
    }
    ::changeFilePath(m_outline, oldFolder, newFolder);
    emit outlineChanged(false);
    const QString outlinePath = projectPath();
    if (state().projectModified || outlinePath.isEmpty()) {
        // The outline on disk is not the one shown (or there is none yet): a link file written
        // alone would no longer match it line for line. Save writes both.
        setModified(true);
        m_prompter.inform(changeFilePathDoneText());
        return true;
    }
    // The link file read with the project, wherever it lies; the outline beside it is unchanged.
    const QString path = linkFileName(outlinePath);
    const TextWriteResult w = writeTextFile(path, linkFileText(m_outline), m_linkEncoding);
    if (!w.ok) {
        setModified(true);
        m_prompter.error(cannotWriteProjectFileText(path, w.error));
        return false;
    }
    m_prompter.inform(changeFilePathDoneText());
    return true;
}

void Project::resolveRelativeLinks(const QString& folder) {
    for (int item = 1; item <= m_outline.count(); ++item) {
        const QString link = m_outline.page(item).link;
        if (!link.isEmpty() && !link.startsWith(QLatin1Char('/')))
            m_outline.setLink(item, folder + link);
    }
}

bool Project::saveProjectFiles() {
    if (state().projectFileName.toLower() == QStringLiteral("welcome.out")) {
        m_prompter.inform(helpCannotBeChangedText());
        return false;
    }
    // Where the project was read or last saved: a project opened from another folder is written
    // back there, never over a project of the same name in the projects folder.
    QString path = projectPath();
    const bool naming = path.isEmpty();
    if (naming) {
        const std::optional<QString> chosen =
            chooseProjectPath(QStringLiteral("Save Project As.."));
        if (!chosen)
            return false;
        path = *chosen;
    }
    if (!writeTo(path))
        return false;
    if (naming)
        takeSavedPath(path);
    return true;
}

std::optional<QString> Project::chooseProjectPath(const QString& title) {
    FileDialogRequest r;
    r.title = title;
    r.filter = saveFilter();
    r.filterIndex = 1;
    r.defaultExtension = QStringLiteral("out");
    r.initialDirectory = projectsFolder();
    r.overwritePrompt = true;
    const std::optional<QString> chosen = m_chooser.saveFile(r);
    if (!chosen)
        return std::nullopt;
    // Written where the user chose, as NAME.out.
    return QFileInfo(*chosen).absolutePath() + QLatin1Char('/') +
           withOutExtension(QFileInfo(*chosen).fileName());
}

void Project::takeSavedPath(const QString& path) {
    // The project takes the name only once it is written there; the recent entry and the caption
    // name the file written, so the entry reopens it. The files waiting for upload go along.
    takeProjectPath(path, true);
    m_app.updateRecentProjects(path);
    setCaption(captionPrefix() + path);
}

void Project::saveProjectAs() {
    if (state().helpProjectMode) {
        m_prompter.inform(helpCannotBeChangedText());
        return;
    }
    const std::optional<QString> chosen = chooseProjectPath(QStringLiteral("Save Project As..."));
    if (chosen && writeTo(*chosen))
        takeSavedPath(*chosen);
}

void Project::rememberHtmlFolder(const QString& path) {
    const QString folder = folderWithSeparator(QFileInfo(path).absolutePath());
    if (folder != m_app.settings().lastHtmlDirectory)
        m_app.store().set(m_app.settings(), &Settings::lastHtmlDirectory, folder);
}

void Project::addPage() {
    if (!m_pageDialog)
        return;
    const PageDialogResult r = m_pageDialog->run({});
    if (r.cancelled)
        return;
    enableSaveProject();
    m_outline.appendPage(r.title, r.path);
    setModified(true);
    if (m_selected == 0)
        m_selected = 1;
    rememberHtmlFolder(r.path);
    emit outlineChanged(false);
}

void Project::addSubPage() {
    if (!m_pageDialog)
        return;
    const PageDialogResult r = m_pageDialog->run({});
    if (r.cancelled)
        return;
    enableSaveProject();
    setModified(true);
    rememberHtmlFolder(r.path);
    // The new page goes below S; the selection stays on S, as a click left it.
    const int added = m_outline.addSubPage(m_selected, r.title, r.path);
    if (m_selected == 0)
        m_selected = added;
    emit outlineChanged(true);
}

void Project::removePage() {
    if (state().helpProjectMode) {
        m_prompter.inform(helpCannotBeEditedText());
        return;
    }
    if (m_selected == 0)
        return;
    if (m_app.settings().confirmRemove) {
        const int below = m_outline.subTreeEnd(m_selected) - m_selected;
        const QString which =
            PageDialogModel::removedPagesText(m_outline.page(m_selected).title, below);
        const ConfirmDeleteWindow::Answer a =
            m_confirm ? m_confirm->ask(which) : ConfirmDeleteWindow::Answer{};
        m_app.store().set(m_app.settings(), &Settings::confirmRemove, !a.doNotShowAgain);
        if (!a.confirmed)
            return;
    }
    setModified(true);
    m_outline.removeItem(m_selected);
    m_selected = std::min(m_selected, m_outline.count());
    emit outlineChanged(false);
    // The page highlighted now is the selected one: the removed page's file is no longer it.
    m_selectedPageFile.clear();
    if (m_selected > 0)
        selectPage(m_selected);
}

void Project::changePage(bool focusPath) {
    // With no page there is nothing to change: the link list keeps one entry per page.
    if (!m_pageDialog || m_selected == 0)
        return;
    const ProjectPage& page = m_outline.page(m_selected);
    const PageDialogResult r = m_pageDialog->run({true, focusPath, page.title, page.link});
    if (r.cancelled)
        return;
    setModified(true);
    m_outline.setTitle(m_selected, outlineTitle(r.title));
    m_outline.setLink(m_selected, r.path);
    emit outlineChanged(false);
}

void Project::openPage() {
    if (m_selected == 0)
        return;
    HtmlDocument& doc = m_app.document();
    if (doc.confirmCloseHtml() == MessageAnswer::Cancel)
        return;
    const QString entry = m_outline.page(m_selected).link;
    const qsizetype dot = entry.lastIndexOf(QLatin1Char('.'));
    const bool helpPage =
        state().helpProjectMode && dot >= 0 && entry.mid(dot) == QStringLiteral(".hxp");
    // A help page is named by its bare file name in the help project's link file; once the help
    // command has made the links whole paths, the page is taken as it stands.
    const QString path = helpPage && !entry.startsWith(QLatin1Char('/'))
                             ? m_app.programDirectory() + QStringLiteral("help/") + entry
                             : entry;
    // A page that cannot be read leaves the open document as it was.
    const DocumentLoad load = doc.loadDocument(path);
    if (!load.ok) {
        if (!load.cancelled)
            m_prompter.inform(cannotOpenPageText());
        return;
    }
    doc.setHelpPageMode(helpPage);
}

void Project::selectPage(int item) {
    setSelectedItem(item);
    if (m_selected == 0)
        return;
    m_selectedPageFile = m_outline.page(m_selected).link;
    const qint64 size = regularFileSize(m_selectedPageFile);
    if (size < 0)
        return;
    emit fileSizeTextChanged(fileSizeText(size));
    emit pageLocationTextChanged(pageLocationText(m_selectedPageFile));
}

void Project::movePages() {
    if (!m_moveDialog)
        return;
    const QString dir = m_app.programDirectory();
    const QString outlinePath = dir + moveScratchOutlineName();
    const QString linkPath = dir + moveScratchLinksName();
    const MovePages current(m_outline.pages());
    const MovePages::Written w = current.writeScratchFiles(dir);
    if (!w.ok) {
        m_prompter.error(w.message);
        return;
    }
    // The dialog starts on the page highlighted in the outline.
    if (!m_moveDialog->run(m_selected - 1))
        return;
    const ProjectRead read = readProject(outlinePath, linkPath);
    if (!read.ok()) {
        // Scratch files that cannot be read back (changed behind the program's back): the
        // outline stays as it was, and so does the project.
        m_prompter.inform(read.message);
        return;
    }
    setModified(true);
    m_outline.assign(read.pages);
    m_selected = m_outline.isEmpty() ? 0 : std::min(std::max(m_selected, 1), m_outline.count());
    emit outlineChanged(true);
}
