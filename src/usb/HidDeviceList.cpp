#include "usb/HidDeviceList.h"

#include "usb/TerminalNames.h"

#include <algorithm>

namespace kelvarin {

namespace {

// Writes the text NUL-terminated, cut to fit, as the old library filled its buffers.
void fillBuffer(HidDeviceRecord::TextBuffer& buffer, const std::string& text) {
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    buffer[n] = '\0';
}

} // namespace

int FillDeviceList(std::vector<ListedHidDevice>& devices, HidDeviceRecord* records, int capacity) {
    std::stable_partition(devices.begin(), devices.end(), [](const ListedHidDevice& d) {
        return usb::IsTerminalName(d.deviceName, d.makerName);
    });
    const std::size_t n = std::min<std::size_t>(devices.size(), std::max(capacity, 0));
    for (std::size_t i = 0; i < n; ++i) {
        fillBuffer(records[i].deviceName, devices[i].deviceName);
        fillBuffer(records[i].makerName, devices[i].makerName);
        fillBuffer(records[i].deviceText, devices[i].deviceText);
        records[i].selA = devices[i].vendor;
        records[i].selB = devices[i].product;
    }
    return static_cast<int>(n);
}

} // namespace kelvarin
