// UiPump: the event-loop pump.
#include "platform/UiPump.h"

#include <QCoreApplication>

void EventLoopPump::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
