// PaneLayout: the sizing rules of the main window's left pane and splitter.
#pragma once

#include <QRect>
#include <optional>

namespace PaneLayout {

constexpr int InitialLeftPaneWidth = 200;
constexpr int SplitterWidth = 5;
constexpr int DragTimerMs = 10;

// While the splitter is dragged: the left pane's new width for a pointer offset from the main
// window's left edge, or nothing when the pointer is not far enough right (203 pixels).
std::optional<int> dragWidth(int pointerOffset);

// After a drag and on resizes: a left pane wider than 95 % of the main window (rounded) is cut
// to 95 % of it (truncated).
int clampLeftPane(int leftPaneWidth, int mainWindowWidth);

// Whether a resize of the main window (only with a left pane wider than 205 pixels) or of the
// editing pane (wider than 200) applies the 95 % rule.
bool mainResizeClamps(int leftPaneWidth);
bool editingPaneResizeClamps(int editingPaneWidth);

// The editor inside its pane: 21 pixels narrower and 32 pixels lower than the pane.
QRect editorGeometry(int paneWidth, int paneHeight);

// The left pane's parts for a pane of the given size inside a main window of the given height.
struct LeftPaneGeometry {
    int outlineWidth;
    std::optional<int> buttonGroupTop; // "Add/Move Web Pages" group; only in windows over 400 px
    std::optional<int> outlineBottom;
    std::optional<int> filesListBottom;
};
LeftPaneGeometry leftPaneGeometry(int paneWidth, int paneHeight, int mainWindowHeight,
                                  int buttonGroupHeight);

} // namespace PaneLayout
