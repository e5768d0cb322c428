#include "serial/ComPortName.h"

#include "settings/mdlLoadSetup.h"

#include <algorithm>
#include <string>

namespace kelvarin {

std::filesystem::path comPortDevice(int port, const std::filesystem::path& programFolder) {
    if (port < 1 || port > 9)
        return {};
    const auto link = programFolder / ("COM" + std::to_string(port));
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(link, ec)))
        return link;
    return "/dev/ttyS" + std::to_string(port - 1);
}

int comPortNumber(const std::string& text) {
    constexpr int kCap = 99999;
    int number = 0;
    for (const char c : mdlLoadSetup::TrimBlanks(text)) {
        if (c < '0' || c > '9')
            break;
        number = std::min(number * 10 + (c - '0'), kCap);
    }
    return number;
}

} // namespace kelvarin
