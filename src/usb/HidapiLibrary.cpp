#include "usb/HidapiLibrary.h"

#include "usb/HidDeviceList.h"

#include <algorithm>
#include <cwchar>
#include <hidapi/hidapi.h>
#include <thread>

namespace kelvarin {

namespace {

// The old library's "any device" selector.
constexpr std::int32_t kAnySelector = 65535;

std::string toSingleBytes(const wchar_t* text) {
    std::string out;
    if (text == nullptr)
        return out;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        const auto code = static_cast<unsigned long>(*p);
        out.push_back(code <= 0xFF ? static_cast<char>(static_cast<unsigned char>(code)) : '?');
    }
    return out;
}

unsigned short enumerationId(std::int32_t sel) {
    if (sel == kAnySelector || sel < 0 || sel > 0xFFFF)
        return 0;
    return static_cast<unsigned short>(sel);
}

} // namespace

struct HidapiLibrary::Device {
    hid_device* handle = nullptr;
    ~Device() {
        if (handle != nullptr)
            hid_close(handle);
    }
};

HidapiLibrary::HidapiLibrary() = default;

HidapiLibrary::~HidapiLibrary() {
    m_device.reset();
    hid_exit();
}

void HidapiLibrary::SetInstance(std::int32_t /*instance*/) {
    hid_init();
}

int HidapiLibrary::GetList(std::int32_t selA, std::int32_t selB, const std::string& /*makerName*/,
                           const std::string& /*deviceText*/, const std::string& /*deviceName*/,
                           HidDeviceRecord* records, int capacity) {
    m_listed.clear();
    // Selectors 65535 mean every device; the caller's name and maker test chooses.
    hid_device_info* all = hid_enumerate(enumerationId(selA), enumerationId(selB));
    for (const hid_device_info* d = all; d != nullptr; d = d->next) {
        const std::string path = d->path != nullptr ? d->path : "";
        const bool seen = std::any_of(m_listed.begin(), m_listed.end(),
                                      [&](const ListedHidDevice& l) { return l.path == path; });
        if (path.empty() || seen)
            continue;
        m_listed.push_back({path, d->vendor_id, d->product_id, toSingleBytes(d->product_string),
                            toSingleBytes(d->manufacturer_string),
                            toSingleBytes(d->serial_number)});
    }
    hid_free_enumeration(all);

    return FillDeviceList(m_listed, records, capacity);
}

int HidapiLibrary::Open(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                        const std::string& deviceText, const std::string& deviceName,
                        std::int32_t /*flags*/) {
    // The texts were cut to the record's buffers; compare what the caller could have seen.
    const auto cut = [](const std::string& s) { return s.substr(0, kHidTextBufferSize - 1); };
    const auto it = std::find_if(m_listed.begin(), m_listed.end(), [&](const ListedHidDevice& l) {
        return l.vendor == selA && l.product == selB && cut(l.makerName) == makerName &&
               cut(l.deviceText) == deviceText && cut(l.deviceName) == deviceName;
    });
    if (it == m_listed.end())
        return 0;
    hid_device* handle = hid_open_path(it->path.c_str());
    if (handle == nullptr)
        return 0;
    m_device = std::make_unique<Device>();
    m_device->handle = handle;
    return 1;
}

int HidapiLibrary::Write(const UsbOutputReport& report) {
    if (!m_device)
        return -1;
    // hidapi takes the report ID and the 64 data bytes; the closing zero is not part of it.
    return hid_write(m_device->handle, report.data(), 1 + kUsbPayloadSize);
}

int HidapiLibrary::Read(UsbInputReport& report) {
    const int n = readWithin(report, static_cast<int>(kReadWait.count()));
    // Without a device, or unplugged, nothing can arrive: pausing keeps the callers' polling
    // from spinning.
    if (n < 0)
        std::this_thread::sleep_for(kReadWait);
    return n;
}

int HidapiLibrary::ReadQueued(UsbInputReport& report) {
    return readWithin(report, 0);
}

int HidapiLibrary::readWithin(UsbInputReport& report, int waitMs) {
    if (!m_device)
        return -1;
    std::array<unsigned char, kUsbPayloadSize> data{};
    // A wait of 0 polls the hidraw queue once: 0 when it is empty, -1 when the device is gone.
    const int n = hid_read_timeout(m_device->handle, data.data(), data.size(), waitMs);
    if (n <= 0)
        return n;
    // hidraw hands over the data bytes without a report ID.
    report[0] = 0;
    std::copy_n(data.begin(), kUsbPayloadSize, report.begin() + 1);
    return static_cast<int>(kUsbPayloadSize);
}

} // namespace kelvarin
