#pragma once

#include <filesystem>

namespace kelvarin::test {

// The window tests' program carries its own write(). While a RefusedWrites lives, every
// `every`-th write to the character device `device` fails with EAGAIN and takes nothing, as a
// driver whose write buffers are all in use refuses it for a moment (a CDC-ACM adapter has 16,
// one per write); the write after it, and every write to anything else, runs as usual.
class RefusedWrites {
public:
    RefusedWrites(const std::filesystem::path& device, int every);
    ~RefusedWrites();
    RefusedWrites(const RefusedWrites&) = delete;
    RefusedWrites& operator=(const RefusedWrites&) = delete;

    // Writes to the device so far, and how many of them were refused.
    int writes() const;
    int refused() const;
};

} // namespace kelvarin::test
