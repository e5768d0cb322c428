#pragma once

#include <string>

namespace kelvarin::usb {

// Whether a HID device with these names is the terminal: device name "VORIXAN" or
// "KLOVEDRASTIN1" and maker "MERIDOCK", in any letter case.
bool IsTerminalName(const std::string& deviceName, const std::string& makerName);

} // namespace kelvarin::usb
