#pragma once

#include <filesystem>
#include <functional>

namespace kelvarin::test {

// The window tests' program carries its own fsync. While a FsyncFake lives, every fsync calls
// `answer` with the path of the file or folder to be synced and returns its result (a failure
// returns -1 with errno set by `answer`); otherwise the C library's fsync runs.
class FsyncFake {
public:
    using Answer = std::function<int(const std::filesystem::path& synced)>;
    explicit FsyncFake(Answer answer);
    ~FsyncFake();
    FsyncFake(const FsyncFake&) = delete;
    FsyncFake& operator=(const FsyncFake&) = delete;
};

} // namespace kelvarin::test
