#include "PtyFixture.h"
#include "platform/RuntimeError.h"
#include "serial/CommandExchange.h"
#include "serial/PacketLayer.h"
#include "support/FileSizeLimit.h"

namespace kelvarin::test {
namespace {

using namespace ModTrans;

struct FileCase {
    std::size_t size;
    int packets;
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.size << " bytes, " << c.packets << " packets";
}

// Sizes around the 896-byte block: an empty file and whole blocks end with an empty last
// packet; a remainder travels in the last packet.
class FileTransferOverPort : public PtyTerminalTest,
                             public ::testing::WithParamInterface<FileCase> {};

TEST_P(FileTransferOverPort, PcToTerminalArrivesByteForByte) {
    const auto [size, packets] = GetParam();
    const std::string content = patternBytes(size, 7);
    writeBytes(dataFile("MASTER.DAT"), content);
    start();
    EXPECT_TRUE(ExecuteCommand("2 MASTER.DAT")) << gStatusText;
    EXPECT_EQ(gStatusText, "Success");
    EXPECT_EQ(gPacketNo, packets);
    stopTerminal();
    ASSERT_EQ(sim.files.count("MASTER.DAT"), 1u);
    EXPECT_TRUE(sameBytes(sim.files["MASTER.DAT"], content));
    EXPECT_EQ(sim.countAnswers, std::vector<std::uint8_t>{0x0F});
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.DAT")), content));
}

TEST_P(FileTransferOverPort, TerminalToPcArrivesByteForByte) {
    const auto [size, packets] = GetParam();
    const std::string content = patternBytes(size, 3);
    sim.files["MASTER.TRN"] = content;
    writeBytes(dataFile("MASTER.TRN"), "older copy");
    // The file is in its place while the PC waits for the terminal's answer to its count: a
    // crash then loses nothing.
    std::string placedAtCount;
    bool scratchAtCount = true;
    sim.onCountFromPc = [&] {
        placedAtCount = readBytes(dataFile("MASTER.TRN"));
        scratchAtCount = std::filesystem::exists(dataFile("TEMPFILE.BIN"));
    };
    start();
    EXPECT_TRUE(ExecuteCommand("1 MASTER.TRN")) << gStatusText;
    EXPECT_EQ(gStatusText, "Success");
    EXPECT_EQ(gPacketNo, packets);
    stopTerminal();
    EXPECT_TRUE(sameBytes(placedAtCount, content));
    EXPECT_FALSE(scratchAtCount);
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.TRN")), content));
    EXPECT_EQ(sim.countsFromPc, std::vector<int>{packets});
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
    EXPECT_FALSE(IsTransferFileOpen());
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileTransferOverPort,
                         ::testing::Values(FileCase{0, 1}, FileCase{896, 2}, FileCase{897, 2},
                                           FileCase{898, 2}, FileCase{5000, 6}));

} // namespace
} // namespace kelvarin::test

namespace kelvarin::test {
namespace {

using namespace ModTrans;

// Faults that cost no time-out, over the real port.
using FileTransferFaultsOverPort = PtyTerminalTest;

TEST_F(FileTransferFaultsOverPort, BusyAndBadChecksumAreRecovered) {
    sim.files["MASTER.TRN"] = patternBytes(3000, 5);
    sim.faults.busyBeforePacket = 1;
    sim.faults.badChecksumPacket = 3;
    sim.faults.badChecksumSends = 2;
    start();
    EXPECT_TRUE(ExecuteCommand("1 MASTER.TRN")) << gStatusText;
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.TRN")), patternBytes(3000, 5)));
    stopTerminal();
    EXPECT_EQ(sim.packetSendings, 4 + 2);
}

TEST_F(FileTransferFaultsOverPort, RejectedPacketsAreResent) {
    writeBytes(dataFile("BANK.COL"), patternBytes(1000, 1));
    sim.faults.rejectPacket = 2;
    sim.faults.rejectSends = 3;
    sim.faults.garbleReplyToPacket = 1;
    start();
    EXPECT_TRUE(ExecuteCommand("2 BANK.COL")) << gStatusText;
    stopTerminal();
    EXPECT_TRUE(sameBytes(sim.files["BANK.COL"], patternBytes(1000, 1)));
}

// The terminal takes a packet and answers only busy ... ready: the packet counts as accepted
// and the next one follows; sent again, the last packet would run into the terminal's call for
// the end-of-file count.
class BusyInsteadOfReply : public PtyTerminalTest, public ::testing::WithParamInterface<int> {};

TEST_P(BusyInsteadOfReply, PacketIsNotSentAgain) {
    const std::string content = patternBytes(2000, 4); // three packets
    writeBytes(dataFile("MASTER.DAT"), content);
    sim.faults.busyInsteadOfReplyToPacket = GetParam();
    start();
    EXPECT_TRUE(ExecuteCommand("2 MASTER.DAT")) << gStatusText;
    stopTerminal();
    EXPECT_EQ(sim.packetNumbersFromPc, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(sameBytes(sim.files["MASTER.DAT"], content));
    EXPECT_EQ(sim.countAnswers, std::vector<std::uint8_t>{0x0F});
}

INSTANTIATE_TEST_SUITE_P(MiddleAndLastPacket, BusyInsteadOfReply, ::testing::Values(2, 3));

// The terminal's side of the port closes after the second of four packets, as a pulled
// USB-serial adapter does: the reception fails as a lost packet, and so does the next command,
// without any wait once the port has reported the hang-up.
TEST_F(FileTransferFaultsOverPort, AHangUpMidFileFailsEveryWaitAtOnce) {
    sim.files["MASTER.TRN"] = patternBytes(3000, 6);
    sim.faults.hangUpAfterPackets = 2;
    writeBytes(dataFile("MASTER.TRN"), "older copy");
    struct CountingPump final : EventPump {
        const PtyTerminalLink& link;
        int yieldsAfterHangUp = 0;
        explicit CountingPump(const PtyTerminalLink& l) : link(l) {}
        void yield() override { yieldsAfterHangUp += link.hungUp() ? 1 : 0; }
    } counting{link};
    gPump = &counting;
    start();

    EXPECT_FALSE(ExecuteCommand("1 MASTER.TRN"));
    // The program may see the hang-up before the simulator's thread has noted it.
    stopTerminal();
    EXPECT_TRUE(link.hungUp());
    EXPECT_EQ(readBytes(dataFile("MASTER.TRN")), "older copy");
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
    EXPECT_FALSE(IsTransferFileOpen());

    writeBytes(dataFile("MASTER.DAT"), "m");
    EXPECT_FALSE(ExecuteCommand("2 MASTER.DAT"));
    EXPECT_EQ(gStatusText, "Check Connection ! GOING TO ABORT...");
    // At most the yield of a wait that was under way when the master closed.
    EXPECT_LE(counting.yieldsAfterHangUp, 1);
    EXPECT_TRUE(control->linkLost());
    // The hung-up device was let go: nothing watches it any more.
    EXPECT_FALSE(control->portOpen());
}

// The disk takes only 4000 of MASTER.TRN's 5000 bytes. They all wait in the stream's buffer
// until it is closed, so only the close finds out: the reception fails before the terminal is
// told the count, the older copy stays and no scratch file is left.
TEST_F(FileTransferFaultsOverPort, AFileTheDiskCannotTakeWholeIsNotPutInPlace) {
    sim.files["MASTER.TRN"] = patternBytes(5000, 3);
    writeBytes(dataFile("MASTER.TRN"), "older copy");
    start();
    {
        const FileSizeLimit diskFull(4000);
        EXPECT_THROW(ExecuteCommand("1 MASTER.TRN"), RuntimeError);
    }
    stopTerminal();
    EXPECT_EQ(readBytes(dataFile("MASTER.TRN")), "older copy");
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
    EXPECT_FALSE(IsTransferFileOpen());
    EXPECT_EQ(gFileNum, -1);
    EXPECT_TRUE(sim.countsFromPc.empty());
}

TEST_F(FileTransferFaultsOverPort, RefusalAndFileSystemError) {
    writeBytes(dataFile("MASTER.DAT"), "m");
    sim.faults.refuseSend = true;
    sim.faults.fileSystemError = true;
    start();
    EXPECT_FALSE(ExecuteCommand("2 MASTER.DAT"));
    EXPECT_EQ(gStatusText, "Transaction File Not Uploaded");
    EXPECT_FALSE(ExecuteCommand("1 STATUS.DAT"));
    EXPECT_EQ(gStatusText, "FS Error");
    EXPECT_FALSE(std::filesystem::exists(dataFile("STATUS.DAT")));
}

} // namespace
} // namespace kelvarin::test
