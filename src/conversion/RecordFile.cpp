#include "conversion/RecordFile.h"

#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"

#include <algorithm>
#include <cerrno>

namespace kelvarin {

RecordFileWriter::RecordFileWriter(const std::filesystem::path& path) : m_path(path) {
    // Open without truncating; only a missing file is created. The writers delete their
    // outputs first, so a file holds exactly one run's records.
    errno = 0;
    m_file.open(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!m_file.is_open()) {
        errno = 0;
        m_file.clear();
        m_file.open(path, std::ios::binary | std::ios::out);
    }
    if (!m_file.is_open())
        throwFileError(path, errno);
}

void RecordFileWriter::writeBytes(const std::uint8_t* data, std::size_t size) {
    m_file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!m_file)
        throw RuntimeError(kErrPathFileAccess, "Write error (" + m_path.string() + ")");
}

void RecordFileWriter::close() {
    if (!m_file.is_open())
        return;
    m_file.close();
    if (m_file.fail())
        throw RuntimeError(kErrPathFileAccess, "Write error (" + m_path.string() + ")");
}

RecordFileReader::RecordFileReader(const std::filesystem::path& path) : m_path(path) {
    errno = 0;
    if (std::filesystem::is_directory(path))
        throw RuntimeError(kErrPathFileAccess, "Path/File access error (" + path.string() + ")");
    m_file.open(path, std::ios::binary);
    if (!m_file.is_open())
        throwFileError(path, errno);
}

bool RecordFileReader::atEnd() {
    return m_next == m_chunk.size() && !refill();
}

bool RecordFileReader::refill() {
    // 64 KiB: large enough that the stream's cost per read no longer counts.
    constexpr std::size_t kChunkBytes = 1 << 16;
    m_chunk.resize(kChunkBytes);
    m_file.read(reinterpret_cast<char*>(m_chunk.data()), static_cast<std::streamsize>(kChunkBytes));
    if (m_file.bad())
        throw RuntimeError(kErrPathFileAccess, "Read error (" + m_path.string() + ")");
    m_chunk.resize(static_cast<std::size_t>(m_file.gcount()));
    m_next = 0;
    return !m_chunk.empty();
}

bool RecordFileReader::readBytes(std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        if (m_next == m_chunk.size() && !refill())
            return false;
        const std::size_t piece = std::min(size, m_chunk.size() - m_next);
        std::copy_n(m_chunk.data() + m_next, piece, data);
        m_next += piece;
        m_used += piece;
        data += piece;
        size -= piece;
    }
    return true;
}

std::uintmax_t RecordFileReader::bytesLeft() {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(m_path, ec);
    if (ec || m_used > size)
        return 0;
    return size - m_used;
}

} // namespace kelvarin
