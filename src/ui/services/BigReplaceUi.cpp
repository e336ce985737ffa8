// Extended Replace in the main window.
#include "ui/services/BigReplaceUi.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "services/BigReplaceCommands.h"
#include "ui/services/TFormBigReplace.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"

CommandTable installBigReplace(ActionRegistry&, Shell& c) {
    AppState* state = &c.state;
    Prompter* prompter = &c.prompter;
    FileChooser* chooser = &c.chooser;
    QWidget* window = &c.messageParent;
    return bigReplaceCommands([state, prompter, chooser, window] {
        openExtendedReplace(state->document(), *prompter, [&] {
            TFormBigReplace dialog(*state, *prompter, *chooser, window);
            dialog.exec();
        });
    });
}
