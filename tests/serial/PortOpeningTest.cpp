#include "serial/ModTrans.h"
#include "settings/mdlLoadSetup.h"
#include "support/FakeClock.h"
#include "support/ScriptedSerialControl.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

using namespace ModTrans;

class PortOpeningTest : public ::testing::Test {
protected:
    TempFolder program;
    ScriptedSerialControl port;

    void SetUp() override {
        ResetModTrans();
        mdlLoadSetup::ResetSettings();
        gCommCtl = &port;
    }
    void TearDown() override {
        ResetModTrans();
        mdlLoadSetup::ResetSettings();
    }
    std::string folder() const { return program.str() + "/"; }
    std::filesystem::path transDat() const { return program.path() / "TRANS.DAT"; }
};

TEST_F(PortOpeningTest, MissingTransDatIsCreatedAndPortOneOpenedWithTheBlankAfterTheBaud) {
    ASSERT_TRUE(LoadTransSettings(folder()));
    EXPECT_EQ(readBytes(transDat()), "157600 ");
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.commPort(), 1);
    EXPECT_EQ(port.settings(), "57600 ,N,8,1");
    EXPECT_EQ(port.inputLen(), 1);
    EXPECT_EQ(port.inputMode(), InputMode::Binary);
    EXPECT_EQ(port.rThreshold, 0);
    EXPECT_EQ(port.sThreshold, 0);
    EXPECT_EQ(mdlLoadSetup::GetCommPort(), "1");
    EXPECT_EQ(mdlLoadSetup::GetBaudRate(), "57600 ");
}

TEST_F(PortOpeningTest, StoredPortAndBaudAreUsed) {
    writeBytes(transDat(), "419200 ");
    ASSERT_TRUE(LoadTransSettings("  " + folder() + "  "));
    EXPECT_EQ(port.commPort(), 4);
    EXPECT_EQ(port.settings(), "19200 ,N,8,1");
    EXPECT_EQ(readBytes(transDat()), "419200 ");
}

TEST_F(PortOpeningTest, ANonDigitPortFailsToOpenAndStoresNothing) {
    writeBytes(transDat(), "X57600 ");
    EXPECT_FALSE(LoadTransSettings(folder()));
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(mdlLoadSetup::GetCommPort(), "");
    EXPECT_EQ(gStatusText, "Invalid port number\r\nClose any application using same port");
    EXPECT_EQ(readBytes(transDat()), "X57600 ");
}

TEST_F(PortOpeningTest, ShortOrBinaryTransDatFailsWithoutHarmToTheFile) {
    writeBytes(transDat(), "3");
    EXPECT_FALSE(LoadTransSettings(folder()));
    EXPECT_EQ(readBytes(transDat()), "3");

    const std::string junk("\x00\xff\x80\x01", 4);
    writeBytes(transDat(), junk);
    EXPECT_FALSE(LoadTransSettings(folder()));
    EXPECT_EQ(readBytes(transDat()), junk);
    EXPECT_FALSE(port.portOpen());
}

TEST_F(PortOpeningTest, APortThatCannotBeOpenedLeavesItsReasonAndAHint) {
    port.missingPorts = {2};
    EXPECT_FALSE(OpenCommPort(2, "57600"));
    EXPECT_EQ(gStatusText, "Invalid port number\r\nClose any application using same port");
    // Properties set before the failure stay set.
    EXPECT_EQ(port.commPort(), 2);
    EXPECT_EQ(port.settings(), "57600,N,8,1");
}

TEST_F(PortOpeningTest, IsPortOpenReportsTheControlsState) {
    EXPECT_FALSE(IsPortOpen(1, "57600"));
    ASSERT_TRUE(OpenCommPort(1, "57600"));
    EXPECT_TRUE(IsPortOpen(0, ""));
}

TEST_F(PortOpeningTest, WithoutAControlEveryOpeningFails) {
    gCommCtl = nullptr;
    EXPECT_FALSE(OpenCommPort(1, "57600"));
    EXPECT_FALSE(IsPortOpen(1, "57600"));
    EXPECT_NE(gStatusText.find("Close any application using same port."), std::string::npos);
}

TEST_F(PortOpeningTest, AFolderThatCannotHoldTransDatFails) {
    EXPECT_FALSE(LoadTransSettings(program.str() + "/no/such/folder/"));
    EXPECT_FALSE(port.portOpen());
}

} // namespace
} // namespace kelvarin::test
