// The Power BODY dialog's text.
#include "tags/PowerBody.h"

#include "tags/TagText.h"

#include <QStringList>

QString colorText(int color) {
    const auto hex = [](int byte) {
        return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    };
    return QLatin1Char('#') + hex(color) + hex(color >> 8) + hex(color >> 16);
}

QString bodyTag(const BodyFields& f) {
    QString tag = QStringLiteral("<BODY ");
    if (f.tiled) {
        const QString path = (f.useRelativePath ? f.relativePath : QString()) + f.imageLink;
        tag += QStringLiteral("BACKGROUND=\"") + attributeValue(path) + QStringLiteral("\" ");
    } else {
        tag += QStringLiteral("BGCOLOR=") + colorText(f.bg) + QLatin1Char(' ');
    }
    tag += QStringLiteral("TEXT=\"") + colorText(f.text) + QLatin1Char('"');
    tag += QStringLiteral(" LINK=") + colorText(f.link);
    tag += QStringLiteral(" ALINK=") + colorText(f.alink);
    tag += QStringLiteral(" VLINK=") + colorText(f.vlink);
    // Every value here is a colour or quoted: the tag is the program's own throughout.
    return tagCase(tag + QLatin1Char('>'), f.lowerCase);
}

QString bodyText(const BodyFields& f) {
    const auto n = [&f](const char* literal) { return names(QLatin1String(literal), f.lowerCase); };
    QStringList lines;
    if (!f.html && !f.head && !f.title && !f.meta) {
        lines << bodyTag(f);
        if (f.endTag)
            lines << n("</BODY>");
        return joinLines(lines);
    }
    if (f.html)
        lines << n("<HTML>");
    if (f.head)
        lines << n("<HEAD>");
    // The title is the element's content, not an attribute: a quote in it breaks nothing.
    if (f.title)
        lines << n("    <TITLE>") + f.titleText + n("</TITLE>");
    if (f.meta) {
        lines << tagCase(QStringLiteral("    <META Name=\"Description\" Content=\"") +
                             attributeValue(f.description) + QStringLiteral("\">"),
                         f.lowerCase);
        lines << tagCase(QStringLiteral("    <META Name=\"Keywords\" Content=\"") +
                             attributeValue(f.keywords) + QStringLiteral("\">"),
                         f.lowerCase);
    }
    if (f.head)
        lines << n("</HEAD>");
    lines << bodyTag(f) << n("</BODY>");
    if (f.html)
        lines << n("</HTML>");
    return joinLines(lines);
}
