// LongStep: a long piece of the program's own work on the open page (loading a big page into the
// editor, and later saving it or colouring it while it is typed), which reports how far it got
// and which the user may cancel.
//
// The window's implementation shows nothing for a step that ends within half a second; past
// that it shows the step's progress with a Cancel button and lets the window run. Tests use a
// scripted one.
#pragma once

#include <QString>

class LongStep {
public:
    virtual ~LongStep() = default;
    // A step begins: what it does ("Loading page.html ...") and its size in units of its own.
    virtual void begin(const QString& label, qint64 total) = 0;
    // How far it got. False when the user cancelled: the step then puts back what it changed
    // and ends.
    virtual bool advance(qint64 done) = 0;
    // The step ended, done or cancelled.
    virtual void end() = 0;
};
