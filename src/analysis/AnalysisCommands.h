// The analysis room's command table: the ways into the "Web Page Analysis" screen.
#pragma once

#include "app/Commands.h"

#include <functional>

// open: the screen for the project (tool bar, Tools menu, outline pop-up). The Files tab's
// "Analyze Web Page" is the file list's command; it reaches the screen through
// ShellParts::pageAnalysis.
CommandTable analysisCommands(std::function<void()> open);
