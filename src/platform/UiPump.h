// UiPump: lets pending user-interface events run from inside a long pass, once per line or file,
// so that stop buttons and painting keep working.
#pragma once

#include <functional>

class UiPump {
public:
    virtual ~UiPump() = default;
    virtual void pump() = 0;
};

// Processes the pending events of the Qt event loop of this thread.
class EventLoopPump : public UiPump {
public:
    void pump() override;
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
