#include "ProtocolFixtures.h"
#include "platform/RuntimeError.h"
#include "serial/PacketLayer.h"

namespace kelvarin::test {
namespace {

using namespace ModTrans;

// A terminal scripted by hand for SendFile: it answers every call, accepts every packet, calls
// for the count after the last one and reports `count`.
class FileTransferSend : public FakePortTest {
protected:
    void SetUp() override {
        FakePortTest::SetUp();
        port.onOutput = [this](unsigned char c) {
            if (m_inPacket) {
                if (++m_packetBytes == 907) {
                    m_inPacket = false;
                    const bool last = static_cast<std::uint8_t>(
                                          port.sent()[port.sent().size() - 907 + 5]) == 0xFF;
                    port.feed(last ? hexBytes("33 07") : hexBytes("33"));
                }
            } else if (c == 0x07) {
                port.feed(hexBytes("08 08"));
            } else if (c == 0xF3) {
                m_inPacket = true;
                m_packetBytes = 1;
            } else if (c == 0x08 && ++m_bellAnswers == 2) {
                port.feed(hexBytes("FF") + std::string(1, static_cast<char>(count)) +
                          hexBytes("00"));
            }
        };
    }

    int count = 1;

private:
    bool m_inPacket = false;
    int m_packetBytes = 0;
    int m_bellAnswers = 0;
};

TEST_F(FileTransferSend, OnePacketFileOnTheWire) {
    writeBytes(dataFile("ACCTYPE.DAT"), "ABC");
    gFileName = "ACCTYPE.DAT";
    EXPECT_EQ(SendFile(), kResultConfirmed);
    // '1'; call; F3, size 3, packet 1, last; "ABC" and NULs; 3+1+255+65+66+67 = 457 = 1C9h; F4;
    // the terminal's call answered 08 08; count confirmed with 0F.
    EXPECT_EQ(port.sent(), hexBytes("31 07 F3 03 00 01 00 FF 41 42 43") + std::string(893, '\0') +
                               hexBytes("C9 01 00 00 F4 08 08 0F"));
    EXPECT_EQ(gPacketNo, 1);
    EXPECT_FALSE(IsTransferFileOpen());
    EXPECT_EQ(readBytes(dataFile("ACCTYPE.DAT")), "ABC");
}

TEST_F(FileTransferSend, OneByteRemainderIsAnnouncedAsOneByte) {
    writeBytes(dataFile("X.DAT"), std::string(896, 'a') + "z");
    gFileName = "X.DAT";
    count = 2;
    EXPECT_EQ(SendFile(), kResultConfirmed);
    const std::string& s = port.sent();
    // '1', call, packet 1 (907), call, packet 2 header.
    EXPECT_EQ(s.substr(1 + 1, 6), hexBytes("F3 80 03 01 00 00"));
    EXPECT_EQ(s.substr(1 + 1 + 907 + 1, 7), hexBytes("F3 01 00 02 00 FF 7A"));
}

TEST_F(FileTransferSend, EmptyFileIsOneEmptyLastPacket) {
    writeBytes(dataFile("E.DAT"), "");
    gFileName = "E.DAT";
    EXPECT_EQ(SendFile(), kResultConfirmed);
    EXPECT_EQ(port.sent().substr(2, 6), hexBytes("F3 00 00 01 00 FF"));
}

TEST_F(FileTransferSend, CountMismatchIsAnsweredWithColon) {
    writeBytes(dataFile("E.DAT"), "x");
    gFileName = "E.DAT";
    count = 2;
    EXPECT_EQ(SendFile(), kResultNoAnswer);
    EXPECT_EQ(port.sent().back(), ':');
    EXPECT_FALSE(IsTransferFileOpen());
}

// ReceiveFile against a terminal scripted by hand: status byte, call, then `packet`.
class FileTransferReceive : public FakePortTest {
protected:
    void play(const std::string& packet) {
        port.feed(hexBytes("31 07"));
        port.onOutput = [this, packet](unsigned char c) {
            if (c == 0x08 && ++m_answers == 2)
                port.feed(packet);
            if (c == '3')
                port.feed("3");
        };
    }

private:
    int m_answers = 0;
};

TEST_F(FileTransferReceive, OnePacketFileOnTheWire) {
    gFileName = "ACCTYPE.DAT";
    // BlockSize 3, packet 1, last, "ABC"; the terminal's sum counts F3:
    // 243 + 3 + 1 + 255 + 65 + 66 + 67 = 700 = 2BCh.
    play(hexBytes("F3 03 00 01 00 FF 41 42 43") + std::string(893, '\0') +
         hexBytes("BC 02 00 00 F4"));
    const auto playPacket = port.onOutput;
    port.onOutput = [this, playPacket](unsigned char c) {
        playPacket(c);
        if (c == 0x07)
            port.feed(hexBytes("08 08"));
        if (port.sent().ends_with(hexBytes("FF 01 00")))
            port.feed(hexBytes("0F"));
    };
    EXPECT_EQ(ReceiveFile(), kResultConfirmed);
    // 08 08 to the call, '3' for the packet, then the PC's call and its count: FF, 1, 0.
    EXPECT_EQ(port.sent(), hexBytes("08 08 33 07 FF 01 00"));
    EXPECT_EQ(readBytes(dataFile("ACCTYPE.DAT")), "ABC");
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
}

TEST_F(FileTransferReceive, PacketNumberBeyondRangeLeavesNoScratchFile) {
    writeBytes(dataFile("AGENT.DAT"), "older");
    gFileName = "AGENT.DAT";
    // PacketNo 8001h: 243 + 1 + 128 + 255 = 627 = 273h.
    play(hexBytes("F3 00 00 01 80 FF") + std::string(896, '\0') + hexBytes("73 02 00 00 F4"));
    EXPECT_THROW(ReceiveFile(), RuntimeError);
    EXPECT_FALSE(IsTransferFileOpen());
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
    EXPECT_EQ(readBytes(dataFile("AGENT.DAT")), "older");
}

TEST_F(FileTransferReceive, BlockSizeAboveTheDataFailsThePacket) {
    writeBytes(dataFile("AGENT.DAT"), "older");
    gFileName = "AGENT.DAT";
    // BlockSize 897: 243 + 129 + 3 + 1 + 255 = 631 = 277h.
    play(hexBytes("F3 81 03 01 00 FF") + std::string(896, '\0') + hexBytes("77 02 00 00 F4"));
    EXPECT_EQ(ReceiveFile(), kResultPacketFailed);
    EXPECT_FALSE(IsTransferFileOpen());
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
    EXPECT_EQ(readBytes(dataFile("AGENT.DAT")), "older");
}

TEST_F(FileTransferReceive, StaleScratchFileIsReplaced) {
    writeBytes(dataFile("TEMPFILE.BIN"), "left from a crash");
    gFileName = "STATUS.DAT";
    // BlockSize 1, "\x02": 243 + 1 + 1 + 255 + 2 = 502 = 1F6h. The count call is not answered.
    play(hexBytes("F3 01 00 01 00 FF 02") + std::string(895, '\0') + hexBytes("F6 01 00 00 F4"));
    EXPECT_EQ(ReceiveFile(), kResultNoAnswer);
    // Every packet came, so the file is whole and written although the count went unconfirmed.
    EXPECT_EQ(readBytes(dataFile("STATUS.DAT")), hexBytes("02"));
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
}

} // namespace
} // namespace kelvarin::test
