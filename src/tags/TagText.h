// Small pieces every tag dialog's text generator shares: typed values made safe inside a tag,
// the link to a chosen file as seen from the open page, and the CR LF line lists.
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
