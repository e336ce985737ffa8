// The publishing room in the main window: the FTP screen, the image-folder dialog and "+FTP" by
// the page shown on the left (whose entry in the file list's pop-up the tag room shows).
#pragma once

#include "publish/PublishCommands.h"

#include <QObject>
#include <functional>
#include <memory>

class ActionRegistry;
class AppState;
class FileChooser;
class Prompter;
class QWidget;
class TFormFTP;
struct Shell;

class PublishUi : public QObject, public PublishWindow, public ImageFolderDialog {
    Q_OBJECT
public:
    PublishUi(ActionRegistry& registry, Shell& context);
    ~PublishUi() override;

    PublishRoom& room() { return *m_room; }

    // PublishWindow
    void openFtpScreen() override;
    FtpAddSelection ftpAddSelection() override;
    ImageFolderDialog& imageFolderDialog() override { return *this; }
    // ImageFolderDialog
    std::optional<QString> askImageFolder(const QString& current,
                                          const QString& startFolder) override;

    // Called with each FTP screen once it is made, before it runs (the window tests drive it).
    std::function<void(TFormFTP&)> onScreenOpened;

    static PublishUi* of(const ActionRegistry& registry);

private:
    ActionRegistry& m_registry;
    // The context itself is gone once the tables are installed; what it pointed at stays.
    AppState& m_state;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    QWidget* m_window = nullptr;
    Shell& m_shell;
    std::unique_ptr<PublishRoom> m_room;
};

// The composition root's line for the publishing room.
CommandTable installPublish(ActionRegistry& registry, Shell& context);
