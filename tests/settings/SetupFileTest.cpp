#include "settings/mdlLoadSetup.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

using namespace mdlLoadSetup;

class SetupFileTest : public ::testing::Test {
protected:
    TempFolder dir;
    void writeIni(const std::string& bytes) { writeBytes(dir.path() / "QEL.INI", bytes); }
};

TEST_F(SetupFileTest, FirstLineOnlyWithoutItsLineEndAndBlanksKept) {
    writeIni("  AB12.MST  \r\nsecond line\r\n");
    EXPECT_EQ(ReadSetupFile(dir.str()), "  AB12.MST  ");
    writeIni("AB12.MST\nsecond\n");
    EXPECT_EQ(ReadSetupFile(dir.str()), "AB12.MST");
}

TEST_F(SetupFileTest, OneLineWithoutLineEnd) {
    writeIni("X1.MST");
    EXPECT_EQ(ReadSetupFile(dir.str()), "X1.MST");
}

TEST_F(SetupFileTest, MissingOrEmptyGivesEmptyText) {
    EXPECT_EQ(ReadSetupFile(dir.str()), "");
    writeIni("");
    EXPECT_EQ(ReadSetupFile(dir.str()), "");
}

TEST_F(SetupFileTest, BlanksAroundTheFolderAreRemoved) {
    writeIni("A.MST\r\n");
    EXPECT_EQ(ReadSetupFile("  " + dir.str() + "  "), "A.MST");
}

TEST_F(SetupFileTest, BinaryJunkComesBackAsBytesUpToTheFirstLineEnd) {
    writeIni(std::string("\x00\xff\x01\x80z\nrest", 9));
    EXPECT_EQ(ReadSetupFile(dir.str()), std::string("\x00\xff\x01\x80z", 5));
}

TEST_F(SetupFileTest, AFolderNamedQelIniIsUnreadableAndGivesEmptyText) {
    std::filesystem::create_directory(dir.path() / "QEL.INI");
    EXPECT_EQ(ReadSetupFile(dir.str()), "");
}

TEST(SettingsTest, AccessorsStoreTextsExactlyAndStartEmpty) {
    ResetSettings();
    EXPECT_EQ(GetAppPath(), "");
    EXPECT_EQ(GetCommPort(), "");
    SetAppPath(" /x/ ");
    SetDataPath("/x/Data");
    SetCommPort("12");
    SetBaudRate("57600 ");
    EXPECT_EQ(GetAppPath(), " /x/ ");
    EXPECT_EQ(GetDataPath(), "/x/Data");
    EXPECT_EQ(GetCommPort(), "12");
    EXPECT_EQ(GetBaudRate(), "57600 ");
    ResetSettings();
}

} // namespace
} // namespace kelvarin::test
