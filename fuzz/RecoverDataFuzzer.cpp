// Arbitrary I2C.DAT into RecoverData: it may fail, but it writes nothing outside the data
// folder and nothing there but its work file and text files.
#include "serial/RecoverData.h"
#include "settings/mdlLoadSetup.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kelvarin;
using namespace kelvarin::test;

namespace fs = std::filesystem;

namespace {

TempFolder& folder() {
    static TempFolder f;
    return f;
}

bool allowedInDataFolder(const fs::path& p) {
    const std::string name = p.filename().string();
    return name == "I2C.DAT" || name == "RECOVEREDDATA.DAT" ||
           (name.size() >= 4 && name.compare(name.size() - 4, 4, ".txt") == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The data folder sits two levels down, so a name reaching up one or two levels would show.
    const fs::path root = folder().path();
    const fs::path programFolder = root / "Program";
    const fs::path dataFolder = programFolder / "Data";
    fs::remove_all(programFolder);
    fs::create_directories(dataFolder);
    mdlLoadSetup::SetDataPath(dataFolder.string());
    writeBytes(dataFolder / "I2C.DAT", std::string(reinterpret_cast<const char*>(data), size));

    ModTrans::RecoverData();

    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const fs::path& p = e.path();
        if (p == programFolder || p == dataFolder)
            continue;
        if (p.parent_path() != dataFolder || !e.is_regular_file() || !allowedInDataFolder(p))
            std::abort();
    }
    return 0;
}
