#include "usb/CLSUSB.h"
#include "usb/UsbMessages.h"

#include <algorithm>
#include <exception>

namespace kelvarin {

CLSUSB::CLSUSB(HidLibrary& hid, Clock& clock, EventPump& pump, MessageBoxes& boxes)
    : m_hid(hid), m_clock(clock), m_pump(pump), m_boxes(boxes) {}

void CLSUSB::WriteReport() {
    UsbOutputReport report{};
    // The text's last character only marks its end and is never sent.
    const std::size_t sent =
        m_OutData.empty() ? 0 : std::min(m_OutData.size() - 1, kUsbPayloadSize);
    std::copy_n(m_OutData.begin(), sent, report.begin() + 1);
    try {
        m_hid.Write(report);
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): an unsent report is
    }                                 // caught by the waits' time-outs
    m_OutData.clear();
}

void CLSUSB::ReadReport() {
    m_pump.yield();
    m_InData.clear();
    UsbInputReport report{};
    try {
        if (m_hid.Read(report) <= 0)
            report.fill(0);
    } catch (const std::exception&) {
        report.fill(0);
    }
    m_InData.assign(report.begin() + 1, report.end());
}

void CLSUSB::discardStaleReports() {
    UsbInputReport report{};
    for (int i = 0; i < usb::kStaleReportLimit; ++i) {
        try {
            if (m_hid.ReadQueued(report) <= 0)
                return;
        } catch (const std::exception&) {
            return;
        }
    }
}

bool CLSUSB::IsUsbTimedOut(Time StartTime, std::int32_t Seconds) {
    return secondsSince(m_clock, StartTime) > static_cast<double>(Seconds);
}

void CLSUSB::UsbDelay(double Seconds) {
    const Time start = m_clock.monotonicNow();
    const auto length =
        std::chrono::duration_cast<Time>(std::chrono::duration<double>(std::max(Seconds, 0.0)));
    // Sleeps in short slices so the window stays as responsive as in the other waits.
    const Time slice = std::chrono::milliseconds(10);
    for (;;) {
        if (m_clock.monotonicNow() - start >= length)
            return;
        m_pump.yield();
        const Time left = length - (m_clock.monotonicNow() - start);
        if (left <= Time::zero())
            return;
        m_clock.sleepFor(std::min(left, slice));
    }
}

std::string CLSUSB::LeftOf(const std::string& Text, const std::string& Delim) {
    const std::size_t p = Text.find(Delim);
    if (p == std::string::npos)
        return {};
    return Text.substr(0, p);
}

std::int32_t CLSUSB::UsbBytesToLong(const std::string& Text) {
    if (Text.empty())
        return -1;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < Text.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(Text[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

bool CLSUSB::awaitLetter(char letter, Time start) {
    m_InData.clear();
    while (m_InData.find(letter) == std::string::npos) {
        if (IsUsbTimedOut(start, usb::kUsbTimeoutSecs))
            return false;
        m_InData.clear();
        ReadReport();
        m_pump.yield();
    }
    return true;
}

void CLSUSB::clearReports() {
    m_InData.clear();
    m_OutData.clear();
}

} // namespace kelvarin
