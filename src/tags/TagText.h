// Small pieces every tag dialog's text generator shares: typed values made safe inside a tag,
// the link to a chosen file as seen from the open page, the CR LF line lists, and the case the
// program writes its tag and attribute names in.
#pragma once

#include <QString>
#include <QStringList>

// A value typed into a field, as it goes between the quotes of an attribute: a double quote
// would end the value early and break the tag, so it is written as &quot;. All else as typed.
QString attributeValue(const QString& typed);

// The link that reaches file from a page in pageFolder: the bare name when both are in one
// folder, "sub/name" below it, "../name" above it, and a path through ".." for any other folder.
// An empty pageFolder gives the bare name.
QString relativeLink(const QString& file, const QString& pageFolder);

// The lines joined, each followed by CR LF, the last included.
QString joinLines(const QStringList& lines);

// Markup the program wrote, with its tag and attribute names in lower case when lower is set
// ("Write tags in lower case"): attribute values, quoted or not, comments and declarations stay
// exactly as they are. Only ever given the program's own tags, never text between them.
QString tagCase(const QString& markup, bool lower);
// A literal holding only names and punctuation (" ALIGN=", "</TD>"), in lower case when lower.
QString names(QLatin1String literal, bool lower);
