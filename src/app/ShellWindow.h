// ShellWindow: what the app room's commands need of the main window, which ui/ implements.
#pragma once

#include <QStringList>

class ShellWindow {
public:
    virtual ~ShellWindow() = default;
    // File, "E&xit": closes the window; its close check decides whether the program ends.
    virtual void closeMainWindow() = 0;
    // Help, "&About": the banner window in its About form, modal.
    virtual void showAboutBox() = 0;
    // The tip-of-the-day window, modal, starting at tips[first]; returns the state of its
    // " &Show Tips at Startup" box when it closes.
    virtual bool showTipWindow(const QStringList& tips, int first, bool showAtStartUp) = 0;
};
