#include "UsbFixture.h"
#include "usb/UsbMessages.h"

#include <chrono>
#include <filesystem>

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

// A gap would put bytes in the wrong place of the file.
TEST_F(FileReceiveTest, SequenceOutOfOrderFails) {
    terminal.faults.skipSequence = true; // 1, 3
    EXPECT_FALSE(fetch("MASTER.DAT", 177));
    EXPECT_EQ(readBytes(path("MASTER.DAT")), content.substr(0, 59));

    terminal.faults.skipSequence = false;
    terminal.faults.sequence = {1, 2, 1};
    EXPECT_FALSE(fetch("MASTER.DAT", 177));
    EXPECT_EQ(readBytes(path("MASTER.DAT")), content.substr(0, 118));

    for (const auto& sequence : std::vector<std::vector<std::int32_t>>{
             {2, 1}, {1, 2, 4, 3}, {-1}, {1, INT32_MIN}, {INT32_MAX}}) {
        terminal.faults.sequence = sequence;
        EXPECT_FALSE(fetch("MASTER.DAT", 177));
    }
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
    EXPECT_EQ(readBytes(path("AGENT.DAT")), std::string(59, 'A'));
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

TEST_F(FileReceiveTest, SilenceBetweenDataReportsKeepsWhatArrived) {
    terminal.faults.stopAfterDataReports = 2;
    MemoryProgressBar bar;
    EXPECT_FALSE(fetch("MASTER.TRN", 59 * 5, &bar));
    EXPECT_EQ(readBytes(path("MASTER.TRN")), content.substr(0, 118));
    EXPECT_EQ(bar.value(), 2);
    EXPECT_TRUE(probe.inData().empty());
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
    while (terminal.pendingReplies() > 0) // the late reply would answer the next request
        probe.ReadReport();

    terminal.faults.replyDelay = 0ms;
    terminal.faults.dataGap = 5010ms;
    EXPECT_TRUE(fetch("AGENT.DAT", 59 * 3));
    EXPECT_EQ(readBytes(path("AGENT.DAT")), content);
    terminal.faults.dataGap = 5011ms;
    EXPECT_FALSE(fetch("AGENT.DAT", 59 * 3));
    EXPECT_EQ(readBytes(path("AGENT.DAT")), content.substr(0, 59));
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
