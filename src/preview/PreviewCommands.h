// The preview room's commands: Settings, the two browser previews, the Helper Apps menu and the
// help entries of the Help menu.
#pragma once

#include "app/Commands.h"

class AppState;
class Help;
class HelpDialogs;
class Preview;

namespace PreviewCommands {
// Between the Tools menu and Help.
constexpr int HelperAppsMenuOrder = 850;
} // namespace PreviewCommands

CommandTable previewCommands(AppState& state, Preview& preview, Help& help, HelpDialogs& dialogs);
