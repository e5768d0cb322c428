#pragma once

#include <filesystem>

namespace kelvarin::test {

// Sets or clears the immutable flag of a file or folder, which even root cannot get past: an
// immutable file cannot be opened for writing (EPERM); an immutable folder keeps its entries (none
// deleted or added) while the files in it stay writable. False where the file system or the
// process's rights refuse.
bool setImmutable(const std::filesystem::path& path, bool on);

} // namespace kelvarin::test
