// The upload text file (summary line and Reconvert) against a baseline that only reads the three
// received files and writes as many bytes as the upload file has.
#include "FillerFile.h"
#include "conversion/RecordFile.h"
#include "conversion/TerminalRecords.h"
#include "conversion/UploadSummary.h"
#include "conversion/UploadTransactionLines.h"
#include "settings/TextFileService.h"
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

constexpr int kMasterRecords = 32767;
constexpr int kTransactions = 10000;
const char* const kTypes[] = {"SAVINGS", "LOAN", "RD", "FD", "PIGMY"};

std::string accountKey(int i) {
    return "ACC" + std::to_string(100000 + i);
}

void writeMasterFile(const fs::path& path) {
    RecordFileWriter out(path);
    for (int i = 0; i < kMasterRecords; ++i) {
        MasterRecord m;
        storeText(m.AccountKey, accountKey(i));
        storeText(m.SortText, "Street " + std::to_string(i % 5000));
        storeText(m.AccTypeCode, kTypes[i % 5]);
        storeText(m.Field2Text, "Customer " + std::to_string(i) + " Name");
        m.RecordNo = static_cast<std::int16_t>(i);
        out.put(m);
    }
    out.close();
}

// Transactions on random accounts; one in twenty has no master record.
void writeTransactionFile(const fs::path& path) {
    std::mt19937 random(10000);
    RecordFileWriter out(path);
    for (int i = 0; i < kTransactions; ++i) {
        const unsigned r = static_cast<unsigned>(random());
        const int account = static_cast<int>(r % kMasterRecords);
        TransactionRecord t;
        t.Long0 = i;
        t.Amount = static_cast<float>(r % 100000) / 100.0f;
        storeText(t.AccountKey, r % 20 == 0 ? "NONE" + std::to_string(i) : accountKey(account));
        storeText(t.AccTypeCode, kTypes[account % 5]);
        t.MarkFlag = static_cast<std::uint8_t>(r % 3);
        t.TransDate = DateRecord{static_cast<std::uint8_t>(1 + r % 28),
                                 static_cast<std::uint8_t>(1 + r % 12), 2026};
        t.TransTime =
            TimeRecord{static_cast<std::uint8_t>(r % 24), static_cast<std::uint8_t>(r % 60),
                       static_cast<std::uint8_t>(r % 59), 0};
        t.Single120 = static_cast<float>(r % 1000) / 8.0f;
        out.put(t);
    }
    out.close();
}

struct Setting {
    Setting() {
        mdlLoadSetup::SetProgramFolder(root.str());
        fs::create_directory(root.path() / "Data");
        AgentRecord agent;
        storeText(agent.AgentCode, "AB12");
        RecordFileWriter agentFile(data("AGENT.DAT"));
        agentFile.put(agent);
        agentFile.close();
        writeMasterFile(data("MASTER.DAT"));
        writeTransactionFile(data("MASTER.TRN"));
    }
    fs::path data(const std::string& name) const { return root.path() / "Data" / name; }

    TempFolder root;
};

Setting& setting() {
    static Setting s;
    return s;
}

// Writes AB12.TXT as the Upload command does once the files are in; returns its size.
std::uintmax_t writeUploadFile(FileSystemObject& fso, MessageBoxRecorder& boxes) {
    const fs::path output = setting().data("AB12.TXT");
    if (fso.FileExists(output))
        fso.DeleteFile(output);
    const auto agents = readRecordFile<AgentRecord>(setting().data("AGENT.DAT"));
    const auto transactions = readRecordFile<TransactionRecord>(setting().data("MASTER.TRN"));
    auto out = fso.OpenTextFile(output, IoMode::ForWriting, true);
    out->WriteLine(UploadSummaryLine(agents.front(), transactions));
    RecordFileReader trn(setting().data("MASTER.TRN"));
    if (!Reconvert(trn, *out, boxes))
        throw std::runtime_error("Reconvert failed: " + boxes.shown.back().text);
    out->Close();
    return fs::file_size(output);
}

std::uintmax_t uploadFileBytes() {
    static const std::uintmax_t bytes = [] {
        FileSystemObject fso;
        MessageBoxRecorder boxes;
        return writeUploadFile(fso, boxes);
    }();
    return bytes;
}

void BM_UploadFile(benchmark::State& state) {
    FileSystemObject fso;
    MessageBoxRecorder boxes;
    std::uintmax_t written = 0;
    for (auto _ : state)
        written = writeUploadFile(fso, boxes);
    state.counters["bytes_written"] = static_cast<double>(written);
    state.counters["transactions"] = kTransactions;
    state.counters["master_records"] = kMasterRecords;
}

void BM_ReadAndWriteBaseline(benchmark::State& state) {
    const std::uintmax_t toWrite = uploadFileBytes();
    std::vector<char> buffer(1 << 16, 'x');
    for (auto _ : state) {
        std::size_t read = 0;
        for (const char* name : {"AGENT.DAT", "MASTER.TRN", "MASTER.DAT"}) {
            std::ifstream in(setting().data(name), std::ios::binary);
            while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
                   in.gcount() > 0)
                read += static_cast<std::size_t>(in.gcount());
        }
        benchmark::DoNotOptimize(read);
        writeFillerFile(setting().data("BASELINE.TXT"), toWrite, buffer);
    }
    state.counters["bytes_written"] = static_cast<double>(toWrite);
}

BENCHMARK(BM_UploadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndWriteBaseline)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvarin::test

BENCHMARK_MAIN();
