// The Power table dialog's text.
#include "tags/PowerTable.h"

#include "tags/TagText.h"

#include <algorithm>

QString tableText(const TableFields& f) {
    QString width;
    if (!f.percentWidth)
        width = f.pixels != 0 ? QStringLiteral(" WIDTH=") + QString::number(f.pixels)
                              : QStringLiteral(" ");
    else if (f.percent != 0)
        width = QStringLiteral(" WIDTH=\"") + QString::number(f.percent) + QStringLiteral("%\"");
    const auto number = [](const char* name, int value) {
        return value != 0 ? QLatin1String(name) + QString::number(value) : QString();
    };
    const auto text = [](const char* name, const QString& value) {
        return !value.isEmpty() ? QLatin1String(name) + attributeValue(value) : QString();
    };
    QStringList lines;
    lines << QStringLiteral("<TABLE") + number(" CELLPADDING=", f.padding) +
                 number(" CELLSPACING=", f.spacing) + width + number(" BORDER=", f.border) +
                 text(" ALIGN=", f.align) + text(" VALIGN=", f.valign) + QLatin1Char('>');
    if (!f.caption.isEmpty())
        lines << (f.captionBottom ? QStringLiteral("   <CAPTION ALIGN=BOTTOM>")
                                  : QStringLiteral("   <CAPTION ALIGN=TOP>")) +
                     f.caption + QStringLiteral("</CAPTION>");
    for (int r = 0; r < std::max(f.rows, 0); ++r) {
        lines << QStringLiteral("<TR>");
        for (int c = 0; c < std::max(f.columns, 0); ++c) {
            const QString cell =
                r < f.cells.size() && c < f.cells[r].size() ? f.cells[r][c] : QString();
            lines << QStringLiteral("    <TD>") + cell + QStringLiteral("</TD>");
        }
        lines << QStringLiteral("</TR>");
    }
    lines << QStringLiteral("</TABLE>");
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
