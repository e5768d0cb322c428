#include "serial/CommandExchange.h"

#include "ProtocolFixtures.h"
#include "platform/RuntimeError.h"
#include "serial/CommandText.h"
#include "serial/PacketLayer.h"

namespace kelvarin::test {
namespace {

using namespace ModTrans;

TEST(CommandExchangeFields, BlanksRules) {
    const auto bare = SplitCommandText("13");
    EXPECT_EQ(bare.number, 13);
    EXPECT_FALSE(bare.fileName);
    EXPECT_FALSE(bare.timeoutSecs);

    // A blank right after the separating blank makes the name run to the end; its ends are
    // trimmed.
    const auto twoBlanks = SplitCommandText("1  AGENT.DAT");
    EXPECT_EQ(twoBlanks.number, 1);
    EXPECT_EQ(twoBlanks.fileName, "AGENT.DAT");
    EXPECT_FALSE(twoBlanks.timeoutSecs);

    const auto withTimeout = SplitCommandText("1 AGENT.DAT 5");
    EXPECT_EQ(withTimeout.fileName, "AGENT.DAT");
    EXPECT_EQ(withTimeout.timeoutSecs, 5);

    EXPECT_EQ(SplitCommandText("x y").number, 0);
    EXPECT_EQ(SplitCommandText("2.5 A").number, 2); // rounded half to even
    EXPECT_EQ(SplitCommandText("1 A 2.6").timeoutSecs, 3);
    EXPECT_THROW(SplitCommandText("1 A 40000"), RuntimeError);
}

TEST(CommandExchangeDateTime, TenBytesFromTheLayout) {
    EXPECT_EQ(DateTimeCommand({2011, 12, 31, 23, 59, 59}),
              hexBytes("35 20 1F 0C DB 07 17 3B 3B 00"));
    EXPECT_EQ(DateTimeCommand({2026, 1, 2, 0, 0, 7}), hexBytes("35 20 02 01 EA 07 00 00 07 00"));
}

// A clock whose calendar moves on to the next day after the first reading.
class MidnightClock final : public Clock {
public:
    explicit MidnightClock(FakeClock& fake) : m_fake(fake) {}
    std::chrono::steady_clock::duration monotonicNow() override { return m_fake.monotonicNow(); }
    LocalDateTime localNow() override {
        return m_readings++ == 0 ? LocalDateTime{2011, 12, 31, 23, 59, 59}
                                 : LocalDateTime{2012, 1, 1, 0, 0, 0};
    }
    void sleepFor(std::chrono::steady_clock::duration d) override { m_fake.sleepFor(d); }

private:
    FakeClock& m_fake;
    int m_readings = 0;
};

using CommandExchange = SimulatedTerminalTest;

TEST_F(CommandExchange, SetDateAndTimeSendsOnePacketFromOneReading) {
    MidnightClock midnight(clock);
    gClock = &midnight;
    start();
    std::string error = "old";
    MemoryProgressBar progress;
    EXPECT_TRUE(RunTransfer("SetDateAndTime", dataFolder().string() + "/", error, progress));
    EXPECT_EQ(error, "Success");
    stopTerminal();
    ASSERT_EQ(sim.commands.size(), 1u);
    EXPECT_EQ(sim.commands[0], hexBytes("35 20 1F 0C DB 07 17 3B 3B 00"));
    // BlockSize 10, PacketNo 1, flag 00; 11 + 495 = 506 = 1FAh.
    const std::string packet = hexBytes("F3 0A 00 01 00 00 35 20 1F 0C DB 07 17 3B 3B 00") +
                               std::string(886, '\0') + hexBytes("FA 01 00 00 F4");
    EXPECT_EQ(port.sent(), hexBytes("07 07 07") + packet);
    EXPECT_EQ(mdlLoadSetup::GetAppPath(), dataFolder().string() + "/");
}

TEST_F(CommandExchange, LinkTestFailureAbortsWithinItsTimeOut) {
    sim.faults.silent = true;
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_FALSE(RunTransfer("SETDATEANDTIME", dataFolder().string(), error, progress));
    EXPECT_EQ(error, "Check Connection ! GOING TO ABORT...");
    EXPECT_LT(elapsed(), 10.5);
}

TEST_F(CommandExchange, UploadFetchesThreeFiles) {
    sim.files = {{"AGENT.DAT", patternBytes(64)},
                 {"MASTER.DAT", patternBytes(1280, 1)},
                 {"MASTER.TRN", patternBytes(384, 2)}};
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_TRUE(RunTransfer("upload", dataFolder().string(), error, progress));
    EXPECT_EQ(error, "Success");
    EXPECT_EQ(progress.value(), 100);
    EXPECT_EQ(readBytes(dataFile("AGENT.DAT")), patternBytes(64));
    EXPECT_EQ(readBytes(dataFile("MASTER.DAT")), patternBytes(1280, 1));
    EXPECT_EQ(readBytes(dataFile("MASTER.TRN")), patternBytes(384, 2));
    stopTerminal();
    EXPECT_EQ(sim.commands,
              (std::vector<std::string>{"1 AGENT.DAT", "1 MASTER.DAT", "1 MASTER.TRN"}));
}

TEST_F(CommandExchange, UploadStopsAfterMissingAgentFileAt25) {
    sim.files = {{"MASTER.DAT", "m"}, {"MASTER.TRN", "t"}};
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_FALSE(RunTransfer("UPLOAD", dataFolder().string(), error, progress));
    EXPECT_EQ(error, "File Not Found");
    EXPECT_EQ(progress.value(), 25);
    EXPECT_FALSE(std::filesystem::exists(dataFile("MASTER.DAT")));
    stopTerminal();
    EXPECT_EQ(sim.commands, std::vector<std::string>{"1 AGENT.DAT"});
}

TEST_F(CommandExchange, DownloadSendsFiveFilesInOrder) {
    const std::vector<std::string> names = {"MASTER.DAT", "AGENT.DAT", "ACC_DETA.DAT",
                                            "ACCTYPE.DAT", "BANK.COL"};
    for (std::size_t i = 0; i < names.size(); ++i)
        writeBytes(dataFile(names[i]), patternBytes(128 * (i + 1), static_cast<int>(i)));
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_TRUE(RunTransfer("DOWNLOAD", dataFolder().string() + "/", error, progress));
    EXPECT_EQ(progress.value(), 100);
    stopTerminal();
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(sim.commands.at(i), "2 " + names[i]);
        EXPECT_TRUE(
            sameBytes(sim.files[names[i]], patternBytes(128 * (i + 1), static_cast<int>(i))));
    }
}

TEST_F(CommandExchange, DownloadFailingAtBankColStaysAt90) {
    for (const char* name : {"MASTER.DAT", "AGENT.DAT", "ACC_DETA.DAT", "ACCTYPE.DAT"})
        writeBytes(dataFile(name), patternBytes(96));
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_FALSE(RunTransfer("DOWNLOAD", dataFolder().string() + "/", error, progress));
    EXPECT_EQ(progress.value(), 90);
    // The PC answered '8'; the file layer's text stays.
    EXPECT_EQ(error, "Sending File BANK.COL");
    stopTerminal();
    EXPECT_EQ(sim.files.size(), 4u);
    EXPECT_EQ(sim.commands.back(), "2 BANK.COL");
}

TEST_F(CommandExchange, RefusedSendSendsNoFileData) {
    writeBytes(dataFile("MASTER.DAT"), "records");
    sim.faults.refuseSend = true;
    start();
    EXPECT_FALSE(ExecuteCommand("2 MASTER.DAT"));
    EXPECT_EQ(gStatusText, "Transaction File Not Uploaded");
    EXPECT_EQ(gTimeoutSecs, 1);
    // Link test and command packet only: nothing after the packet's F4.
    EXPECT_EQ(port.sent().size(), 3u + 907u);
}

TEST_F(CommandExchange, QuietRefusalCheckWaitsOneSecondThenSends) {
    writeBytes(dataFile("MASTER.DAT"), "records");
    sim.faults.quietRefusalCheck = true;
    start();
    startTiming();
    EXPECT_TRUE(ExecuteCommand("2 MASTER.DAT 7"));
    EXPECT_GT(elapsed(), 1.0);
    EXPECT_LT(elapsed(), 1.5);
    stopTerminal();
    EXPECT_EQ(sim.files["MASTER.DAT"], "records");
}

TEST_F(CommandExchange, ThirdFieldBoundsTheFirstWaitOfAReception) {
    sim.faults.silenceAfterCommandPacket = true;
    start();
    startTiming();
    EXPECT_FALSE(ExecuteCommand("1 STATUS.DAT 5"));
    EXPECT_EQ(gStatusText, "File Not Found");
    EXPECT_GT(elapsed(), 5.0);
    EXPECT_LT(elapsed(), 5.5);
}

TEST_F(CommandExchange, TwoBlanksStillNameTheFile) {
    sim.files["STATUS.DAT"] = hexBytes("02");
    start();
    EXPECT_TRUE(ExecuteCommand("  1  STATUS.DAT "));
    EXPECT_EQ(readBytes(dataFile("STATUS.DAT")), hexBytes("02"));
    stopTerminal();
    EXPECT_EQ(sim.commands, std::vector<std::string>{"1  STATUS.DAT"});
}

TEST_F(CommandExchange, CommandWithoutBlankKeepsFileNameAndTimeout) {
    gFileName = "KEPT.DAT";
    gTimeoutSecs = 3;
    start();
    EXPECT_TRUE(ExecuteCommand("50"));
    EXPECT_EQ(gCommandNo, 50);
    EXPECT_EQ(gFileName, "KEPT.DAT");
    EXPECT_EQ(gTimeoutSecs, 10); // set at the start of every command
    EXPECT_FALSE(ExecuteCommand("99"));
    EXPECT_EQ(gStatusText, "Success"); // unknown numbers leave the text
}

TEST_F(CommandExchange, RejectedCommandPacket) {
    sim.faults.rejectPacket = 0;
    sim.faults.rejectSends = 6;
    start();
    EXPECT_FALSE(ExecuteCommand("1 STATUS.DAT"));
    EXPECT_EQ(gStatusText, "Erroneous Connection... ");
}

TEST_F(CommandExchange, UnknownActionHandsBackTheLastText) {
    gStatusText = "earlier text";
    std::string error = "x";
    MemoryProgressBar progress;
    EXPECT_FALSE(RunTransfer("FORMAT", dataFolder().string(), error, progress));
    EXPECT_EQ(error, "earlier text");
}

TEST_F(CommandExchange, CheckStatusFetchesStatusFile) {
    sim.files["STATUS.DAT"] = hexBytes("06 00");
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_TRUE(RunTransfer("CHECKSTATUS", dataFolder().string(), error, progress));
    EXPECT_EQ(readBytes(dataFile("STATUS.DAT")), hexBytes("06 00"));
}

TEST_F(CommandExchange, OverlongCommandIsARunTimeFailure) {
    start();
    EXPECT_THROW(ExecuteCommand("1 " + std::string(900, 'A')), RuntimeError);
}

} // namespace
} // namespace kelvarin::test
