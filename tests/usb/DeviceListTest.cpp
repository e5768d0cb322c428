#include "usb/HidDeviceList.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace kelvarin::test {
namespace {

std::string textOf(const HidDeviceRecord::TextBuffer& buffer) {
    return std::string(buffer.data());
}

// A PC with thirty other HID interfaces listed before the terminal: the device list has room for
// ten, and the terminal must be among them.
TEST(DeviceListTest, TerminalListedAfterThirtyOtherDevicesComesFirst) {
    std::vector<ListedHidDevice> devices;
    for (int i = 0; i < 30; ++i)
        devices.push_back({"/dev/hidraw" + std::to_string(i), 0x046D, 0xC000 + i,
                           "Keyboard " + std::to_string(i), "Logitech", "K" + std::to_string(i)});
    // The terminal's device name from another maker is not the terminal.
    devices[5].deviceName = "VORIXAN";
    devices.push_back({"/dev/hidraw30", 0x1234, 0x5678, "Vorixan", "Meridock", "SN-1"});

    std::array<HidDeviceRecord, 11> records{};
    for (auto& r : records) {
        r.deviceName.fill(' ');
        r.makerName.fill(' ');
        r.deviceText.fill(' ');
    }
    EXPECT_EQ(FillDeviceList(devices, records.data(), 10), 10);

    EXPECT_EQ(textOf(records[0].deviceName), "Vorixan");
    EXPECT_EQ(textOf(records[0].makerName), "Meridock");
    EXPECT_EQ(textOf(records[0].deviceText), "SN-1");
    EXPECT_EQ(records[0].selA, 0x1234);
    EXPECT_EQ(records[0].selB, 0x5678);
    // The others follow in their own order; the list the library opens from matches the records.
    EXPECT_EQ(textOf(records[1].deviceName), "Keyboard 0");
    EXPECT_EQ(textOf(records[9].deviceName), "Keyboard 8");
    EXPECT_EQ(devices[0].path, "/dev/hidraw30");
    // Records past the count are left as they were.
    EXPECT_EQ(records[10].deviceName[0], ' ');
}

} // namespace
} // namespace kelvarin::test
