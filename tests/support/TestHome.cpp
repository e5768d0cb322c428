#include "support/TestHome.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace kelvarin::test {

namespace {

// Test names hold '/' (parameterised tests); a filter may hold '*', '?' and ':'.
std::string folderName(std::string_view text) {
    std::string name(text);
    for (char& c : name) {
        if (c == '/' || c == '*' || c == '?' || c == ':')
            c = '_';
    }
    return name.empty() ? "all" : name;
}

std::string filterOf(int argc, char** argv) {
    constexpr std::string_view kFilter = "--gtest_filter=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.substr(0, kFilter.size()) == kFilter)
            return std::string(arg.substr(kFilter.size()));
    }
    return {};
}

} // namespace

void useOwnHomeFolder(int argc, char** argv) {
    namespace fs = std::filesystem;
    const std::string program = argc > 0 ? fs::path(argv[0]).filename().string() : "test";
    const fs::path home =
        fs::path(KELVARIN_TEST_HOME_ROOT) / program / folderName(filterOf(argc, argv));
    std::error_code ec;
    fs::remove_all(home, ec);
    const std::pair<const char*, fs::path> folders[] = {
        {"HOME", home},
        {"XDG_CONFIG_HOME", home / ".config"},
        {"XDG_DATA_HOME", home / ".local/share"},
        {"XDG_CACHE_HOME", home / ".cache"},
        {"XDG_STATE_HOME", home / ".local/state"},
    };
    for (const auto& [variable, folder] : folders) {
        fs::create_directories(folder, ec);
        setenv(variable, folder.c_str(), 1);
    }
}

} // namespace kelvarin::test
