#include "settings/TransSettingsRecord.h"
#include "settings/mdlLoadSetup.h"
#include "support/FileSizeLimit.h"
#include "support/ImmutableFlag.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace kelvarin::test {
namespace {

using namespace mdlLoadSetup;

class TransSettingsTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string folder() const { return dir.str() + "/"; }
    std::string saved(const std::string& port, const std::string& baud) {
        SetCommPort(port);
        SetBaudRate(baud);
        SaveTransSettings(folder());
        return readBytes(dir.path() / "TRANS.DAT");
    }
    void TearDown() override { ResetSettings(); }
};

TEST_F(TransSettingsTest, FittingRuleOfPortAndBaud) {
    EXPECT_EQ(saved("3", "57600"), "357600 ");
    EXPECT_EQ(saved("12", "57600"), "157600 ");  // a two-digit port keeps its first digit
    EXPECT_EQ(saved("", "9600"), " 9600  ");     // an empty port is one blank
    EXPECT_EQ(saved("4", "1152000"), "4115200"); // a long baud keeps 6 characters
    EXPECT_EQ(saved("5", "57600 "), "557600 ");  // as read from TRANS.DAT at start-up
    EXPECT_EQ(saved("", ""), "       ");
}

TEST_F(TransSettingsTest, ALongerOldFileEndsWithExactlySevenBytes) {
    writeBytes(dir.path() / "TRANS.DAT", "999999999999 and more");
    EXPECT_EQ(saved("2", "19200"), "219200 ");
}

TEST_F(TransSettingsTest, BlanksAroundTheFolderAreRemoved) {
    SetCommPort("7");
    SetBaudRate("4800");
    SaveTransSettings("  " + folder() + " ");
    EXPECT_EQ(readBytes(dir.path() / "TRANS.DAT"), "74800  ");
}

// The old file itself stays writable: only its deletion fails, and that ends the save.
TEST_F(TransSettingsTest, UnwritableFolderFailsWithTheReasonAndKeepsTheOldFile) {
    writeBytes(dir.path() / "TRANS.DAT", "157600 ");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    bool immutable = false;
    if (::access(dir.str().c_str(), W_OK) == 0) {
        immutable = setImmutable(dir.path(), true);
        if (!immutable)
            GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    SetCommPort("2");
    SetBaudRate("9600");
    std::string failure;
    const bool saved = SaveTransSettings(folder(), &failure);
    if (immutable)
        setImmutable(dir.path(), false);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(saved);
    // The system's reason follows: a permission, or the immutable flag where root ignores them.
    EXPECT_EQ(failure.rfind("Path/File access error (" + folder() + "TRANS.DAT: ", 0), 0u)
        << failure;
    EXPECT_EQ(readBytes(dir.path() / "TRANS.DAT"), "157600 ");
}

// A file system without room for the 7 bytes (here the process may write only so many file
// bytes) fails the save and leaves TRANS.DAT as it was: missing, or whole with its old bytes.
TEST_F(TransSettingsTest, ASaveWithoutRoomFailsAndLeavesTheOldFileWhole) {
    SetCommPort("2");
    SetBaudRate("9600");
    std::string failure;
    bool saved = true;
    {
        const FileSizeLimit noBytes(0);
        saved = SaveTransSettings(folder(), &failure);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(failure, "Write error (" + folder() + "TRANS.DAT)");
    // Neither an empty TRANS.DAT, which the next start could not open a port from, nor a
    // half-written new file is left.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_TRUE(SaveTransSettings(folder()));
    EXPECT_EQ(readBytes(dir.path() / "TRANS.DAT"), "29600  ");

    // Room for 3 of the new 7 bytes: the old file keeps its bytes, and only it is there.
    SetCommPort("3");
    {
        const FileSizeLimit noRoom(3);
        saved = SaveTransSettings(folder(), &failure);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(failure, "Write error (" + folder() + "TRANS.DAT)");
    EXPECT_EQ(readBytes(dir.path() / "TRANS.DAT"), "29600  ");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(TransSettingsTest, AFolderInTheWayOfTransDatIsAFailure) {
    std::filesystem::create_directories(dir.path() / "TRANS.DAT" / "inside");
    SetCommPort("2");
    SetBaudRate("9600");
    EXPECT_FALSE(SaveTransSettings(folder()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "TRANS.DAT" / "inside"));
}

TEST(TransSettingsRecordTest, ShortOrLongBytesReadAsTheFirstSevenBlankFilled) {
    const auto shortRec = TransSettingsRecord::fromBytes("3");
    EXPECT_EQ(shortRec.Port, "3");
    EXPECT_EQ(shortRec.Baud, "      ");
    const auto longRec = TransSettingsRecord::fromBytes("257600 trailing junk");
    EXPECT_EQ(longRec.Port, "2");
    EXPECT_EQ(longRec.Baud, "57600 ");
    const auto defaults = TransSettingsRecord::defaults().toBytes();
    EXPECT_EQ(std::string(defaults.begin(), defaults.end()), "157600 ");
}

} // namespace
} // namespace kelvarin::test
