// main() for test programs that need Qt: an offscreen QApplication exists for every test.
#include "support/TestHome.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// fontconfig 2.14, as Debian 12 ships it, leaks a buffer while it reads its configuration when
// HOME or XDG_CONFIG_HOME is longer than about 80 characters, as a test's own home folder under
// the build tree is. The sanitizer build's leak check skips what it allocates.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    kelvarin::test::useOwnHomeFolder(argc, argv);
    // Set here, not only in CTest's environment: test discovery runs the program without it.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt wants a private runtime folder; CI has none.
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
        const std::string dir = "/tmp/kelvarin-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
