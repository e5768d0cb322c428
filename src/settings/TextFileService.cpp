#include "settings/TextFileService.h"

#include "platform/RuntimeError.h"

#include <cerrno>
#include <system_error>

namespace kelvarin {

namespace fs = std::filesystem;

int fileErrorNumber(const fs::path& path, int osError) {
    switch (osError) {
    case ENOENT:
        if (!path.has_parent_path() || fs::is_directory(path.parent_path()))
            return kErrFileNotFound;
        return kErrPathNotFound;
    case ENOTDIR:
        return kErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return kErrPermissionDenied;
    default:
        return kErrPathFileAccess;
    }
}

void throwFileError(const fs::path& path, int osError) {
    const int number = fileErrorNumber(path, osError);
    throw RuntimeError(number,
                       RuntimeError::standardDescription(number) + " (" + path.string() + ")");
}

TextStream::TextStream(fs::path path, IoMode mode) : m_path(std::move(path)), m_mode(mode) {
    errno = 0;
    if (mode == IoMode::ForReading) {
        if (fs::is_directory(m_path))
            throw RuntimeError(kErrPathFileAccess,
                               "Path/File access error (" + m_path.string() + ")");
        m_in.open(m_path, std::ios::binary);
        if (!m_in.is_open())
            throwFileError(m_path, errno);
    } else {
        m_out.open(m_path, std::ios::binary | std::ios::trunc);
        if (!m_out.is_open())
            throwFileError(m_path, errno);
    }
    m_open = true;
}

TextStream::~TextStream() {
    try {
        Close();
    } catch (...) { // NOLINT(bugprone-empty-catch): a destructor must not throw
    }
}

void TextStream::requireOpen(IoMode mode) const {
    if (!m_open || m_mode != mode)
        throw RuntimeError(kErrPathFileAccess, "Bad file mode (" + m_path.string() + ")");
}

std::string TextStream::ReadLine() {
    requireOpen(IoMode::ForReading);
    if (AtEndOfStream())
        throw RuntimeError(kErrInputPastEnd);
    std::string line;
    std::getline(m_in, line, '\n');
    if (m_in.bad())
        throw RuntimeError(kErrPathFileAccess, "Read error (" + m_path.string() + ")");
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

bool TextStream::AtEndOfStream() {
    requireOpen(IoMode::ForReading);
    return m_in.peek() == std::ifstream::traits_type::eof();
}

void TextStream::WriteLine(const std::string& text) {
    Write(text);
    Write("\r\n");
}

void TextStream::Write(const std::string& text) {
    requireOpen(IoMode::ForWriting);
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!m_out)
        throw RuntimeError(kErrPathFileAccess, "Write error (" + m_path.string() + ")");
}

void TextStream::Close() {
    if (!m_open)
        return;
    m_open = false;
    if (m_mode == IoMode::ForReading) {
        m_in.close();
        return;
    }
    m_out.close();
    if (m_out.fail())
        throw RuntimeError(kErrPathFileAccess, "Write error (" + m_path.string() + ")");
}

std::unique_ptr<TextStream> FileSystemObject::OpenTextFile(const fs::path& path, IoMode mode,
                                                           bool create) {
    if (mode == IoMode::ForWriting && !create && !fs::exists(path))
        throw RuntimeError(kErrFileNotFound, "File not found (" + path.string() + ")");
    return std::unique_ptr<TextStream>(new TextStream(path, mode));
}

void FileSystemObject::CopyFile(const fs::path& source, const fs::path& destination,
                                bool overwrite) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        throw RuntimeError(kErrFileNotFound, "File not found (" + source.string() + ")");
    if (!overwrite && fs::exists(destination, ec))
        throw RuntimeError(58, "File already exists (" + destination.string() + ")");
    fs::copy_file(source, destination, fs::copy_options::overwrite_existing, ec);
    if (ec)
        throwFileError(destination, ec.value());
}

bool FileSystemObject::FileExists(const fs::path& path) const {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

void FileSystemObject::DeleteFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        throw RuntimeError(kErrFileNotFound, "File not found (" + path.string() + ")");
    if (!fs::remove(path, ec) || ec)
        throwFileError(path, ec.value());
}

void FileSystemObject::DeleteIfPresent(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        if (!fs::remove(path, ec))
            throwFileError(path, ec.value());
        return;
    }
    if (FileExists(path))
        DeleteFile(path);
}

} // namespace kelvarin
