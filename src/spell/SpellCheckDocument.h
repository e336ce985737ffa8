// SpellCheckDocument: the main window's "Spell Check" command over the EditWindow.
//
// Checks the selection first, when there is one, and asks whether to go on with the rest of
// the text; then checks from the end of the selection (or the caret) to the end of the text,
// and offers to go on from the top up to where it started.
// The selection is given back as it was, grown or shrunk by the changes made inside it.
#pragma once

#include <functional>

#include <QString>

class EditWindow;
class Prompter;
class TAddictSpell;

struct SpellCheckDocumentHooks {
    // The busy cursor and the "Now Checking Spelling....." window; the checker's events hide
    // the window again.
    std::function<void()> showBusy;
    std::function<void()> restoreCursor;
    // Whether the editor shows its selection while it has no focus.
    std::function<void(bool)> keepSelectionVisible;
};

void SpellCheckDocument(TAddictSpell& spell, EditWindow& editor, Prompter& prompter,
                        const SpellCheckDocumentHooks& hooks);

QString checkRemainderQuestion();
QString continueFromTopQuestion();
QString spellCheckCompleteText();
