#include "conversion/NumberText.h"

#include "platform/RuntimeError.h"

#include <array>
#include <charconv>
#include <cmath>

namespace kelvarin {

namespace {

// Room for the longest fixed-point text of a double (309 digits before the point).
constexpr std::size_t kNumberRoom = 400;

// True when two decimals of `magnitude` are exactly half-way between two hundredths: only a
// multiple of 1/8 with an odd numerator can be, as a binary fraction.
bool isExactHalfCent(double magnitude) {
    if (!(magnitude < 0x1p50))
        return false;
    const double eighths = magnitude * 8;
    return eighths == std::floor(eighths) && std::fmod(eighths, 2.0) == 1.0;
}

} // namespace

void appendTwoDecimals(std::string& out, double value) {
    double magnitude = std::fabs(value);
    // to_chars breaks an exact tie towards the even digit; one step up makes it go away from
    // zero without moving any other value across a rounding boundary.
    if (isExactHalfCent(magnitude))
        magnitude = std::nextafter(magnitude, INFINITY);
    std::array<char, kNumberRoom> room{};
    const auto result = std::to_chars(room.data(), room.data() + room.size(), magnitude,
                                      std::chars_format::fixed, 2);
    std::string_view digits(room.data(), static_cast<std::size_t>(result.ptr - room.data()));
    if (digits.starts_with("0."))
        digits.remove_prefix(1);
    const bool roundsToZero = digits.find_first_not_of("0.") == std::string_view::npos;
    if (std::signbit(value) && !roundsToZero && !std::isnan(value))
        out += '-';
    out += digits;
}

std::string twoDecimalsText(double value) {
    std::string text;
    appendTwoDecimals(text, value);
    return text;
}

void appendSingleText(std::string& out, float value) {
    if (value == 0.0f) {
        out += '0';
        return;
    }
    std::array<char, 32> room{};
    const auto result =
        std::to_chars(room.data(), room.data() + room.size(), value, std::chars_format::general, 7);
    for (const char* c = room.data(); c != result.ptr; ++c)
        out += *c == 'e' ? 'E' : *c;
}

std::string singleText(float value) {
    std::string text;
    appendSingleText(text, value);
    return text;
}

double readSingleText(std::string_view text) {
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
        throw RuntimeError(kErrTypeMismatch);
    return value;
}

void appendZeroPadded(std::string& out, std::int64_t value, int width) {
    // The magnitude as unsigned, so the smallest value has one too.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::array<char, 24> room{};
    const auto result = std::to_chars(room.data(), room.data() + room.size(), magnitude);
    const auto digits = static_cast<int>(result.ptr - room.data());
    if (value < 0)
        out += '-';
    if (digits < width)
        out.append(static_cast<std::size_t>(width - digits), '0');
    out.append(room.data(), result.ptr);
}

std::string zeroPadded(std::int64_t value, int width) {
    std::string text;
    appendZeroPadded(text, value, width);
    return text;
}

} // namespace kelvarin
