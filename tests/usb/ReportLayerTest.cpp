#include "UsbFixture.h"

#include <chrono>

namespace kelvarin::test {
namespace {

using namespace std::chrono_literals;

class ReportLayerTest : public UsbFixture {};

// --- Output reports: the text's last character is never sent ------------------------------

TEST_F(ReportLayerTest, OutputReportCarriesTheTextWithoutItsLastCharacter) {
    probe.send("s@");
    probe.send("A");
    probe.send("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqr");
    probe.send("");
    ASSERT_EQ(hid.written.size(), 4u);

    // Report ID 0, then "s" and 63 zeros, then the closing zero: 66 bytes.
    EXPECT_EQ(std::string(hid.written[0].begin(), hid.written[0].end()),
              hexBytes("00 73") + std::string(64, '\0'));
    EXPECT_EQ(hid.payload(1), std::string(64, '\0'));
    // 70 characters: the first 64 go out, the rest is lost.
    EXPECT_EQ(hid.payload(2), "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijkl");
    EXPECT_EQ(hid.written[2][65], 0);
    EXPECT_EQ(hid.payload(3), std::string(64, '\0'));
    EXPECT_TRUE(probe.outData().empty());
}

TEST_F(ReportLayerTest, ConnectAndDisconnectMessages) {
    hid.devices = {{"VORIXAN", "MERIDOCK", "0001", 0x1234, 0x5678}};
    ASSERT_TRUE(usb.GetDevices());
    EXPECT_FALSE(usb.DisconnectUSB());
    ASSERT_EQ(hid.written.size(), 2u);
    EXPECT_EQ(hid.payload(0), hexBytes("74 74 74 74 74 74 74 74 74 74 74 74 74 74 74 74 74 74 74 "
                                       "74 74 74 74 74 74 74") +
                                  std::string(38, '\0'));
    EXPECT_EQ(hid.payload(1),
              hexBytes("78 78 78 78 78 78 78 78 78 78 78 78") + std::string(52, '\0'));
}

TEST_F(ReportLayerTest, DateTimeMessageForSixDecember2026) {
    usb.WriteToUSB("DATEANDTIME-06122026143005", "", nullptr);
    ASSERT_GE(hid.written.size(), 1u);
    // "D@" and the digits 06 12 2026 14 30 05; the closing NUL stays behind.
    EXPECT_EQ(hid.payload(0),
              hexBytes("44 40 30 36 31 32 32 30 32 36 31 34 33 30 30 35") + std::string(48, '\0'));
    EXPECT_EQ(terminal.clockDigits, std::vector<std::string>{"06122026143005"});
}

TEST_F(ReportLayerTest, HeaderOfA64ByteAgentFile) {
    writeBytes(path("AGENT.DAT"), patternBytes(64));
    ASSERT_TRUE(usb.WriteToUSB("AGENT.DAT", folder.str(), nullptr));
    // "b", "AGENT.DAT", "#", "64"; the closing "#" is not sent.
    EXPECT_EQ(hid.payload(0),
              hexBytes("62 41 47 45 4E 54 2E 44 41 54 23 36 34") + std::string(51, '\0'));
}

// --- Input reports --------------------------------------------------------------------------

TEST_F(ReportLayerTest, InputReportKeepsAll64DataBytesAndYieldsOnce) {
    hid.feedWaiting("k");
    probe.ReadReport();
    EXPECT_EQ(probe.inData(), hexBytes("6B") + std::string(63, '\0'));
    EXPECT_EQ(pump.yields(), 1);

    // Nothing to read: 64 NULs, which match no reply.
    probe.ReadReport();
    EXPECT_EQ(probe.inData(), std::string(64, '\0'));
}

// --- Time-outs and the pause ----------------------------------------------------------------

TEST_F(ReportLayerTest, TimedOutOnlyWhenMoreThanTheSecondsHavePassed) {
    const auto start = clock.monotonicNow();
    clock.advance(5s);
    EXPECT_FALSE(probe.IsUsbTimedOut(start, 5));
    clock.advance(10ms);
    EXPECT_TRUE(probe.IsUsbTimedOut(start, 5));
}

// A clock whose sleeps end early, as a coarse or interrupted sleep does.
class ShortSleepClock final : public Clock {
public:
    std::chrono::steady_clock::duration monotonicNow() override { return m_now; }
    LocalDateTime localNow() override { return {}; }
    void sleepFor(std::chrono::steady_clock::duration d) override {
        ++sleeps;
        m_now += std::min<std::chrono::steady_clock::duration>(d, 3ms);
    }
    int sleeps = 0;

private:
    std::chrono::steady_clock::duration m_now{};
};

// The pause lasts its whole time, also when sleeps end early, and the window's events are
// handled at least every 10 ms during it.
TEST_F(ReportLayerTest, PauseLastsItsTimeAndHandlesTheWindowMeanwhile) {
    pump.setStep(0ms);
    auto lastYield = clock.monotonicNow();
    std::chrono::steady_clock::duration longestGap{};
    pump.onYield = [&] {
        longestGap = std::max(longestGap, clock.monotonicNow() - lastYield);
        lastYield = clock.monotonicNow();
    };
    const auto start = clock.monotonicNow();
    probe.UsbDelay(1.0);
    EXPECT_EQ(clock.monotonicNow() - start, 1s);
    EXPECT_EQ(pump.yields(), 100);
    EXPECT_LE(longestGap, 10ms);
    EXPECT_LE(clock.monotonicNow() - lastYield, 10ms);

    ShortSleepClock coarse;
    CLSUSB link(hid, coarse, pump, boxes);
    CLSUSBProbe(link).UsbDelay(1.0);
    EXPECT_EQ(coarse.monotonicNow(), 1s);
    EXPECT_GT(coarse.sleeps, 300);
}

// --- Text helpers ---------------------------------------------------------------------------

TEST_F(ReportLayerTest, LeftOfCutsBeforeTheFirstDelimiter) {
    EXPECT_EQ(CLSUSBProbe::LeftOf(std::string("XY\0Z", 4), std::string(1, '\0')), "XY");
    EXPECT_EQ(CLSUSBProbe::LeftOf("XYZ", std::string(1, '\0')), "");
    EXPECT_EQ(CLSUSBProbe::LeftOf("a#b#", "#"), "a");
    EXPECT_EQ(CLSUSBProbe::LeftOf("#b", "#"), "");
    EXPECT_EQ(CLSUSBProbe::LeftOf("aBc", "b"), "");
}

TEST_F(ReportLayerTest, SequenceNumbersAreLittleEndianSigned) {
    EXPECT_EQ(CLSUSBProbe::UsbBytesToLong(hexBytes("01 00 00 00")), 1);
    EXPECT_EQ(CLSUSBProbe::UsbBytesToLong(hexBytes("02 01 00 00")), 258);
    EXPECT_EQ(CLSUSBProbe::UsbBytesToLong(hexBytes("00 00 00 80")), INT32_MIN);
    EXPECT_EQ(CLSUSBProbe::UsbBytesToLong(hexBytes("FF FF FF FF")), -1);
    EXPECT_EQ(CLSUSBProbe::UsbBytesToLong(""), -1);
}

} // namespace
} // namespace kelvarin::test
