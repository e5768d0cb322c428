#pragma once

#include "support/FakeClock.h"
#include "usb/HidLibrary.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvarin::test {

// The far side of the fake library's reports: sees every output report's 64 data bytes and
// hands out input reports.
class HidPeer {
public:
    virtual ~HidPeer() = default;
    virtual void onOutputReport(const std::string& payload) = 0;
    // The next report's data bytes (at most 64; the rest are zeros), or false for none now.
    virtual bool nextInputReport(std::string& payload) = 0;
};

// One device the fake lists. Each text goes into its 50-byte buffer followed by a NUL; a text
// of 50 bytes or more fills the buffer and leaves it without any NUL.
struct FakeHidDevice {
    std::string deviceName;
    std::string makerName;
    std::string deviceText;
    std::int32_t selA = 0;
    std::int32_t selB = 0;
};

// The HID library in memory: a device list, a log of every call, and reports from a script
// (first) or from a peer such as the simulated terminal.
class FakeHidLibrary final : public HidLibrary {
public:
    explicit FakeHidLibrary(FakeClock* clock = nullptr) : m_clock(clock) {}

    void SetInstance(std::int32_t instance) override;
    int GetList(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                const std::string& deviceText, const std::string& deviceName,
                HidDeviceRecord* records, int capacity) override;
    int Open(std::int32_t selA, std::int32_t selB, const std::string& makerName,
             const std::string& deviceText, const std::string& deviceName,
             std::int32_t flags) override;
    int Write(const UsbOutputReport& report) override;
    int Read(UsbInputReport& report) override;
    int ReadQueued(UsbInputReport& report) override;

    // Queue one input report's data bytes as an answer: it arrives once the PC has sent its next
    // report (and, for feedAt, once the clock reaches `due`), so that the link's discarding of
    // stale reports before a request leaves it alone.
    void feed(const std::string& payload);
    void feedAt(std::chrono::steady_clock::duration due, const std::string& payload);
    // Queue one input report that has arrived already, before anything more is sent.
    void feedWaiting(const std::string& payload);
    std::size_t waiting() const { return m_script.size(); }

    // The 64 data bytes of output report i.
    std::string payload(std::size_t i) const;

    // --- What the fake does ---
    std::vector<FakeHidDevice> devices;
    int openResult = 1;
    // When set, GetList returns this count whatever it filled.
    std::optional<int> listResult;
    // GetList fails as a library that cannot be loaded does.
    bool listThrows = false;
    HidPeer* peer = nullptr;
    // Keep every output report (off for long transfers).
    bool keepWritten = true;

    // --- What was called ---
    struct ListCall {
        std::int32_t selA, selB;
        std::string makerName, deviceText, deviceName;
        int capacity;
    };
    struct OpenCall {
        std::int32_t selA, selB;
        std::string makerName, deviceText, deviceName;
        std::int32_t flags;
    };
    int setInstanceCalls = 0;
    std::vector<std::int32_t> instances;
    std::vector<ListCall> listCalls;
    std::vector<OpenCall> openCalls;
    std::vector<UsbOutputReport> written;
    std::size_t writeCount = 0;
    std::size_t readCount = 0;
    // ReadQueued calls, and the reports they took.
    std::size_t queuedReadCount = 0;
    std::size_t queuedReportsTaken = 0;

private:
    struct Scripted {
        std::string payload;
        std::chrono::steady_clock::duration due;
        std::size_t afterWrites; // available once writeCount reaches this
    };
    int take(UsbInputReport& report);
    FakeClock* m_clock;
    std::deque<Scripted> m_script;
};

} // namespace kelvarin::test
