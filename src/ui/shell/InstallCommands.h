// The one place where every room's command table is handed to the window's registry.
#pragma once

class ActionRegistry;
class AppState;
class EditWindow;
class FileChooser;
class Prompter;
class ShellWindow;
class TipOfTheDay;

// What the rooms' tables may draw on; a room that needs more adds it here.
struct CommandContext {
    AppState& state;
    EditWindow& editor;
    ShellWindow& window;
    TipOfTheDay& tips;
    Prompter& prompter;
    FileChooser& chooser;
};

// Adds the tables in the rooms' order (app first: it declares the shell's menus, tool bar,
// tag tabs and pop-ups the others add to).
void installCommands(ActionRegistry& registry, const CommandContext& context);
