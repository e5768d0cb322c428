#pragma once

#include "support/FakeClock.h"
#include "support/FakeHidLibrary.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace kelvarin::test {

// What the simulated terminal gets wrong, one switch per fault.
struct UsbTerminalFaults {
    static constexpr std::int64_t kNever = -1;

    bool silent = false;          // answers nothing at all
    bool noHeaderAck = false;     // never acknowledges a file header
    std::string noHeaderAckFor;   // never acknowledges the header of this file
    bool noBlockAck = false;      // never acknowledges a block of 260 data reports
    bool noSizeReply = false;     // never answers a file request
    bool sizeWithoutHash = false; // answers a request with "s" and the size but no "#"
    bool refuseClock = false;     // answers the clock with "t" but not "Success"
    bool silentClock = false;     // does not answer the clock
    bool repeatSequence = false;  // sends data report 1 twice
    bool skipSequence = false;    // leaves out data report 2
    // Sends a file's last data report twice; the PC has all bytes after the first, so the
    // second stays queued until the next exchange.
    bool repeatLastDataReport = false;
    // When not empty, the sequence numbers of the data reports sent, in order; each report
    // carries the bytes its number stands for (filler 0xEE for a number outside the file).
    std::vector<std::int32_t> sequence;
    // Goes silent after sending this many data reports.
    std::int64_t stopAfterDataReports = kNever;
    // When not empty, sent in place of the size reply.
    std::string sizeReply;
    // Every reply waits this long on the clock after the report that asked for it.
    std::chrono::milliseconds replyDelay{0};
    // Each data report after the first waits this long after the one before was taken.
    std::chrono::milliseconds dataGap{0};
};

// The terminal's side of the USB exchange behind a FakeHidLibrary: a store of files, the
// acknowledgements of a file being received, the answers to a file request, the clock's
// reply, and a log of everything else it was sent.
class UsbTerminalSimulator final : public HidPeer {
public:
    UsbTerminalSimulator(FakeClock& clock, FakeHidLibrary& hid);
    ~UsbTerminalSimulator() override;
    UsbTerminalSimulator(const UsbTerminalSimulator&) = delete;
    UsbTerminalSimulator& operator=(const UsbTerminalSimulator&) = delete;

    void onOutputReport(const std::string& payload) override;
    bool nextInputReport(std::string& payload) override;

    // Replies queued but not yet read (late ones included).
    std::size_t pendingReplies() const { return m_replies.size(); }

    UsbTerminalFaults faults;
    // The terminal's files by name: what it sends when asked, and what it has received.
    std::map<std::string, std::string> files;

    // The first byte of every command word, connect and disconnect message, in order.
    std::string commands;
    // The digits of every clock message.
    std::vector<std::string> clockDigits;
    // File names requested.
    std::vector<std::string> requests;
    // For each acknowledgement sent while receiving: the data reports received before it
    // (0 for the header).
    std::vector<std::int64_t> acksAfter;
    // Data reports of the file being received so far, and the header's announced size.
    std::int64_t reportsReceived = 0;
    std::int64_t announcedSize = -1;
    // Input reports sent so far, and data reports among them.
    std::int64_t reportsSent = 0;
    std::int64_t dataReportsSent = 0;

private:
    void reply(const std::string& payload);
    void onHeader(const std::string& payload);
    void onData(const std::string& payload);
    void onRequest(const std::string& payload);
    void onStartAck();
    std::chrono::steady_clock::duration dueTime() const;

    FakeClock& m_clock;
    FakeHidLibrary& m_hid;
    struct Pending {
        std::string payload;
        std::chrono::steady_clock::duration due;
    };
    std::deque<Pending> m_replies;

    // Receiving a file from the PC.
    std::string m_inName;
    std::string m_inBytes;
    bool m_receiving = false;

    // Sending a file to the PC.
    std::string m_outName;
    std::string m_outBytes;
    bool m_requested = false;
    bool m_sending = false;
    std::vector<std::int32_t> m_sequence;
    std::size_t m_nextData = 0;
    std::chrono::steady_clock::duration m_dataDue{};
};

// "d", the sequence number (4 bytes, little-endian) and 59 bytes: a data report's payload.
std::string usbDataReport(std::int32_t seq, const std::string& bytes);

} // namespace kelvarin::test
