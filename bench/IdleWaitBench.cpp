// What a wait for a silent terminal costs the processor: the real window pump and the real
// serial port on a pseudo-terminal whose other side never answers or has gone, and the real HID
// library with no terminal plugged in. Reported as the share of one core used during the wait,
// and the processor and wall time of one wait.
#include "serial/CommandExchange.h"
#include "serial/ModTrans.h"
#include "support/MessageBoxRecorder.h"
#include "support/SerialPortRig.h"
#include "ui/QtPlatform.h"
#include "usb/CLSUSB.h"
#include "usb/HidapiLibrary.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>

namespace kelvarin::test {
namespace {

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Runs `wait` once per iteration and reports the CPU time it used per second of wall time.
template <typename Wait>
void measureCpuShare(benchmark::State& state, Wait wait) {
    // The window's clock label ticks during the wait, as it does in the program.
    QTimer ticker;
    int ticks = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(1000);
    // A window event due every 20 ms: how late it is handled bounds how late a click is.
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    auto last = std::chrono::steady_clock::now();
    double worstLateMs = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const auto now = std::chrono::steady_clock::now();
        const double gapMs = std::chrono::duration<double, std::milli>(now - last).count();
        worstLateMs = std::max(worstLateMs, gapMs - 20.0);
        last = now;
    });
    probe.start(20);

    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpu0 = processCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        wait();
        cpu += processCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    }
    state.counters["cpu_share_of_one_core"] = cpu / wall;
    const auto n = static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_wait"] = 1000 * cpu / n;
    state.counters["wall_ms_per_wait"] = 1000 * wall / n;
    state.counters["clock_ticks_during_waits"] = ticks;
    state.counters["worst_event_delay_ms"] = worstLateMs;
}

void BM_SerialReadByteFromSilentTerminal(benchmark::State& state) {
    SerialPortRig rig;
    QtEventPump pump;
    ModTrans::gPump = &pump;
    measureCpuShare(state, [] {
        ModTrans::gTimeoutSecs = 5;
        std::uint8_t b = 0;
        if (ModTrans::ReadByte(b))
            throw std::runtime_error("the silent terminal sent a byte");
    });
    const auto& calls = rig.control->blockingCalls();
    state.counters["input_waits_per_second"] =
        static_cast<double>(calls.inputWaits) / (5.0 * static_cast<double>(state.iterations()));
}

// The far end of the port has gone (the pseudo-terminal's master closed, as a USB-serial
// adapter pulled out): the fetch of STATUS.DAT that starts a Download, with its 10-second
// waits.
void BM_SerialCommandOnHungUpPort(benchmark::State& state) {
    SerialPortRig rig;
    QtEventPump pump;
    ModTrans::gPump = &pump;
    rig.pty.closeMaster();
    measureCpuShare(state, [] {
        if (ModTrans::ExecuteCommand("1 STATUS.DAT"))
            throw std::runtime_error("a file arrived over a hung-up port");
    });
}

// The program at rest, no command running: only the event loop runs, as the window's does
// between clicks. With the port's far end present; after it has gone (the pseudo-terminal's
// master closed, as a USB-serial adapter pulled out) while the program rests; and after it has
// gone and a command found out. And with the far end present but reading nothing, so that the
// driver refuses more bytes (EAGAIN) and the port holds them until it takes them.
enum class BeforeRest { Nothing, HangUp, HangUpThenCommand, OutputRefused };

// Hands the port packets until the driver holds some back, then two more, which it refuses
// outright (EAGAIN); false when it never held any back.
bool fillUntilRefused(SerialControl& port) {
    const std::string packet(907, '\x55');
    for (int i = 0; i < 1000; ++i) {
        port.setOutput(packet);
        if (port.outBufferCount() > 0) {
            port.setOutput(packet);
            port.setOutput(packet);
            return true;
        }
    }
    return false;
}

void rest(benchmark::State& state, BeforeRest before) {
    SerialPortRig rig;
    QtEventPump pump;
    ModTrans::gPump = &pump;
    if (before == BeforeRest::HangUp || before == BeforeRest::HangUpThenCommand)
        rig.pty.closeMaster();
    if (before == BeforeRest::HangUpThenCommand && ModTrans::ExecuteCommand("1 STATUS.DAT"))
        throw std::runtime_error("a file arrived over a hung-up port");
    if (before == BeforeRest::OutputRefused && !fillUntilRefused(*rig.control))
        throw std::runtime_error("the driver never refused a write");
    measureCpuShare(state, [] {
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
    });
    state.counters["port_open_after_rest"] = rig.control->portOpen() ? 1 : 0;
    if (before == BeforeRest::OutputRefused)
        state.counters["bytes_held_after_rest"] = rig.control->outBufferCount();
}

void BM_RestWithPortOpen(benchmark::State& state) {
    rest(state, BeforeRest::Nothing);
}

void BM_RestAfterHangUp(benchmark::State& state) {
    rest(state, BeforeRest::HangUp);
}

void BM_RestAfterHangUpAndAFailedCommand(benchmark::State& state) {
    rest(state, BeforeRest::HangUpThenCommand);
}

void BM_RestWithOutputRefused(benchmark::State& state) {
    rest(state, BeforeRest::OutputRefused);
}

void BM_UsbFileRequestWithoutTerminal(benchmark::State& state) {
    HidapiLibrary hid;
    SystemClock clock;
    QtEventPump pump;
    MessageBoxRecorder boxes;
    CLSUSB usb(hid, clock, pump, boxes);
    // A one-second pause, then five seconds for a size reply that never comes.
    measureCpuShare(state, [&usb] {
        if (usb.ReadFromUSB("STATUS.DAT", "/nonexistent", nullptr))
            throw std::runtime_error("no terminal, yet a file arrived");
    });
}

BENCHMARK(BM_SerialReadByteFromSilentTerminal)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_SerialCommandOnHungUpPort)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RestWithPortOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_RestAfterHangUp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_RestAfterHangUpAndAFailedCommand)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_RestWithOutputRefused)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_UsbFileRequestWithoutTerminal)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
} // namespace kelvarin::test
