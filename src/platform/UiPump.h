// UiPump: lets pending user-interface events run from inside a long pass, once per line or file,
// so that stop buttons and painting keep working.
#pragma once

#include <QElapsedTimer>

#include <functional>

class UiPump {
public:
    virtual ~UiPump() = default;
    virtual void pump() = 0;
    // Whether a pass should pump before its next line. A pass asks before every line and pumps
    // when told; between two pumps it may keep the work of its lines together (one edit for
    // the batch). Unless a pump says otherwise, every line pumps.
    virtual bool due() { return true; }
};

// Processes the pending events of the Qt event loop of this thread. Letting events run costs
// more than a line of HTML takes to work on, so a pass pumps once a few milliseconds have gone
// by since the last pump: a press still stops it within a glance, and a long page does not
// spend its time in the event loop.
class EventLoopPump : public UiPump {
public:
    explicit EventLoopPump(int intervalMilliseconds = DefaultInterval)
        : m_interval(intervalMilliseconds) {}
    void pump() override;
    bool due() override;
    void setInterval(int milliseconds) { m_interval = milliseconds; }

    static constexpr int DefaultInterval = 15;

private:
    int m_interval;
    QElapsedTimer m_sincePump;
};

// Runs a callback instead: tests press "stop" from here.
class CallbackPump : public UiPump {
public:
    explicit CallbackPump(std::function<void()> callback) : m_callback(std::move(callback)) {}
    void pump() override {
        if (m_callback)
            m_callback();
    }

private:
    std::function<void()> m_callback;
};
