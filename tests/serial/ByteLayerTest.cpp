#include "serial/ModTrans.h"
#include "support/FakeClock.h"
#include "support/ScriptedSerialControl.h"

#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

using namespace ModTrans;

class ByteLayerTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl port{&clock};
    double start = 0;

    void SetUp() override {
        ResetModTrans();
        gCommCtl = &port;
        gClock = &clock;
        gPump = &pump;
        port.setPortOpen(true);
        port.setInputLen(1);
        start = clock.seconds();
    }
    void TearDown() override { ResetModTrans(); }
    double elapsed() const { return clock.seconds() - start; }
};

TEST_F(ByteLayerTest, AByteAlreadyWaitingIsTakenWithoutYielding) {
    port.feed("A");
    std::uint8_t b = 0;
    ASSERT_TRUE(ReadByte(b));
    EXPECT_EQ(b, 'A');
    EXPECT_EQ(pump.yields(), 0);
}

TEST_F(ByteLayerTest, AByteArrivingAtExactlyTheTimeOutIsStillTaken) {
    port.feedAt(start + 10.0, "Z");
    std::uint8_t b = 0;
    ASSERT_TRUE(ReadByte(b));
    EXPECT_EQ(b, 'Z');
}

TEST_F(ByteLayerTest, SilenceEndsTheReadJustPastTheTimeOutWithTheByteUnchanged) {
    std::uint8_t b = 0x77;
    EXPECT_FALSE(ReadByte(b));
    EXPECT_EQ(b, 0x77);
    EXPECT_NEAR(elapsed(), 10.01, 1e-6);
}

TEST_F(ByteLayerTest, ShortTimeOutTakesAByteWithinItsSecond) {
    gTimeoutSecs = 1;
    port.feedAt(start + 0.5, "k");
    std::uint8_t b = 0;
    ASSERT_TRUE(ReadByte(b));
    EXPECT_EQ(b, 'k');
    std::uint8_t c = 0;
    EXPECT_FALSE(ReadByte(c));
    EXPECT_NEAR(elapsed(), 0.5 + 1.01, 1e-6);
}

TEST_F(ByteLayerTest, TimeOutBoundaryIsStrictlyMoreThanTheLimit) {
    gLastTime = clock.monotonicNow();
    clock.advance(std::chrono::seconds(10));
    EXPECT_FALSE(IsCommTimedOut());
    clock.advance(std::chrono::nanoseconds(1));
    EXPECT_TRUE(IsCommTimedOut());
}

TEST_F(ByteLayerTest, BusyThenReadyIsSwallowedAndTheNextReadGetsTheFollowingByte) {
    port.feed("4x5");
    port.feedAt(start + 3, "3");
    std::uint8_t b = 0x11;
    ASSERT_TRUE(ReadByte(b));
    EXPECT_EQ(b, 0x11); // neither '4', 'x' nor '5' reaches the caller
    ASSERT_TRUE(ReadByte(b));
    EXPECT_EQ(b, '3');
}

TEST_F(ByteLayerTest, BusyLongerThanTheReadTimeOutIsWaitedOut) {
    port.feed("4");
    port.feedAt(start + 60, "5");
    std::uint8_t b = 0x11;
    EXPECT_TRUE(ReadByte(b));
    EXPECT_EQ(b, 0x11);
    EXPECT_GE(elapsed(), 60);
}

TEST_F(ByteLayerTest, BusyWithoutReadyEndsAtItsBoundAsAFailedRead) {
    port.feed("4xyz");
    std::uint8_t b = 0x11;
    EXPECT_FALSE(ReadByte(b));
    EXPECT_EQ(b, 0x11);
    EXPECT_GT(elapsed(), kBusyLimitSecs);
    EXPECT_LT(elapsed(), kBusyLimitSecs + 1);
}

TEST_F(ByteLayerTest, BytesSentAreHandedOverWithoutADrainEach) {
    SendByte(0x00);
    SendByte(0xF3);
    SendByte(0xFF);
    EXPECT_EQ(port.sent(), std::string("\x00\xF3\xFF", 3));
    EXPECT_EQ(port.drains, 0);
}

TEST_F(ByteLayerTest, ClearCommBuffersDiscardsWaitingBytesAndThePacketBeingReceived) {
    port.feed("junk");
    gRecvBuf = "partial";
    ClearCommBuffers();
    EXPECT_EQ(port.waiting(), 0u);
    EXPECT_EQ(port.outputDiscards, 1);
    EXPECT_EQ(gRecvBuf, "");
}

} // namespace
} // namespace kelvarin::test
