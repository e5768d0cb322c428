#pragma once

#include "platform/Clock.h"

#include <filesystem>
#include <optional>

namespace kelvarin {

// The file the terminal's collection arrives in, in the data folder.
inline constexpr const char* kTransactionFile = "MASTER.TRN";

// Moves `folder`'s MASTER.TRN, when there is one, to a name of its own in the same folder:
// "MASTER-" with the date and time `now` (MASTER-20240305-090703.TRN), and "-2", "-3", ... before
// ".TRN" when that name is taken, so that no file kept earlier is overwritten. Returns where it
// went; nothing when there was no MASTER.TRN. A move that fails throws RuntimeError and leaves
// MASTER.TRN as it was.
std::optional<std::filesystem::path> KeepTransactionFile(const std::filesystem::path& folder,
                                                         const LocalDateTime& now);

} // namespace kelvarin
