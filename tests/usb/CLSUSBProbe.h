#pragma once

#include "usb/CLSUSB.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace kelvarin::test {

// Reaches the link's private report layer and members.
class CLSUSBProbe {
public:
    explicit CLSUSBProbe(CLSUSB& usb) : m_usb(usb) {}

    void send(const std::string& text) {
        m_usb.m_OutData = text;
        m_usb.WriteReport();
    }
    void ReadReport() { m_usb.ReadReport(); }
    bool IsUsbTimedOut(std::chrono::steady_clock::duration start, std::int32_t seconds) {
        return m_usb.IsUsbTimedOut(start, seconds);
    }
    void UsbDelay(double seconds) { m_usb.UsbDelay(seconds); }
    static std::string LeftOf(const std::string& text, const std::string& delim) {
        return CLSUSB::LeftOf(text, delim);
    }
    static std::int32_t UsbBytesToLong(const std::string& text) {
        return CLSUSB::UsbBytesToLong(text);
    }

    const std::string& inData() const { return m_usb.m_InData; }
    const std::string& outData() const { return m_usb.m_OutData; }
    std::int32_t packetCount() const { return m_usb.m_PacketCount; }
    const std::string& deviceName() const { return m_usb.m_DeviceName; }
    const std::string& makerName() const { return m_usb.m_MakerName; }
    const std::string& deviceText() const { return m_usb.m_DeviceText; }
    std::int32_t selA() const { return m_usb.m_SelA; }
    std::int32_t selB() const { return m_usb.m_SelB; }

private:
    CLSUSB& m_usb;
};

} // namespace kelvarin::test
