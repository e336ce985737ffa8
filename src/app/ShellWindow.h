// ShellWindow: what the app room's commands need of the main window, which ui/ implements.
#pragma once

#include <QStringList>
#include <functional>

class ShellWindow {
public:
    virtual ~ShellWindow() = default;
    // File, "E&xit": closes the window; its close check decides whether the program ends.
    virtual void closeMainWindow() = 0;
    // Help, "&About": the banner window in its About form, modal.
    virtual void showAboutBox() = 0;
    // The tip-of-the-day window, modal; drawTip gives the index of the tip to show, first and at
    // each "&Next Tip". Returns the state of its " &Show Tips at Startup" box when it closes.
    virtual bool showTipWindow(const QStringList& tips, const std::function<int()>& drawTip,
                               bool showAtStartUp) = 0;
};
