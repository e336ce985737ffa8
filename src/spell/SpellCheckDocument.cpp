// SpellCheckDocument: selection first, then the rest of the text.
#include "spell/SpellCheckDocument.h"

#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "spell/TAddictSpell.h"

QString checkRemainderQuestion() {
    return QStringLiteral("The selected text has been checked.\nCheck the remainder of the "
                          "document?");
}

QString continueFromTopQuestion() {
    return QStringLiteral("The end of the document has been reached.\nContinue checking from the "
                          "beginning?");
}

QString spellCheckCompleteText() {
    return QStringLiteral("Spell Check Complete.\n\n");
}

void SpellCheckDocument(TAddictSpell& spell, EditWindow& editor, Prompter& prompter,
                        const SpellCheckDocumentHooks& hooks) {
    if (hooks.showBusy)
        hooks.showBusy();
    int selStart = editor.selStart();
    int selLength = editor.selLength();
    if (hooks.keepSelectionVisible)
        hooks.keepSelectionVisible(true);
    spell.setKeepActive(true);

    bool goOn = true;
    if (selLength > 0) {
        spell.checkSelection(editor);
        // Changes inside the selection move its end.
        selLength = qMax(0, selLength + spell.lastLengthChange());
        // The check dialog stays above other windows: it steps aside while the question is up,
        // and comes back with the next word.
        spell.hideDialog();
        goOn = !spell.checkCancelled() &&
               prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                                checkRemainderQuestion()) == MessageAnswer::Yes;
    }
    bool complete = false;
    if (goOn) {
        spell.checkRange(editor, selStart + selLength, editor.length());
        complete = !spell.checkCancelled();
    }
    // Checked from the caret (or the selection) to the end: as word processors do, the text
    // before it is offered too.
    if (complete && selStart > 0) {
        spell.hideDialog();
        complete = prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                                    continueFromTopQuestion()) == MessageAnswer::Yes;
        if (complete) {
            spell.checkRange(editor, 0, selStart);
            complete = !spell.checkCancelled();
            // Changes before the selection move it.
            selStart = qMax(0, selStart + spell.lastLengthChange());
        }
    }
    // The run ends, and its dialog goes, before the closing message: left up, the dialog
    // would sit over the message and look as if the check were still going.
    spell.endRun();
    if (complete)
        prompter.inform(spellCheckCompleteText());

    editor.setSelStart(selStart);
    editor.setSelLength(selLength);
    if (hooks.keepSelectionVisible)
        hooks.keepSelectionVisible(false);
    editor.setFocus();
    if (hooks.restoreCursor)
        hooks.restoreCursor();
}
