#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvarin {

// Bytes in one text buffer of a device record.
inline constexpr std::size_t kHidTextBufferSize = 50;

// Output report as handed to Write: report ID, 64 data bytes, a closing zero.
inline constexpr std::size_t kUsbOutputReportSize = 66;
// Input report as handed to Read: report ID, 64 data bytes.
inline constexpr std::size_t kUsbInputReportSize = 65;
// Data bytes in either report.
inline constexpr std::size_t kUsbPayloadSize = 64;

using UsbOutputReport = std::array<std::uint8_t, kUsbOutputReportSize>;
using UsbInputReport = std::array<std::uint8_t, kUsbInputReportSize>;

static_assert(kUsbOutputReportSize == 1 + kUsbPayloadSize + 1);
static_assert(kUsbInputReportSize == 1 + kUsbPayloadSize);

// One entry of the device list. The caller fills the three buffers with blanks; GetList writes a
// NUL-terminated single-byte text into each and sets the two numeric fields.
struct HidDeviceRecord {
    using TextBuffer = std::array<char, kHidTextBufferSize>;
    TextBuffer deviceName{};
    TextBuffer makerName{};
    TextBuffer deviceText{};
    std::int32_t selA = 0;
    std::int32_t selB = 0;
};

// The HID access library the USB link talks through. Write and Read carry no device: they reach
// the device that the last successful Open opened, and deliver nothing while none is open.
// Texts are single bytes; an empty text stands for "no text".
class HidLibrary {
public:
    virtual ~HidLibrary() = default;

    // Readies the library; the result carries nothing.
    virtual void SetInstance(std::int32_t instance) = 0;

    // Fills records[0..capacity-1] with the HID devices present (selA/selB 65535 and empty texts
    // match every device) and returns how many it filled, from records[0] on.
    virtual int GetList(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                        const std::string& deviceText, const std::string& deviceName,
                        HidDeviceRecord* records, int capacity) = 0;

    // Opens the listed device with exactly these values; 1 when it is open, anything else when
    // not. `flags` is passed through and carries nothing.
    virtual int Open(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                     const std::string& deviceText, const std::string& deviceName,
                     std::int32_t flags) = 0;

    // Sends bytes 1 to 64 of the report as one output report (byte 0 is the report ID, byte 65
    // is not sent). The number of bytes taken, negative on failure.
    virtual int Write(const UsbOutputReport& report) = 0;

    // Waits a short, fixed time for one input report. With a report: byte 0 is 0 and bytes 1 to
    // 64 are its data, result 64. Without one the buffer is left as it was (the caller zeroes
    // it) and the result is 0, or negative on failure. Never blocks for long.
    virtual int Read(UsbInputReport& report) = 0;

    // As Read, but takes only a report that has already arrived: 0 at once when none is queued.
    virtual int ReadQueued(UsbInputReport& report) = 0;
};

} // namespace kelvarin
