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
    return tag + QLatin1Char('>');
}

QString bodyText(const BodyFields& f) {
    QStringList lines;
    if (!f.html && !f.head && !f.title && !f.meta) {
        lines << bodyTag(f);
        if (f.endTag)
            lines << QStringLiteral("</BODY>");
        return joinLines(lines);
    }
    if (f.html)
        lines << QStringLiteral("<HTML>");
    if (f.head)
        lines << QStringLiteral("<HEAD>");
    // The title is the element's content, not an attribute: a quote in it breaks nothing.
    if (f.title)
        lines << QStringLiteral("    <TITLE>") + f.titleText + QStringLiteral("</TITLE>");
    if (f.meta) {
        lines << QStringLiteral("    <META Name=\"Description\" Content=\"") +
                     attributeValue(f.description) + QStringLiteral("\">");
        lines << QStringLiteral("    <META Name=\"Keywords\" Content=\"") +
                     attributeValue(f.keywords) + QStringLiteral("\">");
    }
    if (f.head)
        lines << QStringLiteral("</HEAD>");
    lines << bodyTag(f) << QStringLiteral("</BODY>");
    if (f.html)
        lines << QStringLiteral("</HTML>");
    return joinLines(lines);
}
