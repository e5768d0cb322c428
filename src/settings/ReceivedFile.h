#pragma once

#include "settings/TextFileService.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kelvarin {

// The scratch file a file from the terminal is written into, in the folder the file goes to.
inline constexpr const char* kReceiveScratchName = "TEMPFILE.BIN";

// A file arriving from the terminal. Its bytes go into a scratch file beside the target; only a
// file whose every byte was written, flushed and closed without an error takes the target's
// place, in one rename, so the target holds either its older contents or the whole new file,
// never a part. On every other way out, exceptions included, the scratch file is closed and
// removed. Failures throw RuntimeError (75 for a write the file system did not take).
class ReceivedFile {
public:
    // `folder` / kReceiveScratchName receives the bytes of `folder` / `name`. Nothing is opened
    // yet.
    ReceivedFile(const std::filesystem::path& folder, const std::string& name);
    ~ReceivedFile(); // removes the scratch file unless it was put in place
    ReceivedFile(const ReceivedFile&) = delete;
    ReceivedFile& operator=(const ReceivedFile&) = delete;

    // Creates the scratch file, or empties one left from before.
    void open();
    bool isOpen() const { return m_stream != nullptr; }

    // Appends the bytes.
    void write(const std::string& bytes);

    // Completes the scratch file on disk and closes it; an error here means bytes are missing.
    void close();

    // Puts the closed scratch file in the target's place.
    void putInPlace();
    const std::filesystem::path& target() const { return m_target; }

private:
    void discard() noexcept;

    std::filesystem::path m_scratch;
    std::filesystem::path m_target;
    FileSystemObject m_fso;
    std::unique_ptr<TextStream> m_stream;
    bool m_closed = false;
    bool m_placed = false;
};

} // namespace kelvarin
