// Which presses in the editor count as a change of the document (they set HtmlModified).
#pragma once

#include <QKeySequence>
#include <QList>

// Any key or mouse press counts, but not a modifier or lock key pressed on its own (the Alt of
// Alt+S), nor a key combination that runs one of the window's commands (Alt+X, Alt+S ...).
// key: the Qt::Key pressed; combination: it with its modifiers; commandShortcuts: the
// shortcuts of the enabled commands that act anywhere in the window.
bool keyPressChangesDocument(int key, const QKeySequence& combination,
                             const QList<QKeySequence>& commandShortcuts);
