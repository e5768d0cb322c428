#pragma once

#include <cstdint>
#include <string>

// Small text routines the conversions and the transfers share. Texts are single bytes; NUL is
// an ordinary byte in them.
namespace kelvarin {

// Returns the text before the first comma and leaves the rest after it in `lineRest`. Without a
// comma: the whole text, and `lineRest` becomes empty. No quoting, no trimming.
std::string GetNextField(std::string& lineRest);

// The text before the first NUL, or the whole text when it holds none.
std::string TrimChr(const std::string& Buf);
std::string CutAtNul(const std::string& nulText);

// `buf1` brought to exactly `l` characters: cut when longer; padded with spaces on the right
// when `position` is exactly "R", on the left otherwise. `buf1` receives the result too.
std::string Fix_Len(std::string& buf1, std::int16_t l, const std::string& position);

} // namespace kelvarin
