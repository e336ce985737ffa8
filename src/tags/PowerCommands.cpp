// The main window's side of the Power dialogs.
#include "tags/PowerCommands.h"

#include "app/AppState.h"
#include "editor/EditWindow.h"
#include "platform/Clipboard.h"

bool powerCollapsesSelection(PowerDialog which) {
    switch (which) {
    case PowerDialog::Anchor:
    case PowerDialog::Image:
    case PowerDialog::Rule:
    // The FRAMESET dialog takes the selected lines in: its text stands in their place.
    case PowerDialog::FrameSet:
        return false;
    default:
        return true;
    }
}

void runPowerDialog(PowerDialog which, TagInserter& inserter, AppState& state,
                    const std::function<PowerDialogOutcome(PowerDialog)>& open) {
    EditWindow& editor = inserter.editor();
    Clipboard& clipboard = inserter.clipboard();
    // The FRAME and FRAMESET dialogs start from an empty clipboard, FRAMESET's holding the
    // selected lines it goes round. The page is not touched before the dialog closes: a cancel
    // leaves neither a change nor a step to undo, and an insertion is one step. A cancel gives
    // the clipboard back as it was.
    const QString before = clipboard.text();
    if (which == PowerDialog::Frame || which == PowerDialog::FrameSet)
        clipboard.clear();
    if (which == PowerDialog::FrameSet && editor.selLength() > 0)
        clipboard.setText(editor.selText());

    const PowerDialogOutcome outcome = open(which);

    Settings& settings = state.settings();
    const SettingsStore& store = state.store();
    if (outcome.relImage)
        store.set(settings, &Settings::relImage, *outcome.relImage);
    if (outcome.imageFolder)
        store.set(settings, &Settings::imageFolder, *outcome.imageFolder);
    if (outcome.result.accepted) {
        if (outcome.useAnchor)
            store.set(settings, &Settings::useAnchor, *outcome.useAnchor);
        if (outcome.anchorPath)
            store.set(settings, &Settings::anchorPath, *outcome.anchorPath);
        inserter.pasteDialogResult(outcome.result, powerCollapsesSelection(which));
        return;
    }
    if (which == PowerDialog::Frame || which == PowerDialog::FrameSet) {
        clipboard.setText(before);
        if (before.isEmpty())
            clipboard.clear();
    }
}
