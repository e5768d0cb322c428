#include "conversion/NumberText.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kelvarin {

namespace {

// Room for the longest fixed-point text of a double (309 digits before the point).
constexpr std::size_t kNumberRoom = kTwoDecimalsRoom - 1;

// True when two decimals of `magnitude` are exactly half-way between two hundredths: only a
// multiple of 1/8 with an odd numerator can be, as a binary fraction.
bool isExactHalfCent(double magnitude) {
    if (!(magnitude < 0x1p50))
        return false;
    const double eighths = magnitude * 8;
    return eighths == std::floor(eighths) && std::fmod(eighths, 2.0) == 1.0;
}

// The digits of `value`, at least `width` of them with leading zeros, written backwards from
// `end`; returns where they start. Small whole numbers are the common case of every number
// this file writes, and this is far cheaper than a general conversion.
char* putDigitsBackwards(char* end, std::uint64_t value, int width) {
    char* at = end;
    do {
        *--at = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (end - at < width)
        *--at = '0';
    return at;
}

// The digits of `value`, at least `width` of them with leading zeros, written at `at`;
// returns the end.
char* putDigits(char* at, std::uint64_t value, int width) {
    std::array<char, 20> room; // the most digits a 64-bit number has; filled before it is read
    char* const end = room.data() + room.size();
    const char* const start = putDigitsBackwards(end, value, 0);
    const auto count = static_cast<int>(end - start);
    if (count < width)
        at = std::fill_n(at, width - count, '0');
    return std::copy(start, static_cast<const char*>(end), at);
}

// Every power here is exact as a double, and so is its product with any float: the float's
// 24 bits times 5^10 (under 2^24) fit in a double's 53.
constexpr std::array<double, 11> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4, 1e5,
                                              1e6, 1e7, 1e8, 1e9, 1e10};

// The two-decimal text of a value that a float holds exactly (as every amount read from a
// record is), rounded with exact ties away from zero, written at `at`; returns the end, or null
// for other values.
char* putTwoDecimalsExactly(char* at, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e13) || magnitude != static_cast<double>(static_cast<float>(magnitude)))
        return nullptr;
    const double cents = magnitude * kPowersOfTen[2];
    double whole = std::floor(cents);
    if (cents - whole >= 0.5)
        ++whole;
    const auto rounded = static_cast<std::uint64_t>(whole);
    if (std::signbit(value) && rounded != 0)
        *at++ = '-';
    if (rounded >= 100)
        at = putDigits(at, rounded / 100, 1);
    *at++ = '.';
    return putDigits(at, rounded % 100, 2);
}

// The general text of a float of magnitude 1E-04 up to 9999999.5, rounded to 7 significant
// digits with ties to even, written at `at`; returns the end, or null for other values, which
// take the general conversion.
char* putSingleTextExactly(char* at, float value) {
    const double magnitude = std::fabs(static_cast<double>(value));
    const double fromTenThousandth = magnitude * kPowersOfTen[4];
    if (!(fromTenThousandth >= 1 && fromTenThousandth < kPowersOfTen[10] * 10))
        return nullptr;
    // The decimal exponent: 10^exponent <= magnitude < 10^(exponent + 1).
    int exponent = -4;
    while (exponent < 6 &&
           fromTenThousandth >= kPowersOfTen[static_cast<std::size_t>(exponent + 5)])
        ++exponent;
    const double scaled = magnitude * kPowersOfTen[static_cast<std::size_t>(6 - exponent)];
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) == 1.0))
        ++whole;
    if (whole >= 1e7) { // rounded up to the next power of ten
        whole = 1e6;
        ++exponent;
    }
    if (exponent > 6)
        return nullptr;
    std::array<char, 7> digits{};
    putDigitsBackwards(digits.data() + digits.size(), static_cast<std::uint64_t>(whole), 7);
    // Trailing zeros after the point go; digits before the point stay.
    std::size_t kept = digits.size();
    const std::size_t beforePoint = exponent >= 0 ? static_cast<std::size_t>(exponent) + 1 : 0;
    while (kept > beforePoint && digits[kept - 1] == '0')
        --kept;
    if (std::signbit(value))
        *at++ = '-';
    if (exponent >= 0)
        at = std::copy_n(digits.data(), beforePoint, at);
    else
        *at++ = '0';
    if (kept > beforePoint) {
        *at++ = '.';
        if (exponent < 0)
            at = std::fill_n(at, -exponent - 1, '0');
        at = std::copy(digits.data() + beforePoint, digits.data() + kept, at);
    }
    return at;
}

} // namespace

char* putTwoDecimals(char* at, double value) {
    if (char* end = putTwoDecimalsExactly(at, value))
        return end;
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
        *at++ = '-';
    return std::copy(digits.begin(), digits.end(), at);
}

std::string twoDecimalsText(double value) {
    std::array<char, kTwoDecimalsRoom> room; // written before it is read
    return std::string(room.data(), putTwoDecimals(room.data(), value));
}

char* putSingleText(char* at, float value) {
    if (value == 0.0f) {
        *at++ = '0';
        return at;
    }
    if (char* end = putSingleTextExactly(at, value))
        return end;
    const auto result =
        std::to_chars(at, at + kSingleTextRoom, value, std::chars_format::general, 7);
    std::replace(at, result.ptr, 'e', 'E');
    return result.ptr;
}

std::string singleText(float value) {
    std::array<char, kSingleTextRoom> room; // written before it is read
    return std::string(room.data(), putSingleText(room.data(), value));
}

double readSingleText(std::string_view text) {
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
        throw RuntimeError(kErrTypeMismatch);
    return value;
}

char* putZeroPadded(char* at, std::int64_t value, int width) {
    // The magnitude as unsigned, so the smallest value has one too.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    if (value < 0)
        *at++ = '-';
    return putDigits(at, magnitude, width);
}

std::string zeroPadded(std::int64_t value, int width) {
    std::string text(kZeroPaddedRoom + static_cast<std::size_t>(std::max(width, 0)), '\0');
    text.resize(static_cast<std::size_t>(putZeroPadded(text.data(), value, width) - text.data()));
    return text;
}

} // namespace kelvarin
