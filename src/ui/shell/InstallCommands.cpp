// The rooms' command tables, in order. A new room adds its line here.
#include "ui/shell/InstallCommands.h"

#include "app/AppCommands.h"
#include "spell/SpellCommands.h"
#include "ui/analysis/AnalysisUi.h"
#include "ui/checks/ChecksUi.h"
#include "ui/preview/PreviewUi.h"
#include "ui/project/PrintUi.h"
#include "ui/project/ProjectToolsUi.h"
#include "ui/project/ProjectUi.h"
#include "ui/publish/PublishUi.h"
#include "ui/services/BigReplaceUi.h"
#include "ui/services/ServicesUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"
#include "ui/spell/SpellCommands.h"
#include "ui/tags/TagRoomParts.h"
#include "ui/tags/TagWindows.h"

void installCommands(Shell& c) {
    ActionRegistry& registry = c.registry;
    registry.add(appCommands(c.state, c.editor, c.window, c.tips));
    registry.add(tagCommandsForWindow(c));
    registry.add(installTagRoomParts(registry, c));
    registry.add(installServices(registry, c));
    const CommandTable project = installProject(registry, c);
    registry.add(project);
    placePageButtons(c, project);
    registry.add(installBigReplace(registry, c));
    registry.add(installProjectTools(registry, c));
    registry.add(installPreview(registry, c));
    registry.add(installPrinting(registry, c));
    registry.add(installAnalysis(registry, c));
    registry.add(installChecks(registry, c));
    // Spell Check ends the Edit menu, after the page commands.
    registry.add(spellCommands(installSpellCheck(c)));
    registry.add(installPublish(registry, c));
}
