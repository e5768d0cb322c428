#pragma once

#include "platform/EventPump.h"
#include "platform/MessageBoxes.h"

#include <string>

namespace kelvarin {

// Thrown at a transfer command's next wait or message box once the program is to end. Not a
// std::exception, so that no layer's own failure handling takes it for a failure.
struct CommandStopped {};

// What the window's transfer commands share: one runs at a time, and the end of the program
// stops the running one at its next wait or message box.
class CommandControl {
public:
    // Starts a command; false while another runs (the click is then to be ignored).
    bool tryBegin();
    void finish() { m_running = false; }
    bool running() const { return m_running; }

    // The program is to end: the running command stops at its next checkpoint.
    void requestEnd() { m_ending = true; }

    // Throws CommandStopped when a command runs and the program is to end, unless called from
    // a window event handled inside one of the command's waits: an exception must not cross
    // Qt's event dispatch.
    void checkpoint() const;

    // Marks the span in which the command's wait lets the window handle its events.
    class Dispatching {
    public:
        explicit Dispatching(CommandControl& control) : m_control(control) { ++m_control.m_nested; }
        ~Dispatching() { --m_control.m_nested; }
        Dispatching(const Dispatching&) = delete;
        Dispatching& operator=(const Dispatching&) = delete;

    private:
        CommandControl& m_control;
    };

private:
    bool m_running = false;
    bool m_ending = false;
    int m_nested = 0;
};

// The window's event pump with the command's checkpoint after each yield.
class StoppableEventPump final : public EventPump {
public:
    StoppableEventPump(EventPump& inner, CommandControl& control)
        : m_inner(inner), m_control(control) {}
    void yield() override;

private:
    EventPump& m_inner;
    CommandControl& m_control;
};

// The window's message boxes with the command's checkpoint before and after each box: once the
// program is to end a running command shows nothing more, and a box closed by the end is not
// taken as the user's answer.
class StoppableMessageBoxes final : public MessageBoxes {
public:
    StoppableMessageBoxes(MessageBoxes& inner, const CommandControl& control)
        : m_inner(inner), m_control(control) {}
    MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                   const std::string& title) override;

private:
    MessageBoxes& m_inner;
    const CommandControl& m_control;
};

} // namespace kelvarin
