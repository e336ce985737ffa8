// Extended Replace over files on disk.
#include "services/ExtendedReplace.h"

#include "platform/CopyFile.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "services/FindReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
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
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    const QByteArray native = QFile::encodeName(target);
    struct stat st {};
    if (target.isEmpty() || ::stat(native.constData(), &st) != 0) {
        r.error = qt_error_string(target.isEmpty() ? ENOENT : errno);
        return r;
    }
    QByteArray temp = QFile::encodeName(QFileInfo(target).absolutePath()) + "/.quillon-XXXXXX";
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

// The page's text with CR LF line ends. Pages written by this program have them already, and
// the common case is then one scan instead of a copy built character by character.
QString withCrLf(const QString& text) {
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r') {
            if (i + 1 >= n || p[i + 1] != u'\n')
                return toCrLf(text);
            ++i;
        } else if (p[i] == u'\n') {
            return toCrLf(text);
        }
    }
    return text;
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
    if (!projectMode)
        return files;
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
    QStringList lines;
    for (const QString& line : read.text.split(QStringLiteral("\r\n"))) {
        // A page without a link has an empty line: there is no file to work on.
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

bool ExtendedReplace::run(ExtendedReplaceView& view) {
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
    if (m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNo, confirmText()) ==
        MessageAnswer::No)
        return false;
    const std::optional<QStringList> listed = runFiles();
    if (!listed)
        return false;
    const QStringList& work = *listed;

    QStringList notBackedUp;
    if (backup) {
        if (backupDir.isEmpty())
            backupDir = dateName(m_today());
        const QString folder = backupFolder();
        const QStringList parts = backupDir.toLower()
                                      .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                      .split(QLatin1Char('/'));
        // Only one new folder inside the backup folder: ".." would climb out of it.
        const bool climbs =
            parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral("."));
        if (climbs || ::mkdir(QFile::encodeName(folder).constData(), 0777) != 0) {
            m_prompter.inform(cannotCreateBackupText());
            return false;
        }
        for (const QString& file : work) {
            if (!copyFileTo(file, folder).ok)
                notBackedUp << file;
        }
    }

    m_stop = false;
    m_running = true;
    QStringList unchanged;
    const auto report = [&] {
        QStringList parts;
        if (!notBackedUp.isEmpty())
            parts << QStringLiteral("Not backed up: ") + notBackedUp.join(QStringLiteral(", "));
        if (!unchanged.isEmpty())
            parts << QStringLiteral("Left unchanged: ") + unchanged.join(QStringLiteral(", "));
        view.setReport(parts.join(QStringLiteral("; ")));
    };
    report();
    view.runStarted(static_cast<int>(work.size()));
    bool stopped = false;
    for (qsizetype i = 0; i < work.size(); ++i) {
        view.fileStarted(static_cast<int>(i));
        m_pump.pump();
        if (m_stop) {
            stopped = true;
            break;
        }
        view.setStatus(processingText());
        const QString& path = work[i];
        const FileBytesResult bytes = readFileBytes(path);
        if (!bytes.ok || bytes.bytes.contains('\0')) {
            // Never written back: an unreadable file would come back empty, and a binary one
            // with its line ends changed.
            unchanged << path + QStringLiteral(" (") +
                             (bytes.ok ? QStringLiteral("not a text file") : bytes.error) +
                             QLatin1Char(')');
            report();
            continue;
        }
        const DecodedText decoded = decodeText(bytes.bytes);
        const TextReplaced replaced =
            replaceAllInText(withCrLf(decoded.text), text, replacement, matchCase);
        const EncodedText encoded = encodeText(replaced.text, decoded.encoding);
        const TextWriteResult written = rewriteFile(path, encoded.bytes);
        if (!written.ok) {
            m_prompter.error(cannotWriteText(path, written.error));
            stopped = true;
            break;
        }
    }
    m_running = false;
    view.setStatus(stopped ? stoppedText() : finishedText());
    view.runEnded();
    return true;
}
