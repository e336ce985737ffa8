// The checks room's command table: Check Links in the Tools menu.
#pragma once

#include "app/Commands.h"

#include <functional>

CommandTable checksCommands(std::function<void()> checkLinks);
