// MenuTree: the menus, tool bar and pop-ups as text, one entry a line, for the golden file that
// shows every change to them in review.
#pragma once

#include <QString>

class QMenu;
class QMenuBar;
class QToolBar;

// "&File  [File1]" then its entries indented, each as
// "caption  [ObjectName]  shortcut  (disabled) (checked)"; separators as "----".
QString describeMenuBar(const QMenuBar* bar);
QString describeMenu(const QMenu* menu, int depth = 0);
// Tool-bar buttons as "[ObjectName]  hint  (disabled)".
QString describeToolBar(const QToolBar* bar);
