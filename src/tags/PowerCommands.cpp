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
        return false;
    default:
        return true;
    }
}

void runPowerDialog(PowerDialog which, TagInserter& inserter, AppState& state,
                    const std::function<PowerDialogOutcome(PowerDialog)>& open) {
    EditWindow& editor = inserter.editor();
    Clipboard& clipboard = inserter.clipboard();
    // The FRAME and FRAMESET dialogs start from an empty clipboard (FRAMESET from the cut
    // selection). A cancel gives back what was there, so that it changes neither the page nor
    // the clipboard.
    const QString before = clipboard.text();
    QString cut;
    if (which == PowerDialog::Frame || which == PowerDialog::FrameSet)
        clipboard.clear();
    if (which == PowerDialog::FrameSet && editor.selLength() > 0) {
        cut = editor.selText();
        editor.replaceSelection(QString());
        clipboard.setText(cut);
        inserter.markModified();
    }

    const PowerDialogOutcome outcome = open(which);

    Settings& settings = state.settings();
    const SettingsStore& store = state.store();
    if (outcome.relImage)
        store.set(settings, &Settings::relImage, *outcome.relImage);
    if (outcome.result.accepted) {
        if (outcome.useAnchor)
            store.set(settings, &Settings::useAnchor, *outcome.useAnchor);
        if (outcome.anchorPath)
            store.set(settings, &Settings::anchorPath, *outcome.anchorPath);
        inserter.pasteDialogResult(outcome.result, powerCollapsesSelection(which));
        return;
    }
    if (which == PowerDialog::Frame || which == PowerDialog::FrameSet) {
        if (!cut.isEmpty()) {
            editor.setSelLength(0);
            editor.replaceSelection(cut);
        }
        clipboard.setText(before);
        if (before.isEmpty())
            clipboard.clear();
    }
}
