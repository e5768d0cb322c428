#include "settings/TextFileService.h"

#include "platform/RuntimeError.h"
#include "settings/PlainFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/types.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

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
    // Held by another program: busy, being run, or locked.
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return kErrPermissionDenied;
    default:
        // Permissions, a read-only file system and the rest: the description tells which.
        return kErrPathFileAccess;
    }
}

void throwFileError(const fs::path& path, int osError) {
    const int number = fileErrorNumber(path, osError);
    std::string where = path.string();
    if (number == kErrPathFileAccess && osError != 0)
        where += ": " + std::generic_category().message(osError);
    throw RuntimeError(number, RuntimeError::standardDescription(number) + " (" + where + ")");
}

namespace {

// The line end of a file open for reading at its start: CR when no LF stands anywhere in it but a
// CR does (as old Macintosh programs write text), LF otherwise. Leaves the file at its start.
char lineEndOf(std::FILE* file) {
    std::vector<char> chunk(std::size_t{1} << 16);
    bool sawCr = false;
    bool sawLf = false;
    std::size_t n = 0;
    while (!sawLf && (n = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        sawLf = std::memchr(chunk.data(), '\n', n) != nullptr;
        sawCr = sawCr || std::memchr(chunk.data(), '\r', n) != nullptr;
    }
    const bool failed = std::ferror(file) != 0;
    if (failed || std::fseek(file, 0, SEEK_SET) != 0)
        return 0;
    return !sawLf && sawCr ? '\r' : '\n';
}

} // namespace

TextStream::TextStream(fs::path path, IoMode mode) : m_path(std::move(path)), m_mode(mode) {
    errno = 0;
    if (mode == IoMode::ForReading) {
        FileDescriptor fd = openPlainFile(m_path, O_RDONLY);
        m_in = ::fdopen(fd.get(), "rb");
        if (m_in == nullptr)
            throwFileError(m_path, errno);
        fd.release();
        m_lineEnd = lineEndOf(m_in);
        if (m_lineEnd == 0) {
            std::fclose(m_in);
            throwReadError();
        }
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

void TextStream::throwReadError() const {
    throw RuntimeError(kErrPathFileAccess, "Read error (" + m_path.string() + ")");
}

std::string TextStream::ReadLine() {
    requireOpen(IoMode::ForReading);
    if (AtEndOfStream())
        throw RuntimeError(kErrInputPastEnd);
    const ssize_t got = ::getdelim(&m_line, &m_lineCapacity, m_lineEnd, m_in);
    if (got < 0 || std::ferror(m_in))
        throwReadError();
    std::size_t length = static_cast<std::size_t>(got);
    if (length > 0 && m_line[length - 1] == m_lineEnd)
        --length;
    if (m_lineEnd == '\n' && length > 0 && m_line[length - 1] == '\r')
        --length;
    return std::string(m_line, length);
}

bool TextStream::AtEndOfStream() {
    requireOpen(IoMode::ForReading);
    const int next = std::getc(m_in);
    if (next == EOF) {
        if (std::ferror(m_in))
            throwReadError();
        return true;
    }
    std::ungetc(next, m_in);
    return false;
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
        std::free(m_line);
        m_line = nullptr;
        std::fclose(std::exchange(m_in, nullptr));
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

void FileSystemObject::ReplaceWithCopy(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        throw RuntimeError(kErrFileNotFound, "File not found (" + source.string() + ")");
    // A name of its own, made by mkstemp, so the copy never lands on another file.
    std::string scratchName = destination.string() + ".XXXXXX";
    const int fd = ::mkstemp(scratchName.data());
    if (fd < 0)
        throwFileError(destination, errno);
    ::close(fd);
    const fs::path scratch(scratchName);
    fs::copy_file(source, scratch, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(scratch, destination, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(scratch, ignored);
        throwFileError(destination, ec.value());
    }
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
