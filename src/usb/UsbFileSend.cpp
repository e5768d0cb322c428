#include "settings/mdlLoadSetup.h"
#include "usb/CLSUSB.h"
#include "usb/UsbMessages.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelvarin {

namespace {

constexpr const char* kDateTimeWord = "DATEANDTIME";

// The whole file as bytes; throws on a read failure.
std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

} // namespace

bool CLSUSB::WriteToUSB(const std::string& FileName, const std::string& Source,
                        ProgressBar* Progressbar) {
    const std::string name = usb::UpperCase(FileName);
    UsbDelay(usb::kUsbPauseSecs);
    const std::string source = Source.empty() ? mdlLoadSetup::ProgramFolder() : Source;
    m_OutData.clear();

    const std::string word = usb::CommandWordMessage(name);
    if (!word.empty()) {
        m_OutData = word;
        WriteReport();
        return true;
    }
    if (name.compare(0, 11, kDateTimeWord) == 0)
        return sendDateTime(name);
    return sendFile(name, source, Progressbar);
}

bool CLSUSB::sendDateTime(const std::string& name) {
    const std::size_t dash = name.find('-');
    const std::string digits =
        mdlLoadSetup::TrimBlanks(dash == std::string::npos ? name : name.substr(dash + 1));
    discardStaleReports(); // an older "t" must not answer this clock
    m_OutData = usb::DateTimeMessage(digits);
    WriteReport();
    m_InData.clear();
    const Time start = m_clock.monotonicNow();
    while (m_InData.find('t') == std::string::npos) {
        // A terminal that does not answer the clock is not held against the download.
        if (IsUsbTimedOut(start, usb::kUsbTimeoutSecs))
            return true;
        m_InData.clear();
        ReadReport();
        m_pump.yield();
    }
    return m_InData.find("Success") != std::string::npos;
}

bool CLSUSB::sendFile(const std::string& name, const std::string& source, ProgressBar* bar) {
    const std::filesystem::path path = source + mdlLoadSetup::kPathSep + name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        m_boxes.show("File not found", MsgIcon::Exclamation, MsgButtons::Ok, "Error");
        return false;
    }
    try {
        const std::string content = readWholeFile(path);
        const std::size_t size = content.size();
        if (size == 0)
            return false;
        const std::size_t reports = (size + usb::kSendChunkSize - 1) / usb::kSendChunkSize;

        discardStaleReports(); // an older "k" must not pass for this header's acknowledgement
        m_OutData = usb::FileHeader(name, size);
        WriteReport();
        if (!awaitLetter('k', m_clock.monotonicNow())) {
            clearReports();
            return false;
        }
        if (bar != nullptr) {
            bar->setValue(0);
            bar->setMinimum(0);
            bar->setMaximum(static_cast<int>(std::min<std::size_t>(reports, INT_MAX)));
        }
        for (std::size_t i = 1; i <= reports; ++i) {
            const std::size_t offset = (i - 1) * usb::kSendChunkSize;
            const std::size_t length = std::min(usb::kSendChunkSize, size - offset);
            m_OutData.assign(1, 'd');
            m_OutData.append(content, offset, length);
            m_OutData.push_back('V');
            WriteReport();
            if (bar != nullptr)
                bar->setValue(static_cast<int>(std::min<std::size_t>(i, INT_MAX)));
            m_pump.yield();
            const Time start = m_clock.monotonicNow();
            // The terminal confirms every block of reports before it takes the next one.
            if (i % usb::kReportsPerAck == 0 && i < reports && !awaitLetter('k', start)) {
                clearReports();
                return false;
            }
        }
        clearReports();
        if (bar != nullptr)
            bar->setValue(bar->maximum());
        return true;
    } catch (const std::exception&) {
        clearReports();
        return false;
    }
}

} // namespace kelvarin
