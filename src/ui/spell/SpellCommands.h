// The spell checker in the main window: the "Spell Check" command on the tool bar, in the Edit
// menu and in the editor's pop-up menu, the checker created and configured with the window, its
// dialogs and the "Now Checking Spelling....." window.
#pragma once

class Prompter;
class QAction;
class TAddictSpell;
class TForm1;
class TFormSpellCheck;

// Called once from the main window's constructor, after its start-up sequence.
void installSpellCheck(TForm1& form, Prompter& prompter);

// What tests reach of the installed checker.
TAddictSpell* spellChecker(TForm1& form);
TFormSpellCheck* spellCheckDialog(TForm1& form);
QAction* spellCheckAction(TForm1& form);
