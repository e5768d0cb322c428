#include "UsbFixture.h"
#include "support/FileSizeLimit.h"
#include "usb/UsbMessages.h"

#include <chrono>
#include <filesystem>
#include <optional>

namespace kelvarin::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class FileReceiveTest : public UsbFixture {
protected:
    // Puts a file of `size` bytes on the terminal and fetches it into the folder.
    bool fetch(const std::string& name, std::size_t size, ProgressBar* bar = nullptr) {
        content = patternBytes(size);
        terminal.files[kelvarin::usb::UpperCase(name)] = content;
        return usb.ReadFromUSB(name, folder.str(), bar);
    }
    // Only scripted reports reach the link.
    void scriptOnly() { hid.peer = nullptr; }
    // `name` holds exactly `bytes` (none: no such file), and no scratch file is left.
    void expectFile(const std::string& name, const std::optional<std::string>& bytes) {
        if (bytes)
            EXPECT_EQ(readBytes(path(name)), *bytes);
        else
            EXPECT_FALSE(fs::exists(path(name)));
        EXPECT_FALSE(fs::exists(path("TEMPFILE.BIN")));
    }
    std::string content;
};

TEST_F(FileReceiveTest, RequestAndStartAcknowledgementBytes) {
    ASSERT_TRUE(fetch("Master.TRN", 100));
    ASSERT_GE(hid.written.size(), 2u);
    // "a" and "MASTER.TRN"; the closing "#" is not sent.
    EXPECT_EQ(hid.payload(0), hexBytes("61 4D 41 53 54 45 52 2E 54 52 4E") + std::string(53, '\0'));
    // 29 "k".
    EXPECT_EQ(hid.payload(1), std::string(29, 'k') + std::string(35, '\0'));
    EXPECT_EQ(hid.written.size(), 2u); // nothing goes back while data arrives
    EXPECT_EQ(readBytes(folder.path() / "MASTER.TRN"), content);
    EXPECT_FALSE(fs::exists(folder.path() / "Master.TRN"));
    EXPECT_TRUE(probe.inData().empty());
    EXPECT_TRUE(probe.outData().empty());
}

TEST_F(FileReceiveTest, FilesOfEverySizeArriveByteForByte) {
    struct Case {
        std::size_t size;
        std::int32_t reports;
    };
    for (const Case c : {Case{59, 1}, Case{100, 2}, Case{118, 2}, Case{1, 1}, Case{60, 2},
                         Case{59 * 300 + 7, 301}}) {
        SCOPED_TRACE(c.size);
        MemoryProgressBar bar;
        ASSERT_TRUE(fetch("AGENT.DAT", c.size, &bar));
        EXPECT_EQ(readBytes(folder.path() / "AGENT.DAT"), content);
        EXPECT_EQ(probe.packetCount(), c.reports);
        EXPECT_EQ(bar.maximum(), c.reports);
        EXPECT_EQ(bar.value(), c.reports);
    }
}

TEST_F(FileReceiveTest, SizeZeroGivesAnEmptyFileWithoutWaitingForData) {
    writeBytes(path("STATUS.DAT"), "old");
    const auto start = clock.monotonicNow();
    ASSERT_TRUE(fetch("STATUS.DAT", 0));
    EXPECT_EQ(readBytes(path("STATUS.DAT")), "");
    EXPECT_EQ(hid.readCount, 1u);
    EXPECT_LT(clock.monotonicNow() - start, 2s);
    EXPECT_EQ(probe.packetCount(), 0);
}

TEST_F(FileReceiveTest, RepeatsAndNumberZeroAreDropped) {
    terminal.faults.repeatSequence = true; // 1, 1, 2
    ASSERT_TRUE(fetch("MASTER.DAT", 118));
    EXPECT_EQ(readBytes(path("MASTER.DAT")), content);

    terminal.faults.repeatSequence = false;
    terminal.faults.sequence = {1, 0, 2};
    ASSERT_TRUE(fetch("MASTER.DAT", 118));
    EXPECT_EQ(readBytes(path("MASTER.DAT")), content);
}

// A report sent again after later ones is dropped like a repeat; the file stays whole.
TEST_F(FileReceiveTest, AnEarlierReportSentAgainIsDropped) {
    terminal.faults.sequence = {1, 2, 1, 3};
    ASSERT_TRUE(fetch("MASTER.DAT", 177));
    EXPECT_EQ(readBytes(path("MASTER.DAT")), content);
}

// A gap would put bytes in the wrong place of the file: the older copy stays.
TEST_F(FileReceiveTest, SequenceOutOfOrderFails) {
    writeBytes(path("MASTER.DAT"), "older copy");
    terminal.faults.skipSequence = true; // 1, 3
    EXPECT_FALSE(fetch("MASTER.DAT", 177));
    expectFile("MASTER.DAT", "older copy");

    terminal.faults.skipSequence = false;
    terminal.faults.sequence = {1, 2, 1};
    EXPECT_FALSE(fetch("MASTER.DAT", 177));
    expectFile("MASTER.DAT", "older copy");

    for (const auto& sequence : std::vector<std::vector<std::int32_t>>{
             {2, 1}, {1, 2, 4, 3}, {-1}, {1, INT32_MIN}, {INT32_MAX}}) {
        terminal.faults.sequence = sequence;
        EXPECT_FALSE(fetch("MASTER.DAT", 177));
    }
    expectFile("MASTER.DAT", "older copy");
    EXPECT_TRUE(probe.inData().empty());
    EXPECT_TRUE(probe.outData().empty());
}

TEST_F(FileReceiveTest, OtherReportsAmongTheDataAreSkipped) {
    scriptOnly();
    content = patternBytes(100);
    hid.feed(std::string(64, 'x')); // no "s"
    hid.feed("k#1#");
    hid.feed("s100#");
    hid.feed(std::string(64, '\0'));
    hid.feed("k");
    hid.feed(usbDataReport(1, content.substr(0, 59)));
    hid.feed("D" + std::string(63, '\xFF'));
    hid.feed(usbDataReport(1, content.substr(0, 59)));
    hid.feed(usbDataReport(0, std::string(59, 'Z')));
    hid.feed(usbDataReport(2, content.substr(59)));
    ASSERT_TRUE(usb.ReadFromUSB("AGENT.DAT", folder.str(), nullptr));
    EXPECT_EQ(readBytes(path("AGENT.DAT")), content);
}

TEST_F(FileReceiveTest, BadSizeRepliesFailWithoutAFile) {
    scriptOnly();
    for (const std::string& reply : std::vector<std::string>{
             "s", "s#", "s  #", "sabc#", "s-5#", "s+5#", "s1 2#", "s2147483648#",
             "s99999999999999999999#", "#s12", std::string("xs1\0#", 5)}) {
        SCOPED_TRACE(reply);
        hid.feed(reply);
        const auto start = clock.monotonicNow();
        EXPECT_FALSE(usb.ReadFromUSB("AGENT.DAT", folder.str(), nullptr));
        EXPECT_LT(clock.monotonicNow() - start, 2s); // ends at once, no wait
        EXPECT_FALSE(fs::exists(path("AGENT.DAT")));
        EXPECT_TRUE(probe.inData().empty());
    }
}

TEST_F(FileReceiveTest, SizeMayStandBetweenBlanksAndLeadingZeros) {
    scriptOnly();
    content = patternBytes(12);
    hid.feed("xyz s 012 #");
    hid.feed(usbDataReport(1, content));
    ASSERT_TRUE(usb.ReadFromUSB("AGENT.DAT", folder.str(), nullptr));
    EXPECT_EQ(readBytes(path("AGENT.DAT")), content);
}

TEST_F(FileReceiveTest, SizeWithoutHashFails) {
    terminal.faults.sizeWithoutHash = true;
    EXPECT_FALSE(fetch("AGENT.DAT", 64));
    EXPECT_FALSE(fs::exists(path("AGENT.DAT")));
}

TEST_F(FileReceiveTest, LargestSizeIsAcceptedAndEndsWhenDataStops) {
    scriptOnly();
    hid.feed("s2147483647#");
    hid.feed(usbDataReport(1, std::string(59, 'A')));
    EXPECT_FALSE(usb.ReadFromUSB("AGENT.DAT", folder.str(), nullptr));
    EXPECT_EQ(probe.packetCount(), 36398028); // 2147483647 / 59, rounded up
    expectFile("AGENT.DAT", std::nullopt);
}

TEST_F(FileReceiveTest, NoSizeReplyFailsWithoutAFile) {
    terminal.faults.noSizeReply = true;
    const auto start = clock.monotonicNow();
    EXPECT_FALSE(fetch("AGENT.DAT", 64));
    EXPECT_GT(clock.monotonicNow() - start, 6s);
    EXPECT_FALSE(fs::exists(path("AGENT.DAT")));

    // A file the terminal does not have is not answered either.
    terminal.faults.noSizeReply = false;
    EXPECT_FALSE(usb.ReadFromUSB("NOSUCH.DAT", folder.str(), nullptr));
    EXPECT_EQ(terminal.requests.back(), "NOSUCH.DAT");
}

// Silence mid-file (the terminal gone) and a disk that cannot take the whole file fail the
// receive; the older copy stays and nothing of the new file is left. Then the file arrives.
TEST_F(FileReceiveTest, AFailedReceiveKeepsTheOlderCopy) {
    writeBytes(path("MASTER.TRN"), "older copy");
    terminal.faults.stopAfterDataReports = 2;
    MemoryProgressBar bar;
    EXPECT_FALSE(fetch("MASTER.TRN", 59 * 5, &bar));
    EXPECT_EQ(bar.value(), 2);
    expectFile("MASTER.TRN", "older copy");
    EXPECT_TRUE(probe.inData().empty());

    terminal.faults.stopAfterDataReports = UsbTerminalFaults::kNever;
    {
        // All 295 bytes sit in the stream's buffer until it is closed.
        const FileSizeLimit diskFull(100);
        EXPECT_FALSE(fetch("MASTER.TRN", 59 * 5));
    }
    expectFile("MASTER.TRN", "older copy");
    {
        const FileSizeLimit noSpaceAtAll(0);
        EXPECT_FALSE(fetch("STATUS.DAT", 1));
    }
    expectFile("STATUS.DAT", std::nullopt);

    ASSERT_TRUE(fetch("MASTER.TRN", 59 * 5));
    expectFile("MASTER.TRN", content);
}

// Each read follows a check of the time-out and one yield (10 ms), so reads fall on 10, 20, ...
// 5010 ms: the check at exactly 5 s lets one more read happen, the one at 5.01 s ends the wait.
TEST_F(FileReceiveTest, WaitsEndAfterFiveSeconds) {
    terminal.faults.replyDelay = 5010ms;
    EXPECT_TRUE(fetch("AGENT.DAT", 64));
    terminal.faults.replyDelay = 5011ms;
    fs::remove(path("AGENT.DAT"));
    EXPECT_FALSE(fetch("AGENT.DAT", 64));
    EXPECT_FALSE(fs::exists(path("AGENT.DAT")));

    // The late reply is still queued when the next request goes out; it is dropped then.
    terminal.faults.replyDelay = 0ms;
    terminal.faults.dataGap = 5010ms;
    EXPECT_TRUE(fetch("AGENT.DAT", 59 * 3));
    expectFile("AGENT.DAT", content);
    terminal.faults.dataGap = 5011ms;
    terminal.files["AGENT.DAT"] = std::string(59 * 3, 'N'); // a newer copy that does not arrive
    EXPECT_FALSE(usb.ReadFromUSB("AGENT.DAT", folder.str(), nullptr));
    expectFile("AGENT.DAT", content);
}

// The terminal sent MASTER.TRN's last data report twice, and that report holds "s1#": the copy
// still queued when MASTER.DAT is requested is not MASTER.DAT's size reply.
TEST_F(FileReceiveTest, AReportQueuedBeforeARequestIsNotItsAnswer) {
    std::string transactions = patternBytes(100); // its only "s" is byte 16, in report 1
    transactions.replace(70, 3, "s1#");           // report 2 holds bytes 59 to 99
    terminal.files["MASTER.TRN"] = transactions;
    terminal.faults.repeatLastDataReport = true;
    ASSERT_TRUE(usb.ReadFromUSB("Master.TRN", folder.str(), nullptr));
    expectFile("MASTER.TRN", transactions);

    MemoryProgressBar bar;
    ASSERT_TRUE(fetch("MASTER.DAT", 150, &bar));
    expectFile("MASTER.DAT", content);
    EXPECT_EQ(probe.packetCount(), 3);
    EXPECT_EQ(hid.queuedReportsTaken, 1u);

    // A device that keeps sending holds the request up for a bounded number of reads only.
    struct Chatter final : HidPeer {
        void onOutputReport(const std::string&) override {}
        bool nextInputReport(std::string& payload) override {
            payload = "k";
            return ++sent <= 100000;
        }
        int sent = 0;
    } chatter;
    hid.peer = &chatter;
    const std::size_t before = hid.queuedReadCount;
    EXPECT_FALSE(usb.ReadFromUSB("AGENT.DAT", folder.str(), nullptr));
    EXPECT_EQ(hid.queuedReadCount - before, static_cast<std::size_t>(usb::kStaleReportLimit));
    EXPECT_EQ(hid.payload(hid.written.size() - 1), padded("aAGENT.DAT"));
    hid.peer = nullptr;
}

TEST_F(FileReceiveTest, FolderThatCannotTakeTheFileFails) {
    EXPECT_FALSE(usb.ReadFromUSB("AGENT.DAT", folder.str() + "/missing", nullptr));
    terminal.files["AGENT.DAT"] = "abc";
    EXPECT_FALSE(usb.ReadFromUSB("AGENT.DAT", folder.str() + "/missing", nullptr));
    EXPECT_TRUE(probe.inData().empty());
    EXPECT_TRUE(probe.outData().empty());
}

} // namespace
} // namespace kelvarin::test
