// StartArguments: the paths the program is started with.
//
// A file manager's "Open with" and the menu entry (Exec ... %F) hand the program the files to
// open. The first project file (".out") opens as a project, as Open Project would open it; the
// first other file opens in the editor through Open HTML File's own steps and save question.
// The editor holds one document and the outline one project, so any further path is named in a
// message rather than dropped without a word. Without arguments nothing happens.
#pragma once

#include <QString>
#include <QStringList>

class AppState;

struct StartPaths {
    QString project;       // absolute; empty when none was given
    QString document;      // absolute; empty when none was given
    QStringList notOpened; // the further paths, absolute, in their order
    bool operator==(const StartPaths&) const = default;
};

// Sorts the arguments (Qt's own options already taken out) into the project, the document and
// the rest. Relative paths are taken from currentFolder; "file://" addresses become paths; an
// empty argument and a first "--" are skipped.
StartPaths sortStartArguments(const QStringList& arguments, const QString& currentFolder);
// Opens what sortStartArguments found: the project first, then the document, so the editor
// shows the document asked for; then names what was not opened.
void openStartArguments(AppState& state, const QStringList& arguments,
                        const QString& currentFolder);

QString notOpenedText(const QStringList& paths);
