// CollectHrefLinks: the href values of a page's lines, as the link listing finds them.
#pragma once

#include <QStringList>

// Walks each line tag by tag: the first "<" and the first ">" of what is left of the line; when
// "href" or "HREF" (only these two spellings, the later test winning) lies between them, the
// text between the first two double quotes that lie within the tag is a link. Every quote before
// the ">", the "<" and the ">" are then used up (never found again) and the four letters of the
// href are deleted, and the walk goes on along the same line while the ">" was not its last
// character. On the last line a missing ">" or a missing quote ends the whole collection.
// Links come in order of appearance, repeats included.
QStringList CollectHrefLinks(const QStringList& lines);
