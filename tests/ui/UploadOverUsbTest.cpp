// The Upload command over USB: the real window, the simulated terminal behind its fake HID
// library, on the fake clock.
#include "FsyncFake.h"
#include "TerminalUploadFiles.h"
#include "TransferWindowRig.h"
#include "support/ImmutableFlag.h"

#include <cerrno>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;
using namespace upload;

// The first byte of the connect and disconnect messages, as the terminal logs them.
constexpr char kConnect = 't';
constexpr char kDisconnect = 'x';

const std::string kCommunicationError = "Communication Error! Uploading aborted. Make sure the "
                                        "device is connected and try again.";

void putCollection(UsbWindowRig& r, const std::string& agent = agentFile()) {
    r.terminal->files["AGENT.DAT"] = agent;
    r.terminal->files["MASTER.TRN"] = transactionFile();
    r.terminal->files["MASTER.DAT"] = masterFile();
}

TEST(UploadOverUsbTest, WritesTheUploadFileDeletesMasterTrnAndIgnoresASecondClick) {
    UsbWindowRig r;
    putCollection(r);
    bool clickedAgain = false;
    r.boxes.onShow = [&](const std::string& text) {
        if (text == kConfirmation) {
            // Download is disabled before the confirmation; Upload and Exit are not yet.
            EXPECT_FALSE(r.window->CmdDownload->isEnabled());
            EXPECT_TRUE(r.window->cmdUpload->isEnabled());
            EXPECT_TRUE(r.window->cmdCancel->isEnabled());
            clickedAgain = true;
            r.window->cmdUpload->click();
        }
        if (text == kSuccess) {
            EXPECT_TRUE(r.buttonsEnabled());
            EXPECT_TRUE(r.window->lblStatus->isHidden());
        }
    };
    int progressSeen = 0;
    r.pump.onYield = [&] {
        if (!r.window->lblStatus->isHidden()) {
            EXPECT_EQ(r.window->lblStatus->text(), kWaitText);
            EXPECT_TRUE(r.buttonsDisabled());
        }
        progressSeen = std::max(progressSeen, r.window->ccrpPB->value());
    };
    std::set<std::string> syncedWhileMasterTrnStood;
    const FsyncFake fsync([&](const fs::path& synced) {
        if (fs::exists(r.dataFolder() / "MASTER.TRN"))
            syncedWhileMasterTrnStood.insert(synced.filename().string());
        return 0;
    });
    r.showWindow();

    r.window->cmdUpload->click();

    EXPECT_TRUE(clickedAgain);
    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(0, kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    r.expectBox(1, kSuccess, MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->requests,
              (std::vector<std::string>{"AGENT.DAT", "MASTER.TRN", "MASTER.DAT"}));
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));

    EXPECT_TRUE(r.dataBytes("A1.TXT") == kUploadFile) << r.dataBytes("A1.TXT");
    // The text file was on the disk before MASTER.TRN was deleted.
    EXPECT_TRUE(syncedWhileMasterTrnStood.count("A1.TXT"));
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", "A1.TXT"}));
    EXPECT_TRUE(r.dataBytes("AGENT.DAT") == agentFile());
    EXPECT_TRUE(r.dataBytes("MASTER.DAT") == masterFile());

    frmConverterMain& w = *r.window;
    EXPECT_GT(progressSeen, 0);
    EXPECT_EQ(w.ccrpPB->value(), 0);
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(w.lblStatus->isHidden());
    EXPECT_EQ(w.lblStatus->text(), "");
    EXPECT_EQ(w.Mode, "USB");
    EXPECT_FALSE(w.commandRunning());
}

TEST(UploadOverUsbTest, CancelAtTheConfirmationTouchesNoFileAndDisconnects) {
    UsbWindowRig r;
    putCollection(r);
    writeBytes(r.dataFolder() / "MASTER.TRN", "old");
    r.boxes.answers = {MsgAnswer::Cancel};
    r.window->ccrpPB->setValue(40);

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    EXPECT_TRUE(r.terminal->requests.empty());
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_EQ(r.dataFiles(), std::set<std::string>{"MASTER.TRN"});
    EXPECT_EQ(r.dataBytes("MASTER.TRN"), "old");
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
}

TEST(UploadOverUsbTest, NoTerminalFoundShowsU1AndChangesNothingElse) {
    UsbWindowRig r;
    r.hid->devices.clear();
    r.window->ccrpPB->setValue(40);

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, "Device not found! \r\nTo Upload data keep device in transfer mode",
                MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_TRUE(r.hid->written.empty());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
    EXPECT_TRUE(r.buttonsEnabled());
}

// The terminal has no MASTER.DAT: MASTER.TRN has arrived whole and is kept aside at once, and
// the error box says where. Then it has no AGENT.DAT: the first request fails, MASTER.TRN is
// never asked for, there is no collection to speak of, nothing else is moved aside, and the
// AGENT.DAT of the run before does not stand in for the missing one.
TEST(UploadOverUsbTest, AFailedFileEndsTheCommandBeforeTheNextIsRequested) {
    UsbWindowRig r;
    putCollection(r);
    r.terminal->files.erase("MASTER.DAT");
    const std::string kept = "MASTER-20261206-143005.TRN"; // the fake clock's date and time

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(1,
                kCommunicationError + "\r\nThe collection is kept as " +
                    (r.dataFolder() / kept).string(),
                MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->requests,
              (std::vector<std::string>{"AGENT.DAT", "MASTER.TRN", "MASTER.DAT"}));
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"AGENT.DAT", kept}));
    EXPECT_TRUE(r.dataBytes(kept) == transactionFile());
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->lblStatus->text(), kWaitText);
    EXPECT_FALSE(r.window->commandRunning());

    r.terminal->files["MASTER.DAT"] = masterFile();
    r.terminal->files.erase("AGENT.DAT");
    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 4u);
    r.expectBox(3, kCommunicationError, MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->requests,
              (std::vector<std::string>{"AGENT.DAT", "MASTER.TRN", "MASTER.DAT", "AGENT.DAT"}));
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect, kConnect, kDisconnect}));
    EXPECT_EQ(r.dataFiles(), std::set<std::string>{kept});
    EXPECT_TRUE(r.dataBytes(kept) == transactionFile());
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->lblStatus->text(), kWaitText);
}

// The agent code comes from the terminal: folder parts in it must not lead the file elsewhere.
TEST(UploadOverUsbTest, AnAgentCodeWithFolderPartsWritesInsideTheDataFolder) {
    UsbWindowRig r;
    putCollection(r, agentFile("../../X1"));
    const auto programFiles = [&r] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(r.program.path()))
            names.insert(entry.path().filename().string());
        return names;
    };
    const std::set<std::string> programFilesBefore = programFiles();

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    EXPECT_EQ(r.boxes.shown[1].text, kSuccess);
    const std::string file = r.dataBytes(".._.._X1.TXT");
    EXPECT_EQ(file.substr(0, file.find('\r')), "../../X1,2,112.50");
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", ".._.._X1.TXT"}));
    EXPECT_EQ(programFiles(), programFilesBefore);
    EXPECT_FALSE(fs::exists(r.program.path().parent_path() / "X1.TXT"));
}

// An output name taken by a folder cannot be written: the error box says where the collection is
// kept, under a name of its own beside one kept earlier at the same second; then the window as a
// failed upload leaves it, the link disconnected. An upload that gets no MASTER.TRN afterwards
// leaves both kept files alone.
TEST(UploadOverUsbTest, ARunTimeErrorKeepsTheCollectionAsideAndRestoresTheWindow) {
    UsbWindowRig r;
    putCollection(r);
    fs::create_directory(r.dataFolder() / "A1.TXT");
    const std::string earlier = "MASTER-20261206-143005.TRN"; // the fake clock's date and time
    const std::string kept = "MASTER-20261206-143005-2.TRN";
    writeBytes(r.dataFolder() / earlier, "earlier");

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(1,
                "Error No: 75     Path/File access error (" + (r.dataFolder() / "A1.TXT").string() +
                    ": Is a directory)\r\nThe collection is kept as " +
                    (r.dataFolder() / kept).string(),
                MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_FALSE(fs::exists(r.dataFolder() / "MASTER.TRN"));
    EXPECT_TRUE(r.dataBytes(kept) == transactionFile());
    EXPECT_EQ(r.dataBytes(earlier), "earlier");
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_FALSE(r.window->commandRunning());

    r.terminal->files.erase("MASTER.TRN");
    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 4u);
    r.expectBox(3, kCommunicationError, MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", "A1.TXT", earlier, kept}));
    EXPECT_TRUE(r.dataBytes(kept) == transactionFile());
    EXPECT_EQ(r.dataBytes(earlier), "earlier");
}

// The disk cannot store the text file (its flush fails): the upload is a failure, and the
// collection, whose only other copy the text file was to be, is kept aside.
TEST(UploadOverUsbTest, ATextFileNotOnTheDiskKeepsTheCollection) {
    UsbWindowRig r;
    putCollection(r);
    const FsyncFake fsync([](const fs::path&) {
        errno = EIO;
        return -1;
    });

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    const fs::path text = r.dataFolder() / "A1.TXT";
    const fs::path kept = r.dataFolder() / "MASTER-20261206-143005.TRN";
    r.expectBox(1,
                "Error No: 75     Could not store " + text.string() + " on disk (" +
                    std::generic_category().message(EIO) + ")\r\nThe collection is kept as " +
                    kept.string(),
                MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_TRUE(readBytes(kept) == transactionFile());
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
}

// A collection that cannot be moved aside (MASTER.TRN made immutable once it arrived) stays where
// it is and the error box names it there; the next upload stops with the error box before it asks
// the terminal for anything, and MASTER.TRN is still whole.
TEST(UploadOverUsbTest, ACollectionThatCannotBeMovedStaysAndStopsTheNextUpload) {
    UsbWindowRig r;
    putCollection(r);
    fs::create_directory(r.dataFolder() / "A1.TXT");
    const fs::path trn = r.dataFolder() / "MASTER.TRN";
    bool immutable = false;
    r.pump.onYield = [&] {
        if (!immutable && r.terminal->requests.size() == 3)
            immutable = setImmutable(trn, true);
    };
    struct Release {
        const fs::path& path;
        ~Release() { setImmutable(path, false); }
    } release{trn};

    r.window->cmdUpload->click();
    if (!immutable)
        GTEST_SKIP() << "the file system or the process's rights refuse the immutable flag";

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(1,
                "Error No: 75     Path/File access error (" + (r.dataFolder() / "A1.TXT").string() +
                    ": Is a directory)\r\nThe collection is kept as " + trn.string(),
                MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 4u);
    EXPECT_EQ(r.boxes.shown[3].title, "Kelvarin_Ver.3");
    EXPECT_EQ(r.boxes.shown[3].text.find("The collection"), std::string::npos);
    EXPECT_EQ(r.terminal->requests,
              (std::vector<std::string>{"AGENT.DAT", "MASTER.TRN", "MASTER.DAT"}));
    EXPECT_TRUE(r.dataBytes("MASTER.TRN") == transactionFile());
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"AGENT.DAT", "MASTER.TRN", "MASTER.DAT", "A1.TXT"}));
    EXPECT_TRUE(r.buttonsEnabled());
}

// A MASTER.TRN that no upload converted lies in the data folder; it is set aside before the
// terminal's arrives. MASTER.DAT turns into a folder while it arrives (the bytes still go to the
// file the link opened): Reconvert cannot read it. Its box is the only one after the
// confirmation and says where this run's collection is kept, and the window is ready for
// another try.
TEST(UploadOverUsbTest, AFailedConversionKeepsBothCollectionsAndReportsNoSuccess) {
    UsbWindowRig r;
    putCollection(r);
    writeBytes(r.dataFolder() / "MASTER.TRN", "old");
    const fs::path master = r.dataFolder() / "MASTER.DAT";
    const fs::path scratch = r.dataFolder() / "TEMPFILE.BIN";
    r.pump.onYield = [&] {
        if (r.terminal->requests.size() == 3 && fs::is_regular_file(scratch)) {
            fs::remove(scratch);
            fs::create_directory(scratch);
        }
    };

    r.window->cmdUpload->click();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    const fs::path kept = r.dataFolder() / "MASTER-20261206-143005-2.TRN";
    r.expectBox(1,
                "Error No: 75     Path/File access error (" + master.string() +
                    ": Is a directory)\r\nThe collection is kept as " + kept.string(),
                MsgIcon::Information, MsgButtons::Ok, "MERIDOCK");
    EXPECT_TRUE(fs::is_directory(master));
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"AGENT.DAT", "MASTER.DAT", "A1.TXT",
                                     "MASTER-20261206-143005.TRN", kept.filename().string()}));
    EXPECT_EQ(r.dataBytes("MASTER-20261206-143005.TRN"), "old");
    EXPECT_TRUE(r.dataBytes(kept.filename().string()) == transactionFile());
    EXPECT_EQ(r.dataBytes("A1.TXT"), "A1,2,112.50\r\n");
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_FALSE(r.window->commandRunning());
}

} // namespace
} // namespace kelvarin::test
