// PageReferences: what a page refers to, read from its HTML text for the link and image checks.
//
// The scan walks the text tag by tag the way a browser does: comments, declarations and the
// contents of SCRIPT, STYLE, TEXTAREA, TITLE and XMP are skipped; tag and attribute names are
// compared without regard to case; values may be double-quoted, single-quoted or bare, may span
// lines, and have their character references decoded (&amp; is "&"). Each reference carries the
// line (from 1) of its attribute, so a report can send the user to it.
#pragma once

#include <QSet>
#include <QString>
#include <QStringView>
#include <vector>

enum class ReferenceKind {
    Link,  // A HREF, AREA HREF, FRAME SRC, IFRAME SRC: another page
    Image, // IMG SRC, INPUT TYPE=IMAGE SRC, a BACKGROUND attribute: a picture
    File,  // LINK HREF, SCRIPT SRC, EMBED SRC, OBJECT DATA, SOURCE SRC ...: any other file
};

struct PageReference {
    ReferenceKind kind = ReferenceKind::Link;
    QString target; // the attribute's value, references decoded, surrounding blanks removed
    int line = 1;
    // IMG only: whether the tag gives its WIDTH and its HEIGHT.
    bool sizedTag = false; // the reference is an IMG (the two flags below mean something)
    bool hasWidth = false;
    bool hasHeight = false;
};

struct PageScan {
    std::vector<PageReference> references; // in order of appearance
    // Every NAME of an A and every ID of any element: the anchors a "#name" link can reach.
    QSet<QString> anchors;
    // The HREF of the first BASE tag, if any (relative references resolve against it).
    QString baseHref;
    bool hasBase = false;
};

PageScan scanPage(QStringView text);

// A value as the browser reads it: character references decoded (named ones of the HTML 4 set
// that links use, decimal and hexadecimal ones); anything else stays as written.
QString decodeCharacterReferences(QStringView value);
