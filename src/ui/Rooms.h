// The composition root of the main window: its rooms, in the order they are installed.
#pragma once

#include "ui/shell/Room.h"

// App first: it declares the shell's menus, tool bar, tag tabs and pop-ups and their groups.
// The project comes before the rooms that read it through the shell.
std::vector<std::unique_ptr<Room>> windowRooms();
