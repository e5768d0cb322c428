// The shared text routines and the conversions of values to the terminal's number types.
#include "ConversionFixture.h"
#include "conversion/NumberConversion.h"
#include "conversion/NumberText.h"
#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kelvarin::test {
namespace {

TEST(TextRoutines, GetNextFieldSplitsAtEveryCommaWithoutTrimming) {
    std::string rest = "A,,B";
    EXPECT_EQ(GetNextField(rest), "A");
    EXPECT_EQ(GetNextField(rest), "");
    EXPECT_EQ(GetNextField(rest), "B");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(GetNextField(rest), "");
    rest = "A,";
    EXPECT_EQ(GetNextField(rest), "A");
    EXPECT_EQ(GetNextField(rest), "");
    rest = " A ,x";
    EXPECT_EQ(GetNextField(rest), " A ");
}

TEST(TextRoutines, CutAtNulAndFixLen) {
    const std::string withNul("AB\0XY", 5);
    EXPECT_EQ(TrimChr(withNul), "AB");
    EXPECT_EQ(CutAtNul(withNul), "AB");
    EXPECT_EQ(CutAtNul(std::string("\0A", 2)), "");
    EXPECT_EQ(TrimChr("ABC"), "ABC");
    EXPECT_EQ(CutAtNul(""), "");

    std::string text = "AB";
    EXPECT_EQ(Fix_Len(text, 5, "R"), "AB   ");
    EXPECT_EQ(text, "AB   ");
    text = "AB";
    EXPECT_EQ(Fix_Len(text, 5, "r"), "   AB");
    text = "ABCDEFG";
    EXPECT_EQ(Fix_Len(text, 5, "R"), "ABCDE");
    text = "";
    EXPECT_EQ(Fix_Len(text, 3, "R"), "   ");
}

int errorOf(void (*convert)(const char*), const char* text) {
    try {
        convert(text);
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(NumberConversion, WholeNumbersRoundHalfToEven) {
    EXPECT_EQ(toInt32("2.5"), 2);
    EXPECT_EQ(toInt32("3.5"), 4);
    EXPECT_EQ(toInt32("2.4"), 2);
    EXPECT_EQ(toInt32("-2.5"), -2);
    EXPECT_EQ(toInt32("-3.5"), -4);
    EXPECT_EQ(toByte("254.5"), 254);
    EXPECT_EQ(toByte("-0.5"), 0);
    EXPECT_EQ(toInt16(" +12 "), 12);
    EXPECT_EQ(toInt16("-32768"), -32768);
    EXPECT_EQ(toInt32("2147483647"), 2147483647);
    EXPECT_EQ(toByte(".5"), 0);
    EXPECT_EQ(toByte("7."), 7);
    EXPECT_EQ(toFloat32("2.5"), 2.5f);
    EXPECT_EQ(toFloat32("-0.125"), -0.125f);
    EXPECT_EQ(toFloat32("0." + std::string(400, '0') + "1"), 0.0f);
}

TEST(NumberConversion, NonNumbersAreTypeMismatchAndOutOfRangeIsOverflow) {
    auto byte = [](const char* t) { toByte(t); };
    auto int16 = [](const char* t) { toInt16(t); };
    auto int32 = [](const char* t) { toInt32(t); };
    auto single = [](const char* t) { toFloat32(std::string_view(t)); };
    for (const char* bad : {"", " ", "abc", "1,5", "1e3", "0x10", "--1", "+", ".", "1.2.3", "inf",
                            "nan", "1 2", "\t1", "12a"})
        EXPECT_EQ(errorOf(single, bad), kErrTypeMismatch) << '"' << bad << '"';
    EXPECT_EQ(errorOf(byte, "256"), kErrOverflow);
    EXPECT_EQ(errorOf(byte, "255.5"), kErrOverflow);
    EXPECT_EQ(errorOf(byte, "-1"), kErrOverflow);
    EXPECT_EQ(errorOf(int16, "32767.5"), kErrOverflow);
    EXPECT_EQ(errorOf(int16, "-32769"), kErrOverflow);
    EXPECT_EQ(errorOf(int32, "2147483648"), kErrOverflow);
    EXPECT_EQ(errorOf(single, "340282356779733661637539395458142568448"), kErrOverflow);
    const std::string huge = "1" + std::string(400, '0');
    EXPECT_EQ(errorOf(single, huge.c_str()), kErrOverflow);
    EXPECT_EQ(errorOf(int32, huge.c_str()), kErrOverflow);
}

// The upload's number texts take a quick path for the values that records hold; across the
// floats it covers, it must give what the general conversion gives.
TEST(UploadNumberText, QuickPathsAgreeWithTheGeneralConversion) {
    EXPECT_EQ(singleText(1234567.5f), "1234568"); // a tie at the eighth digit goes to even
    EXPECT_EQ(singleText(1234568.5f), "1234568");
    EXPECT_EQ(singleText(-0.00012345f), "-0.00012345");
    EXPECT_EQ(twoDecimalsText(-1.625f), "-1.63"); // exact ties go away from zero
    EXPECT_EQ(twoDecimalsText(0.004f), ".00");
    EXPECT_EQ(twoDecimalsText(1e13f), "9999999827968.00");
    std::array<char, 64> room{};
    for (std::uint32_t bits = 0x30000000; bits < 0x5A000000; bits += 4099) {
        for (const float value : {std::bit_cast<float>(bits), -std::bit_cast<float>(bits)}) {
            char* end = std::to_chars(room.data(), room.data() + room.size(), value,
                                      std::chars_format::general, 7)
                            .ptr;
            std::string general(room.data(), end);
            std::replace(general.begin(), general.end(), 'e', 'E');
            EXPECT_EQ(singleText(value), general) << "bits " << bits;
            // Ties aside (odd eighths), two decimals are the fixed text without a leading 0.
            if (std::fmod(std::fabs(value) * 8, 2) == 1)
                continue;
            end = std::to_chars(room.data(), room.data() + room.size(), std::fabs(value),
                                std::chars_format::fixed, 2)
                      .ptr;
            std::string fixed(room.data(), end);
            if (fixed.starts_with("0."))
                fixed.erase(0, 1);
            if (value < 0 && fixed != ".00")
                fixed.insert(0, "-");
            EXPECT_EQ(twoDecimalsText(value), fixed) << "bits " << bits;
        }
    }
}

} // namespace
} // namespace kelvarin::test
