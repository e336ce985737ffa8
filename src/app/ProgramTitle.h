// The program's title: the application name, the main window's caption before a project is
// open, and the title of every message box.
#pragma once

#include <QString>

inline QString programTitle() {
    return QStringLiteral("Ostra Quillon Pro");
}
