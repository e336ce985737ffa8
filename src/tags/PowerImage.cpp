// The Power image dialog's text.
#include "tags/PowerImage.h"

#include "tags/TagText.h"

QString imageText(const ImageFields& f) {
    QString tag = QStringLiteral("<IMG");
    if (!f.align.isEmpty())
        tag += QStringLiteral(" ALIGN=") + attributeValue(f.align);
    tag += QStringLiteral(" BORDER=") + QString::number(f.border);
    if (!f.height.isEmpty())
        tag += QStringLiteral(" HEIGHT=") + attributeValue(f.height);
    if (!f.width.isEmpty())
        tag += QStringLiteral(" WIDTH=") + attributeValue(f.width);
    if (!f.alt.isEmpty())
        tag += QStringLiteral(" ALT=\"") + attributeValue(f.alt) + QLatin1Char('"');
    // The file name is lower-cased; the relative path and the folders of a source that reaches
    // into other folders keep their case, as folder names on the server are case-sensitive.
    const qsizetype slash = f.source.lastIndexOf(QLatin1Char('/'));
    const QString source = f.source.left(slash + 1) + f.source.mid(slash + 1).toLower();
    const QString src = (f.useRelativePath ? f.relativePath : QString()) + source;
    tag += QStringLiteral(" SRC=\"") + attributeValue(src) + QLatin1Char('"');
    if (f.ismap)
        tag += QStringLiteral(" ISMAP");
    return tag + QLatin1Char('>');
}

QString imageDimText(int width, int height, bool fromFilesTab) {
    return (fromFilesTab ? QStringLiteral("File Dim: ") : QStringLiteral("Dim: ")) +
           QStringLiteral("%1 X %2 pixels").arg(width).arg(height);
}

QString imageSizeText(qint64 bytes, bool fromFilesTab) {
    return (fromFilesTab ? QStringLiteral("File Size: ") : QStringLiteral("Size: ")) +
           QString::number(bytes / 1000) + QStringLiteral("KB");
}
