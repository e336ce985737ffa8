// Reading and writing NAME.out and NAME.fil.
#include "project/ProjectFiles.h"

#include <QFileInfo>

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
    const TextWriteResult o = writeTextFile(outlinePath, outlineFileText(outline), outlineEncoding);
    if (!o.ok)
        return {false, cannotWriteProjectFileText(outlinePath, o.error)};
    const QString linkPath = linkFileName(outlinePath);
    const TextWriteResult l = writeTextFile(linkPath, linkFileText(outline), linkEncoding);
    if (!l.ok)
        return {false, cannotWriteProjectFileText(linkPath, l.error)};
    return {true, {}};
}
