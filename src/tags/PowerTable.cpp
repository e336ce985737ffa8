// The Power table dialog's text.
#include "tags/PowerTable.h"

#include "tags/TagText.h"

#include <algorithm>

QString tableText(const TableFields& f) {
    const auto n = [&f](const char* literal) { return names(QLatin1String(literal), f.lowerCase); };
    QString width;
    if (!f.percentWidth)
        width = f.pixels != 0 ? n(" WIDTH=") + QString::number(f.pixels) : QStringLiteral(" ");
    else if (f.percent != 0)
        width = n(" WIDTH=\"") + QString::number(f.percent) + QStringLiteral("%\"");
    const auto number = [&n](const char* name, int value) {
        return value != 0 ? n(name) + QString::number(value) : QString();
    };
    const auto text = [&n](const char* name, const QString& value) {
        return !value.isEmpty() ? n(name) + attributeValue(value) : QString();
    };
    // One pass, each line built once: a large table costs its size and no more.
    const int rows = std::max(f.rows, 0);
    const int columns = std::max(f.columns, 0);
    QStringList lines;
    lines.reserve(3 + qsizetype(rows) * (columns + 2));
    lines << n("<TABLE") + number(" CELLPADDING=", f.padding) + number(" CELLSPACING=", f.spacing) +
                 width + number(" BORDER=", f.border) + text(" ALIGN=", f.align) +
                 text(" VALIGN=", f.valign) + QLatin1Char('>');
    if (!f.caption.isEmpty())
        lines << tagCase(f.captionBottom ? QStringLiteral("   <CAPTION ALIGN=BOTTOM>")
                                         : QStringLiteral("   <CAPTION ALIGN=TOP>"),
                         f.lowerCase) +
                     f.caption + n("</CAPTION>");
    const QString tr = n("<TR>");
    const QString trEnd = n("</TR>");
    const QString td = n("    <TD>");
    const QString tdEnd = n("</TD>");
    const QString emptyCell = td + tdEnd;
    for (int r = 0; r < rows; ++r) {
        lines << tr;
        const QStringList* cells = r < f.cells.size() ? &f.cells[r] : nullptr;
        for (int c = 0; c < columns; ++c) {
            if (cells && c < cells->size() && !cells->at(c).isEmpty())
                lines << td + cells->at(c) + tdEnd;
            else
                lines << emptyCell;
        }
        lines << trEnd;
    }
    lines << n("</TABLE>");
    return joinLines(lines);
}

int tableSamplerBevel(int border) {
    return std::clamp(border, 0, 6);
}

QList<QRect> tableSamplerCells(int border, int padding, int spacing) {
    const int s = std::clamp(spacing, 0, 8);
    const int p = std::clamp(padding, 0, 6);
    const int origin = s + tableSamplerBevel(border) + 2;
    const int w = 35 + 2 * p;
    const int h = 17 + 2 * p;
    return {QRect(origin, origin, w, h), QRect(origin + w + s + 1, origin, w, h),
            QRect(origin, origin + h + s + 1, w, h)};
}
