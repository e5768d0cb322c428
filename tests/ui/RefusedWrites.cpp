#include "RefusedWrites.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvarin::test {

namespace {

// Atomics and never freed: the simulated terminal writes from a thread of its own, also while
// a RefusedWrites comes and goes.
struct Refusal {
    std::atomic<bool> on{false};
    std::atomic<dev_t> device{0};
    std::atomic<int> every{0};
    std::atomic<int> writes{0};
    std::atomic<int> refused{0};
};

Refusal& refusal() {
    static Refusal r;
    return r;
}

} // namespace

RefusedWrites::RefusedWrites(const std::filesystem::path& device, int every) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0 || !S_ISCHR(st.st_mode) || every < 2)
        throw std::invalid_argument("RefusedWrites: no character device " + device.string());
    Refusal& r = refusal();
    r.device = st.st_rdev;
    r.every = every;
    r.writes = 0;
    r.refused = 0;
    r.on = true;
}

RefusedWrites::~RefusedWrites() {
    refusal().on = false;
}

int RefusedWrites::writes() const {
    return refusal().writes;
}

int RefusedWrites::refused() const {
    return refusal().refused;
}

} // namespace kelvarin::test

// Every call of write in this program lands here, Qt's serial port included.
extern "C" ssize_t write(int fd, const void* data, size_t size) {
    using RealWrite = ssize_t (*)(int, const void*, size_t);
    static const auto real = reinterpret_cast<RealWrite>(dlsym(RTLD_NEXT, "write"));
    auto& r = kelvarin::test::refusal();
    if (r.on) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == r.device &&
            ++r.writes % r.every == 0) {
            ++r.refused;
            errno = EAGAIN;
            return -1;
        }
    }
    return real(fd, data, size);
}
