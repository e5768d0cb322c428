#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/ModTrans.h"
#include "serial/QSerialPortControl.h"
#include "settings/mdlLoadSetup.h"
#include "support/PseudoTerminal.h"
#include "support/SerialPortRig.h"
#include "support/SerialTerminalSimulator.h"
#include "support/TempFolder.h"
#include "support/TerminalLinks.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace kelvarin::test {
namespace {

constexpr std::size_t kFileBytes = 1 << 20;
// 1,048,576 = 1,170 x 896 + 256: 1,171 packets.
constexpr double kPackets = 1171;

std::string megabyte() {
    std::string s(kFileBytes, '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char>((i * 7 + 3) % 256);
    return s;
}

// Wall time per packet in milliseconds, the terminal's share included, and the port calls per
// packet that may block: waits for output to leave (drains) and brief waits for input.
void reportPerPacket(benchmark::State& state, std::chrono::steady_clock::time_point started,
                     const SerialPortRig& rig) {
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - started;
    const double packets = kPackets * static_cast<double>(state.iterations());
    state.counters["ms_per_packet"] = spent.count() / packets;
    const auto& calls = rig.control->blockingCalls();
    state.counters["output_waits_per_packet"] = static_cast<double>(calls.outputWaits) / packets;
    state.counters["input_waits_per_packet"] = static_cast<double>(calls.inputWaits) / packets;
}

void BM_SendMegabyteToTerminal(benchmark::State& state) {
    SerialPortRig rig;
    writeBytes(rig.dataFile("MASTER.DAT"), megabyte());
    SimulatorThread<PtyTerminalLink> terminal(rig.sim, rig.link);
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!ModTrans::ExecuteCommand("2 MASTER.DAT"))
            state.SkipWithError(ModTrans::gStatusText.c_str());
    }
    reportPerPacket(state, started, rig);
}

void BM_ReceiveMegabyteFromTerminal(benchmark::State& state) {
    SerialPortRig rig;
    rig.sim.files["MASTER.TRN"] = megabyte();
    SimulatorThread<PtyTerminalLink> terminal(rig.sim, rig.link);
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!ModTrans::ExecuteCommand("1 MASTER.TRN"))
            state.SkipWithError(ModTrans::gStatusText.c_str());
    }
    reportPerPacket(state, started, rig);
}

BENCHMARK(BM_SendMegabyteToTerminal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReceiveMegabyteFromTerminal)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
} // namespace kelvarin::test
