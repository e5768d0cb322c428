#include "usb/TerminalNames.h"

#include "usb/UsbMessages.h"

namespace kelvarin::usb {

bool IsTerminalName(const std::string& deviceName, const std::string& makerName) {
    const std::string name = UpperCase(deviceName);
    return (name == "VORIXAN" || name == "KLOVEDRASTIN1") && UpperCase(makerName) == "MERIDOCK";
}

} // namespace kelvarin::usb
