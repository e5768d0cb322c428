// Arbitrary bytes as a master file through TempFileCreation, SortTempFile, CommaFileCreation
// and StCvrt. Every box is answered OK. The run fails when an exception leaves a step or when
// anything but the chain's own files appears, inside or outside the data folder.
#include "conversion/TerminalConversion.h"
#include "settings/mdlLoadSetup.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using kelvarin::test::TempFolder;

// The first input byte picks the master file's name, so the name checks are reached too.
const char* const kNames[] = {"AB.MST", "ABCD.MST", "ABCDE.MST", "A.B.MST", "NODOT", ".MST"};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::abort();
}

void checkOnlyChainFiles(const fs::path& root, const std::string& name) {
    const std::set<std::string> allowed = {"prog",
                                           "prog/Data",
                                           "prog/Data/" + name,
                                           "prog/Data/Temp" + name,
                                           "prog/Data/TEMP.DAT",
                                           "prog/Data/AGENT.DAT",
                                           "prog/Data/MASTER.DAT",
                                           "prog/Data/ACCTYPE.DAT",
                                           "prog/Data/ACC_DETA.DAT",
                                           "prog/Data/BANK.COL"};
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        if (!allowed.count(relative))
            fail("unexpected file: " + relative);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TempFolder root;
    static const fs::path program = root.path() / "prog";
    static const bool ready = [] {
        fs::create_directories(program / "Data");
        kelvarin::mdlLoadSetup::SetProgramFolder(program.string());
        return true;
    }();
    (void)ready;

    const std::string name = kNames[size > 0 ? data[0] % std::size(kNames) : 0];
    const std::string master(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                             size > 0 ? size - 1 : 0);
    for (const auto& entry : fs::directory_iterator(program / "Data"))
        fs::remove_all(entry.path());
    std::ofstream(program / "Data" / name, std::ios::binary) << master;

    kelvarin::test::MessageBoxRecorder boxes;
    kelvarin::TerminalConversion conversion(boxes, [] {});
    conversion.sourceFileName = name;
    try {
        conversion.TempFileCreation(name);
        conversion.SortTempFile();
        conversion.CommaFileCreation(name);
        conversion.StCvrt("Temp" + name);
    } catch (const std::exception& e) {
        fail(std::string("exception left the chain: ") + e.what());
    } catch (...) {
        fail("exception left the chain");
    }
    checkOnlyChainFiles(root.path(), name);
    return 0;
}
