#pragma once

#include <filesystem>

namespace kelvarin {

// An open file descriptor, closed when the object goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }

    // Hands the descriptor over; this object then closes nothing.
    int release();

    // Closes it now. Throws RuntimeError 75 naming `path` when the system reports a failure
    // (for a file being written: its last bytes did not reach the disk).
    void close(const std::filesystem::path& path);

private:
    int m_fd;
};

// Opens `path` with the open(2) `flags` (O_CREAT creates it for everyone to read and write, less
// the umask) and accepts only a plain file: a folder, pipe, device or socket of that name is
// RuntimeError 75 naming the path and what it is. Never waits: a pipe is refused at once, whether
// or not a program holds its other end. Other failures throw as throwFileError does.
FileDescriptor openPlainFile(const std::filesystem::path& path, int flags);

// Refuses, as openPlainFile does, a name that stands for something other than a plain file (a
// link counts as what it leads to). A plain file or no file of that name passes. Opens nothing.
void requirePlainFileOrNone(const std::filesystem::path& path);

} // namespace kelvarin
