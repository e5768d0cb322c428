#pragma once

#include <cstddef>
#include <string>

namespace kelvarin {

// The longest agent code the terminal's records take: a master file's base name may have at
// most this many characters.
inline constexpr std::size_t kMaxBaseNameLength = 4;

// The agent code a master file's name carries: its text before the first ".". A name without
// any "." is error 5 (invalid argument).
std::string MasterFileBaseName(const std::string& fileName);

// Whether `name` stands for a file inside a folder rather than for the folder itself or a place
// outside it: not empty, not ".", without "..", a path separator or a NUL.
bool IsPlainFileName(const std::string& name);

} // namespace kelvarin
