#include "conversion/RecordFile.h"

#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"

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
    return m_file.peek() == std::ifstream::traits_type::eof();
}

bool RecordFileReader::readBytes(std::uint8_t* data, std::size_t size) {
    m_file.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
    if (m_file.bad())
        throw RuntimeError(kErrPathFileAccess, "Read error (" + m_path.string() + ")");
    return static_cast<std::size_t>(m_file.gcount()) == size;
}

std::uintmax_t RecordFileReader::bytesLeft() {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(m_path, ec);
    const std::streamoff at = m_file.tellg();
    if (ec || at < 0 || static_cast<std::uintmax_t>(at) > size)
        return 0;
    return size - static_cast<std::uintmax_t>(at);
}

} // namespace kelvarin
