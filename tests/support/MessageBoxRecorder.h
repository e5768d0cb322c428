#pragma once

#include "platform/MessageBoxes.h"

#include <deque>
#include <string>
#include <vector>

namespace kelvarin::test {

// Keeps every box shown and answers with queued answers; with none queued it answers OK,
// Yes for a Yes/No box.
class MessageBoxRecorder final : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        MsgIcon icon;
        MsgButtons buttons;
        std::string title;
    };

    MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                   const std::string& title) override {
        shown.push_back({text, icon, buttons, title});
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }

    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;
};

} // namespace kelvarin::test
