#include "support/UsbTerminalSimulator.h"

#include <algorithm>

namespace kelvarin::test {

namespace {

constexpr std::size_t kReceiveChunk = 63;
constexpr std::size_t kSendChunk = 59;
constexpr std::int64_t kReportsPerAck = 260;

// Text up to the first of the stop bytes (or the end).
std::string upTo(const std::string& text, std::size_t from, const std::string& stops) {
    const std::size_t end = text.find_first_of(stops, from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::string ack() {
    return "k";
}

} // namespace

std::string usbDataReport(std::int32_t seq, const std::string& bytes) {
    std::string p(1, 'd');
    const auto u = static_cast<std::uint32_t>(seq);
    for (int i = 0; i < 4; ++i)
        p.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    p += bytes.substr(0, kSendChunk);
    p.resize(1 + 4 + kSendChunk, '\0');
    return p;
}

UsbTerminalSimulator::UsbTerminalSimulator(FakeClock& clock, FakeHidLibrary& hid)
    : m_clock(clock), m_hid(hid) {
    m_hid.peer = this;
}

UsbTerminalSimulator::~UsbTerminalSimulator() {
    if (m_hid.peer == this)
        m_hid.peer = nullptr;
}

std::chrono::steady_clock::duration UsbTerminalSimulator::dueTime() const {
    return m_clock.monotonicNow() + faults.replyDelay;
}

void UsbTerminalSimulator::reply(const std::string& payload) {
    if (!faults.silent)
        m_replies.push_back({payload, dueTime()});
}

void UsbTerminalSimulator::onOutputReport(const std::string& payload) {
    switch (payload[0]) {
    case 'b':
        onHeader(payload);
        break;
    case 'd':
        onData(payload);
        break;
    case 'a':
        onRequest(payload);
        break;
    case 'k':
        onStartAck();
        break;
    case 'D':
        clockDigits.push_back(upTo(payload, 2, std::string(1, '\0')));
        if (!faults.silentClock)
            reply(faults.refuseClock ? "tFailed" : "tSuccess");
        break;
    default:
        commands.push_back(payload[0]);
        break;
    }
}

void UsbTerminalSimulator::onHeader(const std::string& payload) {
    m_inName = upTo(payload, 1, "#");
    const std::string digits = upTo(payload, 1 + m_inName.size() + 1, std::string("#\0", 2));
    announcedSize = digits.empty() ? 0 : std::stoll(digits);
    m_inBytes.clear();
    reportsReceived = 0;
    m_receiving = true;
    if (!faults.noHeaderAck && m_inName != faults.noHeaderAckFor) {
        acksAfter.push_back(0);
        reply(ack());
    }
}

void UsbTerminalSimulator::onData(const std::string& payload) {
    if (!m_receiving)
        return;
    ++reportsReceived;
    const auto remaining = static_cast<std::size_t>(announcedSize) - m_inBytes.size();
    m_inBytes.append(payload, 1, std::min(kReceiveChunk, remaining));
    if (m_inBytes.size() >= static_cast<std::size_t>(announcedSize)) {
        files[m_inName] = m_inBytes;
        m_receiving = false;
        return;
    }
    if (reportsReceived % kReportsPerAck == 0 && !faults.noBlockAck) {
        acksAfter.push_back(reportsReceived);
        reply(ack());
    }
}

void UsbTerminalSimulator::onRequest(const std::string& payload) {
    const std::string name = upTo(payload, 1, std::string("#\0", 2));
    requests.push_back(name);
    const auto it = files.find(name);
    if (it == files.end() || faults.noSizeReply)
        return;
    m_outName = name;
    m_outBytes = it->second;
    m_requested = true;
    m_sending = false;
    const std::string size = std::to_string(m_outBytes.size());
    if (!faults.sizeReply.empty())
        reply(faults.sizeReply);
    else
        reply("s" + size + (faults.sizeWithoutHash ? "" : "#"));
}

void UsbTerminalSimulator::onStartAck() {
    if (!m_requested)
        return;
    m_requested = false;
    const auto n = static_cast<std::int32_t>((m_outBytes.size() + kSendChunk - 1) / kSendChunk);
    m_sequence = faults.sequence;
    if (m_sequence.empty()) {
        for (std::int32_t s = 1; s <= n; ++s) {
            if (faults.skipSequence && s == 2)
                continue;
            m_sequence.push_back(s);
            if (faults.repeatSequence && s == 1)
                m_sequence.push_back(s);
        }
    }
    m_nextData = 0;
    m_sending = !faults.silent;
    m_dataDue = dueTime();
}

bool UsbTerminalSimulator::nextInputReport(std::string& payload) {
    const auto now = m_clock.monotonicNow();
    if (!m_replies.empty()) {
        if (m_replies.front().due > now)
            return false;
        payload = std::move(m_replies.front().payload);
        m_replies.pop_front();
        ++reportsSent;
        return true;
    }
    if (!m_sending || m_nextData >= m_sequence.size() || m_dataDue > now)
        return false;
    if (faults.stopAfterDataReports != UsbTerminalFaults::kNever &&
        dataReportsSent >= faults.stopAfterDataReports)
        return false;
    const std::int32_t seq = m_sequence[m_nextData++];
    const std::size_t n = (m_outBytes.size() + kSendChunk - 1) / kSendChunk;
    std::string bytes(kSendChunk, '\xEE');
    if (seq >= 1 && static_cast<std::size_t>(seq) <= n)
        bytes = m_outBytes.substr((static_cast<std::size_t>(seq) - 1) * kSendChunk, kSendChunk);
    payload = usbDataReport(seq, bytes);
    if (faults.repeatLastDataReport && m_nextData == m_sequence.size())
        m_replies.push_back({payload, now});
    m_dataDue = now + faults.dataGap;
    ++reportsSent;
    ++dataReportsSent;
    return true;
}

} // namespace kelvarin::test
