// Reading and writing NAME.out and NAME.fil.
#include "project/ProjectFiles.h"

#include "platform/NativeNames.h"

#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString crLf = QStringLiteral("\r\n");

QStringList splitLines(const QString& text) {
    // The text layer has made every line end CR LF; a last line without one still counts.
    QStringList lines = text.split(crLf);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

QString fileLoadErrorText() {
    return QStringLiteral("File load error");
}

QString cannotReadProjectFileText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot read the project file \"%1\": %2").arg(path, reason);
}

QString cannotWriteProjectFileText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot write the project file \"%1\": %2").arg(path, reason);
}

OutlineParse parseOutlineText(const QString& text) {
    OutlineParse r;
    int previous = 0;
    for (const QString& line : splitLines(text)) {
        if (line.isEmpty())
            continue;
        qsizetype depth = 0;
        while (depth < line.size() &&
               (line[depth] == QLatin1Char('\t') || line[depth] == QLatin1Char(' ')))
            ++depth;
        const int level = static_cast<int>(depth) + 1;
        if (level > previous + 1)
            return {false, {}};
        r.pages.push_back({line.mid(depth), level, {}});
        previous = level;
    }
    r.ok = true;
    return r;
}

QString outlineFileText(const SiteOutline& outline) {
    QString text;
    for (const ProjectPage& p : outline.pages()) {
        text += QString(p.level - 1, QLatin1Char('\t'));
        text += p.title;
        text += crLf;
    }
    return text;
}

QString linkFileText(const SiteOutline& outline) {
    QString text;
    for (const ProjectPage& p : outline.pages()) {
        text += p.link;
        text += crLf;
    }
    return text;
}

QStringList parseLinkText(const QString& text) {
    return splitLines(text);
}

void attachLinks(std::vector<ProjectPage>& pages, const QStringList& links) {
    for (size_t k = 0; k < pages.size(); ++k)
        pages[k].link = k < static_cast<size_t>(links.size()) ? links[k] : QString();
}

QString linkFileName(const QString& outlinePath) {
    if (outlinePath.size() < 3)
        return outlinePath + QStringLiteral(".fil");
    return outlinePath.left(outlinePath.size() - 3) + QStringLiteral("fil");
}

namespace {
// One file of the project, or why it could not be read.
ProjectRead::Failure readOne(const QString& path, TextReadResult& out, QString& message) {
    const QFileInfo info(path);
    if (!info.exists()) {
        message = cannotReadProjectFileText(path, QStringLiteral("the file does not exist"));
        out = {};
        return ProjectRead::Failure::Missing;
    }
    out = readTextFile(path);
    if (!out.ok) {
        message = cannotReadProjectFileText(path, out.error);
        return ProjectRead::Failure::Unreadable;
    }
    return ProjectRead::Failure::None;
}
} // namespace

ProjectRead readProject(const QString& outlinePath) {
    return readProject(outlinePath, linkFileName(outlinePath));
}

ProjectRead readProject(const QString& outlinePath, const QString& linkPath) {
    ProjectRead r;
    TextReadResult outline;
    r.failure = readOne(outlinePath, outline, r.message);
    if (!r.ok())
        return r;
    OutlineParse parsed = parseOutlineText(outline.text);
    if (!parsed.ok) {
        r.failure = ProjectRead::Failure::BadOutline;
        r.message = fileLoadErrorText();
        return r;
    }
    TextReadResult links;
    r.failure = readOne(linkPath, links, r.message);
    if (!r.ok())
        return r;
    attachLinks(parsed.pages, parseLinkText(links.text));
    r.pages = std::move(parsed.pages);
    r.outlineEncoding = outline.encoding;
    r.linkEncoding = links.encoding;
    return r;
}

ProjectWrite writeProject(const QString& outlinePath, const SiteOutline& outline,
                          TextEncoding outlineEncoding, TextEncoding linkEncoding) {
    return writeProjectTexts(outlinePath, outlineFileText(outline), outlineEncoding,
                             linkFileText(outline), linkEncoding);
}

namespace {
// One file of the pair: its target and the new contents waiting beside it.
struct StagedFile {
    QString path;      // the target as the program names it
    QByteArray target; // its bytes on disk (a link resolved to the file it points at)
    bool existed = false;
    QString staged; // the new contents, beside the target
};

bool exists(const QByteArray& native) {
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0;
}

// Why the target cannot be replaced, or nothing. A folder or a device where the file should be
// is never renamed over, and a file the user made read-only stays as it is.
QString targetProblem(StagedFile& f) {
    f.target = nativePath(f.path);
    struct stat st {};
    if (::lstat(f.target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(f.target.constData(), resolved))
            f.target = QByteArray(resolved);
    }
    if (::stat(f.target.constData(), &st) != 0)
        return {};
    f.existed = true;
    if (S_ISDIR(st.st_mode))
        return qt_error_string(EISDIR);
    if (!S_ISREG(st.st_mode))
        return notRegularFileText(f.path);
    if (::access(f.target.constData(), W_OK) != 0)
        return qt_error_string(errno);
    return {};
}

// A name beside the target that nothing uses: ".NAME.new", ".NAME.new1", ...
QString freeNameBeside(const QString& path, const char* tag) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    const QString base =
        QLatin1Char('.') + path.mid(slash + 1) + QLatin1Char('.') + QLatin1String(tag);
    QString name = folder + base;
    for (int n = 1; exists(nativePath(name)); ++n)
        name = folder + base + QString::number(n);
    return name;
}

// The new contents written in full beside the target, with the target's permissions.
QString stage(StagedFile& f, const QString& text, TextEncoding encoding) {
    if (const QString problem = targetProblem(f); !problem.isEmpty())
        return problem;
    f.staged = freeNameBeside(f.path, "new");
    const TextWriteResult w = writeTextFile(f.staged, text, encoding);
    if (!w.ok) {
        f.staged.clear();
        return w.error;
    }
    struct stat st {};
    if (f.existed && ::stat(f.target.constData(), &st) == 0)
        ::chmod(nativePath(f.staged).constData(), st.st_mode & 07777);
    return {};
}

void discard(StagedFile& f) {
    if (!f.staged.isEmpty())
        ::unlink(nativePath(f.staged).constData());
    f.staged.clear();
}

// Puts the staged contents in place; the system's reason on failure.
QString commit(StagedFile& f) {
    if (::rename(nativePath(f.staged).constData(), f.target.constData()) != 0)
        return qt_error_string(errno);
    f.staged.clear();
    return {};
}
} // namespace

ProjectWrite writeProjectTexts(const QString& outlinePath, const QString& outlineText,
                               TextEncoding outlineEncoding, const QString& linkText,
                               TextEncoding linkEncoding) {
    StagedFile outline{outlinePath, {}, false, {}};
    StagedFile links{linkFileName(outlinePath), {}, false, {}};
    const auto fail = [&](const StagedFile& f, const QString& reason) {
        discard(outline);
        discard(links);
        return ProjectWrite{false, cannotWriteProjectFileText(f.path, reason)};
    };
    if (const QString e = stage(outline, outlineText, outlineEncoding); !e.isEmpty())
        return fail(outline, e);
    if (const QString e = stage(links, linkText, linkEncoding); !e.isEmpty())
        return fail(links, e);
    // The old outline is kept under a second name until the link file is in place too, so that a
    // failure between the two renames can put it back.
    QByteArray kept;
    if (outline.existed) {
        kept = nativePath(freeNameBeside(outlinePath, "old"));
        if (::link(outline.target.constData(), kept.constData()) != 0)
            kept.clear();
    }
    if (const QString e = commit(outline); !e.isEmpty()) {
        if (!kept.isEmpty())
            ::unlink(kept.constData());
        return fail(outline, e);
    }
    if (const QString e = commit(links); !e.isEmpty()) {
        if (!kept.isEmpty())
            ::rename(kept.constData(), outline.target.constData());
        else if (!outline.existed)
            ::unlink(outline.target.constData());
        return fail(links, e);
    }
    if (!kept.isEmpty())
        ::unlink(kept.constData());
    return {true, {}};
}
