// The Power anchor dialog's text.
#include "tags/PowerAnchor.h"

#include "tags/TagText.h"

QString anchorText(const AnchorFields& f) {
    // No separator between path and link, web addresses included: the path is typed to end in
    // one.
    const QString link = attributeValue(f.relativePath ? f.path + f.href : f.href);
    if (!f.nameTag)
        return QStringLiteral("<A HREF=\"") + link + QStringLiteral("\">") + f.description +
               QStringLiteral("</A>");
    return QStringLiteral("<A HREF=#") + link + QLatin1Char('>') + f.description +
           QStringLiteral("</A>  <A NAME=") + link + QLatin1Char('>');
}
