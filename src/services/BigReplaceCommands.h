// Extended Replace in the Search menu and on the tool bar, and the steps before its dialog.
#pragma once

#include "app/Commands.h"

#include <functional>

class HtmlDocument;
class Prompter;

// The open page is closed before any file is rewritten, so no page in the editor can be out of
// step with its file: after the integrity message and the save question (Cancel ends here), the
// editor holds a new untitled document. Then showDialog runs; nothing is reloaded after it.
// Returns whether the dialog was shown.
bool openExtendedReplace(HtmlDocument& document, Prompter& prompter,
                         const std::function<void()>& showDialog);
QString integrityText();

CommandTable bigReplaceCommands(std::function<void()> extendedReplace);
