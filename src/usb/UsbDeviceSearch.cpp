#include "usb/CLSUSB.h"
#include "usb/TerminalNames.h"
#include "usb/UsbMessages.h"

#include <algorithm>
#include <array>
#include <exception>

namespace kelvarin {

namespace {

std::string bufferText(const HidDeviceRecord::TextBuffer& buffer) {
    return std::string(buffer.begin(), buffer.end());
}

} // namespace

bool CLSUSB::GetDevices() {
    int opened = 0;
    try {
        m_hid.SetInstance(0);
        m_DeviceName.clear();
        m_DeviceText.clear();
        m_MakerName.clear();
        m_SelA = usb::kAnyDevice;
        m_SelB = usb::kAnyDevice;

        std::array<HidDeviceRecord, usb::kDeviceListSize> list{};
        for (HidDeviceRecord& r : list) {
            r.deviceName.fill(' ');
            r.makerName.fill(' ');
            r.deviceText.fill(' ');
        }
        const int n = m_hid.GetList(m_SelA, m_SelB, m_MakerName, m_DeviceText, m_DeviceName,
                                    list.data(), usb::kDeviceListCapacity);
        const std::string nul(1, '\0');
        for (int i = 0; i < std::min(n, usb::kDeviceListSize); ++i) {
            const HidDeviceRecord& r = list[static_cast<std::size_t>(i)];
            // A buffer the library left without a NUL gives an empty text.
            m_DeviceName = LeftOf(bufferText(r.deviceName), nul);
            m_MakerName = LeftOf(bufferText(r.makerName), nul);
            m_DeviceText = LeftOf(bufferText(r.deviceText), nul);
            m_SelA = r.selA;
            m_SelB = r.selB;
            if (usb::IsTerminalName(m_DeviceName, m_MakerName)) {
                // The first match ends the search, whether it opens or not.
                opened = m_hid.Open(m_SelA, m_SelB, m_MakerName, m_DeviceText, m_DeviceName,
                                    usb::kOpenFlags);
                break;
            }
        }
    } catch (const std::exception&) {
        return false;
    }
    if (opened != 1)
        return false;
    m_OutData = usb::ConnectMessage();
    WriteReport();
    return true;
}

bool CLSUSB::DisconnectUSB() {
    m_OutData = usb::DisconnectMessage();
    WriteReport();
    return false;
}

} // namespace kelvarin
