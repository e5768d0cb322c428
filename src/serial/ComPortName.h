#pragma once

#include <filesystem>

namespace kelvarin {

// The device that COM port `port` names: the program folder's entry "COMn" when it exists (a
// link the user makes, for example to /dev/ttyUSB0), otherwise /dev/ttyS(n-1). Ports outside
// 1 to 9 name nothing: the result is empty.
std::filesystem::path comPortDevice(int port, const std::filesystem::path& programFolder);

} // namespace kelvarin
