// The analysis room's command table: the ways into the "Web Page Analysis" screen.
#pragma once

#include "app/Commands.h"

#include <functional>

namespace AnalysisCommands {
// The id of the file list's "Analyze Web Page", which the Files tab's pop-up places.
inline constexpr const char* analyzeWebPage = "AnalyzeWebPage1";
} // namespace AnalysisCommands

// open: the screen for the project (tool bar, Tools menu, outline pop-up); openFile: the screen
// for the file selected in the Files tab's list.
CommandTable analysisCommands(std::function<void()> open, std::function<void()> openFile);
