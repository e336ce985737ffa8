// The spell checker's command table: "Spell Check" on the tool bar (hint "Check spelling"), at
// the end of the Edit menu and of the editor's pop-up menu. What it runs comes from the window,
// which owns the checker's dialogs.
#pragma once

#include "app/Commands.h"

#include <functional>

CommandTable spellCommands(std::function<void()> spellCheckDocument);
