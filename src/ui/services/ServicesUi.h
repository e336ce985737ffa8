// The services room in the main window: its commands, the Find and Replace dialogs, the colour
// dialog, and the presses in the editor that stop a colouring pass.
#pragma once

#include "app/Commands.h"
#include "services/ServicesRoom.h"

#include <QObject>
#include <memory>

class ActionRegistry;
class QPlainTextEdit;
class SnipsTab;
class TFormFindReplace;
struct CommandContext;

class ServicesUi : public QObject, public ServicesWindow {
    Q_OBJECT
public:
    // Lives as long as the registry it installs into (its parent).
    ServicesUi(ActionRegistry& registry, const CommandContext& context);
    ~ServicesUi() override;

    ServicesRoom& room() { return *m_room; }
    TFormFindReplace* findDialog() const { return m_findDialog; }
    TFormFindReplace* replaceDialog() const { return m_replaceDialog; }
    SnipsTab* snipsTab() const { return m_snipsTab; }

    void showFindDialog(const QString& findText) override;
    void showReplaceDialog(const QString& findText) override;
    QString findDialogText() const override;
    std::optional<QColor> chooseColor() override;

    // The one instance of the main window, for the window code that places its buttons.
    static ServicesUi* of(const ActionRegistry& registry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<UiPump> m_pump;
    std::unique_ptr<ServicesRoom> m_room;
    QPlainTextEdit* m_editor = nullptr;
    TFormFindReplace* m_findDialog = nullptr;
    TFormFindReplace* m_replaceDialog = nullptr;
    SnipsTab* m_snipsTab = nullptr;
};

// InstallCommands' line for the services room.
CommandTable installServices(ActionRegistry& registry, const CommandContext& context);
