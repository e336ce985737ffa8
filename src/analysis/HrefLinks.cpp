// CollectHrefLinks: href values tag by tag.
#include "analysis/HrefLinks.h"

namespace {
// What a used-up character becomes: none of "<", ">", '"' or a letter of "href".
constexpr QChar usedUp = QChar(0x01);
} // namespace

QStringList CollectHrefLinks(const QStringList& lines) {
    QStringList links;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        const bool last = n + 1 == lines.size();
        for (;;) {
            const qsizetype lt = line.indexOf(u'<');
            if (lt < 0)
                break;
            const qsizetype gt = line.indexOf(u'>');
            if (gt < 0 && last)
                return links;
            qsizetype href = -1;
            if (gt >= 0) {
                const qsizetype lower = line.indexOf(QLatin1String("href"));
                if (lower > lt && lower < gt)
                    href = lower;
                const qsizetype upper = line.indexOf(QLatin1String("HREF"));
                if (upper > lt && upper < gt)
                    href = upper;
            }
            if (href >= 0) {
                const qsizetype open = line.indexOf(u'"');
                if (open < 0 && last)
                    return links;
                if (open >= lt && open <= gt) {
                    line[open] = usedUp;
                    const qsizetype close = line.indexOf(u'"');
                    if (close < 0 && last)
                        return links;
                    if (close > lt && close < gt) {
                        line[close] = usedUp;
                        links << line.mid(open + 1, close - open - 1);
                    }
                }
            }
            for (qsizetype q = line.indexOf(u'"'); q >= 0 && q < gt; q = line.indexOf(u'"', q + 1))
                line[q] = usedUp;
            line[lt] = usedUp;
            const bool tagEndedLine = gt >= 0 && gt + 1 >= line.size();
            if (gt >= 0)
                line[gt] = usedUp;
            if (href >= 0)
                line.remove(href, 4);
            // Without a ">" the "<" alone was used up: the walk tries the next "<" of the line.
            if (tagEndedLine)
                break;
        }
    }
    return links;
}
