#include "serial/PacketLayer.h"

#include "platform/RuntimeError.h"
#include "serial/ModTrans.h"

#include <limits>

namespace kelvarin::ModTrans {

namespace {

constexpr int kCallReads = 4;
constexpr int kPacketTimeoutSecs = 10;
// The packet's sender counts its F3 in the checksum; the PC's own sum leaves it out.
constexpr std::int32_t kStartByteValue = kPacketStart;

std::int16_t toInteger(std::int32_t n) {
    if (n < std::numeric_limits<std::int16_t>::min() ||
        n > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(kErrOverflow);
    return static_cast<std::int16_t>(n);
}

void sendCounted(char c) {
    const auto b = static_cast<std::uint8_t>(c);
    gCheckSum += b;
    SendByte(b);
}

SerialControl& port() {
    if (gCommCtl == nullptr)
        throw RuntimeError(91, "Object variable not set");
    return *gCommCtl;
}

void readSingleBytes() {
    port().setInputLen(1);
    port().setInputMode(InputMode::Binary);
}

// While a packet is collected the port hands out large reads; every way out of the collection,
// a failing port included, goes back to single bytes, or later reads would drop bytes.
struct SingleByteReads {
    ~SingleByteReads() {
        try {
            readSingleBytes();
        } catch (const RuntimeError&) { // the port's own failure is reported where it happened
        }
    }
};

// Reads up to four bytes for the terminal's call.
bool awaitCall() {
    for (int reads = 0; reads < kCallReads; ++reads) {
        gRxByte = 0;
        if (ReadByte(gRxByte) && gRxByte == kCall)
            return true;
    }
    return false;
}

// Collects the packet as it comes, in large reads, until all 907 bytes are in. The time-out
// runs from the start of the read that took the call.
bool collectPacket() {
    while (gRecvBuf.size() < static_cast<std::size_t>(TransferPacket::kSize)) {
        gRecvBuf += port().input();
        if (gRecvBuf.size() >= static_cast<std::size_t>(TransferPacket::kSize))
            break;
        if (IsCommTimedOut() || port().linkLost())
            return false;
        gPump->yield();
    }
    return true;
}

// The reply after our '3' or '6'; 0 when none came in time.
std::uint8_t readReply() {
    std::uint8_t b = 0;
    return ReadByte(b) ? b : 0;
}

} // namespace

void BuildPacketHeader(std::int32_t size, std::int32_t packetNo, std::uint8_t flag) {
    gPacketHeader = std::string(1, static_cast<char>(kPacketStart)) + IntToBytes(toInteger(size)) +
                    IntToBytes(toInteger(packetNo)) + std::string(1, static_cast<char>(flag));
}

int SendPacket() {
    std::string data = gDataBlock;
    data.resize(TransferPacket::kDataBytes, '\0');
    for (gAttempt = 1; gAttempt <= kMaxAttempts; ++gAttempt) {
        gCheckSum = 0;
        if (CallDevice() != kResultAnswered) {
            gStatusText = "Erroneous Connection";
            return kResultNoAnswer;
        }
        SendByte(static_cast<std::uint8_t>(gPacketHeader.at(0)));
        for (std::size_t i = 1; i < static_cast<std::size_t>(TransferPacket::kHeaderBytes); ++i)
            sendCounted(gPacketHeader.at(i));
        for (char c : data)
            sendCounted(c);
        for (char c : LongToBytes(gCheckSum))
            SendByte(static_cast<std::uint8_t>(c));
        SendByte(kPacketEnd);
        // The whole packet leaves the port before its reply is awaited. A port that cannot
        // send it is a broken connection, like a call nobody answers.
        if (!AwaitOutputSent(TransferPacket::kSize)) {
            gStatusText = "Erroneous Connection";
            return kResultNoAnswer;
        }

        // A busy period before the reply leaves gAckByte as it was: the terminal has taken the
        // packet, and sending it again would collide with the terminal's next call.
        if (!ReadByte(gAckByte))
            continue;
        if (gAckByte == kAccepted)
            return kResultAccepted;
        if (gAckByte == kRejected)
            SendByte(kResending);
    }
    return kResultPacketFailed;
}

int ReceivePacket() {
    gTimeoutSecs = kPacketTimeoutSecs;
    for (gAttempt = 1; gAttempt <= kMaxAttempts; ++gAttempt) {
        gTimeoutSecs = kPacketTimeoutSecs;
        if (!awaitCall())
            return kResultNoAnswer;

        SendByte(kCallAnswer);
        ClearCommBuffers();
        bool complete = false;
        {
            SingleByteReads restore;
            port().setInputLen(TransferPacket::kSize);
            port().setInputMode(InputMode::Text);
            SendByte(kCallAnswer);
            complete = collectPacket();
        }
        if (!complete)
            return kResultNoAnswer;
        gTimeoutSecs = kPacketTimeoutSecs;

        gCheckSum = CommBytesToLong(gRecvBuf.substr(TransferPacket::kOffCheckSum, 4));
        if (gCheckSum - kStartByteValue == PacketChecksum()) {
            SendByte(kAccepted);
            if (readReply() == kAccepted)
                return kResultAccepted;
        } else {
            SendByte(kRejected);
            if (readReply() != kResending)
                return kResultPacketFailed;
        }
    }
    return kResultPacketFailed;
}

std::int32_t PacketChecksum() {
    std::int32_t sum = 0;
    for (std::size_t i = 1;
         i < static_cast<std::size_t>(TransferPacket::kOffCheckSum) && i < gRecvBuf.size(); ++i)
        sum += static_cast<std::uint8_t>(gRecvBuf[i]);
    return sum;
}

} // namespace kelvarin::ModTrans
