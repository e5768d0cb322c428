#include "settings/DiskSync.h"

#include "platform/RuntimeError.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace kelvarin {

namespace fs = std::filesystem;

namespace {

// fsync of `path` opened with `flags`; the errno of the failing step, or 0.
int syncPath(const fs::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    if (::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

[[noreturn]] void throwNotStored(const fs::path& file, int error) {
    throw RuntimeError(kErrPathFileAccess, "Could not store " + file.string() + " on disk (" +
                                               std::generic_category().message(error) + ")");
}

} // namespace

void SyncToDisk(const fs::path& file) {
    if (const int error = syncPath(file, O_RDONLY); error != 0)
        throwNotStored(file, error);
    // A new file is lost with its folder's entry; a file system that cannot sync a folder
    // (EINVAL) keeps its entries by other means.
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (const int error = syncPath(folder, O_RDONLY | O_DIRECTORY); error != 0 && error != EINVAL)
        throwNotStored(file, error);
}

} // namespace kelvarin
