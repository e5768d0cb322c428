#include "UsbFixture.h"

namespace kelvarin::test {
namespace {

class DeviceSearchTest : public UsbFixture {
protected:
    const std::string connect = std::string(26, 't') + std::string(38, '\0');
};

TEST_F(DeviceSearchTest, OpensTheTerminalListedAfterAnotherDevice) {
    hid.devices = {{"USB Keyboard", "Logitech", "K1", 0x046D, 0xC31C},
                   {"VORIXAN", "MERIDOCK", "SN-77", 0x0483, 0x5750}};
    EXPECT_TRUE(usb.GetDevices());

    EXPECT_EQ(hid.instances, std::vector<std::int32_t>{0});
    ASSERT_EQ(hid.listCalls.size(), 1u);
    const auto& list = hid.listCalls[0];
    EXPECT_EQ(list.selA, 65535);
    EXPECT_EQ(list.selB, 65535);
    EXPECT_EQ(list.makerName + list.deviceText + list.deviceName, "");
    EXPECT_EQ(list.capacity, 10);

    ASSERT_EQ(hid.openCalls.size(), 1u);
    const auto& open = hid.openCalls[0];
    EXPECT_EQ(open.selA, 0x0483);
    EXPECT_EQ(open.selB, 0x5750);
    EXPECT_EQ(open.makerName, "MERIDOCK");
    EXPECT_EQ(open.deviceText, "SN-77");
    EXPECT_EQ(open.deviceName, "VORIXAN");
    EXPECT_EQ(open.flags, -1);

    ASSERT_EQ(hid.written.size(), 1u);
    EXPECT_EQ(hid.payload(0), connect);
    EXPECT_EQ(hid.readCount, 0u); // no reply is awaited
}

TEST_F(DeviceSearchTest, NamesAreComparedUpperCased) {
    hid.devices = {{"vorixan", "meridock", "", 1, 2}};
    EXPECT_TRUE(usb.GetDevices());
    ASSERT_EQ(hid.openCalls.size(), 1u);
    EXPECT_EQ(hid.openCalls[0].deviceName, "vorixan"); // opened with the texts as listed

    FakeHidLibrary other;
    other.devices = {{"KloveDrastin1", "MERIDOCK", "", 1, 2}};
    CLSUSB link(other, clock, pump, boxes);
    EXPECT_TRUE(link.GetDevices());
}

TEST_F(DeviceSearchTest, AnotherMakerOrNameDoesNotMatch) {
    hid.devices = {{"VORIXAN", "MERIDOCK LTD", "", 1, 2},
                   {"VORIXAN2", "MERIDOCK", "", 1, 3},
                   {"KLOVEDRASTIN", "MERIDOCK", "", 1, 4}};
    EXPECT_FALSE(usb.GetDevices());
    EXPECT_TRUE(hid.openCalls.empty());
    EXPECT_TRUE(hid.written.empty());
    // The members keep the last record examined.
    EXPECT_EQ(probe.deviceName(), "KLOVEDRASTIN");
    EXPECT_EQ(probe.selB(), 4);
}

TEST_F(DeviceSearchTest, OnlyTheFirstMatchIsTriedEvenWhenItDoesNotOpen) {
    hid.devices = {{"VORIXAN", "MERIDOCK", "A", 1, 1}, {"KLOVEDRASTIN1", "MERIDOCK", "B", 1, 2}};
    EXPECT_TRUE(usb.GetDevices());
    ASSERT_EQ(hid.openCalls.size(), 1u);
    EXPECT_EQ(hid.openCalls[0].deviceText, "A");

    hid.openCalls.clear();
    hid.written.clear();
    hid.openResult = 0;
    EXPECT_FALSE(usb.GetDevices());
    ASSERT_EQ(hid.openCalls.size(), 1u);
    EXPECT_EQ(hid.openCalls[0].deviceText, "A");
    EXPECT_TRUE(hid.written.empty());
}

TEST_F(DeviceSearchTest, EmptyListOrFailingLibraryFindsNothing) {
    EXPECT_FALSE(usb.GetDevices());
    hid.listThrows = true;
    hid.devices = {{"VORIXAN", "MERIDOCK", "", 1, 1}};
    EXPECT_FALSE(usb.GetDevices());
    EXPECT_TRUE(hid.openCalls.empty());
    EXPECT_TRUE(hid.written.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DeviceSearchTest, BufferWithoutNulGivesAnEmptyName) {
    // The name fills all 50 bytes: it reads as empty, however it begins.
    hid.devices = {{"VORIXAN" + std::string(43, ' '), "MERIDOCK", "", 1, 1}};
    EXPECT_FALSE(usb.GetDevices());
    EXPECT_EQ(probe.deviceName(), "");
    EXPECT_EQ(probe.makerName(), "MERIDOCK");
    EXPECT_TRUE(hid.openCalls.empty());
}

TEST_F(DeviceSearchTest, ACountBeyondTheListReadsOnlyTheListsRecords) {
    hid.devices = {{"mouse", "x", "", 1, 1}};
    hid.listResult = 1000;
    EXPECT_FALSE(usb.GetDevices());
    hid.listResult = -3;
    EXPECT_FALSE(usb.GetDevices());
    EXPECT_TRUE(hid.written.empty());
}

} // namespace
} // namespace kelvarin::test
