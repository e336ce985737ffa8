// Change File Path over the site outline's links.
#include "project/ChangeFilePath.h"

#include "app/Settings.h"

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QStringList projectFolders(const QStringList& links) {
    QStringList folders;
    for (const QString& link : links) {
        const QString folder = folderOf(link);
        if (!folder.isEmpty() && !folders.contains(folder, Qt::CaseInsensitive))
            folders << folder;
    }
    return folders;
}

int changeFilePath(SiteOutline& outline, const QString& oldFolder, const QString& newFolder) {
    const QString from = folderWithSeparator(oldFolder);
    const QString to = folderWithSeparator(newFolder);
    if (from.isEmpty() || to.isEmpty())
        return 0;
    int changed = 0;
    for (int item = 1; item <= outline.count(); ++item) {
        const QString link = outline.page(item).link;
        if (folderOf(link).compare(from, Qt::CaseInsensitive) != 0)
            continue;
        outline.setLink(item, to + link.mid(from.size()));
        ++changed;
    }
    return changed;
}

QString changeFilePathDoneText() {
    return QStringLiteral("All file references have been updated with the new path data.");
}

QString selectNewPathText() {
    return QStringLiteral(
        "In the next dialog box, go to the new directory where your HTML file is located and "
        "select any file in that directory. Then click the OPEN button. That will return the "
        "proper path location.");
}
