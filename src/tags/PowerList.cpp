// The Power list dialog's text.
#include "tags/PowerList.h"

#include "tags/TagText.h"

QString listText(const ListFields& f) {
    const QString tag = f.ordered ? QStringLiteral("OL") : QStringLiteral("UL");
    const QString indent = f.noIndent ? QString() : QStringLiteral("    ");
    QStringList lines;
    lines << QLatin1Char('<') + tag + QLatin1Char('>');
    for (int n = 0; n < f.rows; ++n)
        lines << indent + QStringLiteral("<LI>") +
                     (n < 10 && n < f.items.size() ? f.items[n] : QString());
    lines << QStringLiteral("</") + tag + QLatin1Char('>');
    return joinLines(lines);
}
