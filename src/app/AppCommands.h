// The app room's commands: the File, Edit and Help menus, the main tool bar and the editor's
// pop-up menu, as the shell declares them. Later rooms add their own tables (the project's
// commands take over the File menu's project entries, the tag commands fill the tag tabs).
#pragma once

#include "app/Commands.h"

class AppState;
class EditWindow;
class ShellWindow;
class TipOfTheDay;

namespace AppCommands {
// Where the shell's menus sit on the menu bar; a room's menu takes a number in between.
constexpr int FileMenuOrder = 100;
constexpr int EditMenuOrder = 200;
constexpr int ToolsMenuOrder = 600;
constexpr int HelpMenuOrder = 900;
// The tag tool box's "Common" tab comes first.
constexpr int CommonTabOrder = 100;
} // namespace AppCommands

CommandTable appCommands(AppState& state, EditWindow& editor, ShellWindow& window,
                         TipOfTheDay& tips);
