// The port's driver refuses a write now and then (EAGAIN), as a USB CDC-ACM adapter does once
// its 16 write buffers are in use: the real window, its real serial control on COM1 and the
// simulated terminal behind a pseudo-terminal. The refused bytes stay queued and leave later,
// so both commands end as they do without the refusals.
#include "RefusedWrites.h"

#include "TerminalUploadFiles.h"
#include "TransferWindowRig.h"

namespace kelvarin::test {
namespace {

const std::string kUploadedOnly = std::string(1, '\x02');

// A one-byte write takes one of the adapter's buffers; the seventeenth finds none free.
constexpr int kRefuseEvery = 17;

void expectPortKept(SerialWindowRig& r, const RefusedWrites& refusals) {
    EXPECT_GT(refusals.refused(), 0) << "the driver never refused a write";
    EXPECT_TRUE(r.window->MSComm1().portOpen());
    EXPECT_FALSE(r.window->MSComm1().linkLost());
    EXPECT_TRUE(r.buttonsEnabled());
}

TEST(RefusedWritesTest, ADownloadSendsTheClockAndEveryFileWhole) {
    SerialWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(9));
    r.sim.files["STATUS.DAT"] = kUploadedOnly;
    std::map<std::string, std::string> converted;
    r.boxes.onShow = [&](const std::string& text) {
        if (text == kDownloadConfirmation)
            converted = r.terminalFiles();
    };
    const RefusedWrites refusals(r.pty.slavePath(), kRefuseEvery);
    r.showWindow();
    r.window->txtFile->setText("ABCD.MST");
    r.startTerminal();

    r.window->CmdDownload->click();
    r.stopTerminal();

    r.expectDownloadRanThrough(converted);
    EXPECT_EQ(converted["MASTER.DAT"].size(), 9 * 128u);
    // Every packet of MASTER.DAT alone is over a hundred one-byte writes.
    EXPECT_GT(refusals.writes(), 10 * kRefuseEvery);
    expectPortKept(r, refusals);
}

TEST(RefusedWritesTest, AnUploadFetchesTheCollectionAndWritesTheTextFile) {
    SerialWindowRig r;
    r.sim.files["AGENT.DAT"] = upload::agentFile();
    r.sim.files["MASTER.TRN"] = upload::transactionFile();
    r.sim.files["MASTER.DAT"] = upload::masterFile();
    const RefusedWrites refusals(r.pty.slavePath(), kRefuseEvery);
    r.showWindow();
    r.startTerminal();

    r.window->cmdUpload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(0, upload::kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    r.expectBox(1, upload::kSuccess, MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.sim.commands,
              (std::vector<std::string>{"1 AGENT.DAT", "1 MASTER.DAT", "1 MASTER.TRN"}));
    EXPECT_TRUE(r.dataBytes("A1.TXT") == upload::kUploadFile) << r.dataBytes("A1.TXT");
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", "A1.TXT"}));
    EXPECT_TRUE(r.dataBytes("AGENT.DAT") == upload::agentFile());
    EXPECT_TRUE(r.dataBytes("MASTER.DAT") == upload::masterFile());
    expectPortKept(r, refusals);
}

} // namespace
} // namespace kelvarin::test
