// The Power anchor dialog's text.
#include "tags/PowerAnchor.h"

#include "tags/TagText.h"

QString anchorText(const AnchorFields& f) {
    // No separator between path and link, web addresses included: the path is typed to end in
    // one.
    const QString link = attributeValue(f.relativePath ? f.path + f.href : f.href);
    const auto n = [&f](const char* literal) { return names(QLatin1String(literal), f.lowerCase); };
    if (!f.nameTag)
        return n("<A HREF=\"") + link + QStringLiteral("\">") + f.description + n("</A>");
    return n("<A HREF=#") + link + QLatin1Char('>') + f.description + n("</A>  <A NAME=") + link +
           QLatin1Char('>');
}
