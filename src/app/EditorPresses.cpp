// Which presses in the editor count as a change of the document.
#include "app/EditorPresses.h"

bool keyPressChangesDocument(int key, const QKeySequence& combination,
                             const QList<QKeySequence>& commandShortcuts) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return false;
    default:
        break;
    }
    // A combination that runs a command of the window usually never reaches the editor; when it
    // does, it is not typing.
    return !commandShortcuts.contains(combination);
}
