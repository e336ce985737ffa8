// The services room in the main window: its commands, the Find and Replace dialogs, the colour
// dialog, and the presses in the editor that stop a colouring pass.
#pragma once

#include "app/Commands.h"
#include "services/ServicesRoom.h"

#include <QObject>
#include <memory>

class ActionRegistry;
class EventLoopPump;
class LiveColouringUi;
class LongStepWindow;
class QPlainTextEdit;
class QPushButton;
class SnipsTab;
class TFormFindReplace;
struct Shell;

class ServicesUi : public QObject, public ServicesWindow {
    Q_OBJECT
public:
    // Lives as long as the registry it installs into (its parent).
    ServicesUi(ActionRegistry& registry, Shell& context);
    ~ServicesUi() override;

    ServicesRoom& room() { return *m_room; }
    TFormFindReplace* findDialog() const { return m_findDialog; }
    TFormFindReplace* replaceDialog() const { return m_replaceDialog; }
    SnipsTab* snipsTab() const { return m_snipsTab; }
    // The editing pane's buttons: "Color Tags Now" and the stop of a colouring pass.
    QPushButton* colorNowButton() const { return m_colorNow; }
    QPushButton* stopColorsButton() const { return m_stopColors; }
    // How often the passes let events run.
    EventLoopPump& pump() { return *m_pump; }
    // The progress window of long steps on the open page (loading a big one).
    LongStepWindow& longSteps() { return *m_longSteps; }
    // Colouring that follows typing while "Color" is on (absent without the editor widget).
    LiveColouringUi* liveColouring() const { return m_live; }

    void showFindDialog(const QString& findText) override;
    void showReplaceDialog(const QString& findText) override;
    QString findDialogText() const override;
    std::optional<QColor> chooseColor() override;

    // The one instance of the main window, for the window code that places its buttons.
    static ServicesUi* of(const ActionRegistry& registry);

private:
    void addEditingPaneButtons(ActionRegistry& registry);

    std::unique_ptr<EventLoopPump> m_pump;
    std::unique_ptr<LongStepWindow> m_longSteps;
    std::unique_ptr<ServicesRoom> m_room;
    QPlainTextEdit* m_editor = nullptr;
    LiveColouringUi* m_live = nullptr;
    TFormFindReplace* m_findDialog = nullptr;
    TFormFindReplace* m_replaceDialog = nullptr;
    SnipsTab* m_snipsTab = nullptr;
    QPushButton* m_colorNow = nullptr;
    QPushButton* m_stopColors = nullptr;
};

// The composition root's line for the services room.
CommandTable installServices(ActionRegistry& registry, Shell& context);
