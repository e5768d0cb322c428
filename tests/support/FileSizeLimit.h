#pragma once

#include <csignal>
#include <sys/resource.h>

namespace kelvarin::test {

// A real "disk full" for one scope: no file of this process may grow past `bytes`. A write past
// the limit then fails with EFBIG instead of ending the process with SIGXFSZ. The limit and the
// signal's handling are restored when the scope ends. Applies to the whole process, every thread
// included.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    struct sigaction m_oldAction {};
};

} // namespace kelvarin::test
