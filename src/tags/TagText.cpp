// Shared pieces of the tag dialogs' texts.
#include "tags/TagText.h"

#include <QDir>
#include <QFileInfo>

QString attributeValue(const QString& typed) {
    QString value = typed;
    value.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    return value;
}

QString relativeLink(const QString& file, const QString& pageFolder) {
    if (pageFolder.isEmpty())
        return QFileInfo(file).fileName();
    // Both sides cleaned, so "a/./b" and a trailing "/" do not count as extra folders.
    return QDir(QDir::cleanPath(pageFolder)).relativeFilePath(QDir::cleanPath(file));
}

QString joinLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}
