// The program's file-type filters as the Qt file dialogs want them.
#pragma once

#include <QString>
#include <QStringList>

// "HTML Files|*.html;*.htm|All Files|*.*" becomes {"HTML Files (*.html *.htm)", "All Files (*)"}.
// One name filter per label, in order, so that the program's 1-based filter index still picks
// the same entry. "*.*" becomes "*" (Linux names need no dot); empty patterns are dropped, and an
// entry left with none shows every file. A pattern without a label is its own label.
QStringList toQtNameFilters(const QString& filter);
