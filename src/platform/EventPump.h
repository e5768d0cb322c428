#pragma once

namespace kelvarin {

// Lets the window handle its pending events while a transfer waits for the terminal.
class EventPump {
public:
    virtual ~EventPump() = default;

    // Handles the events that are waiting and returns; never blocks for long.
    virtual void yield() = 0;
};

// For code that runs without a window: yielding does nothing.
class NullEventPump final : public EventPump {
public:
    void yield() override {}
};

} // namespace kelvarin
