// The Power list dialog's text.
#include "tags/PowerList.h"

#include "tags/TagText.h"

QString listText(const ListFields& f) {
    const QString tag = names(f.ordered ? QLatin1String("OL") : QLatin1String("UL"), f.lowerCase);
    const QString item = (f.noIndent ? QString() : QStringLiteral("    ")) +
                         names(QLatin1String("<LI>"), f.lowerCase);
    QStringList lines;
    lines << QLatin1Char('<') + tag + QLatin1Char('>');
    for (int n = 0; n < f.rows; ++n)
        lines << item + (n < 10 && n < f.items.size() ? f.items[n] : QString());
    lines << QStringLiteral("</") + tag + QLatin1Char('>');
    return joinLines(lines);
}
