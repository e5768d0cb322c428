#include "FsyncFake.h"

#include <dlfcn.h>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace kelvarin::test {

namespace {

FsyncFake::Answer& activeAnswer() {
    static FsyncFake::Answer answer;
    return answer;
}

std::filesystem::path pathOf(int fd) {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
}

} // namespace

FsyncFake::FsyncFake(Answer answer) {
    activeAnswer() = std::move(answer);
}

FsyncFake::~FsyncFake() {
    activeAnswer() = nullptr;
}

} // namespace kelvarin::test

// Every call of fsync in this program lands here, the program's own included.
extern "C" int fsync(int fd) {
    using RealFsync = int (*)(int);
    static const auto real = reinterpret_cast<RealFsync>(dlsym(RTLD_NEXT, "fsync"));
    if (const auto& answer = kelvarin::test::activeAnswer())
        return answer(kelvarin::test::pathOf(fd));
    return real(fd);
}
