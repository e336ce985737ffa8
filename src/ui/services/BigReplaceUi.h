// Extended Replace in the main window: its command, opening TFormBigReplace after the open page
// has been closed.
#pragma once

#include "app/Commands.h"

class ActionRegistry;
struct Shell;

// The composition root's line for Extended Replace.
CommandTable installBigReplace(ActionRegistry& registry, Shell& context);
