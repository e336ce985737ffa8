// FileChooser: the open and save dialogs.
#pragma once

#include <QString>
#include <optional>

struct FileDialogRequest {
    QString title;
    // Pairs of label and pattern joined by "|": "HTML Files|*.html;*.htm|All Files|*.*".
    QString filter;
    int filterIndex = 1; // 1-based, as the program numbers its file types
    QString initialDirectory;
    QString fileName;         // file name part to start with
    QString defaultExtension; // without the dot; added to a typed name that has none
    bool overwritePrompt = false;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    // A folder (title and start folder of the request); nullopt when cancelled or when the
    // chooser offers no folders.
    virtual std::optional<QString> chooseFolder(const FileDialogRequest& request) {
        (void)request;
        return std::nullopt;
    }
};
