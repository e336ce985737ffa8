// Extended Replace in the main window.
#include "ui/services/BigReplaceUi.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "services/BigReplaceCommands.h"
#include "ui/services/TFormBigReplace.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/InstallCommands.h"

CommandTable installBigReplace(ActionRegistry&, const CommandContext& c) {
    AppState* state = &c.state;
    Prompter* prompter = &c.prompter;
    FileChooser* chooser = &c.chooser;
    QWidget* window = dynamic_cast<QWidget*>(&c.window);
    return bigReplaceCommands([state, prompter, chooser, window] {
        openExtendedReplace(state->document(), *prompter, [&] {
            TFormBigReplace dialog(*state, *prompter, *chooser, window);
            dialog.exec();
        });
    });
}
