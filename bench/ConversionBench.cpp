// The whole conversion chain against a baseline that reads the same master file and writes as
// many bytes as the chain writes, with no conversion at all.
#include "FillerFile.h"
#include "conversion/TerminalConversion.h"
#include "settings/mdlLoadSetup.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

constexpr int kAccountLines = 32767;
const char* const kMasterName = "AB12.MST";

// A realistic master file: a few account types, random sort keys with repeats, dates and
// amounts.
std::string generateMaster() {
    std::mt19937 random(32767);
    std::string master = "KELVARIN COLLECTIONS,071226\r\n";
    const char* const types[] = {"SAVINGS", "LOAN", "RD", "FD", "PIGMY"};
    for (int i = 0; i < kAccountLines; ++i) {
        const unsigned r = static_cast<unsigned>(random());
        master += types[r % 5];
        master += ",Customer " + std::to_string(r % 100000) + " Name";
        master += ",ACC" + std::to_string(100000 + i);
        master += ",Street " + std::to_string(r % 5000);
        master += "," + std::to_string(10 + r % 19) + "/0" + std::to_string(1 + r % 9) + "/2026";
        master += "," + std::to_string(r % 10000) + ".50";
        master += "," + std::to_string(r % 500) + ".25";
        master += "," + std::to_string(r % 90) + ".5";
        master += "," + std::to_string(r % 1000) + ".5";
        master += "," + std::to_string(r % 10);
        master += ",remark " + std::to_string(i) + "\r\n";
    }
    return master;
}

struct Setting {
    Setting() {
        mdlLoadSetup::SetProgramFolder(root.str());
        fs::create_directory(root.path() / "Data");
        std::ofstream(data(kMasterName), std::ios::binary) << generateMaster();
    }
    fs::path data(const std::string& name) const { return root.path() / "Data" / name; }

    TempFolder root;
};

Setting& setting() {
    static Setting s;
    return s;
}

// Runs the chain once; returns the bytes it wrote (TEMP.DAT, its sorted copy, the comma work
// file and the five terminal files).
std::uintmax_t runChain(TerminalConversion& conversion, const MessageBoxRecorder& boxes) {
    setting();
    conversion.sourceFileName = kMasterName;
    conversion.TempFileCreation(kMasterName);
    const std::uintmax_t temp = fs::file_size(setting().data("TEMP.DAT"));
    conversion.SortTempFile();
    conversion.CommaFileCreation(kMasterName);
    const std::uintmax_t work = fs::file_size(setting().data(std::string("Temp") + kMasterName));
    if (!conversion.StCvrt(std::string("Temp") + kMasterName))
        throw std::runtime_error("conversion failed" +
                                 (boxes.shown.empty() ? "" : ": " + boxes.shown.back().text));
    std::uintmax_t written = 2 * temp + work;
    for (const char* name : {"AGENT.DAT", "MASTER.DAT", "ACCTYPE.DAT", "ACC_DETA.DAT", "BANK.COL"})
        written += fs::file_size(setting().data(name));
    return written;
}

std::uintmax_t chainBytes() {
    static const std::uintmax_t bytes = [] {
        MessageBoxRecorder boxes;
        TerminalConversion conversion(boxes, {});
        return runChain(conversion, boxes);
    }();
    return bytes;
}

void BM_ConversionChain(benchmark::State& state) {
    MessageBoxRecorder boxes;
    TerminalConversion conversion(boxes, {});
    std::uintmax_t written = 0;
    for (auto _ : state)
        written = runChain(conversion, boxes);
    if (!boxes.shown.empty())
        state.SkipWithError("the chain showed a message");
    state.counters["bytes_written"] = static_cast<double>(written);
    state.counters["accounts"] = kAccountLines;
}

void BM_ReadAndWriteBaseline(benchmark::State& state) {
    const std::uintmax_t toWrite = chainBytes();
    std::vector<char> buffer(1 << 16, 'x');
    for (auto _ : state) {
        std::ifstream in(setting().data(kMasterName), std::ios::binary);
        std::string line;
        std::size_t read = 0;
        while (std::getline(in, line))
            read += line.size();
        benchmark::DoNotOptimize(read);
        writeFillerFile(setting().data("BASELINE.DAT"), toWrite, buffer);
    }
    state.counters["bytes_written"] = static_cast<double>(toWrite);
}

BENCHMARK(BM_ConversionChain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndWriteBaseline)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvarin::test

BENCHMARK_MAIN();
