// Feeds arbitrary input reports to ReadFromUSB. Whatever arrives, the receive must end within
// its time-outs, a true result must leave exactly the announced number of bytes on disk, and no
// result may leave a scratch file.
//
// Input: one flags byte, then reports as a length byte (0 to 64, taken modulo 65) and that
// many data bytes. Flag 1 puts a size reply built from the next two bytes first; flag 2 numbers
// every report that starts with "d" in order, so that long runs of data get through.
#include "platform/ProgressBar.h"
#include "settings/ReceivedFile.h"
#include "support/FakeClock.h"
#include "support/FakeHidLibrary.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"
#include "usb/CLSUSB.h"
#include "usb/UsbMessages.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace kelvarin;
using namespace kelvarin::test;

constexpr std::uint8_t kLeadingSizeReply = 1;
constexpr std::uint8_t kNumberDataReports = 2;

std::vector<std::string> reportsFrom(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> reports;
    if (size == 0)
        return reports;
    const std::uint8_t flags = data[0];
    std::size_t at = 1;
    if ((flags & kLeadingSizeReply) != 0 && size >= 3) {
        reports.push_back("s" + std::to_string(data[1] | (data[2] << 8)) + "#");
        at = 3;
    }
    std::int32_t seq = 0;
    while (at < size) {
        const std::size_t wanted = data[at] % 65;
        ++at;
        const std::size_t length = std::min(wanted, size - at);
        std::string report(reinterpret_cast<const char*>(data + at), length);
        at += length;
        if ((flags & kNumberDataReports) != 0 && report.size() >= 5 && report[0] == 'd') {
            const auto u = static_cast<std::uint32_t>(++seq);
            for (int i = 0; i < 4; ++i)
                report[1 + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TempFolder folder;
    const std::vector<std::string> reports = reportsFrom(data, size);

    FakeClock clock;
    FakeEventPump pump(clock);
    FakeHidLibrary hid(&clock);
    hid.keepWritten = false;
    MessageBoxRecorder boxes;
    MemoryProgressBar bar;
    CLSUSB usb(hid, clock, pump, boxes);

    // The size the link should take: the first report that holds an "s".
    std::int64_t announced = -1;
    for (const std::string& r : reports) {
        std::string padded = r;
        padded.resize(kUsbPayloadSize, '\0');
        std::int64_t n = 0;
        const usb::SizeReply kind = usb::ParseSizeReply(padded, n);
        if (kind != usb::SizeReply::None) {
            announced = kind == usb::SizeReply::Size ? n : -1;
            break;
        }
    }
    for (const std::string& r : reports)
        hid.feed(r);

    const bool done = usb.ReadFromUSB("AGENT.DAT", folder.str(), &bar);

    // Each read moves the clock 10 ms and every wait ends 5 s after the last report it took,
    // so no more than about 500 reads can follow any one report.
    if (hid.readCount > (reports.size() + 2) * 502)
        __builtin_trap();
    // A receive leaves no scratch file, whatever its result.
    if (std::filesystem::exists(folder.path() / kReceiveScratchName))
        __builtin_trap();
    if (done) {
        std::error_code ec;
        const auto written = std::filesystem::file_size(folder.path() / "AGENT.DAT", ec);
        if (announced < 0 || ec || static_cast<std::int64_t>(written) != announced)
            __builtin_trap();
    }
    return 0;
}
