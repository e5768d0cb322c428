#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Numbers as the upload text file writes them; each put... form writes the same text at `at`,
// which must have the room named, and returns its end.
// Every routine here is locale-free: the decimal separator is always "." whatever the C library's
// locale says.
namespace kelvarin {

// The pattern ".00": rounded to two decimals (a value exactly half-way goes away from zero),
// two digits after ".", no grouping, no digit before "." when the whole part is 0. 0 gives
// ".00", 0.5 ".50", -0.5 "-.50", 1234.5 "1234.50". A value that rounds to zero has no sign.
std::string twoDecimalsText(double value);
inline constexpr std::size_t kTwoDecimalsRoom = 401;
char* putTwoDecimals(char* at, double value);

// The general text of a single-precision number: at most 7 significant digits, no trailing
// zeros, "0" for zero (negative zero included). Exponent form, "E", a sign and at least two
// digits, when the decimal exponent is below -4 or 7 and above: 12.5 gives "12.5", 0.0001
// "0.0001", 0.00001 "1E-05", 1234567 "1234567", 12345678 "1.234568E+07".
std::string singleText(float value);
inline constexpr std::size_t kSingleTextRoom = 32;
char* putSingleText(char* at, float value);

// A text that singleText wrote, read back as a double. Anything else is RuntimeError 13.
double readSingleText(std::string_view text);

// The pattern "0", "00", "0000"...: at least `width` digits, filled with leading zeros; a longer
// value keeps all its digits; "-" before a negative value (-5 with width 4 gives "-0005").
std::string zeroPadded(std::int64_t value, int width);
// Room for the sign and the digits; a wider `width` needs that many bytes more.
inline constexpr std::size_t kZeroPaddedRoom = 21;
char* putZeroPadded(char* at, std::int64_t value, int width);

} // namespace kelvarin
