// The two files of a project: NAME.out (the outline) and NAME.fil (the links).
//
// The outline file holds one line per page, (level - 1) TABs and the title; the link file one
// path per line in the same order. Both end every line with CR LF and are written back in the
// encoding they were read in, as the program does with HTML files.
#pragma once

#include "platform/TextFile.h"
#include "project/SiteOutline.h"

#include <QString>
#include <vector>

// The message of an outline that breaks the level rules.
QString fileLoadErrorText();

struct OutlineParse {
    bool ok = false;
    std::vector<ProjectPage> pages; // titles and levels; links empty
};

// Each leading TAB or blank counts one level. A line may go at most one level deeper than the
// line before it (the first must be at level 1); a deeper jump fails the whole text. Empty lines
// are skipped.
OutlineParse parseOutlineText(const QString& text);
QString outlineFileText(const SiteOutline& outline);
QString linkFileText(const SiteOutline& outline);
// Lines of a link file (a last line without its CR LF counts too).
QStringList parseLinkText(const QString& text);
// The outline with the links beside it: missing links become empty, extra ones are dropped.
void attachLinks(std::vector<ProjectPage>& pages, const QStringList& links);

// NAME.out -> NAME.fil: the last three characters replaced by "fil".
QString linkFileName(const QString& outlinePath);

struct ProjectRead {
    enum class Failure { None, Missing, Unreadable, BadOutline };
    Failure failure = Failure::None;
    QString message; // what to tell the user when failure != None
    std::vector<ProjectPage> pages;
    TextEncoding outlineEncoding = TextEncoding::Utf8;
    TextEncoding linkEncoding = TextEncoding::Utf8;
    bool ok() const { return failure == Failure::None; }
};

// Reads outlinePath and its link file. Nothing is changed on failure: the caller keeps what it
// had.
ProjectRead readProject(const QString& outlinePath);
// The same with the link file named: the move dialog's scratch files.
ProjectRead readProject(const QString& outlinePath, const QString& linkPath);

struct ProjectWrite {
    bool ok = false;
    QString message; // names the file and the reason when !ok
};

// Writes the outline to outlinePath and the link file beside it, both or neither: each is
// written beside its target first, and only when both are there are they put in place. A failure
// of either leaves both files as they were, since a link file one line short of its outline
// would open every page after the gap with the wrong file.
ProjectWrite writeProject(const QString& outlinePath, const SiteOutline& outline,
                          TextEncoding outlineEncoding = TextEncoding::Utf8,
                          TextEncoding linkEncoding = TextEncoding::Utf8);
// The same for texts made elsewhere (the project builder's).
ProjectWrite writeProjectTexts(const QString& outlinePath, const QString& outlineText,
                               TextEncoding outlineEncoding, const QString& linkText,
                               TextEncoding linkEncoding);

// "Cannot read "PATH": reason" / "Cannot write ...": the messages of a project file that fails.
QString cannotReadProjectFileText(const QString& path, const QString& reason);
QString cannotWriteProjectFileText(const QString& path, const QString& reason);
