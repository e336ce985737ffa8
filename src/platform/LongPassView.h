// LongPassView: what a window shows while a long pass over files runs (a backup, a replace across
// files, an analysis of a site): a bar that moves from file to file, and a status line. The pass
// lets the window run between files (UiPump), so its Stop button is seen.
#pragma once

#include <QString>

class LongPassView {
public:
    virtual ~LongPassView() = default;
    // A pass begins: the bar from 0 to maximum, and the busy cursor.
    virtual void runStarted(int maximum) = 0;
    // The bar at the file of this index.
    virtual void fileStarted(int index) = 0;
    // The pass has ended, done or stopped: the bar goes.
    virtual void runEnded() = 0;
    virtual void setStatus(const QString& text) = 0;
};
