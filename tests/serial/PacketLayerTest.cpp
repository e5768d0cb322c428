#include "serial/PacketLayer.h"

#include "ProtocolFixtures.h"
#include "platform/RuntimeError.h"

#include <array>

namespace kelvarin::test {
namespace {

using namespace ModTrans;

std::string ff896() {
    return std::string(896, '\xFF');
}

TEST(PacketLayerConversions, LittleEndianBothWays) {
    EXPECT_EQ(IntToBytes(896), hexBytes("80 03"));
    EXPECT_EQ(IntToBytes(-1), hexBytes("FF FF"));
    EXPECT_EQ(BytesToInt(hexBytes("80 03")), 896);
    EXPECT_EQ(BytesToInt(hexBytes("FF 7F")), 32767);
    EXPECT_THROW(BytesToInt(hexBytes("00 80")), RuntimeError);

    EXPECT_EQ(LongToBytes(228612), hexBytes("04 7D 03 00"));
    EXPECT_EQ(LongToBytes(-1), hexBytes("FF FF FF FF"));
    EXPECT_EQ(CommBytesToLong(""), -1);
    EXPECT_EQ(CommBytesToLong(hexBytes("04 7D 03 00")), 228612);
    EXPECT_EQ(CommBytesToLong(hexBytes("34 12")), 0x1234);
    // A fourth byte of 80h or more leaves the value of the first three.
    EXPECT_EQ(CommBytesToLong(hexBytes("01 02 03 80")), 0x030201);

    const std::array<std::uint8_t, 3> bytes{0x41, 0x00, 0x42};
    EXPECT_EQ(BytesToString(bytes, 3), std::string("A\0B", 3));
    EXPECT_EQ(BytesToString(bytes, 7), std::string("A\0B", 3));
}

TEST(PacketLayerHeader, FieldsAndOverflow) {
    BuildPacketHeader(896, 1, 0x00);
    EXPECT_EQ(gPacketHeader, hexBytes("F3 80 03 01 00 00"));
    BuildPacketHeader(0, 300, 0xFF);
    EXPECT_EQ(gPacketHeader, hexBytes("F3 00 00 2C 01 FF"));
    EXPECT_THROW(BuildPacketHeader(10, 32768, 0), RuntimeError);
}

// A terminal scripted by hand: answers each call 07 with 08 08 and each packet's F4 with
// `replies` in turn.
class PacketLayerSend : public FakePortTest {
protected:
    void answerPackets(std::string replies) {
        port.onOutput = [this, replies, n = std::size_t{0},
                         sentCount = std::size_t{0}](unsigned char c) mutable {
            ++sentCount;
            if (c == 0x07 && !m_inPacket)
                port.feed(hexBytes("08 08"));
            if (c == 0xF3 && !m_inPacket) {
                m_inPacket = true;
                m_packetBytes = 0;
            }
            if (m_inPacket && ++m_packetBytes == 907) {
                m_inPacket = false;
                if (n < replies.size())
                    port.feed(std::string(1, replies[n++]));
            }
        };
    }

private:
    bool m_inPacket = false;
    int m_packetBytes = 0;
};

TEST_F(PacketLayerSend, ExamplePacketGoesOutAsTheLayoutSays) {
    answerPackets("3");
    BuildPacketHeader(896, 1, 0x00);
    gDataBlock = ff896();
    EXPECT_EQ(SendPacket(), kResultAccepted);
    // 132 + 896 x 255 = 228,612: F3 itself is not counted.
    EXPECT_EQ(gCheckSum, 228612);
    EXPECT_EQ(port.sent(), hexBytes("07 F3 80 03 01 00 00") + ff896() + hexBytes("04 7D 03 00 F4"));
    // One drain for the whole packet, before its reply is read.
    EXPECT_EQ(port.drains, 1);
}

TEST_F(PacketLayerSend, SixRejectionsEndWithAttemptSeven) {
    answerPackets("666666");
    BuildPacketHeader(3, 1, 0x00);
    gDataBlock = "ABC";
    EXPECT_EQ(SendPacket(), kResultPacketFailed);
    EXPECT_EQ(gAttempt, 7);
    const std::string onePacket =
        hexBytes("07 F3 03 00 01 00 00 41 42 43") + std::string(893, '\0') +
        hexBytes("CA 00 00 00 F4 37"); // 3+1+65+66+67 = 202 = CAh, then '7' after the '6'
    std::string six;
    for (int i = 0; i < 6; ++i)
        six += onePacket;
    EXPECT_EQ(port.sent(), six);
    EXPECT_EQ(port.drains, 6);
}

TEST_F(PacketLayerSend, UnansweredCallEndsWithinFourTimeOuts) {
    BuildPacketHeader(0, 1, 0x00);
    gDataBlock.clear();
    startTiming();
    EXPECT_EQ(SendPacket(), kResultNoAnswer);
    EXPECT_EQ(gStatusText, "Erroneous Connection");
    EXPECT_EQ(port.sent(), hexBytes("07 07 07 07"));
    EXPECT_GT(elapsed(), 40.0);
    EXPECT_LT(elapsed(), 41.0);
}

TEST_F(PacketLayerSend, AReplyOtherThanThreeOrSixIsNotAnswered) {
    answerPackets("X3");
    BuildPacketHeader(0, 1, 0x00);
    gDataBlock.clear();
    EXPECT_EQ(SendPacket(), kResultAccepted);
    EXPECT_EQ(gAttempt, 2);
    EXPECT_EQ(port.sent().find('7'), std::string::npos);
}

// A port whose output never leaves: the send fails once the packet's time on the line at
// 57600 baud (907 x 10 bits) and the reply time-out have passed, and is not tried again. A
// port that then hangs up fails the next send at once: no call goes unanswered for 40 s.
TEST_F(PacketLayerSend, APacketThePortCannotSendAndAHungUpPortFailTheSend) {
    answerPackets("3");
    BuildPacketHeader(0, 1, 0x00);
    gDataBlock.clear();
    port.outputStuck = true;
    startTiming();
    EXPECT_EQ(SendPacket(), kResultNoAnswer);
    EXPECT_EQ(gStatusText, "Erroneous Connection");
    EXPECT_GT(elapsed(), 10.0 + 9070.0 / 57600);
    EXPECT_LT(elapsed(), 10.2);
    EXPECT_EQ(port.sent().size(), 1u + 907u);

    port.outputStuck = false;
    port.onOutput = nullptr;
    port.lost = true;
    port.clearSent();
    gStatusText.clear();
    startTiming();
    EXPECT_EQ(SendPacket(), kResultNoAnswer);
    EXPECT_EQ(gStatusText, "Erroneous Connection");
    EXPECT_EQ(elapsed(), 0.0);
    EXPECT_EQ(port.sent(), hexBytes("07 07 07 07"));
}

// The terminal's packet: BlockSize 5, PacketNo 1, last block, "HELLO". Its sum counts F3:
// 243 + 5 + 1 + 255 + 72 + 69 + 76 + 76 + 79 = 876 = 36Ch.
std::string helloPacket(const std::string& sum) {
    return hexBytes("F3 05 00 01 00 FF 48 45 4C 4C 4F") + std::string(891, '\0') +
           hexBytes(sum + " F4");
}

// Plays the terminal's call, then `packets` one per call, and `replies` to the PC's '3' or '6'.
class PacketLayerReceive : public FakePortTest {
protected:
    void playTerminal(std::vector<std::string> packets, std::string replies) {
        port.feed(hexBytes("07"));
        port.onOutput = [this, packets, replies, answers = 0, p = std::size_t{0},
                         r = std::size_t{0}](unsigned char c) mutable {
            if (c == 0x08 && ++answers % 2 == 0 && p < packets.size())
                port.feed(packets[p++]);
            if ((c == '3' || c == '6') && r < replies.size()) {
                port.feed(std::string(1, replies[r]));
                if (replies[r++] == '7')
                    port.feed(hexBytes("07"));
            }
        };
    }
};

TEST_F(PacketLayerReceive, SumThatIncludesF3IsAccepted) {
    playTerminal({helloPacket("6C 03 00 00")}, "3");
    EXPECT_EQ(ReceivePacket(), kResultAccepted);
    EXPECT_EQ(port.sent(), hexBytes("08 08 33"));
    EXPECT_EQ(gRecvBuf.substr(6, 5), "HELLO");
    EXPECT_EQ(port.inputLen(), 1);
    EXPECT_EQ(port.inputMode(), InputMode::Binary);
}

TEST_F(PacketLayerReceive, SumWithoutF3IsRejectedAndResent) {
    // 876 - 243 = 633 = 279h: the sum the PC would make itself, which the terminal must not send.
    playTerminal({helloPacket("79 02 00 00"), helloPacket("6C 03 00 00")}, "73");
    EXPECT_EQ(ReceivePacket(), kResultAccepted);
    EXPECT_EQ(port.sent(), hexBytes("08 08 36 08 08 33"));
    EXPECT_EQ(gAttempt, 2);
}

TEST_F(PacketLayerReceive, RejectionNotAnsweredWithSevenFailsAtOnce) {
    playTerminal({helloPacket("79 02 00 00")}, "X");
    EXPECT_EQ(ReceivePacket(), kResultPacketFailed);
    EXPECT_EQ(gAttempt, 1);
}

TEST_F(PacketLayerReceive, NoCallWithinFourReadsEndsWithSingleByteReads) {
    port.feed("abc");
    startTiming();
    EXPECT_EQ(ReceivePacket(), kResultNoAnswer);
    EXPECT_TRUE(port.sent().empty());
    EXPECT_EQ(port.inputLen(), 1);
    // Three stray bytes, then one read that waits its 10 s.
    EXPECT_GT(elapsed(), 10.0);
    EXPECT_LT(elapsed(), 10.5);
}

TEST_F(PacketLayerReceive, ShortPacketTimesOutTenSecondsAfterTheCall) {
    std::string shortPacket = helloPacket("6C 03 00 00");
    shortPacket.erase(100, 1);
    playTerminal({shortPacket}, "");
    startTiming();
    EXPECT_EQ(ReceivePacket(), kResultNoAnswer);
    EXPECT_EQ(port.inputLen(), 1);
    EXPECT_EQ(port.inputMode(), InputMode::Binary);
    EXPECT_GT(elapsed(), 10.0);
    EXPECT_LT(elapsed(), 10.5);
}

TEST_F(PacketLayerReceive, ChecksumOfAnEmptyBufferIsZero) {
    gRecvBuf.clear();
    EXPECT_EQ(PacketChecksum(), 0);
    gRecvBuf = hexBytes("F3 01 02");
    EXPECT_EQ(PacketChecksum(), 3);
}

using PacketLayerHandshake = FakePortTest;

TEST_F(PacketLayerHandshake, CallsAndAnswers) {
    port.feed(hexBytes("08 08"));
    EXPECT_TRUE(CheckConnection());
    EXPECT_EQ(port.sent(), hexBytes("07 07"));

    port.clearSent();
    port.feed(hexBytes("08 00"));
    EXPECT_FALSE(CheckConnection());
    EXPECT_EQ(port.sent(), hexBytes("07"));

    // CallDevice: a wrong first answer costs one try.
    port.clearSent();
    port.feed(hexBytes("33 08 08"));
    EXPECT_EQ(CallDevice(), kResultAnswered);
    EXPECT_EQ(port.sent(), hexBytes("07 07"));

    // WaitForBell: stray bytes before the 07, then 08, buffers emptied, 08.
    port.clearSent();
    port.feed(hexBytes("41 42 07 99"));
    EXPECT_EQ(WaitForBell(), kResultCalled);
    EXPECT_EQ(port.sent(), hexBytes("08 08"));
    EXPECT_EQ(port.waiting(), 0u);

    port.clearSent();
    port.feed(std::string(17, 'x') + hexBytes("07"));
    EXPECT_EQ(WaitForBell(), kResultNoAnswer);
    EXPECT_TRUE(port.sent().empty());
}

} // namespace
} // namespace kelvarin::test
