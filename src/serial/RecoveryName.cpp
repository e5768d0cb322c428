#include "serial/RecoveryName.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelvarin::ModTrans {

namespace {

constexpr int kErrBadFileName = 52;

bool isDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    std::transform(base.begin(), base.end(), base.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<const char*, 4> kFixed = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kFixed.begin(), kFixed.end(), base) != kFixed.end())
        return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

bool hasUnsafeCharacter(const std::string& name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || c == ':' || b < 0x20 || b == 0x7F;
    });
}

} // namespace

std::filesystem::path RecoveryTarget(const std::filesystem::path& dataFolder,
                                     const std::string& name) {
    if (hasUnsafeCharacter(name) || name.find("..") != std::string::npos || isDeviceName(name))
        throw RuntimeError(kErrBadFileName, "Bad file name or number (" + name + ")");
    return dataFolder / name;
}

} // namespace kelvarin::ModTrans
