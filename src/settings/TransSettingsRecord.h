#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>

namespace kelvarin {

// TRANS.DAT: one record of 7 bytes, no header, no line end.
//   offset 0, 1 byte:  Port, the COM port number as one character
//   offset 1, 6 bytes: Baud, the baud text, left-justified and blank-padded
struct TransSettingsRecord {
    static constexpr std::size_t kPortWidth = 1;
    static constexpr std::size_t kBaudWidth = 6;
    static constexpr std::size_t kSize = kPortWidth + kBaudWidth;

    std::string Port = std::string(kPortWidth, ' '); // always kPortWidth characters
    std::string Baud = std::string(kBaudWidth, ' '); // always kBaudWidth characters

    // Both values fitted to their widths: cut when longer, blank-padded when shorter.
    static TransSettingsRecord fitted(const std::string& port, const std::string& baud);

    // The record a missing TRANS.DAT is created with: "1" and "57600 ".
    static TransSettingsRecord defaults();

    std::array<char, kSize> toBytes() const;

    // The first 7 bytes of `bytes`; a shorter text leaves blanks in the fields it doesn't reach.
    static TransSettingsRecord fromBytes(const std::string& bytes);
};

// Cuts `value` to `width` characters or pads it with blanks to that width.
std::string fitToWidth(const std::string& value, std::size_t width);

// Replaces the contents of the plain file `path`, created when missing, with exactly the record's
// 7 bytes. Anything but a plain file of that name is refused untouched. Throws RuntimeError.
void writeTransSettingsFile(const std::filesystem::path& path, const TransSettingsRecord& record);

// Replaces the plain file `path`, or creates it, with exactly the record's 7 bytes, written
// whole to a new file beside it (`path` with ".NEW" appended), stored on disk and then renamed
// over it: `path` holds either its old bytes or the new ones, never a part. Anything but a plain
// file of that name is refused untouched. Throws RuntimeError naming `path`; the old file stays
// whole and the new one is removed.
void replaceTransSettingsFile(const std::filesystem::path& path, const TransSettingsRecord& record);

// The record at the start of the file at `path`. Throws RuntimeError when it cannot be read or is
// not a plain file (a folder, pipe or device: 75 saying so); never waits on a pipe.
TransSettingsRecord readTransSettingsFile(const std::filesystem::path& path);

// The record of TRANS.DAT at `path`; a missing file is first created with the default record.
// Throws RuntimeError when the file cannot be read or created.
TransSettingsRecord loadOrCreateTransSettingsFile(const std::filesystem::path& path);

} // namespace kelvarin
