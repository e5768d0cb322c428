#pragma once

#include <filesystem>

namespace kelvarin {

// Returns once the file's contents and its entry in its folder are on the disk itself (fsync of
// both), so that a power cut from then on cannot lose the file. RuntimeError 75 when the file
// system reports that it could not store them.
void SyncToDisk(const std::filesystem::path& file);

} // namespace kelvarin
