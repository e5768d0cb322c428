#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace kelvarin::test {

// Writes `size` bytes of `buffer`'s content, over and over, as the file at `path`: the writing
// half of a baseline.
inline void writeFillerFile(const std::filesystem::path& path, std::uintmax_t size,
                            const std::vector<char>& buffer) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::uintmax_t left = size; left > 0;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uintmax_t>(left, buffer.size()));
        out.write(buffer.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
}

} // namespace kelvarin::test
