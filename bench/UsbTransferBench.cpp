// Sends and receives 1 MB through the simulated terminal. The fake clock takes the one-second
// pauses and the waits, so what is measured is the link's own work (with the fake library's
// and the simulator's, which makes it an upper bound) per report.
#include "platform/ProgressBar.h"
#include "support/FakeClock.h"
#include "support/FakeHidLibrary.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"
#include "support/UsbTerminalSimulator.h"
#include "usb/CLSUSB.h"

#include <benchmark/benchmark.h>
#include <string>

namespace kelvarin::test {
namespace {

constexpr std::size_t kFileSize = 1024 * 1024;

std::string megabyte() {
    std::string s(kFileSize, '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char>((i * 31 + 7) % 256);
    return s;
}

struct Link {
    Link() { hid.keepWritten = false; }
    TempFolder folder;
    FakeClock clock;
    FakeEventPump pump{clock};
    FakeHidLibrary hid{&clock};
    UsbTerminalSimulator terminal{clock, hid};
    MessageBoxRecorder boxes;
    MemoryProgressBar bar;
    CLSUSB usb{hid, clock, pump, boxes};
};

void perReport(benchmark::State& state, double reports) {
    state.counters["reports"] = reports;
    state.counters["time_per_report"] = benchmark::Counter(
        reports, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

void BM_SendMegabyte(benchmark::State& state) {
    Link link;
    writeBytes(link.folder.path() / "MASTER.DAT", megabyte());
    for (auto _ : state) {
        if (!link.usb.WriteToUSB("MASTER.DAT", link.folder.str(), &link.bar))
            state.SkipWithError("send failed");
    }
    // The header, the data reports and the acknowledgements read.
    const double reports = static_cast<double>(link.hid.writeCount + link.hid.readCount) /
                           static_cast<double>(state.iterations());
    perReport(state, reports);
}
BENCHMARK(BM_SendMegabyte)->Unit(benchmark::kMillisecond);

void BM_ReceiveMegabyte(benchmark::State& state) {
    Link link;
    link.terminal.files["MASTER.DAT"] = megabyte();
    for (auto _ : state) {
        if (!link.usb.ReadFromUSB("MASTER.DAT", link.folder.str(), &link.bar))
            state.SkipWithError("receive failed");
    }
    const double reports = static_cast<double>(link.hid.writeCount + link.hid.readCount) /
                           static_cast<double>(state.iterations());
    perReport(state, reports);
}
BENCHMARK(BM_ReceiveMegabyte)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvarin::test

BENCHMARK_MAIN();
