#include "support/FakeHidLibrary.h"

#include <algorithm>
#include <stdexcept>

namespace kelvarin::test {

namespace {

void fill(HidDeviceRecord::TextBuffer& buffer, const std::string& text) {
    const std::size_t n = std::min(text.size(), buffer.size());
    std::copy_n(text.begin(), n, buffer.begin());
    if (n < buffer.size())
        buffer[n] = '\0';
}

} // namespace

void FakeHidLibrary::SetInstance(std::int32_t instance) {
    ++setInstanceCalls;
    instances.push_back(instance);
}

int FakeHidLibrary::GetList(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                            const std::string& deviceText, const std::string& deviceName,
                            HidDeviceRecord* records, int capacity) {
    listCalls.push_back({selA, selB, makerName, deviceText, deviceName, capacity});
    if (listThrows)
        throw std::runtime_error("HID library not loaded");
    const std::size_t n = std::min(devices.size(), static_cast<std::size_t>(std::max(capacity, 0)));
    for (std::size_t i = 0; i < n; ++i) {
        fill(records[i].deviceName, devices[i].deviceName);
        fill(records[i].makerName, devices[i].makerName);
        fill(records[i].deviceText, devices[i].deviceText);
        records[i].selA = devices[i].selA;
        records[i].selB = devices[i].selB;
    }
    return listResult ? *listResult : static_cast<int>(n);
}

int FakeHidLibrary::Open(std::int32_t selA, std::int32_t selB, const std::string& makerName,
                         const std::string& deviceText, const std::string& deviceName,
                         std::int32_t flags) {
    openCalls.push_back({selA, selB, makerName, deviceText, deviceName, flags});
    return openResult;
}

int FakeHidLibrary::Write(const UsbOutputReport& report) {
    ++writeCount;
    if (keepWritten)
        written.push_back(report);
    if (peer != nullptr)
        peer->onOutputReport(std::string(report.begin() + 1, report.begin() + 1 + kUsbPayloadSize));
    return static_cast<int>(1 + kUsbPayloadSize);
}

int FakeHidLibrary::Read(UsbInputReport& report) {
    ++readCount;
    return take(report);
}

int FakeHidLibrary::ReadQueued(UsbInputReport& report) {
    ++queuedReadCount;
    const int n = take(report);
    if (n > 0)
        ++queuedReportsTaken;
    return n;
}

int FakeHidLibrary::take(UsbInputReport& report) {
    std::string data;
    if (!m_script.empty()) {
        const Scripted& next = m_script.front();
        if (writeCount < next.afterWrites ||
            (m_clock != nullptr && m_clock->monotonicNow() < next.due))
            return 0;
        data = std::move(m_script.front().payload);
        m_script.pop_front();
    } else if (peer == nullptr || !peer->nextInputReport(data)) {
        return 0;
    }
    report.fill(0);
    std::copy_n(data.begin(), std::min(data.size(), kUsbPayloadSize), report.begin() + 1);
    return static_cast<int>(kUsbPayloadSize);
}

void FakeHidLibrary::feed(const std::string& payload) {
    m_script.push_back({payload, {}, writeCount + 1});
}

void FakeHidLibrary::feedAt(std::chrono::steady_clock::duration due, const std::string& payload) {
    m_script.push_back({payload, due, writeCount + 1});
}

void FakeHidLibrary::feedWaiting(const std::string& payload) {
    m_script.push_back({payload, {}, 0});
}

std::string FakeHidLibrary::payload(std::size_t i) const {
    const UsbOutputReport& r = written.at(i);
    return std::string(r.begin() + 1, r.begin() + 1 + kUsbPayloadSize);
}

} // namespace kelvarin::test
