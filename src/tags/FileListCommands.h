// The tag commands of the Files tab: the button "Insert Link/Image" and the file list's pop-up
// ("Insert Image", "Insert Link to HTML file", "Analyze Web Page").
#pragma once

#include "app/Commands.h"

#include <QObject>
#include <QString>
#include <functional>

class AppState;
class EditWindow;

// The file chosen in the file list: its folder and name (empty when none is chosen).
struct FileListChoice {
    QString folder;
    QString fileName;
};

// Tells the commands that the file list's choice changed, so that "Analyze Web Page" is
// enabled or not before its pop-up shows.
class FileListChoiceSignal : public QObject {
    Q_OBJECT
signals:
    void changed();
};

namespace FileListCommands {
constexpr const char* insertButton = "InsertLinkImage1";
} // namespace FileListCommands

// chosen: what the file list holds now. "Analyze Web Page" runs the page analysis of the shell
// parts and stays disabled until that window is there.
CommandTable fileListCommands(AppState& state, EditWindow& editor,
                              std::function<FileListChoice()> chosen,
                              FileListChoiceSignal& choiceChanged);
