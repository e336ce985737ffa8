// Extended Replace over files on disk.
#include "services/ExtendedReplace.h"

#include "platform/BackupCopies.h"
#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "services/FindReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QSet>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The new text goes into a file beside the page that is then renamed over it, so the page is
// always either its old or its new self, whatever happens half-way. Unlike a document's save it
// is not flushed to the disk one by one: a run rewrites hundreds of pages, and waiting for each
// would make it many times slower than the rename needs. The page keeps its mode and, where
// allowed, its owner; a link is followed to the page it names.
TextWriteResult rewriteFile(const QString& path, const QByteArray& bytes) {
    TextWriteResult r;
    // The page's own bytes (a Latin-1 name too), with every link followed to the file it names.
    const QByteArray named = nativePath(path);
    char resolved[PATH_MAX];
    if (named.isEmpty() || !::realpath(named.constData(), resolved)) {
        r.error = qt_error_string(named.isEmpty() ? ENOENT : errno);
        return r;
    }
    const QByteArray native(resolved);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        r.error = qt_error_string(errno);
        return r;
    }
    QByteArray temp = native.left(native.lastIndexOf('/') + 1) + ".quillon-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        r.error = qt_error_string(errno);
        return r;
    }
    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temp.constData());
        r.error = qt_error_string(error);
        return r;
    };
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        done += n;
    }
    ::fchmod(fd, st.st_mode & 07777);
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Another user's page: it becomes ours, as any editor's save would make it.
    }
    if (::close(fd) != 0) {
        ::unlink(temp.constData());
        r.error = qt_error_string(errno);
        return r;
    }
    if (::rename(temp.constData(), native.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        r.error = qt_error_string(error);
        return r;
    }
    r.ok = true;
    return r;
}

// The same file however it is named (a link, a path with "..", the same path twice): its
// device and inode, or the path itself when it cannot be asked.
QString fileIdentity(const QString& path) {
    struct stat st {};
    const QByteArray native = nativePath(path);
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0)
        return QStringLiteral("path:") + path;
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
}

bool isHtmlName(const QString& name) {
    static const QStringList extensions = {QStringLiteral(".htm"),   QStringLiteral(".html"),
                                           QStringLiteral(".shtml"), QStringLiteral(".sht"),
                                           QStringLiteral(".cgi"),   QStringLiteral(".asp")};
    for (const QString& e : extensions)
        if (name.endsWith(e, Qt::CaseInsensitive) && name.size() > e.size())
            return true;
    return false;
}

bool byName(const FolderEntry& a, const FolderEntry& b) {
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.name < b.name;
}

void collectHtmlFiles(const QString& folder, QStringList& into, QSet<QString>& seenFolders) {
    // A link back up the tree would lead round for ever: each folder is entered once.
    if (seenFolders.contains(fileIdentity(folder)))
        return;
    seenFolders.insert(fileIdentity(folder));
    FolderListing listing = listFolder(folder);
    if (!listing.ok)
        return;
    std::sort(listing.entries.begin(), listing.entries.end(), byName);
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const FolderEntry& e : listing.entries)
        if (e.kind == FolderEntry::Kind::File && isHtmlName(e.name))
            into << base + e.name;
    for (const FolderEntry& e : listing.entries)
        if (e.kind == FolderEntry::Kind::Folder)
            collectHtmlFiles(base + e.name, into, seenFolders);
}

// The line of the text that holds position at, counted from 1, and that line's text.
std::pair<int, QString> lineAt(const QString& text, qsizetype at, int& line, qsizetype& from) {
    for (qsizetype i = from; i < at; ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text.at(i + 1) != u'\n')))
            ++line;
    }
    from = at;
    qsizetype start = at;
    while (start > 0 && text.at(start - 1) != u'\n' && text.at(start - 1) != u'\r')
        --start;
    qsizetype end = at;
    while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
        ++end;
    return {line, text.mid(start, end - start)};
}
} // namespace

TextReplaced replaceAllInText(const QString& text, const QString& pattern,
                              const QString& replacement, bool matchCase) {
    TextReplaced r;
    if (pattern.isEmpty()) {
        r.text = text;
        return r;
    }
    // The search's snapshot: upper-cased one character for one when case does not count, so its
    // positions are the text's positions.
    const QString snap = matchCase ? QString() : upperSameLength(text);
    const QString& in = matchCase ? text : snap;
    const QString pat = matchCase ? pattern : upperSameLength(pattern);
    qsizetype copied = 0;
    for (qsizetype m = in.indexOf(pat, 0); m >= 0; m = in.indexOf(pat, m)) {
        if (r.count == 0)
            r.text.reserve(text.size() + text.size() / 8);
        r.text += QStringView(text).mid(copied, m - copied);
        r.text += replacement;
        m += pat.size();
        copied = m;
        ++r.count;
    }
    if (r.count == 0) {
        r.text = text;
        return r;
    }
    r.text += QStringView(text).mid(copied);
    return r;
}

QList<ProjectEntry> projectEntries(const QString& projectsFolder) {
    QList<ProjectEntry> entries;
    const QDir dir(projectsFolder);
    const QFileInfoList infos =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable, QDir::Name);
    for (const QFileInfo& info : infos) {
        const QString name = info.fileName();
        if (name.size() > 4 &&
            name.right(4).compare(QLatin1String(".out"), Qt::CaseInsensitive) == 0)
            entries << ProjectEntry{name.toUpper(), info.filePath()};
    }
    return entries;
}

ExtendedReplace::ExtendedReplace(QString programDirectory, Prompter& prompter, UiPump& pump,
                                 std::function<QDate()> today)
    : m_programDirectory(std::move(programDirectory)), m_prompter(prompter), m_pump(pump),
      m_today(today ? std::move(today) : [] { return QDate::currentDate(); }) {
    m_projects = projectEntries(m_programDirectory + QStringLiteral("projects/"));
    backupDir = dateName(m_today());
}

QString ExtendedReplace::dateName(const QDate& date) {
    return QStringLiteral("%1_%2_%3").arg(date.month()).arg(date.day()).arg(date.year());
}

QString ExtendedReplace::addFileFilter() {
    return QStringLiteral("HTML File|*.htm;*.html;*.shtml;*.sht;*.cgi;*.asp;|All Files|*.*");
}
QString ExtendedReplace::noProjectText() {
    return QStringLiteral("You must select a project from the list first.");
}
QString ExtendedReplace::noFilesText() {
    return QStringLiteral("You must select at least one file to search first.");
}
QString ExtendedReplace::noTextText() {
    return QStringLiteral("You must enter the text to be replaced first.");
}
QString ExtendedReplace::confirmText() {
    return QStringLiteral("Are you sure you want to replace this text in all the selected files?");
}
QString ExtendedReplace::cannotCreateBackupText() {
    return QStringLiteral("Could not create backup directory. Make sure you have provided a valid "
                          "directory name (no slashes). Exiting...");
}
QString ExtendedReplace::processingText() {
    return QStringLiteral("Processing...");
}
QString ExtendedReplace::finishedText() {
    return QStringLiteral("Finished.");
}
QString ExtendedReplace::stoppedText() {
    return QStringLiteral("Stopped.");
}
QString ExtendedReplace::cannotReadListText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot read the project's file list \"%1\": %2").arg(path, reason);
}
QString ExtendedReplace::backingUpText() {
    return QStringLiteral("Backing up...");
}
QString ExtendedReplace::notBackedUpText(const QString& lines) {
    return QStringLiteral("These files could not be backed up, so nothing was replaced in "
                          "them:\n\n") +
           lines;
}
QString ExtendedReplace::outcomeLine(const QString& path, const FileOutcome& outcome) {
    switch (outcome.kind) {
    case FileOutcome::Kind::Replaced:
        return outcome.count == 1
                   ? QStringLiteral("1 replacement: %1").arg(path)
                   : QStringLiteral("%1 replacements: %2").arg(outcome.count).arg(path);
    case FileOutcome::Kind::NothingFound:
        return QStringLiteral("Not found, not rewritten: %1").arg(path);
    case FileOutcome::Kind::LeftUnchanged:
        return QStringLiteral("Left unchanged: %1 (%2)").arg(path, outcome.reason);
    case FileOutcome::Kind::NotBackedUp:
        return QStringLiteral("Not backed up, left unchanged: %1 (%2)").arg(path, outcome.reason);
    case FileOutcome::Kind::WriteFailed:
        return QStringLiteral("Could not be written: %1 (%2)").arg(path, outcome.reason);
    }
    return path;
}
QString ExtendedReplace::summaryText(int files, int changed, int replacements, int leftAlone) {
    QString text = QStringLiteral("%1 of %2 files changed, %3 replacement%4")
                       .arg(changed)
                       .arg(files)
                       .arg(replacements)
                       .arg(replacements == 1 ? QString() : QStringLiteral("s"));
    if (leftAlone > 0)
        text += QStringLiteral("; %1 left unchanged (see the list)").arg(leftAlone);
    return text;
}
QString ExtendedReplace::previewLine(const QString& path, int line, const QString& text) {
    // A long line is cut: the list shows where the match is, not the whole paragraph.
    constexpr qsizetype longest = 200;
    const QString shown = text.size() > longest ? text.left(longest) + QStringLiteral("...") : text;
    return QStringLiteral("%1 (line %2): %3").arg(path).arg(line).arg(shown.trimmed());
}
QString ExtendedReplace::previewSummaryText(int matches, int files, bool more) {
    if (more)
        return QStringLiteral("Preview: the first %1 matches, in %2 files; nothing written")
            .arg(matches)
            .arg(files);
    return QStringLiteral("Preview: %1 matches in %2 files; nothing written")
        .arg(matches)
        .arg(files);
}
QString ExtendedReplace::cannotWriteText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot write the file \"%1\": %2").arg(path, reason);
}

QString ExtendedReplace::shownProject(const QString& projectFileName) const {
    const QString wanted = projectFileName.toUpper();
    for (const ProjectEntry& e : m_projects) {
        if (!wanted.isEmpty() && e.shown == wanted)
            return e.shown;
    }
    return {};
}

QString ExtendedReplace::backupFolder() const {
    // The name is typed the Windows way as often as not: a back slash separates as "/" does, so
    // "missing\sub" asks for a folder below a missing one and is refused like it.
    QString name = backupDir.toLower();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return m_programDirectory + QStringLiteral("backup/") + name + QLatin1Char('/');
}

std::optional<QStringList> ExtendedReplace::runFiles() {
    QStringList listed;
    if (!projectMode) {
        listed = files;
    } else {
        QString path;
        for (const ProjectEntry& e : m_projects) {
            if (e.shown == project)
                path = e.path;
        }
        // The link file beside the outline file, in the real case of its name.
        const QString list = path.left(path.size() - 3) + QStringLiteral("fil");
        const TextReadResult read = readTextFile(list);
        if (!read.ok) {
            m_prompter.inform(cannotReadListText(list, read.error));
            return std::nullopt;
        }
        for (const QString& line : read.text.split(QStringLiteral("\r\n"))) {
            // A page without a link has an empty line: there is no file to work on.
            if (!line.isEmpty())
                listed << line;
        }
    }
    // A file replaced in twice would have its replacement replaced again ("cat" by "cats"
    // would give "catss"): each file once, by the first name it is listed under.
    QStringList work;
    QSet<QString> seen;
    for (const QString& file : std::as_const(listed)) {
        const QString identity = fileIdentity(file);
        if (seen.contains(identity))
            continue;
        seen.insert(identity);
        work << file;
    }
    return work;
}

FileOutcome replaceInFile(const QString& path, const QString& pattern, const QString& replacement,
                          bool matchCase) {
    FileOutcome outcome;
    const FileBytesResult bytes = readFileBytes(path);
    if (!bytes.ok || bytes.bytes.contains('\0')) {
        // Never written back: an unreadable file would come back empty, a binary one mangled.
        outcome.kind = FileOutcome::Kind::LeftUnchanged;
        outcome.reason = bytes.ok ? QStringLiteral("not a text file") : bytes.error;
        return outcome;
    }
    // Decoding is exact both ways (valid UTF-8, or Latin-1 byte for byte) and the line ends are
    // left as they are: encoding the changed text gives the file's own bytes around the
    // replacements.
    const DecodedText decoded = decodeText(bytes.bytes);
    const TextReplaced replaced = replaceAllInText(decoded.text, pattern, replacement, matchCase);
    if (replaced.count == 0)
        return outcome; // nothing found: not rewritten, its time stays
    if (decoded.encoding == TextEncoding::Latin1 && !fitsLatin1(replaced.text)) {
        outcome.kind = FileOutcome::Kind::LeftUnchanged;
        outcome.reason = QStringLiteral("its Latin-1 text cannot hold the replacement");
        return outcome;
    }
    const TextWriteResult written =
        rewriteFile(path, encodeText(replaced.text, decoded.encoding).bytes);
    if (!written.ok) {
        outcome.kind = FileOutcome::Kind::WriteFailed;
        outcome.reason = written.error;
        return outcome;
    }
    outcome.kind = FileOutcome::Kind::Replaced;
    outcome.count = replaced.count;
    return outcome;
}

bool ExtendedReplace::acceptable() {
    if (m_running)
        return false;
    if (text.isEmpty()) {
        // An empty pattern would match everywhere, without end.
        m_prompter.inform(noTextText());
        return false;
    }
    const bool knownProject =
        std::any_of(m_projects.begin(), m_projects.end(), [this](const ProjectEntry& e) {
            return !project.isEmpty() && e.shown == project;
        });
    if (projectMode && !knownProject) {
        m_prompter.inform(noProjectText());
        return false;
    }
    if (!projectMode && files.isEmpty()) {
        m_prompter.inform(noFilesText());
        return false;
    }
    return true;
}

bool ExtendedReplace::run(ExtendedReplaceView& view) {
    if (!acceptable())
        return false;
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo, confirmText()) ==
        MessageAnswer::No)
        return false;
    const std::optional<QStringList> listed = runFiles();
    if (!listed)
        return false;
    const QStringList& work = *listed;

    QString folder;
    if (backup) {
        if (backupDir.isEmpty())
            backupDir = dateName(m_today());
        folder = backupFolder();
        const QStringList parts = backupDir.toLower()
                                      .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                      .split(QLatin1Char('/'));
        // Only one new folder inside the backup folder: ".." would climb out of it.
        const bool climbs =
            parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral("."));
        if (climbs || ::mkdir(nativePath(folder).constData(), 0777) != 0) {
            m_prompter.inform(cannotCreateBackupText());
            return false;
        }
    }

    m_stop = false;
    m_running = true;
    view.clearResults();
    view.setReport(QString());
    view.runStarted(static_cast<int>(work.size()));
    bool stopped = false;
    // Every file that is to be rewritten has a copy of its own first; one whose copy failed is
    // left as it is.
    QHash<QString, QString> notBackedUp;
    QStringList failures;
    if (backup) {
        view.setStatus(backingUpText());
        const std::vector<BackupCopy> plan = planBackupCopies(work);
        for (size_t i = 0; i < plan.size(); ++i) {
            view.fileStarted(static_cast<int>(i));
            m_pump.pump();
            if (m_stop) {
                stopped = true;
                break;
            }
            const FileCopyResult copied = copyBackup(plan[i], folder);
            if (!copied.ok) {
                notBackedUp.insert(plan[i].source, copied.reason);
                failures << backupFailureLine(plan[i].source, copied);
            }
        }
    }
    int changed = 0;
    int replacements = 0;
    int leftAlone = 0;
    for (qsizetype i = 0; i < work.size() && !stopped; ++i) {
        view.fileStarted(static_cast<int>(i));
        m_pump.pump();
        if (m_stop) {
            stopped = true;
            break;
        }
        view.setStatus(processingText());
        const QString& path = work[i];
        FileOutcome outcome;
        if (const auto failed = notBackedUp.constFind(
                QFileInfo(path).isRelative() ? QFileInfo(path).absoluteFilePath() : path);
            failed != notBackedUp.constEnd()) {
            outcome.kind = FileOutcome::Kind::NotBackedUp;
            outcome.reason = *failed;
        } else {
            outcome = replaceInFile(path, text, replacement, matchCase);
        }
        view.addResult(outcomeLine(path, outcome));
        if (outcome.kind == FileOutcome::Kind::WriteFailed) {
            m_prompter.error(cannotWriteText(path, outcome.reason));
            stopped = true;
            break;
        }
        if (outcome.kind == FileOutcome::Kind::Replaced) {
            ++changed;
            replacements += outcome.count;
        } else if (outcome.kind != FileOutcome::Kind::NothingFound) {
            ++leftAlone;
        }
        view.setReport(
            summaryText(static_cast<int>(work.size()), changed, replacements, leftAlone));
    }
    m_running = false;
    view.setStatus(stopped ? stoppedText() : finishedText());
    view.runEnded();
    if (!failures.isEmpty())
        m_prompter.inform(notBackedUpText(backupFailureLines(failures)));
    return true;
}

bool ExtendedReplace::preview(ExtendedReplaceView& view, int limit) {
    if (!acceptable())
        return false;
    const std::optional<QStringList> listed = runFiles();
    if (!listed)
        return false;
    m_stop = false;
    m_running = true;
    view.clearResults();
    view.setReport(QString());
    view.runStarted(static_cast<int>(listed->size()));
    const QString pattern = matchCase ? text : upperSameLength(text);
    int matches = 0;
    int filesWithMatches = 0;
    bool more = false;
    for (qsizetype i = 0; i < listed->size() && !more; ++i) {
        view.fileStarted(static_cast<int>(i));
        m_pump.pump();
        if (m_stop)
            break;
        const QString& path = listed->at(i);
        const FileBytesResult bytes = readFileBytes(path);
        if (!bytes.ok || bytes.bytes.contains('\0'))
            continue;
        const QString fileText = decodeText(bytes.bytes).text;
        const QString in = matchCase ? fileText : upperSameLength(fileText);
        int line = 1;
        qsizetype counted = 0;
        bool any = false;
        // The matches the run would replace: leftmost, not overlapping.
        for (qsizetype m = in.indexOf(pattern); m >= 0;
             m = in.indexOf(pattern, m + pattern.size())) {
            if (matches == limit) {
                more = true;
                break;
            }
            const auto [number, lineText] = lineAt(fileText, m, line, counted);
            view.addResult(previewLine(path, number, lineText));
            ++matches;
            any = true;
        }
        if (any)
            ++filesWithMatches;
    }
    m_running = false;
    view.setStatus(m_stop ? stoppedText() : finishedText());
    view.setReport(previewSummaryText(matches, filesWithMatches, more));
    view.runEnded();
    return true;
}

bool ExtendedReplace::addFile(const QString& path) {
    const QString identity = fileIdentity(path);
    for (const QString& f : std::as_const(files))
        if (f == path || fileIdentity(f) == identity)
            return false;
    files << path;
    return true;
}

int ExtendedReplace::addFolder(const QString& folder) {
    QSet<QString> listed;
    for (const QString& f : std::as_const(files))
        listed.insert(fileIdentity(f));
    int added = 0;
    for (const QString& path : htmlFilesBelow(folder)) {
        const QString identity = fileIdentity(path);
        if (listed.contains(identity))
            continue;
        listed.insert(identity);
        files << path;
        ++added;
    }
    return added;
}

QStringList ExtendedReplace::htmlFilesBelow(const QString& folder) {
    QStringList found;
    QSet<QString> seenFolders;
    collectHtmlFiles(folder, found, seenFolders);
    return found;
}
