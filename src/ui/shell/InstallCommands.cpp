// The rooms' command tables, in order. A new room adds its line here.
#include "ui/shell/InstallCommands.h"

#include "app/AppCommands.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/tags/TagWindows.h"

void installCommands(ActionRegistry& registry, const CommandContext& c) {
    registry.add(appCommands(c.state, c.editor, c.window, c.tips));
    registry.add(tagCommandsForWindow(c));
}
