#pragma once

#include "platform/FileDialogs.h"

#include <deque>
#include <optional>
#include <vector>

namespace kelvarin::test {

// Keeps every request and answers with queued choices; with none queued, or a queued nullopt,
// the user cancels.
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::optional<ChosenFile> openFile(const OpenFileRequest& request) override {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        std::optional<ChosenFile> a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<OpenFileRequest> requests;
    std::deque<std::optional<ChosenFile>> answers;
};

} // namespace kelvarin::test
