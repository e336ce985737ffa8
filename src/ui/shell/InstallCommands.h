// The one place where every room's command table is handed to the window's registry.
#pragma once

struct Shell;

// Adds the tables in the rooms' order (app first: it declares the shell's menus, tool bar,
// tag tabs and pop-ups the others add to) to the shell's registry.
void installCommands(Shell& shell);
