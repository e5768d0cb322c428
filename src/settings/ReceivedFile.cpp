#include "settings/ReceivedFile.h"

#include "platform/RuntimeError.h"

#include <system_error>

namespace kelvarin {

namespace fs = std::filesystem;

ReceivedFile::ReceivedFile(const fs::path& folder, const std::string& name)
    : m_scratch(folder / kReceiveScratchName), m_target(folder / name) {}

ReceivedFile::~ReceivedFile() {
    if (!m_placed)
        discard();
}

void ReceivedFile::open() {
    m_closed = false;
    m_stream = m_fso.OpenTextFile(m_scratch, IoMode::ForWriting, true);
}

void ReceivedFile::write(const std::string& bytes) {
    if (!m_stream)
        throw RuntimeError(kErrPathFileAccess, "Bad file mode (" + m_scratch.string() + ")");
    m_stream->Write(bytes);
}

void ReceivedFile::close() {
    if (!m_stream)
        return;
    // The stream keeps the last bytes in its buffer until here: only a close that succeeds
    // means the file holds all of them.
    const std::unique_ptr<TextStream> stream = std::move(m_stream);
    stream->Close();
    m_closed = true;
}

void ReceivedFile::putInPlace() {
    if (!m_closed)
        throw RuntimeError(kErrPathFileAccess, "Bad file mode (" + m_scratch.string() + ")");
    std::error_code ec;
    fs::rename(m_scratch, m_target, ec);
    if (ec)
        throwFileError(m_target, ec.value());
    m_placed = true;
}

void ReceivedFile::discard() noexcept {
    m_stream.reset(); // the stream's destructor closes without throwing
    std::error_code ec;
    fs::remove(m_scratch, ec);
}

} // namespace kelvarin
