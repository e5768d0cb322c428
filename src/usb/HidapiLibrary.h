#pragma once

#include "usb/HidDeviceList.h"
#include "usb/HidLibrary.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace kelvarin {

// The HID access library over hidapi's hidraw backend. Product string = device name,
// manufacturer string = maker name, serial number = third text, vendor and product id = the two
// numeric fields. Wide texts become single bytes (a character above 255 becomes "?").
// One thread only, and one object per program: its destruction ends hidapi.
class HidapiLibrary final : public HidLibrary {
public:
    // How long Read waits for a report, and how long it pauses when it cannot read at all.
    static constexpr std::chrono::milliseconds kReadWait{10};

    HidapiLibrary();
    ~HidapiLibrary() override; // closes the open device
    HidapiLibrary(const HidapiLibrary&) = delete;
    HidapiLibrary& operator=(const HidapiLibrary&) = delete;

    void SetInstance(std::int32_t instance) override;
    // 65535 for both numeric fields lists every device; otherwise only that vendor and product.
    // A device listed more than once under one path is given once. Devices that could be the
    // terminal come first.
    int GetList(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                const std::string& deviceText, const std::string& deviceName,
                HidDeviceRecord* records, int capacity) override;
    // Opens only a device that the last GetList listed with exactly these values. A successful
    // open replaces the device opened before; a failed one keeps it.
    int Open(std::int32_t selA, std::int32_t selB, const std::string& makerName,
             const std::string& deviceText, const std::string& deviceName,
             std::int32_t flags) override;
    int Write(const UsbOutputReport& report) override;
    int Read(UsbInputReport& report) override;
    // hid_read_timeout with no wait: 0 when the device's queue is empty, -1 without a device
    // or when it is gone. Never pauses.
    int ReadQueued(UsbInputReport& report) override;

private:
    struct Device;
    // One report into `report` after waiting up to `waitMs` (0: none); as Read's result.
    int readWithin(UsbInputReport& report, int waitMs);

    std::vector<ListedHidDevice> m_listed; // as the last GetList listed them, in list order
    std::unique_ptr<Device> m_device;
};

} // namespace kelvarin
