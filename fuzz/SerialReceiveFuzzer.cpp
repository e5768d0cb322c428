// Arbitrary terminal bytes into ReceiveFile and ExecuteCommand over the fake port and clock.
// Every run must end (within a bound of simulated time), leave TEMPFILE.BIN neither open nor on
// disk, and fail only with the program's own run-time errors.
#include "platform/RuntimeError.h"
#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/ModTrans.h"
#include "settings/ReceivedFile.h"
#include "settings/mdlLoadSetup.h"
#include "support/FakeClock.h"
#include "support/ScriptedSerialControl.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>

using namespace kelvarin;
using namespace kelvarin::test;

namespace {

// The longest a run may take in simulated time: every wait is bounded and every long one (the
// busy wait) costs the terminal at least one byte.
constexpr double kSecondsPerInputByte = 130.0;
constexpr double kFixedSeconds = 2000.0;

TempFolder& folder() {
    static TempFolder f;
    return f;
}

// The input, read as chunks: a length byte and that many bytes. The first chunk waits in the
// port at the start; each byte the PC sends lets the next chunk arrive.
class ChunkedTerminal {
public:
    ChunkedTerminal(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::string nextChunk() {
        if (m_pos >= m_size)
            return {};
        const std::size_t length = m_data[m_pos++];
        const std::size_t n = std::min(length, m_size - m_pos);
        std::string chunk(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return chunk;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const auto dataFolder = folder().path() / "Data";
    std::filesystem::create_directories(dataFolder);
    static const bool sourceWritten = [&] {
        writeBytes(dataFolder / "SOURCE.DAT", std::string(2000, 'S'));
        return true;
    }();
    (void)sourceWritten;
    mdlLoadSetup::SetAppPath(dataFolder.string());
    mdlLoadSetup::SetDataPath(dataFolder.string());

    FakeClock clock;
    FakeEventPump pump(clock, std::chrono::milliseconds(50));
    ScriptedSerialControl port(&clock);
    ModTrans::ResetModTrans();
    ModTrans::gCommCtl = &port;
    ModTrans::gClock = &clock;
    ModTrans::gPump = &pump;
    if (!ModTrans::OpenCommPort(1, "57600 "))
        std::abort();

    ChunkedTerminal terminal(data + 1, size - 1);
    port.feed(terminal.nextChunk());
    port.onOutput = [&](unsigned char) { port.feed(terminal.nextChunk()); };
    const double start = clock.seconds();
    const double limit = kFixedSeconds + kSecondsPerInputByte * static_cast<double>(size);
    pump.onYield = [&] {
        if (clock.seconds() - start > limit)
            std::abort(); // a wait that does not end
    };

    try {
        switch (data[0] % 4) {
        case 0:
            ModTrans::gFileName = "FUZZ.DAT";
            ModTrans::ReceiveFile();
            break;
        case 1:
            ModTrans::ExecuteCommand("1 FUZZ.DAT");
            break;
        case 2:
            ModTrans::ExecuteCommand("13");
            break;
        default:
            ModTrans::ExecuteCommand("2 SOURCE.DAT");
            break;
        }
    } catch (const RuntimeError&) {
        // The program's own failures end the action; they are fine here.
    }

    if (ModTrans::IsTransferFileOpen() || ModTrans::gFileNum != -1)
        std::abort();
    if (std::filesystem::exists(dataFolder / kReceiveScratchName))
        std::abort();
    ModTrans::ResetModTrans();
    return 0;
}
