#include "support/SerialTerminalSimulator.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kelvarin::test {

namespace {

constexpr std::uint8_t kCall = 0x07;
constexpr std::uint8_t kAnswer = 0x08;
constexpr std::uint8_t kStart = 0xF3;
constexpr std::uint8_t kEnd = 0xF4;
constexpr std::uint8_t kLast = 0xFF;
constexpr std::size_t kPacket = 907;
constexpr std::size_t kBlock = 896;

struct LinkStopped {};

std::int32_t sumOf(const std::string& packet, std::size_t from, std::size_t to) {
    std::int32_t sum = 0;
    for (std::size_t i = from; i <= to; ++i)
        sum += static_cast<std::uint8_t>(packet[i]);
    return sum;
}

std::int32_t le(const std::string& s, std::size_t at, std::size_t n) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

std::string le16(std::int32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

// The text after the command number, up to the next blank (blanks in front skipped).
std::string fileNameOf(const std::string& text) {
    const auto blank = text.find(' ');
    if (blank == std::string::npos)
        return "";
    const auto from = text.find_first_not_of(' ', blank);
    if (from == std::string::npos)
        return "";
    return text.substr(from, text.find(' ', from) - from);
}

} // namespace

std::string terminalPacket(std::int16_t blockSize, std::int16_t number, std::uint8_t flag,
                           const std::string& block) {
    std::string p;
    p += static_cast<char>(kStart);
    p += le16(blockSize);
    p += le16(number);
    p += static_cast<char>(flag);
    std::string data = block;
    data.resize(kBlock, '\0');
    p += data;
    const auto sum = static_cast<std::uint32_t>(sumOf(p, 0, p.size() - 1));
    for (int i = 0; i < 4; ++i)
        p += static_cast<char>((sum >> (8 * i)) & 0xFF);
    p += static_cast<char>(kEnd);
    return p;
}

std::uint8_t SerialTerminalSimulator::next() {
    std::uint8_t b = 0;
    if (!m_link.readByte(b))
        throw LinkStopped{};
    return b;
}

void SerialTerminalSimulator::send(const std::string& bytes) {
    if (!m_silent)
        m_link.write(bytes);
}

void SerialTerminalSimulator::run() {
    m_silent = faults.silent;
    m_rejectsLeft = faults.rejectSends;
    m_badSumsLeft = faults.badChecksumSends;
    try {
        for (;;)
            serveCommand();
    } catch (const LinkStopped&) {
    }
}

bool SerialTerminalSimulator::awaitCall() {
    if (m_pendingCall) {
        m_pendingCall = false;
        return true;
    }
    while (next() != kCall) {
    }
    return true;
}

void SerialTerminalSimulator::serveCommand() {
    // The link test: 07, 08 08, 07.
    awaitCall();
    send(std::string{static_cast<char>(kAnswer), static_cast<char>(kAnswer)});
    if (next() != kCall)
        return;

    std::string packet;
    if (!receivePacket(packet, 0))
        return;
    const auto size = static_cast<std::size_t>(std::clamp(le(packet, 1, 2), 0, 896));
    const std::string text = packet.substr(6, size);
    commands.push_back(text);
    if (faults.silenceAfterCommandPacket)
        m_silent = true;

    const std::string number = text.substr(0, text.find(' '));
    if (number == "1")
        sendFile(fileNameOf(text));
    else if (number == "13")
        sendFile("I2C.DAT");
    else if (number == "2")
        receiveFile(fileNameOf(text));
}

bool SerialTerminalSimulator::receivePacket(std::string& packet, int index) {
    for (;;) {
        awaitCall();
        send(std::string{static_cast<char>(kAnswer), static_cast<char>(kAnswer)});
        packet.clear();
        while (packet.size() < kPacket)
            packet += static_cast<char>(next());
        bool good = static_cast<std::uint8_t>(packet[0]) == kStart &&
                    static_cast<std::uint8_t>(packet[906]) == kEnd &&
                    le(packet, 902, 4) == sumOf(packet, 1, 901);
        if (good && index == faults.rejectPacket && m_rejectsLeft > 0) {
            --m_rejectsLeft;
            good = false;
        }
        if (good) {
            if (index != 0 && index == faults.busyInsteadOfReplyToPacket)
                send(std::string{'4', static_cast<char>(kJunkByte), '5'});
            else
                send(index != 0 && index == faults.garbleReplyToPacket ? kGarbledByte : '3');
            return true;
        }
        send('6');
        if (next() != '7')
            return false;
    }
}

bool SerialTerminalSimulator::sendPacket(int index, std::int16_t number, std::uint8_t flag,
                                         const std::string& block) {
    const auto size = static_cast<std::int16_t>(
        index == faults.oversizedBlockPacket ? kOversizedBlockSize : block.size());
    bool firstSending = true;
    for (;;) {
        if (firstSending && index == faults.busyBeforePacket)
            send(std::string{'4', static_cast<char>(kJunkByte), '5'});
        if (firstSending && index == faults.busyStreamBeforePacket)
            streamWhileBusy();
        send(kCall);
        const std::uint8_t a = next();
        const std::uint8_t b = a == kAnswer ? next() : a;
        if (a != kAnswer || b != kAnswer) {
            m_pendingCall = a == kCall || b == kCall;
            return false;
        }
        std::string packet = terminalPacket(size, number, flag, block);
        if (index == faults.badChecksumPacket && m_badSumsLeft > 0) {
            --m_badSumsLeft;
            packet[902] = static_cast<char>(packet[902] + 1);
        }
        if (firstSending && index == faults.junkBeforePacketStart)
            packet.insert(0, 3, static_cast<char>(kJunkByte));
        if (firstSending && index == faults.dropByteInPacket)
            packet.erase(450, 1);
        firstSending = false;
        ++packetSendings;
        send(packet);

        const std::uint8_t reply = next();
        if (reply == '3') {
            if (index != faults.loseThreeAfterPacket)
                send('3');
            return true;
        }
        if (reply != '6')
            return false;
        send('7');
    }
}

void SerialTerminalSimulator::streamWhileBusy() {
    send('4');
    // The PC takes the '4' and waits for '5' before the stray bytes begin.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_busyStreaming = true;
    const std::string junk(256, static_cast<char>(kJunkByte));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kBusyStreamSeconds);
    while (std::chrono::steady_clock::now() < end) {
        if (m_link.stopped()) {
            m_busyStreaming = false;
            throw LinkStopped{};
        }
        send(junk);
    }
    m_busyStreaming = false;
    send('5');
}

void SerialTerminalSimulator::dropIfDue(int packetsDone) {
    if (faults.dropConnectionAfterPackets > 0 && packetsDone >= faults.dropConnectionAfterPackets)
        m_silent = true;
    if (faults.hangUpAfterPackets > 0 && packetsDone >= faults.hangUpAfterPackets) {
        m_link.hangUp();
        throw LinkStopped{};
    }
}

void SerialTerminalSimulator::sendFile(const std::string& name) {
    if (faults.fileSystemError) {
        send(0xE8);
        return;
    }
    const auto found = files.find(name);
    if (found == files.end()) {
        send('8');
        return;
    }
    send(kFileFollows);

    const std::string& data = found->second;
    const std::size_t count = data.size() / kBlock + 1;
    for (std::size_t i = 0; i < count; ++i) {
        const int index = static_cast<int>(i) + 1;
        const auto number =
            static_cast<std::int16_t>(faults.firstPacketNumberedTwo && index == 1 ? 2 : index);
        const bool last = i + 1 == count;
        const std::string block = data.substr(i * kBlock, kBlock);
        if (!sendPacket(index, number, last ? kLast : 0x00, block))
            return;
        dropIfDue(index);
    }
    packetsSentToPc.push_back(static_cast<int>(count));

    // The PC's count: 07, 08 08, FF, low, high; then our verdict.
    awaitCall();
    send(std::string{static_cast<char>(kAnswer), static_cast<char>(kAnswer)});
    if (next() != 0xFF)
        return;
    const std::uint8_t low = next();
    const std::uint8_t high = next();
    countsFromPc.push_back(low | (high << 8));
    if (onCountFromPc)
        onCountFromPc();
    const bool matches = (low | (high << 8)) == static_cast<int>(count);
    send(matches && !faults.countMismatch ? 0x0F : ':');
}

void SerialTerminalSimulator::receiveFile(const std::string& name) {
    if (faults.refuseSend || name == faults.refuseSendOf) {
        send(0xE7);
        return;
    }
    if (!faults.quietRefusalCheck)
        send(kSendAccepted);
    if (next() != '1')
        return;

    std::vector<std::string> blocks;
    for (;;) {
        std::string packet;
        const int expected = static_cast<int>(blocks.size()) + 1;
        if (!receivePacket(packet, expected))
            return;
        const int number = le(packet, 3, 2);
        packetNumbersFromPc.push_back(number);
        const auto size = static_cast<std::size_t>(std::clamp(le(packet, 1, 2), 0, 896));
        std::string block = packet.substr(6, size);
        if (number == expected)
            blocks.push_back(std::move(block));
        else if (number == expected - 1 && !blocks.empty())
            blocks.back() = std::move(block); // sent again after a garbled '3'
        dropIfDue(static_cast<int>(blocks.size()));
        if (static_cast<std::uint8_t>(packet[5]) == kLast)
            break;
    }

    const int count = static_cast<int>(blocks.size()) + (faults.countMismatch ? 1 : 0);
    send(kCall);
    if (next() != kAnswer || next() != kAnswer)
        return;
    send(std::string{static_cast<char>(0xFF)} + le16(count));
    const std::uint8_t answer = next();
    countAnswers.push_back(answer);
    if (answer == 0x0F) {
        std::string data;
        for (const auto& b : blocks)
            data += b;
        files[name] = data;
    }
}

} // namespace kelvarin::test
