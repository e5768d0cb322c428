#include "settings/ReceivedFile.h"
#include "usb/CLSUSB.h"
#include "usb/UsbMessages.h"

#include <exception>

namespace kelvarin {

bool CLSUSB::ReadFromUSB(const std::string& FileName, const std::string& Destination,
                         ProgressBar* Progressbar) {
    m_OutData.clear();
    const std::string name = usb::UpperCase(FileName);
    UsbDelay(usb::kUsbPauseSecs);

    // A report left from the last file (its last data report sent twice, say) could hold an
    // "s" and pass for this file's size.
    discardStaleReports();
    m_OutData = usb::FileRequest(name);
    WriteReport();
    std::int64_t size = 0;
    if (!awaitSizeReply(size)) {
        clearReports();
        return false;
    }
    m_PacketCount =
        static_cast<std::int32_t>((size + static_cast<std::int64_t>(usb::kReceiveChunkSize) - 1) /
                                  static_cast<std::int64_t>(usb::kReceiveChunkSize));

    m_OutData = usb::StartAck();
    WriteReport();
    m_pump.yield();

    bool done = false;
    try {
        done = receiveFile(name, Destination, size, Progressbar);
    } catch (const std::exception&) {
        done = false;
    }
    clearReports();
    return done;
}

bool CLSUSB::awaitSizeReply(std::int64_t& size) {
    m_InData.clear();
    const Time start = m_clock.monotonicNow();
    for (;;) {
        if (IsUsbTimedOut(start, usb::kUsbTimeoutSecs))
            return false;
        m_InData.clear();
        ReadReport();
        switch (usb::ParseSizeReply(m_InData, size)) {
        case usb::SizeReply::None:
            break;
        case usb::SizeReply::Bad:
            return false;
        case usb::SizeReply::Size:
            return true;
        }
    }
}

bool CLSUSB::receiveFile(const std::string& name, const std::string& destination, std::int64_t size,
                         ProgressBar* bar) {
    // The file replaces an older copy only once it has arrived whole and is on disk; every
    // other way out removes what arrived.
    ReceivedFile file(destination, name);
    file.open();
    if (size == 0) {
        file.close();
        file.putInPlace();
        return true;
    }
    if (bar != nullptr) {
        bar->setValue(0);
        bar->setMinimum(0);
        bar->setMaximum(m_PacketCount);
    }

    const auto chunk = static_cast<std::int64_t>(usb::kReceiveChunkSize);
    std::int64_t received = 0;
    std::int32_t lastSeq = 0;
    std::int32_t seq = 0;
    std::string bytes;
    m_InData.clear();
    Time start = m_clock.monotonicNow();
    while (received < size) {
        if (IsUsbTimedOut(start, usb::kUsbTimeoutSecs))
            return false;
        m_InData.clear();
        ReadReport();
        seq = UsbBytesToLong(m_InData.substr(1, 4));
        // Number 0 and a report already taken (the one just before, or an earlier one sent
        // again) carry nothing new.
        if (m_InData[0] != 'd' || seq <= lastSeq)
            continue;
        // A number past the next one means a report was lost: writing it would put its bytes
        // in the wrong place of the file.
        if (static_cast<std::int64_t>(seq) != static_cast<std::int64_t>(lastSeq) + 1)
            return false;
        received += chunk;
        if (bar != nullptr)
            bar->setValue(seq);
        const std::int64_t keep = received <= size ? chunk : size - (received - chunk);
        bytes.assign(m_InData, 5, static_cast<std::size_t>(keep));
        file.write(bytes);
        lastSeq = seq;
        start = m_clock.monotonicNow();
    }
    file.close();
    file.putInPlace();
    if (bar != nullptr)
        bar->setValue(seq);
    return true;
}

} // namespace kelvarin
