// The project tools' commands: Backup (Tools menu, Ctrl+F1, tool bar) and the project builder
// (File menu, the outline's pop-up, Tools menu).
#pragma once

#include "app/Commands.h"

#include <functional>

CommandTable projectToolsCommands(std::function<void()> backup,
                                  std::function<void()> projectBuilder);
