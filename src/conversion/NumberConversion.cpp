#include "conversion/NumberConversion.h"

#include "platform/RuntimeError.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kelvarin {

namespace {

[[noreturn]] void typeMismatch() {
    throw RuntimeError(kErrTypeMismatch);
}
[[noreturn]] void overflow() {
    throw RuntimeError(kErrOverflow);
}

template <class Int>
Int roundToRange(double value) {
    // The default floating-point environment rounds to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        overflow();
    return static_cast<Int>(rounded);
}

} // namespace

double parseDecimalNumber(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        typeMismatch();
    const std::size_t end = text.find_last_not_of(' ') + 1;
    std::string_view body = text.substr(begin, end - begin);

    bool negative = false;
    if (body.front() == '+' || body.front() == '-') {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    std::size_t digits = 0;
    std::size_t points = 0;
    bool nonZeroBeforePoint = false;
    for (char c : body) {
        if (c >= '0' && c <= '9') {
            ++digits;
            if (points == 0 && c != '0')
                nonZeroBeforePoint = true;
        } else if (c == '.') {
            ++points;
        } else {
            typeMismatch();
        }
    }
    if (digits == 0 || points > 1)
        typeMismatch();

    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Too large overflows; too small is zero.
        if (nonZeroBeforePoint)
            overflow();
        value = 0;
    } else if (ec != std::errc() || ptr != body.data() + body.size()) {
        typeMismatch();
    }
    if (!std::isfinite(value))
        overflow();
    return negative ? -value : value;
}

std::uint8_t toByte(std::string_view text) {
    return roundToRange<std::uint8_t>(parseDecimalNumber(text));
}

std::int16_t toInt16(std::string_view text) {
    return roundToRange<std::int16_t>(parseDecimalNumber(text));
}

std::int32_t toInt32(std::string_view text) {
    return roundToRange<std::int32_t>(parseDecimalNumber(text));
}

float toFloat32(double value) {
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        overflow();
    return static_cast<float>(value);
}

float toFloat32(std::string_view text) {
    return toFloat32(parseDecimalNumber(text));
}

} // namespace kelvarin
