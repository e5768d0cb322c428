#pragma once

#include "platform/MessageBoxes.h"

#include <optional>
#include <string>

namespace kelvarin {

// Takes the box a callee would show and holds it, answered OK, so that the caller can add to its
// text once it knows more and show it then. A further box replaces the one held.
class HeldMessageBox final : public MessageBoxes {
public:
    MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                   const std::string& title) override {
        m_held = Box{text, icon, buttons, title};
        return MsgAnswer::Ok;
    }

    // Shows the held box, if there is one, on `boxes` with `addition` after its text.
    void showOn(MessageBoxes& boxes, const std::string& addition) const {
        if (m_held)
            boxes.show(m_held->text + addition, m_held->icon, m_held->buttons, m_held->title);
    }

private:
    struct Box {
        std::string text;
        MsgIcon icon;
        MsgButtons buttons;
        std::string title;
    };
    std::optional<Box> m_held;
};

} // namespace kelvarin
