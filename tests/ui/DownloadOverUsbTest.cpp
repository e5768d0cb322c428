// The Download command over USB: the real window, the simulated terminal behind its fake HID
// library, on the fake clock.
#include "TransferWindowRig.h"

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

const std::string kConfirmation = "Transfering Files ...\r\nTo transfer files successfully keep "
                                  "Vorixan in Transfer mode ";
const std::string kRefusedBox = "Not a valid Source File. Enter a valid Source File Name";
const std::string kUploadedOnly = std::string(1, '\x02');

// The first byte of the connect, disconnect and shutdown messages, as the terminal logs them.
constexpr char kConnect = 't';
constexpr char kDisconnect = 'x';
constexpr char kShutdown = 's';

TEST(DownloadOverUsbTest, SendsClockFilesAndShutdownWhileASecondClickIsIgnored) {
    UsbWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(3));
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.clock.setLocal({2024, 3, 5, 9, 7, 3});
    std::map<std::string, std::string> converted;
    r.boxes.onShow = [&](const std::string& text) {
        if (text == kConfirmation) {
            converted = r.terminalFiles();
            EXPECT_EQ(r.window->lblStatus->text(), "Downloading Please wait.....");
            EXPECT_FALSE(r.window->lblStatus->isHidden());
            EXPECT_TRUE(r.buttonsDisabled());
        }
    };
    // A second click while the status is fetched: the buttons are still enabled then.
    bool clickedAgain = false;
    r.pump.onYield = [&] {
        if (!clickedAgain && !r.terminal->requests.empty()) {
            clickedAgain = true;
            EXPECT_TRUE(r.window->CmdDownload->isEnabled());
            r.window->CmdDownload->click();
        }
    };
    r.showWindow();
    r.window->txtFile->setText("ABCD.MST");

    r.window->CmdDownload->click();

    EXPECT_TRUE(clickedAgain);
    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(0, kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    r.expectBox(1, "Data Downloaded to Vorixan Successfully", MsgIcon::Information, MsgButtons::Ok,
                "Kelvarin_Ver.3");

    UsbTerminalSimulator& t = *r.terminal;
    EXPECT_EQ(t.requests, std::vector<std::string>{"STATUS.DAT"});
    EXPECT_EQ(t.clockDigits, std::vector<std::string>{"05032024090703"});
    EXPECT_EQ(r.filesSent(), (std::vector<std::string>{"MASTER.DAT", "AGENT.DAT", "BANK.COL",
                                                       "ACCTYPE.DAT", "ACC_DETA.DAT"}));
    for (const auto& [name, bytes] : converted)
        EXPECT_TRUE(t.files[name] == bytes) << name;
    // Connect once, shutdown last, no disconnect.
    EXPECT_EQ(t.commands, std::string({kConnect, kShutdown}));
    EXPECT_EQ(r.hid->payload(r.hid->written.size() - 1)[0], kShutdown);

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
    EXPECT_EQ(w.Mode, "USB");
}

TEST(DownloadOverUsbTest, NoTerminalFoundTouchesNothing) {
    UsbWindowRig r;
    r.hid->devices.clear();
    r.putMasterFile("ABCD.MST", masterFileText(1));
    r.window->ccrpPB->setValue(55);
    r.window->txtFile->setText("ABCD.MST");

    r.window->CmdDownload->click();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, "Device not found!\r\nTo Download data keep device in transfer mode",
                MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin");
    EXPECT_TRUE(r.hid->written.empty());
    EXPECT_TRUE(r.dataFiles().empty());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_TRUE(r.buttonsEnabled());
}

TEST(DownloadOverUsbTest, AFailedStatusFetchDisconnects) {
    UsbWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(1));
    writeBytes(r.dataFolder() / "STATUS.DAT", kUploadedOnly); // an old one: deleted first
    r.window->txtFile->setText("ABCD.MST");

    r.window->CmdDownload->click(); // the terminal has no STATUS.DAT and never answers

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, "Validation of collection status failed. cannot download at this time ",
                MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin");
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_TRUE(r.dataFiles().empty());
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_TRUE(r.buttonsEnabled());
}

TEST(DownloadOverUsbTest, AStatusFileGoneWhileItArrivesFailsTheFetch) {
    UsbWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(1));
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    // Something removes the file while it is written: it never takes STATUS.DAT's place.
    r.pump.onYield = [&] { fs::remove(r.dataFolder() / "TEMPFILE.BIN"); };
    r.window->txtFile->setText("ABCD.MST");

    r.window->CmdDownload->click();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, "Validation of collection status failed. cannot download at this time ",
                MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin");
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.dataFiles().empty());
}

TEST(DownloadOverUsbTest, CancelOfAMasterFileWithAnEmptyBaseNameDisconnects) {
    UsbWindowRig r;
    r.putMasterFile(".MST", masterFileText(2));
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.boxes.answers = {MsgAnswer::Cancel};
    r.window->txtFile->setText(".MST");

    r.window->CmdDownload->click();

    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, kConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_TRUE(r.terminal->clockDigits.empty());
    EXPECT_TRUE(r.filesSent().empty());
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"STATUS.DAT", ".MST", "TEMP.DAT", "AGENT.DAT",
                                                    "ACCTYPE.DAT", "BANK.COL", "ACC_DETA.DAT"}));
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->ccrpPB->value(), 0);
    EXPECT_EQ(r.window->txtFile->text(), ".MST");
}

struct TransferFailure {
    const char* name;
    bool refuseClock;
    const char* unacknowledgedFile;
    std::vector<std::string> sent; // file headers sent
};

void PrintTo(const TransferFailure& f, std::ostream* os) {
    *os << f.name;
}

class TransferFailureOverUsb : public ::testing::TestWithParam<TransferFailure> {};

TEST_P(TransferFailureOverUsb, DisconnectsShowsTheFailureAndDeletesTheCopy) {
    const TransferFailure& f = GetParam();
    UsbWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(2));
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.terminal->faults.refuseClock = f.refuseClock;
    r.terminal->faults.noHeaderAckFor = f.unacknowledgedFile;
    r.window->txtFile->setText("ABCD.MST");

    r.window->CmdDownload->click();

    ASSERT_EQ(r.boxes.shown.size(), 2u);
    r.expectBox(1, "Downloaded to Vorixan failed", MsgIcon::Information, MsgButtons::Ok,
                "Kelvarin_Ver.3");
    EXPECT_EQ(r.filesSent(), f.sent);
    EXPECT_EQ(r.terminal->commands, std::string({kConnect, kDisconnect}));
    EXPECT_EQ(r.dataFiles(),
              (std::set<std::string>{"STATUS.DAT", "TEMP.DAT", "MASTER.DAT", "AGENT.DAT",
                                     "ACCTYPE.DAT", "BANK.COL", "ACC_DETA.DAT"}));
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_TRUE(r.buttonsEnabled());
    if (f.refuseClock) {
        EXPECT_EQ(r.window->ccrpPB->value(), 1); // the status fetch's one report
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, TransferFailureOverUsb,
                         ::testing::Values(TransferFailure{"ClockRefused", true, "", {}},
                                           TransferFailure{
                                               "BankColUnacknowledged",
                                               false,
                                               "BANK.COL",
                                               {"MASTER.DAT", "AGENT.DAT", "BANK.COL"}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(DownloadOverUsbTest, MasterFileBoxNamingNoPlainFileIsRefusedBeforeAnyLinkOrFile) {
    UsbWindowRig r;
    r.putMasterFile("ABCD.MST", masterFileText(1));
    writeBytes(r.dataFolder() / "KEEP.DAT", "kept");
    r.showWindow();
    const std::vector<std::string> names = {"",    "   ",      "../ABCD.MST", "Data/../X.MST", "..",
                                            " . ", "a\\b.MST", "x/ABCD.MST",  "..MST"};
    for (const std::string& name : names) {
        r.window->CmdDownload->setFocus();
        r.window->txtFile->setText(QString::fromLatin1(name.data(), qsizetype(name.size())));
        r.window->CmdDownload->click();
        EXPECT_EQ(QApplication::focusWidget(), r.window->txtFile) << name;
    }
    ASSERT_EQ(r.boxes.shown.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        r.expectBox(i, kRefusedBox, MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_TRUE(r.hid->written.empty());
    EXPECT_EQ(r.dataFiles(), std::set<std::string>{"KEEP.DAT"});
    EXPECT_TRUE(fs::exists(r.program.path() / "ABCD.MST"));
    EXPECT_TRUE(r.buttonsEnabled());

    // A name changed to one outside the data folder while the status is fetched is refused
    // when it is taken for the copy.
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.window->txtFile->setText("ABCD.MST");
    r.pump.onYield = [&] { r.window->txtFile->setText("../ABCD.MST"); };
    r.window->CmdDownload->click();
    ASSERT_EQ(r.boxes.shown.size(), names.size() + 1);
    r.expectBox(names.size(), kRefusedBox, MsgIcon::Exclamation, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.dataFiles(), (std::set<std::string>{"KEEP.DAT", "STATUS.DAT"}));
    EXPECT_FALSE(fs::exists(r.program.path().parent_path() / "Data" / "ABCD.MST"));
    EXPECT_TRUE(r.buttonsEnabled());
}

struct NameCase {
    const char* name;
    const char* masterFile; // the box's text
    bool inProgramFolder;   // the master file is there
    std::string box;        // the command's box (%P: the program folder)
    MsgIcon icon;
    std::set<std::string> left; // the data folder afterwards
    std::string inDataBefore;   // a file of the box's name in the data folder before, if any
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class MasterFileNameOverUsb : public ::testing::TestWithParam<NameCase> {};

TEST_P(MasterFileNameOverUsb, EndsAfterTheCopyWithoutDisconnect) {
    const NameCase& c = GetParam();
    UsbWindowRig r;
    if (c.inProgramFolder)
        r.putMasterFile(c.masterFile, masterFileText(1));
    if (!c.inDataBefore.empty())
        writeBytes(r.dataFolder() / c.masterFile, c.inDataBefore);
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.showWindow();
    r.window->txtFile->setText(c.masterFile);

    r.window->CmdDownload->click();

    std::string box = c.box;
    if (const auto at = box.find("%P"); at != std::string::npos)
        box.replace(at, 2, r.program.str());
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    r.expectBox(0, box, c.icon, MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->commands, std::string{kConnect});
    EXPECT_EQ(r.dataFiles(), c.left);
    if (!c.inDataBefore.empty()) {
        EXPECT_EQ(r.dataBytes(c.masterFile), c.inDataBefore);
    }
    EXPECT_EQ(r.window->txtFile->text(), c.masterFile);
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(r.window->lblStatus->isHidden());
    EXPECT_EQ(r.window->ccrpPB->value(), 1); // as the status fetch left it
}

INSTANTIATE_TEST_SUITE_P(Names, MasterFileNameOverUsb,
                         ::testing::Values(NameCase{"BaseNameOfFive",
                                                    "ABCDE.MST",
                                                    true,
                                                    "Filename should be Less than 4",
                                                    MsgIcon::Information,
                                                    {"STATUS.DAT", "ABCDE.MST"},
                                                    ""},
                                           NameCase{
                                               "NoDot",
                                               "ABCD",
                                               true,
                                               "Error No: 5     Invalid procedure call or argument",
                                               MsgIcon::Information,
                                               {"STATUS.DAT", "ABCD"},
                                               ""},
                                           NameCase{"MissingFromTheProgramFolder",
                                                    "ABCD.MST",
                                                    false,
                                                    "Error No: 53     File not found (%P/ABCD.MST)",
                                                    MsgIcon::Information,
                                                    {"STATUS.DAT"},
                                                    ""},
                                           // The agent's text file of the last upload, named
                                           // by mistake: it stays as it was.
                                           NameCase{"MissingButInTheDataFolder",
                                                    "A1.TXT",
                                                    false,
                                                    "Error No: 53     File not found (%P/A1.TXT)",
                                                    MsgIcon::Information,
                                                    {"STATUS.DAT", "A1.TXT"},
                                                    "A1,2,25.50\r\n1,K1,12.75\r\n"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(DownloadOverUsbTest, BaseNameTooLongKeepsTheFocusedText) {
    UsbWindowRig r;
    r.putMasterFile("ABCDE.MST", masterFileText(1));
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.showWindow();
    r.window->txtFile->setText("ABCDE.MST");
    r.window->CmdDownload->click();
    EXPECT_EQ(QApplication::focusWidget(), r.window->txtFile);
    EXPECT_EQ(r.window->txtFile->text(), "ABCDE.MST");
}

TEST(DownloadOverUsbTest, AFailedConversionClearsTheBoxAndKeepsItsWorkFiles) {
    UsbWindowRig r;
    r.putMasterFile("AB.MST", "Head,H2\r\nSAVINGS,Name,K1,Sort,05/03/2011,abc,10,7.25,2.5,1,n\r\n");
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    r.showWindow();
    r.window->txtFile->setText("AB.MST");

    r.window->CmdDownload->click();

    ASSERT_GE(r.boxes.shown.size(), 2u);
    EXPECT_EQ(r.boxes.shown[r.boxes.shown.size() - 2].text, "Type mismatch");
    r.expectBox(r.boxes.shown.size() - 1, "Data Conversion Error! ", MsgIcon::Exclamation,
                MsgButtons::Ok, "Kelvarin_Ver.3");
    EXPECT_EQ(r.terminal->commands, std::string{kConnect});
    EXPECT_EQ(r.window->txtFile->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), r.window->txtFile);
    EXPECT_TRUE(r.buttonsEnabled());
    const std::set<std::string> left = r.dataFiles();
    for (const char* name : {"STATUS.DAT", "AB.MST", "TEMP.DAT", "TempAB.MST"})
        EXPECT_EQ(left.count(name), 1u) << name;
}

TEST(DownloadOverUsbTest, SetDateTimeSendsOnlyWhenModeIsExactlyUsb) {
    UsbWindowRig r;
    ASSERT_TRUE(r.window->objCLSUSB().GetDevices());
    for (const char* mode : {"COM", "usb", "USB "}) {
        r.window->Mode = mode;
        EXPECT_FALSE(r.window->Set_Date_Time()) << mode;
    }
    EXPECT_TRUE(r.terminal->clockDigits.empty());

    r.window->Mode = "USB";
    r.clock.setLocal({2031, 12, 28, 23, 59, 58});
    EXPECT_TRUE(r.window->Set_Date_Time());
    r.terminal->faults.refuseClock = true;
    EXPECT_FALSE(r.window->Set_Date_Time());
    EXPECT_EQ(r.terminal->clockDigits,
              (std::vector<std::string>{"28122031235958", "28122031235958"}));
}

} // namespace
} // namespace kelvarin::test
