// Project backup.
#include "project/ProjectBackup.h"

#include "platform/BackupCopies.h"
#include "platform/CopyFile.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "project/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
QString ProjectBackup::errorCopyingText(const QString& path) {
    return QStringLiteral("Error copying HTML file: ") + path + QStringLiteral(". Not backed up!");
}
QString ProjectBackup::errorCopyingProjectText() {
    return QStringLiteral("Error copying the project file. Not backed up!");
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

void ProjectBackup::setStatus(LongPassView* view, const QString& text) {
    m_status = text;
    if (view)
        view->setStatus(text);
}

void ProjectBackup::open(const QString& openProjectFileName, const QString& folder,
                         const QString& openProjectPath) {
    m_folder = folder;
    QString wanted = openProjectFileName.toUpper();
    // A project read from another folder is listed by its whole path (a project of the same
    // name in the projects folder is another project).
    if (!openProjectPath.isEmpty() &&
        QFileInfo(openProjectPath).absolutePath() !=
            QFileInfo(m_programDirectory + QStringLiteral("projects/x")).absolutePath()) {
        if (!find(openProjectPath))
            m_projects << Project{openProjectPath, openProjectPath};
        wanted = openProjectPath;
    }
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
    newSub = subFolderName(p ? QFileInfo(p->path).fileName() : text, m_today());
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

bool ProjectBackup::backupRun(LongPassView& view) {
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
    // The project's own two files go in under their names, each HTML file as
    // planBackupCopies names it: no copy ever replaces another's.
    const QStringList projectFiles =
        project ? QStringList{linkFileName(project->path), project->path} : QStringList();
    QStringList reserved;
    for (const QString& f : projectFiles)
        reserved << QFileInfo(f).fileName();
    const std::vector<BackupCopy> plan = planBackupCopies(m_files, reserved);
    m_running = true;
    m_stop = false;
    // Every failure is told once, at the end, with its reason: a folder that is not there would
    // otherwise bring up one box per file.
    QStringList failures;
    view.runStarted(static_cast<int>(plan.size()) - 1);
    for (size_t i = 0; i < plan.size(); ++i) {
        view.fileStarted(static_cast<int>(i));
        m_pump.pump();
        if (m_stop)
            break;
        const BackupCopy& copy = plan[i];
        setStatus(&view, copyingText(QFileInfo(copy.source).fileName()));
        if (const FileCopyResult r = copyBackup(copy, backupPath); !r.ok)
            failures << failureLine(errorCopyingText(copy.source), r);
    }
    const bool stopped = m_stop;
    if (!stopped) {
        for (const QString& source : projectFiles) {
            if (const FileCopyResult r =
                    copyBackup({source, QFileInfo(source).fileName()}, backupPath);
                !r.ok)
                failures << failureLine(errorCopyingProjectText(), r);
        }
    }
    m_running = false;
    view.runEnded();
    const bool failed = !failures.isEmpty();
    if (stopped) {
        setStatus(&view, stoppedText());
        if (failed)
            m_prompter.inform(failuresText(failures));
        return failed;
    }
    setStatus(&view, completeText());
    m_prompter.inform(failed ? finishedText(false) + QLatin1Char(' ') + failuresText(failures)
                             : finishedText(false));
    return failed;
}

QString ProjectBackup::failureLine(const QString& what, const FileCopyResult& r) {
    return backupFailureLine(what, r);
}

QString ProjectBackup::failuresText(const QStringList& failures) {
    const QString head =
        failures.size() == 1
            ? QStringLiteral("However, 1 file could not be backed up:")
            : QStringLiteral("However, %1 files could not be backed up:").arg(failures.size());
    return head + QStringLiteral("\n") + backupFailureLines(failures);
}
