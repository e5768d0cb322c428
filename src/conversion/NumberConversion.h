#pragma once

#include <cstdint>
#include <string_view>

// Text-to-number conversions of the terminal file conversion. A number is a plain decimal:
// optional spaces, an optional sign, digits with at most one "." (at least one digit), optional
// spaces; no exponent, no thousands separator, independent of the locale. Anything else, the
// empty text included, is RuntimeError 13 (type mismatch). A number outside the target's range
// is RuntimeError 6 (overflow).
namespace kelvarin {

// The text's value as a double; a magnitude beyond the double range is overflow (6).
double parseDecimalNumber(std::string_view text);

// Rounded to the nearest whole number, a half to the even neighbour, then range-checked.
std::uint8_t toByte(std::string_view text);
std::int16_t toInt16(std::string_view text);
std::int32_t toInt32(std::string_view text);

// Converted without rounding to a whole number; beyond the float range is overflow (6).
float toFloat32(std::string_view text);
float toFloat32(double value);

} // namespace kelvarin
