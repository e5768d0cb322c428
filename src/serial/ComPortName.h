#pragma once

#include <filesystem>
#include <string>

namespace kelvarin {

// The device that COM port `port` names: the program folder's entry "COMn" when it exists (a
// link the user makes, for example to /dev/ttyUSB0), otherwise /dev/ttyS(n-1). Ports outside
// 1 to 9 name nothing: the result is empty.
std::filesystem::path comPortDevice(int port, const std::filesystem::path& programFolder);

// The port number a text names: its leading digits once blanks at both ends are removed ("12"
// is 12, "1x" is 1, " 3 " is 3); 0 when it starts with no digit. Values beyond 99999 stay
// there, so a long text cannot overflow.
int comPortNumber(const std::string& text);

} // namespace kelvarin
