// The main window's commands on the ChangedList: "+FTP" (the file selected on the left pane) and
// the images of the open page, with the image-folder dialog's rules.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class ChangedList;
class FileChooser;
class Prompter;
class SettingsStore;
struct Settings;

// Which page of the left pane is shown, and what is selected on it.
struct FtpAddSelection {
    enum class Page { WebSite, Files, Other };
    Page page = Page::Other;
    bool pageSelected = false; // a page of the outline is selected
    QString pageFile;          // the file linked to it
    QString folder;            // the Files tab's folder
    QString fileName;          // the Files tab's selected file; empty when none
};

namespace FtpList {

QString selectPageFirstText();
QString selectFileFirstText();
QString noImageFolderText();

// "+FTP": adds the file selected on the page shown, or says what to select first.
void addSelectedFile(ChangedList& list, Prompter& prompter, const FtpAddSelection& selection);

// The image-folder dialog's "Select Directory": the folder of the chosen file, with a trailing
// "/". The case stays as it is: the paths built from it must find the files.
QString folderOfChosenFile(const QString& path);
// Where "Select Directory" starts: the Images setting when it names a folder, else the folder of
// the open page (empty when the page is untitled), else the home folder.
QString imageChooserStart(const QString& imagesSetting, const QString& pageFile,
                          const QString& homeDirectory);
// Its "Select Directory" choice: asks the chooser for any file, starting in startFolder.
std::optional<QString> chooseImageFolder(FileChooser& chooser, const QString& startFolder);
// Its "&OK": the folder when the field holds one, else the message and no result.
std::optional<QString> acceptImageFolder(const QString& field, Prompter& prompter);

// The image names of the page, sorted without regard to case, each spelling once.
QStringList imageNamesOfPage(const QStringList& lines);
// The file an image name stands for in folder. The names are lower-cased as the page is read;
// a file whose name differs only in case is taken so that the entry finds it on disk.
QString imagePath(const QString& folder, const QString& name);
// Adds the page's images from folder to the list and records folder as the FTPImages setting.
void addImagesOfPage(ChangedList& list, const QStringList& lines, const QString& folder,
                     Settings& settings, const SettingsStore& store);

} // namespace FtpList

// The image-folder dialog (TFormFTPImageLoc), modal: the folder chosen, or nothing.
class ImageFolderDialog {
public:
    virtual ~ImageFolderDialog() = default;
    // current: the image folder in use; startFolder: where "Select Directory" starts.
    virtual std::optional<QString> askImageFolder(const QString& current,
                                                  const QString& startFolder) = 0;
};
