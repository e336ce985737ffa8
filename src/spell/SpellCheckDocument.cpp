// SpellCheckDocument: selection first, then the rest of the text.
#include "spell/SpellCheckDocument.h"

#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "spell/TAddictSpell.h"

QString checkRemainderQuestion() {
    return QStringLiteral("The selected text has been checked.\nCheck the remainder of the "
                          "document?");
}

QString spellCheckCompleteText() {
    return QStringLiteral("Spell Check Complete.\n\n");
}

void SpellCheckDocument(TAddictSpell& spell, EditWindow& editor, Prompter& prompter,
                        const SpellCheckDocumentHooks& hooks) {
    if (hooks.showBusy)
        hooks.showBusy();
    const int selStart = editor.selStart();
    int selLength = editor.selLength();
    if (hooks.keepSelectionVisible)
        hooks.keepSelectionVisible(true);
    spell.setKeepActive(true);

    bool goOn = true;
    if (selLength > 0) {
        spell.checkSelection(editor);
        // Changes inside the selection move its end.
        selLength = qMax(0, selLength + spell.lastLengthChange());
        goOn = !spell.checkCancelled() &&
               prompter.message(MessageKind::Confirmation, MessageButtons::YesNo,
                                checkRemainderQuestion()) == MessageAnswer::Yes;
    }
    if (goOn) {
        spell.checkRange(editor, selStart + selLength, editor.length());
        if (!spell.checkCancelled())
            prompter.inform(spellCheckCompleteText());
    }
    spell.endRun();

    editor.setSelStart(selStart);
    editor.setSelLength(selLength);
    if (hooks.keepSelectionVisible)
        hooks.keepSelectionVisible(false);
    editor.setFocus();
    if (hooks.restoreCursor)
        hooks.restoreCursor();
}
