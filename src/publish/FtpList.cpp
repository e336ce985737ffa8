// The "+FTP" and image commands on the ChangedList.
#include "publish/FtpList.h"

#include "app/ChangedList.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/FileChooser.h"
#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "project/FilesTab.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace FtpList {

QString selectPageFirstText() {
    return QStringLiteral("You must click on a file within your project first..");
}

QString selectFileFirstText() {
    return QStringLiteral(
        "You must select a file from the file list first (images or HTML files OK).");
}

QString noImageFolderText() {
    return QStringLiteral("You must select the directory where your images are located, or press "
                          "CANCEL to exit this screen.");
}

void addSelectedFile(ChangedList& list, Prompter& prompter, const FtpAddSelection& selection) {
    switch (selection.page) {
    case FtpAddSelection::Page::WebSite:
        if (!selection.pageSelected) {
            prompter.inform(selectPageFirstText());
            return;
        }
        list.add(selection.pageFile);
        return;
    case FtpAddSelection::Page::Files:
        if (selection.fileName.isEmpty()) {
            prompter.inform(selectFileFirstText());
            return;
        }
        // One "/" between folder and name, also in the root folder.
        list.add(FilesTab::joinPath(selection.folder, selection.fileName));
        return;
    case FtpAddSelection::Page::Other:
        return;
    }
}

QString folderOfChosenFile(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    return folderWithSeparator(folder);
}

QString imageChooserStart(const QString& imagesSetting, const QString& pageFile,
                          const QString& homeDirectory) {
    if (!imagesSetting.isEmpty() && QFileInfo(imagesSetting).isDir())
        return imagesSetting;
    if (!pageFile.isEmpty()) {
        const QString folder = QFileInfo(pageFile).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return homeDirectory;
}

std::optional<QString> chooseImageFolder(FileChooser& chooser, const QString& startFolder) {
    FileDialogRequest request;
    request.title = QStringLiteral("Image Directory");
    request.filter = QStringLiteral("All Files|*");
    request.initialDirectory = startFolder;
    const std::optional<QString> chosen = chooser.openFile(request);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return folderOfChosenFile(*chosen);
}

std::optional<QString> acceptImageFolder(const QString& field, Prompter& prompter) {
    if (field.isEmpty()) {
        prompter.inform(noImageFolderText());
        return std::nullopt;
    }
    return field;
}

QStringList imageNamesOfPage(const QStringList& lines) {
    QStringList names = CollectImageNames(lines);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

QString imagePath(const QString& folder, const QString& name) {
    // Plain concatenation: the folder carries its own separator when it came from the dialog.
    const QString path = folder + name;
    // The folder is read by its bytes: a picture with a Latin-1 name is found too.
    if (regularFileSize(path) >= 0)
        return path;
    const QFileInfo where(path);
    for (const FolderEntry& entry : listFolder(where.path()).entries) {
        if (entry.kind == FolderEntry::Kind::File &&
            QString::compare(entry.name, where.fileName(), Qt::CaseInsensitive) == 0)
            return path.left(path.size() - where.fileName().size()) + entry.name;
    }
    return path;
}

void addImagesOfPage(ChangedList& list, const QStringList& lines, const QString& folder,
                     Settings& settings, const SettingsStore& store) {
    QStringList paths;
    for (const QString& name : imageNamesOfPage(lines))
        paths << imagePath(folder, name);
    list.addAll(paths);
    store.set(settings, &Settings::ftpImages, folder);
}

} // namespace FtpList
