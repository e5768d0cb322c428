#include "ProtocolFixtures.h"
#include "serial/CommandExchange.h"
#include "serial/PacketLayer.h"

// Every fault the simulated terminal can show, on the fake clock: the result, the status text,
// the progress value, the files left behind, and that every wait ended within its time-outs.
namespace kelvarin::test {
namespace {

using namespace ModTrans;

class FileTransferReceiveFaults : public SimulatedTerminalTest {
protected:
    // The terminal holds a new MASTER.DAT of three packets; the PC an older copy.
    void SetUp() override {
        SimulatedTerminalTest::SetUp();
        sim.files["MASTER.DAT"] = newCopy();
        writeBytes(dataFile("MASTER.DAT"), kOlderCopy);
    }

    static std::string newCopy() { return patternBytes(2000, 9); }

    void expectOlderCopyKept() {
        EXPECT_EQ(readBytes(dataFile("MASTER.DAT")), kOlderCopy);
        expectNoScratchFile();
    }
    void expectNoScratchFile() {
        EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
        EXPECT_FALSE(IsTransferFileOpen());
        EXPECT_EQ(gFileNum, -1);
    }
    bool fetch() {
        gStatusText = "before";
        start();
        startTiming();
        return ExecuteCommand("1 MASTER.DAT");
    }

    static constexpr const char* kOlderCopy = "older good copy";
};

TEST_F(FileTransferReceiveFaults, BadChecksumIsResentAndAccepted) {
    sim.faults.badChecksumPacket = 2;
    ASSERT_TRUE(fetch());
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.DAT")), newCopy()));
    expectNoScratchFile();
    stopTerminal();
    EXPECT_EQ(sim.packetSendings, 4);
}

TEST_F(FileTransferReceiveFaults, BadChecksumSixTimesFailsThePacket) {
    sim.faults.badChecksumPacket = 1;
    sim.faults.badChecksumSends = 6;
    EXPECT_FALSE(fetch());
    EXPECT_EQ(gAttempt, 7);
    EXPECT_EQ(gStatusText, "before");
    expectOlderCopyKept();
}

TEST_F(FileTransferReceiveFaults, BusyBeforeAPacketIsWaitedOut) {
    sim.faults.busyBeforePacket = 2;
    ASSERT_TRUE(fetch());
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.DAT")), newCopy()));
}

TEST_F(FileTransferReceiveFaults, FileSystemError) {
    sim.faults.fileSystemError = true;
    EXPECT_FALSE(fetch());
    EXPECT_EQ(gStatusText, "FS Error");
    expectOlderCopyKept();
}

TEST_F(FileTransferReceiveFaults, NotFound) {
    sim.files.clear();
    EXPECT_FALSE(fetch());
    EXPECT_EQ(gStatusText, "File Not Found");
    expectOlderCopyKept();
}

TEST_F(FileTransferReceiveFaults, PacketOutOfOrder) {
    sim.faults.firstPacketNumberedTwo = true;
    EXPECT_FALSE(fetch());
    EXPECT_EQ(gStatusText, "before");
    expectOlderCopyKept();
}

TEST_F(FileTransferReceiveFaults, CountRefusedByTerminalStillWritesTheFile) {
    sim.faults.countMismatch = true;
    EXPECT_FALSE(fetch());
    // All packets came: the file is whole and takes the old copy's place.
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.DAT")), newCopy()));
    expectNoScratchFile();
}

TEST_F(FileTransferReceiveFaults, SilentTerminal) {
    sim.faults.silent = true;
    EXPECT_FALSE(fetch());
    EXPECT_EQ(gStatusText, "Check Connection ! GOING TO ABORT...");
    EXPECT_LT(elapsed(), 10.5);
    expectOlderCopyKept();
}

TEST_F(FileTransferReceiveFaults, ConnectionDroppedMidFile) {
    sim.faults.dropConnectionAfterPackets = 1;
    EXPECT_FALSE(fetch());
    expectOlderCopyKept();
    // Four reads for the next call, 10 s each.
    EXPECT_LT(elapsed(), 41.0);
}

TEST_F(FileTransferReceiveFaults, JunkBeforePacketStartFailsTheReception) {
    // The junk shifts the packet: its sum fails, and the PC's next read finds the packet's tail
    // where it waits for '7'.
    sim.faults.junkBeforePacketStart = 1;
    EXPECT_FALSE(fetch());
    EXPECT_EQ(gAttempt, 1);
    expectOlderCopyKept();
    EXPECT_LT(elapsed(), 1.0);
}

TEST_F(FileTransferReceiveFaults, ByteDroppedInsideAPacket) {
    sim.faults.dropByteInPacket = 2;
    EXPECT_FALSE(fetch());
    expectOlderCopyKept();
    EXPECT_GT(elapsed(), 10.0);
    EXPECT_LT(elapsed(), 10.5);
}

TEST_F(FileTransferReceiveFaults, TerminalsThreeLostAfterTheLastPacket) {
    sim.faults.loseThreeAfterPacket = 3;
    EXPECT_FALSE(fetch());
    expectOlderCopyKept();
    // 10 s for the '3', then four reads of 10 s for a call that never comes.
    EXPECT_GT(elapsed(), 50.0);
    EXPECT_LT(elapsed(), 51.0);
}

TEST_F(FileTransferReceiveFaults, OversizedBlockIsAFailedPacket) {
    sim.faults.oversizedBlockPacket = 2;
    EXPECT_FALSE(fetch());
    expectOlderCopyKept();
}

TEST_F(FileTransferReceiveFaults, UploadProgressStopsAtTheFailedFile) {
    sim.files["AGENT.DAT"] = patternBytes(64);
    sim.files["MASTER.TRN"] = patternBytes(128);
    sim.faults.firstPacketNumberedTwo = true;
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_FALSE(RunTransfer("UPLOAD", dataFolder().string(), error, progress));
    // AGENT.DAT's first packet is numbered 2 as well: nothing comes.
    EXPECT_EQ(progress.value(), 25);
    expectOlderCopyKept();
    EXPECT_FALSE(std::filesystem::exists(dataFile("AGENT.DAT")));
}

// Sending to the terminal.
class FileTransferSendFaults : public SimulatedTerminalTest {
protected:
    void SetUp() override {
        SimulatedTerminalTest::SetUp();
        writeBytes(dataFile("AGENT.DAT"), content());
    }
    static std::string content() { return patternBytes(1900, 4); }
    bool send() {
        start();
        startTiming();
        return ExecuteCommand("2 AGENT.DAT");
    }
};

TEST_F(FileTransferSendFaults, RejectionsAreAnsweredWithSevenAndResent) {
    sim.faults.rejectPacket = 2;
    sim.faults.rejectSends = 5;
    ASSERT_TRUE(send());
    stopTerminal();
    EXPECT_TRUE(sameBytes(sim.files["AGENT.DAT"], content()));
}

TEST_F(FileTransferSendFaults, SixRejectionsEndTheSend) {
    sim.faults.rejectPacket = 1;
    sim.faults.rejectSends = 6;
    EXPECT_FALSE(send());
    EXPECT_EQ(gStatusText, "Err Transfer: Send repeated 7 times ");
    EXPECT_FALSE(IsTransferFileOpen());
    EXPECT_EQ(readBytes(dataFile("AGENT.DAT")), content());
}

TEST_F(FileTransferSendFaults, GarbledAcceptanceIsResentAndStoredOnce) {
    sim.faults.garbleReplyToPacket = 1;
    ASSERT_TRUE(send());
    stopTerminal();
    EXPECT_TRUE(sameBytes(sim.files["AGENT.DAT"], content()));
}

TEST_F(FileTransferSendFaults, GarbledAcceptanceOfTheLastPacketFailsInBoundedTime) {
    // The terminal took the last packet and calls for the count while the PC calls to send it
    // again: neither answers the other's call.
    sim.faults.garbleReplyToPacket = 3;
    EXPECT_FALSE(send());
    EXPECT_EQ(gStatusText, "Err Transfer: Send repeated 7 times ");
    EXPECT_LT(elapsed(), 400.0);
    EXPECT_FALSE(IsTransferFileOpen());
}

TEST_F(FileTransferSendFaults, CountMismatchReportedByTerminal) {
    sim.faults.countMismatch = true;
    EXPECT_FALSE(send());
    EXPECT_EQ(gStatusText, "Send Packet No: 2");
    stopTerminal();
    EXPECT_EQ(sim.countAnswers, std::vector<std::uint8_t>{':'});
}

TEST_F(FileTransferSendFaults, ConnectionDroppedMidFile) {
    sim.faults.dropConnectionAfterPackets = 1;
    EXPECT_FALSE(send());
    EXPECT_EQ(gStatusText, "Err Transfer: Send repeated 1 times ");
    EXPECT_FALSE(IsTransferFileOpen());
    // Four calls of 10 s each.
    EXPECT_LT(elapsed(), 41.0);
}

TEST_F(FileTransferSendFaults, MissingSourceIsAnnouncedWithEight) {
    std::filesystem::remove(dataFile("AGENT.DAT"));
    EXPECT_FALSE(send());
    EXPECT_EQ(port.sent().back(), '8');
}

} // namespace
} // namespace kelvarin::test
