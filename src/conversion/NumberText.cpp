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

void appendDigits(std::string& out, std::uint64_t value, int width) {
    std::array<char, 24> room; // left unset: filled from the end before it is read
    char* const end = room.data() + room.size();
    out.append(putDigitsBackwards(end, value, width), end);
}

// Every power here is exact as a double, and so is its product with any float: the float's
// 24 bits times 5^10 (under 2^24) fit in a double's 53.
constexpr std::array<double, 11> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4, 1e5,
                                              1e6, 1e7, 1e8, 1e9, 1e10};

// The two-decimal text of a value that a float holds exactly (as every amount read from a
// record is), rounded with exact ties away from zero; false for other values.
bool appendTwoDecimalsExactly(std::string& out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e13) || magnitude != static_cast<double>(static_cast<float>(magnitude)))
        return false;
    const double cents = magnitude * kPowersOfTen[2];
    double whole = std::floor(cents);
    if (cents - whole >= 0.5)
        ++whole;
    const auto rounded = static_cast<std::uint64_t>(whole);
    if (std::signbit(value) && rounded != 0)
        out += '-';
    if (rounded >= 100)
        appendDigits(out, rounded / 100, 1);
    out += '.';
    appendDigits(out, rounded % 100, 2);
    return true;
}

// The general text of a float of magnitude 1E-04 up to 9999999.5, rounded to 7 significant
// digits with ties to even; false for other values, which take the general conversion.
bool appendSingleTextExactly(std::string& out, float value) {
    const double magnitude = std::fabs(static_cast<double>(value));
    const double fromTenThousandth = magnitude * kPowersOfTen[4];
    if (!(fromTenThousandth >= 1 && fromTenThousandth < kPowersOfTen[10] * 10))
        return false;
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
        return false;
    std::array<char, 7> digits{};
    putDigitsBackwards(digits.data() + digits.size(), static_cast<std::uint64_t>(whole), 7);
    // Trailing zeros after the point go; digits before the point stay.
    std::size_t kept = digits.size();
    const std::size_t beforePoint = exponent >= 0 ? static_cast<std::size_t>(exponent) + 1 : 0;
    while (kept > beforePoint && digits[kept - 1] == '0')
        --kept;
    if (std::signbit(value))
        out += '-';
    if (exponent >= 0) {
        out.append(digits.data(), beforePoint);
    } else {
        out += '0';
    }
    if (kept > beforePoint) {
        out += '.';
        if (exponent < 0)
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits.data() + beforePoint, kept - beforePoint);
    }
    return true;
}

} // namespace

void appendTwoDecimals(std::string& out, double value) {
    if (appendTwoDecimalsExactly(out, value))
        return;
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
    if (appendSingleTextExactly(out, value))
        return;
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
    if (value < 0)
        out += '-';
    appendDigits(out, magnitude, width);
}

std::string zeroPadded(std::int64_t value, int width) {
    std::string text;
    appendZeroPadded(text, value, width);
    return text;
}

} // namespace kelvarin
