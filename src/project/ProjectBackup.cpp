// Project backup.
#include "project/ProjectBackup.h"

#include "platform/BackupCopies.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "project/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>

ProjectBackup::ProjectBackup(QString programDirectory, Prompter& prompter, UiPump& pump,
                             std::function<QDate()> today)
    : m_programDirectory(std::move(programDirectory)), m_prompter(prompter), m_pump(pump),
      m_today(today ? std::move(today) : [] { return QDate::currentDate(); }) {
    const QDir dir(m_programDirectory + QStringLiteral("projects/"));
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable, QDir::Name)) {
        const QString name = info.fileName();
        if (name.size() > 4 &&
            name.right(4).compare(QLatin1String(".out"), Qt::CaseInsensitive) == 0)
            m_projects << Project{name.toUpper(), info.filePath()};
    }
    m_status = statusText();
}

QString ProjectBackup::subFolderName(const QString& projectFileName, const QDate& date) {
    return projectFileName.left(qMax<qsizetype>(0, projectFileName.size() - 4)).toLower() +
           QStringLiteral("_%1_%2_%3").arg(date.month()).arg(date.day()).arg(date.year());
}
QString ProjectBackup::statusText() {
    return QStringLiteral("Status:");
}
QString ProjectBackup::copyingText(const QString& fileName) {
    return QStringLiteral("Status: Copying ") + fileName;
}
QString ProjectBackup::completeText() {
    return QStringLiteral("Status: Backup complete");
}
QString ProjectBackup::stoppedText() {
    return QStringLiteral("Status: Backup stopped");
}
QString ProjectBackup::typedProjectText() {
    return QStringLiteral("You cannot type in a project name. You must select it from the list.");
}
QString ProjectBackup::noValidProjectText() {
    return QStringLiteral("You have not selected a valid project. Please choose from the list.");
}
QString ProjectBackup::errorCopyingProjectText() {
    return QStringLiteral("Error copying the project file. Not backed up!");
}
QString ProjectBackup::notBackedUpText(int count) {
    return count == 1 ? QStringLiteral("This file was not backed up:")
                      : QStringLiteral("These %1 files were not backed up:").arg(count);
}
QString ProjectBackup::finishedText(bool anyFailed) {
    QString text = QStringLiteral("Backup finished.");
    if (anyFailed)
        text += QStringLiteral(" However, as reported, at least one file could not be backed up.");
    return text;
}

const ProjectBackup::Project* ProjectBackup::find(const QString& shown) const {
    for (const Project& p : m_projects) {
        if (p.shown == shown)
            return &p;
    }
    return nullptr;
}

void ProjectBackup::setStatus(BackupView* view, const QString& text) {
    m_status = text;
    if (view)
        view->setStatus(text);
}

void ProjectBackup::open(const QString& openProjectFileName, const QString& folder) {
    m_folder = folder;
    const QString wanted = openProjectFileName.toUpper();
    if (!wanted.isEmpty() && find(wanted))
        chooseProject(wanted);
}

void ProjectBackup::chooseProject(const QString& text) {
    m_project = text;
    m_backupEnabled = !text.isEmpty();
    setStatus(nullptr, statusText());
    m_files.clear();
    const Project* p = find(text);
    const TextReadResult list = p ? readTextFile(linkFileName(p->path)) : TextReadResult{};
    if (!list.ok) {
        m_prompter.inform(typedProjectText());
    } else {
        // A page without a link has an empty line: there is no file to copy for it.
        for (const QString& line : parseLinkText(list.text)) {
            if (!line.isEmpty())
                m_files << line;
        }
    }
    newSub = subFolderName(text, m_today());
    backupPath = m_folder;
}

void ProjectBackup::changeFolder(const QString& folder) {
    m_folder = folder;
    backupPath = folder;
    setStatus(nullptr, statusText());
}

void ProjectBackup::editBackupPath(const QString& path) {
    backupPath = path;
    if (!m_project.isEmpty())
        m_backupEnabled = true;
}

void ProjectBackup::createSubFolder() {
    QString path = m_folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += newSub;
    // One that exists already is fine: the backup goes into it.
    QDir().mkdir(path);
    backupPath = path;
    newSub.clear();
    setStatus(nullptr, statusText());
}

bool ProjectBackup::backupRun(BackupView& view) {
    if (m_running)
        return false;
    if (m_files.isEmpty()) {
        m_prompter.inform(noValidProjectText());
        return false;
    }
    setStatus(&view, statusText());
    if (!backupPath.endsWith(QLatin1Char('/')))
        backupPath += QLatin1Char('/');
    const Project* project = find(m_project);
    // The project's own two files go in under their names; each HTML file under its own name, or
    // below its folder when another file took that name already.
    const QStringList projectFiles =
        project ? QStringList{linkFileName(project->path), project->path} : QStringList();
    QStringList reserved;
    for (const QString& f : projectFiles)
        reserved << QFileInfo(f).fileName();
    const std::vector<BackupCopy> plan = planBackupCopies(m_files, reserved);
    m_running = true;
    m_stop = false;
    // The failures are told once, at the end: a backup folder that cannot be written to would
    // otherwise bring one message per file.
    std::vector<BackupFailure> failed;
    bool projectFailed = false;
    view.runStarted(static_cast<int>(plan.size()) - 1);
    for (size_t i = 0; i < plan.size(); ++i) {
        view.fileStarted(static_cast<int>(i));
        m_pump.pump();
        if (m_stop)
            break;
        const BackupCopy& copy = plan[i];
        setStatus(&view, copyingText(QFileInfo(copy.source).fileName()));
        const BackupCopyResult r = copyBackup(copy, backupPath);
        if (!r.ok)
            failed.push_back({copy.source, r.reason});
    }
    const bool stopped = m_stop;
    if (!stopped) {
        for (const QString& source : projectFiles) {
            const BackupCopyResult r =
                copyBackup({source, QFileInfo(source).fileName()}, backupPath);
            if (!r.ok) {
                projectFailed = true;
                failed.push_back({source, r.reason});
            }
        }
    }
    m_running = false;
    view.runEnded();
    if (stopped) {
        setStatus(&view, stoppedText());
        return !failed.empty();
    }
    setStatus(&view, completeText());
    QString text = finishedText(!failed.empty());
    if (!failed.empty()) {
        text += QStringLiteral("\n\n") + notBackedUpText(static_cast<int>(failed.size())) +
                QStringLiteral("\n") + backupFailureLines(failed);
        if (projectFailed)
            text += QStringLiteral("\n") + errorCopyingProjectText();
    }
    m_prompter.inform(text);
    return !failed.empty();
}
