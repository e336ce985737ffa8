// The publishing room's commands: the FTP screen, "+FTP" and the images of the open page, in
// the FTP menu, the Tools menu, the tool bar and the pop-ups of the outline and the file list.
#pragma once

#include "app/Commands.h"
#include "publish/FtpList.h"

class AppState;
class EditWindow;
class Prompter;

namespace PublishCommands {
constexpr int FtpMenuOrder = 500;
} // namespace PublishCommands

// What the commands need of the window.
class PublishWindow {
public:
    virtual ~PublishWindow() = default;
    // The FTP screen, modal; a new one at every opening.
    virtual void openFtpScreen() = 0;
    // The page shown on the left pane and what is selected there.
    virtual FtpAddSelection ftpAddSelection() = 0;
    virtual ImageFolderDialog& imageFolderDialog() = 0;
};

class PublishRoom {
public:
    PublishRoom(AppState& state, EditWindow& editor, Prompter& prompter, PublishWindow& window);

    void openFtpScreen() { m_window.openFtpScreen(); }
    // "+FTP".
    void addSelectedFile();
    // "Add Images from open HTML file to FTP list".
    void addImages();

private:
    AppState& m_state;
    EditWindow& m_editor;
    Prompter& m_prompter;
    PublishWindow& m_window;
};

CommandTable publishCommands(PublishRoom& room);
