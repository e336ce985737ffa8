// The services room's commands: colouring, the colour picker, find and replace, slash
// replacement, in the Search, Tags, Tools and Edit menus, the tool bar and the editor's pop-up.
#pragma once

#include "app/Commands.h"

class AppState;
class EditWindow;
class ServicesRoom;
class ServicesWindow;

namespace ServicesCommands {
constexpr int SearchMenuOrder = 300;
constexpr int TagsMenuOrder = 400;
} // namespace ServicesCommands

CommandTable servicesCommands(ServicesRoom& room, AppState& state, EditWindow& editor,
                              ServicesWindow& window);
