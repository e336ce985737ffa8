// What the main window does around a Power dialog: the clipboard and selection before it opens,
// the hand-over after it closes (before or over the selection), the remembered paths it leaves.
#pragma once

#include "tags/TagInsertion.h"

#include <QString>
#include <optional>

class AppState;

enum class PowerDialog { Body, Anchor, Image, Table, List, Rule, Frames, FrameSet, Frame };

// What a Power dialog leaves behind when it closes.
struct PowerDialogOutcome {
    TagDialogResult result;
    // Body and image dialogs: the relative-path field, remembered whether or not they inserted.
    std::optional<QString> relImage;
    // Image dialog: the folder it listed last, where it opens next time.
    std::optional<QString> imageFolder;
    // Anchor dialog: "Relative File Path:" chosen, and its path; remembered only when inserted.
    std::optional<bool> useAnchor;
    std::optional<QString> anchorPath;
};

// Whether the dialog's text goes before the selection (true) or replaces it.
bool powerCollapsesSelection(PowerDialog which);

// open: shows the dialog modally and returns what it left.
void runPowerDialog(PowerDialog which, TagInserter& inserter, AppState& state,
                    const std::function<PowerDialogOutcome(PowerDialog)>& open);
