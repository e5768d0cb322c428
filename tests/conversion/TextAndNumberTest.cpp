// The shared text routines and the conversions of values to the terminal's number types.
#include "ConversionFixture.h"
#include "conversion/NumberConversion.h"
#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"

#include <limits>

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

} // namespace
} // namespace kelvarin::test
