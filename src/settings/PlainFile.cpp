#include "settings/PlainFile.h"

#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvarin {

namespace {

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "something else";
}

[[noreturn]] void refuseNotPlain(const std::filesystem::path& path, mode_t mode) {
    throw RuntimeError(kErrPathFileAccess, RuntimeError::standardDescription(kErrPathFileAccess) +
                                               " (" + path.string() + ": " + kindOf(mode) +
                                               ", not a plain file)");
}

} // namespace

FileDescriptor::~FileDescriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
}

int FileDescriptor::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void FileDescriptor::close(const std::filesystem::path& path) {
    const int fd = release();
    if (fd >= 0 && ::close(fd) != 0)
        throwFileError(path, errno);
}

FileDescriptor openPlainFile(const std::filesystem::path& path, int flags) {
    // Without O_NONBLOCK, opening a pipe waits until another program opens its other end.
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat st {};
    if (fd < 0) {
        const int error = errno;
        // A pipe nobody reads, or a folder opened for writing: say what stands there.
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            refuseNotPlain(path, st.st_mode);
        throwFileError(path, error);
    }
    FileDescriptor file(fd);
    // The type of what was opened, not of what the name showed before: no other file can slip
    // in between.
    if (::fstat(fd, &st) != 0)
        throwFileError(path, errno);
    if (!S_ISREG(st.st_mode))
        refuseNotPlain(path, st.st_mode);
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0)
        throwFileError(path, errno);
    return file;
}

void requirePlainFileOrNone(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        refuseNotPlain(path, st.st_mode);
}

} // namespace kelvarin
