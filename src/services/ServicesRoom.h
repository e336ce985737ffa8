// The editor services the main window keeps for its whole life: the tag colours and the
// colouring pass with its stop flag, the one search state, and the two snip lists.
#pragma once

#include "services/ColorPicker.h"
#include "services/FindReplace.h"
#include "services/Snips.h"
#include "services/TagColors.h"

class AppState;

// What the services' commands need of the window, which ui/ implements with its dialogs.
class ServicesWindow : public ColorChooser {
public:
    // The Find and Replace dialogs, shown with their find text set.
    virtual void showFindDialog(const QString& findText) = 0;
    virtual void showReplaceDialog(const QString& findText) = 0;
    // The Find dialog's text, named by Find Next's not-found message.
    virtual QString findDialogText() const = 0;
};

// Colouring that follows typing, which the window brings over its editor: while it is on, it
// colours every newly loaded page itself and "Color Tags Now" colours again through it.
class LiveColouring {
public:
    virtual ~LiveColouring() = default;
    virtual bool liveColouringOn() const = 0;
    virtual void colourAgain() = 0;
    // Takes away at once what is left of the live colours of a page after the switch went off
    // (they go in slices), so that none goes later over the colours of a pass.
    virtual void endUncolouring() = 0;
};

class ServicesRoom : public TagColouring {
public:
    ServicesRoom(AppState& state, EditWindow& editor, Prompter& prompter, UiPump& pump);

    // TagColouring: the pass after a load while "Color" is on, with the colours stored now (live
    // colouring, when the window has it, instead; also after Settings, Apply).
    void colourText() override;
    // "Color Tags Now".
    void colorTagsNow();
    // A press on BitBtnStopColors or in the editor while a pass runs.
    void pressStop() { m_stop.stop = true; }
    void setLiveColouring(LiveColouring* live) { m_live = live; }

    TagColoringPass& colouring() { return m_colouring; }
    FindReplace& find() { return m_find; }
    Snips& snips() { return m_snips; }

private:
    AppState& m_state;
    StopColoring m_stop;
    LiveColouring* m_live = nullptr;
    TagColoringPass m_colouring;
    FindReplace m_find;
    Snips m_snips;
};
