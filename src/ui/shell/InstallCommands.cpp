// The rooms' command tables, in order. A new room adds its line here.
#include "ui/shell/InstallCommands.h"

#include "app/AppCommands.h"
#include "spell/SpellCommands.h"
#include "ui/analysis/AnalysisUi.h"
#include "ui/project/PrintUi.h"
#include "ui/project/ProjectUi.h"
#include "ui/services/ServicesUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/spell/SpellCommands.h"
#include "ui/tags/TagWindows.h"

void installCommands(ActionRegistry& registry, const CommandContext& c) {
    registry.add(appCommands(c.state, c.editor, c.window, c.tips));
    registry.add(tagCommandsForWindow(c));
    registry.add(installServices(registry, c));
    const CommandTable project = installProject(registry, c);
    registry.add(project);
    placePageButtons(registry, project);
    registry.add(installPrinting(registry, c));
    registry.add(installAnalysis(registry, c));
    // Spell Check ends the Edit menu, after the page commands.
    registry.add(spellCommands(installSpellCheck(c)));
}
