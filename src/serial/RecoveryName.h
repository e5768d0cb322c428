#pragma once

#include <filesystem>
#include <string>

namespace kelvarin::ModTrans {

// The recovery text file `name` in `dataFolder`. The name comes from the terminal's I2C.DAT, so
// a name that could reach outside the folder or name a device (a path separator, "..", a colon,
// a control character, CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9) is refused with RuntimeError
// 52 "Bad file name or number".
std::filesystem::path RecoveryTarget(const std::filesystem::path& dataFolder,
                                     const std::string& name);

} // namespace kelvarin::ModTrans
