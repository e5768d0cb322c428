#include "serial/ComPortName.h"

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

} // namespace kelvarin
