// The horizontal rule dialog's text.
#include "tags/PowerRule.h"

#include "tags/TagText.h"

#include <algorithm>

QString ruleText(const RuleFields& f) {
    QString tag = QStringLiteral("<HR ALIGN=\"") + f.align + QStringLiteral("\" ");
    tag += QStringLiteral(" SIZE=\"") + QString::number(f.thickness) + QStringLiteral("\" ");
    tag += QStringLiteral(" WIDTH=\"") + (f.percentWidth
                                              ? QString::number(f.percent) + QStringLiteral("%\"")
                                              : QString::number(f.pixels) + QLatin1Char('"'));
    if (f.noShade)
        tag += QStringLiteral(" NOSHADE");
    // Every value is quoted: the tag is the program's own throughout.
    return tagCase(tag + QLatin1Char('>'), f.lowerCase);
}

QRect ruleSample(const RuleFields& f) {
    const int width = f.percentWidth ? f.percent * 320 / 100 : std::min(f.pixels / 2, 320);
    int left = (320 - width) / 2;
    if (f.align == QLatin1String("LEFT"))
        left = 0;
    else if (f.align == QLatin1String("RIGHT"))
        left = 320 - width;
    return QRect(left, 0, width, f.thickness);
}
