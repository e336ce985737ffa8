// Tips: the texts of the tip-of-the-day window.
#pragma once

#include <QStringList>

inline QStringList tipTexts() {
    return {
        QStringLiteral("Double-click a page in the Web Site outline to open its HTML file in the "
                       "editor."),
        QStringLiteral("Every HTML file you save is added to the Auto-FTP list, ready to be "
                       "uploaded from the FTP screen."),
        QStringLiteral("Untick \"Wrap\" above the editor to see long lines of HTML as they are."),
    };
}
