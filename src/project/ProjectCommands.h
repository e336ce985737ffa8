// The project room's commands: the page operations in the Edit menu, on the tool bar, in the
// button group "Add/Move Web Pages" and in the outline's pop-up menu.
#pragma once

#include "app/Commands.h"

class Project;

// What the window's outline does for the Expand and Collapse entries.
class OutlineView {
public:
    virtual ~OutlineView() = default;
    virtual void expandGroup(int item) = 0;
    virtual void collapseGroup(int item) = 0;
    virtual void expandAll() = 0;
    // Collapses every top-level page.
    virtual void collapseAll() = 0;
};

CommandTable projectCommands(Project& project, OutlineView& view);
