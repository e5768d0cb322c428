#include "UsbFixture.h"

#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace kelvarin::test {
namespace {

using namespace std::chrono_literals;

class FileSendTest : public UsbFixture {
protected:
    // Writes a file of `size` bytes into the folder, sends it and checks what arrived.
    bool sendFile(const std::string& name, std::size_t size, ProgressBar* bar = nullptr) {
        content = patternBytes(size);
        writeBytes(path(name), content);
        return usb.WriteToUSB(name, folder.str(), bar);
    }
    std::string dataPayload(std::size_t offset, std::size_t length) const {
        return padded("d" + content.substr(offset, length));
    }
    std::string content;
};

TEST_F(FileSendTest, CommandWordsGoOutAsOneLetterWithoutWaiting) {
    const auto start = clock.monotonicNow();
    EXPECT_TRUE(usb.WriteToUSB("shutdown", "", nullptr));
    EXPECT_EQ(clock.monotonicNow() - start, 1s); // the opening pause, nothing more
    EXPECT_EQ(hid.readCount, 0u);
    EXPECT_EQ(hid.payload(0), hexBytes("73") + std::string(63, '\0'));

    EXPECT_TRUE(usb.WriteToUSB("REMOVEDATA", "", nullptr));
    EXPECT_TRUE(usb.WriteToUSB("STATUSINFO", "", nullptr));
    EXPECT_TRUE(usb.WriteToUSB("FormatMac", "", nullptr));
    EXPECT_TRUE(usb.WriteToUSB("UNLINKFILES", "", nullptr));
    EXPECT_EQ(terminal.commands, "suMfu");
    EXPECT_EQ(hid.written.size(), 5u);
}

TEST_F(FileSendTest, ClockReplyDecidesTheResult) {
    EXPECT_TRUE(usb.WriteToUSB("DATEANDTIME-06122026143005", "", nullptr));
    terminal.faults.refuseClock = true;
    hid.feedWaiting("tSuccess"); // queued before the request: not this clock's answer
    EXPECT_FALSE(usb.WriteToUSB("DATEANDTIME-06122026143005", "", nullptr));
    // A terminal that never answers the clock does not stop the download.
    terminal.faults.silentClock = true;
    const auto start = clock.monotonicNow();
    EXPECT_TRUE(usb.WriteToUSB("DATEANDTIME-06122026143005", "", nullptr));
    EXPECT_GT(clock.monotonicNow() - start, 6s);
    EXPECT_EQ(terminal.clockDigits.size(), 3u);
}

TEST_F(FileSendTest, ClockDigitsAreTakenAfterTheDashWithoutBlanks) {
    usb.WriteToUSB("dateandtime- 06122026143005 ", "", nullptr);
    EXPECT_EQ(terminal.clockDigits, std::vector<std::string>{"06122026143005"});
}

TEST_F(FileSendTest, SmallFilesAreCutInto63ByteReports) {
    struct Case {
        std::size_t size;
        std::size_t reports;
    };
    for (const Case c : {Case{63, 1}, Case{64, 2}, Case{126, 2}, Case{1, 1}}) {
        SCOPED_TRACE(c.size);
        hid.written.clear();
        MemoryProgressBar bar;
        ASSERT_TRUE(sendFile("MASTER.DAT", c.size, &bar));
        ASSERT_EQ(hid.written.size(), 1 + c.reports);
        EXPECT_EQ(hid.payload(0), padded("bMASTER.DAT#" + std::to_string(c.size)));
        for (std::size_t i = 0; i < c.reports; ++i)
            EXPECT_EQ(hid.payload(1 + i), dataPayload(63 * i, 63));
        EXPECT_EQ(terminal.files["MASTER.DAT"], content);
        EXPECT_EQ(terminal.acksAfter.back(), 0);
        EXPECT_EQ(bar.maximum(), static_cast<int>(c.reports));
        EXPECT_EQ(bar.value(), static_cast<int>(c.reports));
        EXPECT_EQ(bar.minimum(), 0);
    }
}

TEST_F(FileSendTest, LowerCaseNameIsSentUpperCasedFromTheProgramFolder) {
    content = patternBytes(10);
    writeBytes(path("BANK.COL"), content);
    EXPECT_TRUE(usb.WriteToUSB("bank.col", "", nullptr));
    EXPECT_EQ(terminal.files["BANK.COL"], content);
}

TEST_F(FileSendTest, TheTerminalAcknowledgesEvery260thReportButTheLast) {
    ASSERT_TRUE(sendFile("ACC_DETA.DAT", 260 * 63));
    EXPECT_EQ(hid.written.size(), 1u + 260u);
    EXPECT_EQ(terminal.acksAfter, (std::vector<std::int64_t>{0}));
    EXPECT_EQ(terminal.files["ACC_DETA.DAT"], content);

    hid.written.clear();
    ASSERT_TRUE(sendFile("ACC_DETA.DAT", 261 * 63));
    EXPECT_EQ(hid.written.size(), 1u + 261u);
    EXPECT_EQ(terminal.acksAfter, (std::vector<std::int64_t>{0, 0, 260}));
    EXPECT_EQ(terminal.files["ACC_DETA.DAT"], content);

    ASSERT_TRUE(sendFile("ACC_DETA.DAT", 3 * 260 * 63 + 5));
    EXPECT_EQ(terminal.acksAfter, (std::vector<std::int64_t>{0, 0, 260, 0, 260, 520, 780}));
    EXPECT_EQ(terminal.files["ACC_DETA.DAT"], content);
}

TEST_F(FileSendTest, TheSenderWaitsOnlyWhereAnAcknowledgementIsDue) {
    terminal.faults.noBlockAck = true;
    // 260 reports: no wait after the file's last report.
    EXPECT_TRUE(sendFile("MASTER.DAT", 260 * 63));

    // 261 reports: report 261 waits for the acknowledgement of report 260, which never comes.
    hid.written.clear();
    MemoryProgressBar bar;
    const auto start = clock.monotonicNow();
    EXPECT_FALSE(sendFile("MASTER.DAT", 261 * 63, &bar));
    EXPECT_GT(clock.monotonicNow() - start, 6s);
    EXPECT_EQ(hid.written.size(), 1u + 260u);
    EXPECT_EQ(bar.value(), 260);
    EXPECT_TRUE(probe.inData().empty());
    EXPECT_TRUE(probe.outData().empty());
}

TEST_F(FileSendTest, NoHeaderAcknowledgementSendsNoData) {
    terminal.faults.noHeaderAck = true;
    hid.feedWaiting("k"); // queued before the header: not its acknowledgement
    MemoryProgressBar bar;
    bar.setMaximum(77);
    EXPECT_FALSE(sendFile("AGENT.DAT", 64, &bar));
    EXPECT_EQ(hid.written.size(), 1u);
    EXPECT_EQ(bar.maximum(), 77); // the bar is not touched before the header is taken
}

TEST_F(FileSendTest, OtherReportsWhileWaitingForTheAcknowledgementAreSkipped) {
    terminal.faults.replyDelay = 100ms;
    hid.feed(std::string(64, '\0'));
    hid.feed("s12#");
    hid.feed(hexBytes("FF 00 01 02 03"));
    EXPECT_TRUE(sendFile("AGENT.DAT", 64));
    EXPECT_EQ(terminal.files["AGENT.DAT"], content);
}

TEST_F(FileSendTest, MissingFileShowsABoxAndSendsNothing) {
    EXPECT_FALSE(usb.WriteToUSB("MASTER.DAT", folder.str(), nullptr));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "File not found");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_TRUE(hid.written.empty());

    // A folder of that name is no file either.
    std::filesystem::create_directory(path("AGENT.DAT"));
    EXPECT_FALSE(usb.WriteToUSB("AGENT.DAT", folder.str(), nullptr));
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(FileSendTest, EmptyFileIsRefusedSilently) {
    EXPECT_FALSE(sendFile("BANK.COL", 0));
    EXPECT_TRUE(hid.written.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

// The last check of a wait that finds exactly 5 seconds gone still reads once more; a reply
// that arrives after that read is too late. The pump moves the clock 10 ms per yield and the
// sender yields twice per read, so reads fall on 10, 30, ..., 5010 ms.
TEST_F(FileSendTest, AcknowledgementWaitsEndAfterFiveSeconds) {
    terminal.faults.replyDelay = 5010ms;
    EXPECT_TRUE(sendFile("AGENT.DAT", 64));
    terminal.faults.replyDelay = 5011ms;
    EXPECT_FALSE(sendFile("AGENT.DAT", 64));

    // The block's acknowledgement: sending starts after the 1 s pause and the header's
    // acknowledgement (read at 10 ms, then one more yield); 260 reports yield 260 times.
    terminal.faults.noHeaderAck = true;
    terminal.faults.noBlockAck = true;
    for (const auto late : {5010ms, 5011ms}) {
        const auto begin = clock.monotonicNow();
        hid.feedAt(begin + 1s, "k"); // after the header
        hid.feedAt(begin + 1s + 20ms + 2600ms + late, "k");
        EXPECT_EQ(sendFile("AGENT.DAT", 261 * 63), late == 5010ms);
        while (hid.waiting() > 0)
            probe.ReadReport();
    }
}

TEST_F(FileSendTest, ClockReplyWaitEndsAfterFiveSeconds) {
    terminal.faults.refuseClock = true;
    terminal.faults.replyDelay = 5010ms;
    EXPECT_FALSE(usb.WriteToUSB("DATEANDTIME-06122026143005", "", nullptr)); // read in time
    terminal.faults.replyDelay = 5011ms;
    EXPECT_TRUE(usb.WriteToUSB("DATEANDTIME-06122026143005", "", nullptr)); // too late
}

TEST_F(FileSendTest, UnreadableFileGivesFalse) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    writeBytes(path("MASTER.DAT"), "abc");
    std::filesystem::permissions(path("MASTER.DAT"), std::filesystem::perms::none);
    EXPECT_FALSE(usb.WriteToUSB("MASTER.DAT", folder.str(), nullptr));
    EXPECT_TRUE(hid.written.empty());
}

} // namespace
} // namespace kelvarin::test
