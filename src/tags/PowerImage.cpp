// The Power image dialog's text.
#include "tags/PowerImage.h"

#include "tags/TagText.h"

QString imageText(const ImageFields& f) {
    const auto n = [&f](const char* literal) { return names(QLatin1String(literal), f.lowerCase); };
    QString tag = n("<IMG");
    if (!f.align.isEmpty())
        tag += n(" ALIGN=") + attributeValue(f.align);
    tag += n(" BORDER=") + QString::number(f.border);
    if (!f.height.isEmpty())
        tag += n(" HEIGHT=") + attributeValue(f.height);
    if (!f.width.isEmpty())
        tag += n(" WIDTH=") + attributeValue(f.width);
    if (!f.alt.isEmpty())
        tag += n(" ALT=\"") + attributeValue(f.alt) + QLatin1Char('"');
    // The source keeps the case of the file's name: a server finds LOGO.GIF only as LOGO.GIF.
    const QString src = (f.useRelativePath ? f.relativePath : QString()) + f.source;
    tag += n(" SRC=\"") + attributeValue(src) + QLatin1Char('"');
    if (f.ismap)
        tag += n(" ISMAP");
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
