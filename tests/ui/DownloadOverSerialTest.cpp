// The Download command over the serial link: the real window, its real serial control on COM1
// and the simulated terminal on the other side of a pseudo-terminal, on the real clock.
#include "TransferWindowRig.h"

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

const std::string kUploadedOnly = std::string(1, '\x02');

// Nine accounts: MASTER.DAT (9 x 128 bytes) takes two packets.
constexpr int kAccounts = 9;

TEST(DownloadOverSerialTest, SendsTheClockThenTheFiveConvertedFilesAndUndoesTheWaitState) {
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(kAccounts));
    r.sim.files["STATUS.DAT"] = kUploadedOnly;
    std::map<std::string, std::string> converted;
    int progressAtSuccessBox = -1;
    r.boxes.onShow = [&](const std::string& text) {
        if (text == kDownloadConfirmation) {
            converted = r.terminalFiles();
            EXPECT_EQ(r.window->lblStatus->text(), "Downloading Please wait.....");
            EXPECT_FALSE(r.window->lblStatus->isHidden());
            EXPECT_TRUE(r.buttonsDisabled());
        }
        if (text == "Data Downloaded to Vorixan Successfully")
            progressAtSuccessBox = r.window->ccrpPB->value();
    };
    r.showWindow();
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal();

    r.window->CmdDownload->click();
    r.stopTerminal();

    r.expectDownloadRanThrough(converted);
    EXPECT_EQ(converted["MASTER.DAT"].size(), kAccounts * 128u);
    EXPECT_EQ(progressAtSuccessBox, 100);

    frmConverterMain& w = *r.window;
    EXPECT_EQ(w.ccrpPB->value(), 0);
    EXPECT_EQ(w.txtFile->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.txtFile);
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(w.lblStatus->isHidden());
    EXPECT_EQ(w.lblStatus->text(), "");
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"STATUS.DAT", "ABCD.MST", "TEMP.DAT", "AGENT.DAT",
                                     "ACCTYPE.DAT", "BANK.COL", "ACC_DETA.DAT"}));
    EXPECT_EQ(mdlLoadSetup::GetAppPath(), r.dataFolder().string() + "/");
    EXPECT_EQ(w.Mode, "COM");
}

TEST(DownloadOverSerialTest, AFailedStatusFetchStopsWithoutTheOldStatusFile) {
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(1));
    // An old STATUS.DAT that would let the download go on: the fetch must not rely on it.
    writeBytes(r.dataFolder() / "STATUS.DAT", kUploadedOnly);
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal(); // it has no STATUS.DAT: "File Not Found"

    r.window->CmdDownload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, "Validation of collection status failed. cannot download at this time ",
                MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin");
    EXPECT_EQ(r.sim.commands, std::vector<std::string>{"1 STATUS.DAT"});
    EXPECT_TRUE(r.dataFiles().empty());
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
    EXPECT_EQ(mdlLoadSetup::GetAppPath(), r.dataFolder().string());
}

// The uploaded bit clear with every other bit set, and a status file without any byte.
class NotUploadedOverSerial : public ::testing::TestWithParam<std::string> {};

TEST_P(NotUploadedOverSerial, RefusesAndClearsTheMasterFileBox) {
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(1));
    r.sim.files["STATUS.DAT"] = GetParam();
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal();

    r.window->CmdDownload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, "Collection does not uploded. Cannot download at this time",
                MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.sim.commands, std::vector<std::string>{"1 STATUS.DAT"});
    EXPECT_EQ(r.dataFiles(), std::set<std::string>{"STATUS.DAT"});
    EXPECT_EQ(r.window->txtFile->text(), "");
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(StatusFiles, NotUploadedOverSerial,
                         ::testing::Values(std::string(1, '\xFD'), std::string()));

TEST(DownloadOverSerialTest, CancelAtTheConfirmationSendsNothingAndDeletesMasterDat) {
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(2));
    r.sim.files["STATUS.DAT"] = kUploadedOnly;
    r.boxes.answers = {MsgAnswer::Cancel};
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal();

    r.window->CmdDownload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, kDownloadConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    EXPECT_EQ(r.sim.commands, std::vector<std::string>{"1 STATUS.DAT"});
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"STATUS.DAT", "ABCD.MST", "TEMP.DAT", "AGENT.DAT",
                                     "ACCTYPE.DAT", "BANK.COL", "ACC_DETA.DAT"}));
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
}

struct SendFailure {
    const char* name;
    bool refuseEverySend;
    const char* refusedFile;
    int progressLeft;                  // the last value the DOWNLOAD action set
    std::vector<std::string> received; // files the terminal took before the refusal
};

void PrintTo(const SendFailure& f, std::ostream* os) {
    *os << f.name;
}

class SendFailureOverSerial : public ::testing::TestWithParam<SendFailure> {};

TEST_P(SendFailureOverSerial, ShowsTheFailureAndDeletesTheCopy) {
    const SendFailure& f = GetParam();
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(2));
    r.sim.files["STATUS.DAT"] = kUploadedOnly;
    r.sim.faults.refuseSend = f.refuseEverySend;
    r.sim.faults.refuseSendOf = f.refusedFile;
    std::map<std::string, std::string> converted;
    r.boxes.onShow = [&](const std::string& text) {
        if (text == kDownloadConfirmation)
            converted = r.terminalFiles();
    };
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal();

    r.window->CmdDownload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(1, "Downloaded to Vorixan failed", MsgIcon::Information, MsgButtons::Ok,
                "Kelvarin_Ver.3");
    r.sim.files.erase("STATUS.DAT");
    std::vector<std::string> received;
    for (const auto& [name, bytes] : r.sim.files) {
        received.push_back(name);
        EXPECT_TRUE(bytes == converted[name]) << name;
    }
    std::vector<std::string> expected = f.received;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(received, expected);
    EXPECT_EQ(r.window->ccrpPB->value(), f.progressLeft);
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"STATUS.DAT", "TEMP.DAT", "MASTER.DAT", "AGENT.DAT",
                                     "ACCTYPE.DAT", "BANK.COL", "ACC_DETA.DAT"}));
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_TRUE(r.buttonsEnabled());
}

INSTANTIATE_TEST_SUITE_P(Refusals, SendFailureOverSerial,
                         ::testing::Values(SendFailure{"EverySendRefusedWithE7", true, "", 20, {}},
                                           SendFailure{"BankColRefused",
                                                       false,
                                                       "BANK.COL",
                                                       90,
                                                       {"MASTER.DAT", "AGENT.DAT", "ACC_DETA.DAT",
                                                        "ACCTYPE.DAT"}}),
                         [](const auto& p) { return std::string(p.param.name); });

// The box, then the window ready for another try; nothing is deleted and the progress bar keeps
// its value.
TEST(DownloadOverSerialTest, ARunTimeErrorDuringTheTransferRestoresTheWindowOnly) {
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(2));
    r.sim.files["STATUS.DAT"] = kUploadedOnly;
    // The port fails while the PC waits out the terminal's quiet refusal check for MASTER.DAT,
    // the first wait of the DOWNLOAD action (progress 20).
    r.sim.faults.quietRefusalCheck = true;
    r.pump.onYield = [&] {
        if (r.window->ccrpPB->value() >= 20 && r.window->MSComm1().portOpen())
            r.window->MSComm1().setPortOpen(false);
    };
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal();

    r.window->CmdDownload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(1, "Error No: 8012     Operation valid only when the port is open",
                MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    frmConverterMain& w = *r.window;
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(w.lblStatus->isHidden());
    EXPECT_EQ(w.txtFile->text(), "ABCD.MST");
    EXPECT_EQ(w.ccrpPB->value(), 20);
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"STATUS.DAT", "ABCD.MST", "TEMP.DAT", "MASTER.DAT",
                                     "AGENT.DAT", "ACCTYPE.DAT", "BANK.COL", "ACC_DETA.DAT"}));
    EXPECT_FALSE(ModTrans::IsTransferFileOpen());
    EXPECT_FALSE(w.commandRunning());

    // Exit works again.
    w.cmdCancel->click();
    EXPECT_EQ(r.endCalls, 1);
}

struct EndCase {
    const char* name;
    bool byExit;
    bool busyStream; // else a silent terminal
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}

// Exit answered Yes, or the window closed, while the status fetch waits for a silent terminal,
// or for the ready '5' of a busy terminal that keeps sending other bytes: the busy wait too
// lets the window handle the close while bytes come. Just before, the port settings frame,
// left open with another port typed in, has its three buttons clicked: while a command runs
// they are ignored and the port the command uses stays open.
class EndDuringAWait : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndDuringAWait, TheCommandStopsAtItsNextWaitAndShowsNothingMore) {
    const EndCase& c = GetParam();
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(1));
    r.sim.files["STATUS.DAT"] = kUploadedOnly;
    r.sim.faults.silent = !c.busyStream;
    r.sim.faults.busyStreamBeforePacket = c.busyStream ? 1 : 0;
    frmConverterMain& w = *r.window;
    w.cmdSearchPort->click();
    w.txtPortSetup->setText("2");
    int yieldsAfterEnd = 0;
    bool endedWhileBusy = false;
    r.pump.onYield = [&] {
        if (r.endCalls > 0) {
            ++yieldsAfterEnd;
            return;
        }
        if (c.busyStream && !r.sim.busyStreaming())
            return;
        w.cmdPortOK->click();
        w.cmdSearchPort->click();
        w.cmdClose->click();
        endedWhileBusy = r.sim.busyStreaming();
        if (c.byExit)
            w.cmdCancel->click(); // Yes is clicked in the box
        else
            w.close();
    };
    w.txtFile->setText("ABCD.MST");
    r.startTerminal();

    w.CmdDownload->click();

    EXPECT_EQ(r.endCalls, 1);
    EXPECT_EQ(yieldsAfterEnd, 0);
    EXPECT_EQ(endedWhileBusy, c.busyStream);
    if (c.byExit) {
        ASSERT_EQ(r.boxes.shown.size(), 1u);
        EXPECT_EQ(r.boxes.shown[0].text, "Do You Want to Exit ?");
    } else {
        EXPECT_TRUE(r.boxes.shown.empty());
    }
    EXPECT_FALSE(w.commandRunning());
    EXPECT_FALSE(ModTrans::IsTransferFileOpen());
    EXPECT_TRUE(w.MSComm1().portOpen());
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "2");
    EXPECT_TRUE(w.cmdPortOK->isEnabled());
    EXPECT_EQ(readBytes(r.program.path() / "TRANS.DAT"), "157600 ");
}

INSTANTIATE_TEST_SUITE_P(ExitOrClose, EndDuringAWait,
                         ::testing::Values(EndCase{"ExitYes", true, false},
                                           EndCase{"WindowClosed", false, false},
                                           EndCase{"WindowClosedWhileBusy", false, true}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace kelvarin::test
