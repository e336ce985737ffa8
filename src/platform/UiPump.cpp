// UiPump: the event-loop pump.
#include "platform/UiPump.h"

#include <QCoreApplication>

void EventLoopPump::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_sincePump.start();
}

bool EventLoopPump::due() {
    return m_interval <= 0 || !m_sincePump.isValid() || m_sincePump.elapsed() >= m_interval;
}
