#include "ui/CommandControl.h"

namespace kelvarin {

bool CommandControl::tryBegin() {
    if (m_running)
        return false;
    m_running = true;
    return true;
}

void CommandControl::checkpoint() const {
    if (m_running && m_ending && m_nested == 0)
        throw CommandStopped{};
}

void StoppableEventPump::yield() {
    {
        CommandControl::Dispatching dispatching(m_control);
        m_inner.yield();
    }
    m_control.checkpoint();
}

MsgAnswer StoppableMessageBoxes::show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                                      const std::string& title) {
    m_control.checkpoint();
    const MsgAnswer answer = m_inner.show(text, icon, buttons, title);
    m_control.checkpoint();
    return answer;
}

} // namespace kelvarin
