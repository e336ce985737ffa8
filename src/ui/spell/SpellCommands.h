// The spell checker in the main window: the checker, created with the window and configured as
// it starts, its dialogs and the "Now Checking Spelling....." window; the command table of
// spell/ places the "Spell Check" command that runs SpellCheckDocument through it.
#pragma once

#include "app/Commands.h"

#include <functional>

class ActionRegistry;
class QObject;
class QPlainTextEdit;
class QRect;
class TAddictSpell;
class TFormSpellCheck;
struct Shell;

// Makes the checker and its windows for the main window of the context; returns what the
// "Spell Check" command runs.
std::function<void()> installSpellCheck(Shell& context);
// The spelling room: the spell check above and the table of its command.
CommandTable installSpelling(ActionRegistry& registry, Shell& context);

// Where the editor's selection stands on the screen (global coordinates), as wide as the
// selected text on its line.
QRect selectedTextArea(const QPlainTextEdit& editor);

// What tests reach of the installed checker (searched among the window's children).
TAddictSpell* spellChecker(QObject& window);
TFormSpellCheck* spellCheckDialog(QObject& window);
