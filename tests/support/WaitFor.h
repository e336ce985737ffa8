// Runs the event loop until a condition holds or a deadline passes: the wait of the tests and
// benchmarks that drive sessions and servers on loopback.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace testsupport {

inline bool waitFor(const std::function<bool()>& done, int deadlineMs) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // makes sure the loop comes round to check the clock
    wake.start(20);
    while (!done()) {
        if (clock.elapsed() > deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

} // namespace testsupport
