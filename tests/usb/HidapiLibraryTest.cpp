#include "usb/HidapiLibrary.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "support/MessageBoxRecorder.h"
#include "usb/CLSUSB.h"

#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

// Passes every call to the real library and counts what goes out.
class CountingLibrary final : public HidLibrary {
public:
    explicit CountingLibrary(HidLibrary& inner) : m_inner(inner) {}
    void SetInstance(std::int32_t i) override { m_inner.SetInstance(i); }
    int GetList(std::int32_t a, std::int32_t b, const std::string& m, const std::string& t,
                const std::string& n, HidDeviceRecord* r, int c) override {
        listed = m_inner.GetList(a, b, m, t, n, r, c);
        return listed;
    }
    int Open(std::int32_t a, std::int32_t b, const std::string& m, const std::string& t,
             const std::string& n, std::int32_t f) override {
        ++opens;
        return m_inner.Open(a, b, m, t, n, f);
    }
    int Write(const UsbOutputReport& r) override {
        ++writes;
        return m_inner.Write(r);
    }
    int Read(UsbInputReport& r) override { return m_inner.Read(r); }
    int ReadQueued(UsbInputReport& r) override { return m_inner.ReadQueued(r); }

    int listed = -1;
    int opens = 0;
    int writes = 0;

private:
    HidLibrary& m_inner;
};

// This machine has no terminal attached (CI has no HID devices at all).
TEST(HidapiLibraryTest, WithoutTheTerminalNothingIsFoundOrSent) {
    HidapiLibrary hidapi;
    CountingLibrary counting(hidapi);
    SystemClock clock;
    NullEventPump pump;
    MessageBoxRecorder boxes;
    CLSUSB usb(counting, clock, pump, boxes);

    EXPECT_FALSE(usb.GetDevices());
    EXPECT_GE(counting.listed, 0);
    EXPECT_LE(counting.listed, 10);
    EXPECT_EQ(counting.opens, 0);
    EXPECT_EQ(counting.writes, 0);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(HidapiLibraryTest, WithoutAnOpenDeviceReportsGoNowhere) {
    HidapiLibrary hidapi;
    hidapi.SetInstance(0);
    EXPECT_EQ(hidapi.Open(1, 2, "MERIDOCK", "", "VORIXAN", -1), 0); // never listed

    UsbOutputReport out{};
    out[1] = 's';
    EXPECT_LT(hidapi.Write(out), 0);

    UsbInputReport in{};
    EXPECT_LE(hidapi.Read(in), 0);
    EXPECT_EQ(in, UsbInputReport{});
}

TEST(HidapiLibraryTest, ListFillsNoMoreThanItsCapacity) {
    HidapiLibrary hidapi;
    std::array<HidDeviceRecord, 2> records{};
    EXPECT_EQ(hidapi.GetList(65535, 65535, "", "", "", records.data(), 0), 0);
    const int n = hidapi.GetList(65535, 65535, "", "", "", records.data(), 1);
    EXPECT_GE(n, 0);
    EXPECT_LE(n, 1);
}

} // namespace
} // namespace kelvarin::test
