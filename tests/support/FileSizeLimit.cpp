#include "support/FileSizeLimit.h"

#include <stdexcept>

namespace kelvarin::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &m_old) != 0)
        throw std::runtime_error("cannot read RLIMIT_FSIZE");
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (sigaction(SIGXFSZ, &ignore, &m_oldAction) != 0)
        throw std::runtime_error("cannot ignore SIGXFSZ");
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        sigaction(SIGXFSZ, &m_oldAction, nullptr);
        throw std::runtime_error("cannot set RLIMIT_FSIZE");
    }
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    sigaction(SIGXFSZ, &m_oldAction, nullptr);
}

} // namespace kelvarin::test
