// The Upload command over the serial link: the real window, its real serial control on COM1 and
// the simulated terminal on the other side of a pseudo-terminal, on the real clock.
#include "FsyncFake.h"
#include "TerminalUploadFiles.h"
#include "TransferWindowRig.h"
#include "support/CommaLocale.h"

#include <mutex>
#include <optional>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;
using namespace upload;

const std::vector<std::string> kUploadCommands = {"1 AGENT.DAT", "1 MASTER.DAT", "1 MASTER.TRN"};

void putCollection(SerialWindowRig& r) {
    r.sim.files["AGENT.DAT"] = agentFile();
    r.sim.files["MASTER.TRN"] = transactionFile();
    r.sim.files["MASTER.DAT"] = masterFile();
}

// The same bytes whatever the user's locale: run in "C" and under a decimal comma.
class UploadOverSerial : public ::testing::TestWithParam<bool> {};

TEST_P(UploadOverSerial, ReplacesAnEarlierUploadFileAndDeletesMasterTrn) {
    const bool decimalComma = GetParam();
    SerialWindowRig r;
    putCollection(r);
    writeBytes(r.dataFolder() / "A1.TXT", "A1,9,999.00\r\n" + std::string(1000, 'x') + "\r\n");
    int progressAtSuccess = -1;
    r.boxes.onShow = [&](const std::string& text) {
        if (text == kConfirmation) {
            EXPECT_FALSE(r.window->CmdDownload->isEnabled());
            EXPECT_TRUE(r.window->cmdUpload->isEnabled());
            EXPECT_TRUE(r.window->cmdCancel->isEnabled());
        }
        if (text == kSuccess) {
            progressAtSuccess = r.window->ccrpPB->value();
            EXPECT_TRUE(r.buttonsEnabled());
            EXPECT_TRUE(r.window->lblStatus->isHidden());
        }
    };
    // Each received file is on the disk itself before its count is answered: after that the
    // terminal may drop its own copy.
    std::mutex syncedMutex;
    std::set<std::string> synced;
    std::vector<std::string> storedAtCount;
    const FsyncFake fsync([&](const fs::path& path) {
        const std::lock_guard lock(syncedMutex);
        synced.insert(path.filename().string());
        return 0;
    });
    r.sim.onCountFromPc = [&] {
        const std::lock_guard lock(syncedMutex);
        const std::string name = r.sim.commands.back().substr(2);
        if (synced.count(name) != 0 && fs::exists(r.dataFolder() / name))
            storedAtCount.push_back(r.sim.commands.back());
    };
    r.showWindow();
    r.startTerminal();

    {
        std::optional<CommaLocale> comma;
        if (decimalComma) {
            comma.emplace();
            if (!comma->active)
                GTEST_SKIP() << "locale de_DE.UTF-8 not installed (scripts/install-deps.sh)";
        }
        r.window->cmdUpload->click();
    }
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(0, kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    r.expectBox(1, kSuccess, MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.sim.commands, kUploadCommands);
    EXPECT_EQ(storedAtCount, kUploadCommands);

    EXPECT_TRUE(r.dataBytes("A1.TXT") == kUploadFile) << r.dataBytes("A1.TXT");
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", "A1.TXT"}));
    EXPECT_TRUE(r.dataBytes("AGENT.DAT") == agentFile());
    EXPECT_TRUE(r.dataBytes("MASTER.DAT") == masterFile());

    frmConverterMain& w = *r.window;
    EXPECT_EQ(progressAtSuccess, 100);
    EXPECT_EQ(w.ccrpPB->value(), 0);
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(w.lblStatus->isHidden());
    EXPECT_EQ(w.lblStatus->text(), "");
    EXPECT_EQ(w.Mode, "COM");
    EXPECT_EQ(mdlLoadSetup::GetAppPath(), r.dataFolder().string());
}

INSTANTIATE_TEST_SUITE_P(Locales, UploadOverSerial, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "DecimalComma" : "C"; });

// Files of an earlier run lie in the data folder. Cancel leaves them alone; the upload that
// follows finds no MASTER.TRN on the terminal and must not take the old one for it, nor lose
// it: the old collection is kept under a name of its own.
TEST(UploadOverSerialTest, CancelKeepsEarlierFilesAndAnUploadWithoutTransactionsSetsThemAside) {
    SerialWindowRig r;
    putCollection(r);
    r.sim.files.erase("MASTER.TRN");
    const std::string oldTrn = transactionFile().substr(0, 128);
    const std::string oldMaster = masterRecord("K1", "SAV", "Old Name");
    writeBytes(r.dataFolder() / "AGENT.DAT", agentFile("B2"));
    writeBytes(r.dataFolder() / "MASTER.TRN", oldTrn);
    writeBytes(r.dataFolder() / "MASTER.DAT", oldMaster);
    r.boxes.answers = {MsgAnswer::Cancel, MsgAnswer::Ok};
    r.window->ccrpPB->setValue(40);
    r.startTerminal();

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"AGENT.DAT", "MASTER.TRN", "MASTER.DAT"}));
    EXPECT_TRUE(r.dataBytes("MASTER.TRN") == oldTrn);
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);

    r.window->cmdUpload->click();
    r.stopTerminal();

    ASSERT_EQ(r.boxes.shown.size(), 3u);
    r.expectBox(2, "No Transaction made", MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.sim.commands, kUploadCommands);
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", "MASTER-20240305-090703.TRN"}));
    EXPECT_TRUE(r.dataBytes("MASTER-20240305-090703.TRN") == oldTrn);
    EXPECT_TRUE(r.dataBytes("AGENT.DAT") == agentFile());
    EXPECT_TRUE(r.dataBytes("MASTER.DAT") == masterFile());
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->lblStatus->text(), "");
    EXPECT_EQ(r.window->ccrpPB->value(), 75); // MASTER.TRN was the last file asked for
}

} // namespace
} // namespace kelvarin::test
