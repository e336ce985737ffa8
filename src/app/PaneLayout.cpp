// PaneLayout: the sizing rules of the main window's panes.
#include "app/PaneLayout.h"

#include <cmath>

namespace PaneLayout {

std::optional<int> dragWidth(int pointerOffset) {
    if (pointerOffset > 203)
        return pointerOffset - SplitterWidth;
    return std::nullopt;
}

int clampLeftPane(int leftPaneWidth, int mainWindowWidth) {
    const double limit = mainWindowWidth * 0.95;
    if (leftPaneWidth > static_cast<int>(std::lround(limit)))
        return static_cast<int>(limit);
    return leftPaneWidth;
}

bool mainResizeClamps(int leftPaneWidth) {
    return leftPaneWidth > 205;
}
bool editingPaneResizeClamps(int editingPaneWidth) {
    return editingPaneWidth > 200;
}

QRect editorGeometry(int paneWidth, int paneHeight) {
    // The check boxes sit in the strip above the editor; the editor keeps a margin around it.
    return QRect(8, 26, qMax(0, paneWidth - 21), qMax(0, paneHeight - 32));
}

LeftPaneGeometry leftPaneGeometry(int paneWidth, int paneHeight, int mainWindowHeight,
                                  int buttonGroupHeight) {
    LeftPaneGeometry g;
    g.outlineWidth = qMax(0, paneWidth - 12);
    if (mainWindowHeight > 400) {
        g.buttonGroupTop = paneHeight - 34 - buttonGroupHeight;
        g.outlineBottom = *g.buttonGroupTop - 8;
        g.filesListBottom = paneHeight - 38;
    }
    return g;
}

} // namespace PaneLayout
