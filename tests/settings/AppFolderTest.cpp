#include "settings/mdlLoadSetup.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace kelvarin::test {
namespace {

using namespace mdlLoadSetup;

class CopyToAppFolderTest : public ::testing::Test {
protected:
    TempFolder program;
    TempFolder elsewhere;
    void SetUp() override { SetProgramFolder(program.str()); }
    void TearDown() override { ResetSettings(); }
};

TEST_F(CopyToAppFolderTest, CopiesIntoTheProgramFolderReplacingAnOldCopy) {
    writeBytes(elsewhere.path() / "AB12.MST", "new master\r\n");
    writeBytes(program.path() / "AB12.MST", "old");
    EXPECT_TRUE(CopyToAppFolder((elsewhere.path() / "AB12.MST").string(), "AB12.MST"));
    EXPECT_EQ(readBytes(program.path() / "AB12.MST"), "new master\r\n");
    EXPECT_EQ(readBytes(elsewhere.path() / "AB12.MST"), "new master\r\n");
}

TEST_F(CopyToAppFolderTest, SourceAlreadyThereSpelledTheSameIsLeftAlone) {
    writeBytes(program.path() / "AB.MST", "keep");
    EXPECT_TRUE(CopyToAppFolder(program.str() + "/AB.MST", "AB.MST"));
    EXPECT_EQ(readBytes(program.path() / "AB.MST"), "keep");
}

TEST_F(CopyToAppFolderTest, MissingSourceCopiesNothingAndIsTrue) {
    EXPECT_TRUE(CopyToAppFolder((elsewhere.path() / "NONE.MST").string(), "NONE.MST"));
    EXPECT_FALSE(std::filesystem::exists(program.path() / "NONE.MST"));
}

TEST_F(CopyToAppFolderTest, AFailedCopyIsFalse) {
    writeBytes(elsewhere.path() / "A.MST", "x");
    // A folder in the way of the destination cannot be replaced by a file.
    std::filesystem::create_directory(program.path() / "A.MST");
    EXPECT_FALSE(CopyToAppFolder((elsewhere.path() / "A.MST").string(), "A.MST"));
}

TEST(CenterFormTest, MiddleOfTheScreenFractionsKept) {
    const auto pos = CenterForm(1920, 1080, 801, 600);
    EXPECT_DOUBLE_EQ(pos.left, 559.5);
    EXPECT_DOUBLE_EQ(pos.top, 240);
}

TEST(CenterFormTest, WindowLargerThanTheScreenGetsNegativePosition) {
    const auto pos = CenterForm(640, 480, 800, 600);
    EXPECT_DOUBLE_EQ(pos.left, -80);
    EXPECT_DOUBLE_EQ(pos.top, -60);
}

} // namespace
} // namespace kelvarin::test
