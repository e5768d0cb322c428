// The Download command over USB when a step of the conversion cannot write its file: a real
// "disk full" (a file size limit) or an entry that cannot be written standing under the file's
// name. The step's own box tells why, the command stops there, and the terminal gets nothing.
#include "TransferWindowRig.h"
#include "support/FileSizeLimit.h"

#include <optional>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

const std::string kUploadedOnly = std::string(1, '\x02');
const std::string kConfirmation = "Transfering Files ...\r\nTo transfer files successfully keep "
                                  "Vorixan in Transfer mode ";
const std::string kOldCopy = "an earlier copy\r\n";
constexpr char kConnect = 't';

const char* const kTerminalFiles[] = {"MASTER.DAT", "AGENT.DAT", "ACCTYPE.DAT", "ACC_DETA.DAT",
                                      "BANK.COL"};

// `prefix`, then `n` with leading zeros, `width` characters in all.
std::string filled(const std::string& prefix, int n, std::size_t width) {
    const std::string digits = std::to_string(n);
    return prefix + std::string(width - prefix.size() - digits.size(), '0') + digits;
}

// Every value as wide as its TEMP.DAT column and without blanks, lines ended by LF alone: the
// comma work file, rebuilt from TEMP.DAT with CR LF, is then one byte a line longer than the
// master file. Header "Head One,H2" + LF: 12 bytes; an account line 164 + 10 commas + LF: 175.
// TEMP.DAT: 32 + 166 a line; the work file: 13 + 176 a line.
std::string fullWidthMasterText(int accounts) {
    std::string text = "Head One,H2\n";
    for (int i = accounts; i >= 1; --i)
        text += filled("SAVINGS", i, 15) + "," + filled("Name", i, 24) + "," + filled("K", i, 19) +
                "," + filled("Sort", i, 31) + ",05/03/2011,0000001.50,0000010.00,0000007.25," +
                "0000002.50,1," + filled("note", i, 24) + "\n";
    return text;
}

struct StepFailure {
    const char* name;
    std::string master;
    rlim_t sizeLimit;           // 0: none
    const char* folderInData;   // a folder of this name stands in the data folder, or ""
    std::string stepBox;        // %D: the data folder
    bool runTimeError;          // the command's error box, not the conversion's
    std::set<std::string> left; // besides STATUS.DAT and the master file's copy
    bool earlierTerminalFilesKept;
};

void PrintTo(const StepFailure& f, std::ostream* os) {
    *os << f.name;
}

class WriteFailureInTheConversion : public ::testing::TestWithParam<StepFailure> {};

TEST_P(WriteFailureInTheConversion, ShowsTheStepsBoxSendsNothingAndKeepsTheEarlierFiles) {
    const StepFailure& f = GetParam();
    UsbWindowRig r;
    r.putMasterFile("ABCD.MST", f.master);
    r.terminal->files["STATUS.DAT"] = kUploadedOnly;
    writeBytes(r.dataFolder() / "ABCD.MST", kOldCopy);
    for (const char* name : kTerminalFiles)
        writeBytes(r.dataFolder() / name, std::string("earlier ") + name);
    if (*f.folderInData != '\0')
        fs::create_directory(r.dataFolder() / f.folderInData);
    r.showWindow();
    r.window->txtFile->setText("ABCD.MST");

    {
        std::optional<FileSizeLimit> diskFull;
        if (f.sizeLimit != 0)
            diskFull.emplace(f.sizeLimit);
        r.window->CmdDownload->click();
    }

    std::string stepBox = f.stepBox;
    stepBox.replace(stepBox.find("%D"), 2, r.dataFolder().string());
    frmConverterMain& w = *r.window;
    if (f.runTimeError) {
        ASSERT_EQ(r.boxes.shown.size(), 1u);
        r.expectBox(0, stepBox, MsgIcon::Information, MsgButtons::Ok, "Kelvarin_Ver.3");
        EXPECT_EQ(w.txtFile->text(), "ABCD.MST");
    } else {
        ASSERT_EQ(r.boxes.shown.size(), 2u);
        r.expectBox(0, stepBox, MsgIcon::Information, MsgButtons::Ok, "Kelvarin");
        r.expectBox(1, "Data Conversion Error! ", MsgIcon::Exclamation, MsgButtons::Ok,
                    "Kelvarin_Ver.3");
        EXPECT_EQ(w.txtFile->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), w.txtFile);
    }
    // Found and asked for its status only: no clock, no file, no shutdown word.
    EXPECT_EQ(r.terminal->commands, std::string{kConnect});
    EXPECT_TRUE(r.terminal->clockDigits.empty());
    EXPECT_TRUE(r.filesSent().empty());
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_TRUE(w.lblStatus->isHidden());

    std::set<std::string> left = f.left;
    left.insert({"STATUS.DAT", "ABCD.MST"});
    if (f.earlierTerminalFilesKept)
        left.insert(std::begin(kTerminalFiles), std::end(kTerminalFiles));
    EXPECT_EQ(r.dataFiles(), left);
    EXPECT_TRUE(r.dataBytes("ABCD.MST") == (f.runTimeError ? kOldCopy : f.master));
    if (f.earlierTerminalFilesKept) {
        for (const char* name : kTerminalFiles)
            EXPECT_EQ(r.dataBytes(name), std::string("earlier ") + name);
    }

    // With room again the same master file converts and the transfer is asked for.
    if (*f.folderInData != '\0')
        fs::remove(r.dataFolder() / f.folderInData);
    r.boxes.shown.clear();
    r.boxes.answers = {MsgAnswer::Cancel};
    r.window->txtFile->setText("ABCD.MST");
    r.window->CmdDownload->click();
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    EXPECT_EQ(r.boxes.shown[0].text, kConfirmation);
}

// Sizes for the three-account master file of the rig: 13 + 3 x 60 = 193 bytes; TEMP.DAT
// 32 + 3 x 166 = 530.
INSTANTIATE_TEST_SUITE_P(
    Steps, WriteFailureInTheConversion,
    ::testing::Values(
        StepFailure{"CopyOfTheMasterFile",
                    masterFileText(3),
                    100,
                    "",
                    "Error No: 75     Path/File access error (%D/ABCD.MST: File too large)",
                    true,
                    {},
                    true},
        StepFailure{"TempDat",
                    masterFileText(3),
                    300,
                    "",
                    "Write error (%D/TEMP.DAT)",
                    false,
                    {"TEMP.DAT"},
                    true},
        StepFailure{"SortedCopy",
                    masterFileText(3),
                    0,
                    "TEMP1234.DAT",
                    "Path/File access error (%D/TEMP1234.DAT: Is a directory)",
                    false,
                    {"TEMP.DAT", "TEMP1234.DAT"},
                    true},
        // Master file 12 + 3 x 175 = 537 bytes, TEMP.DAT 530, work file 13 + 3 x 176 = 541.
        StepFailure{"CommaWorkFile",
                    fullWidthMasterText(3),
                    537,
                    "",
                    "Write error (%D/TempABCD.MST)",
                    false,
                    {"TEMP.DAT", "TempABCD.MST"},
                    true},
        // Only a header: TEMP.DAT 32 bytes, work file 13, AGENT.DAT 64.
        StepFailure{"TerminalFiles",
                    "Head One,H2\r\n",
                    40,
                    "",
                    "Write error (%D/AGENT.DAT)",
                    false,
                    {"TEMP.DAT", "TempABCD.MST", "AGENT.DAT"},
                    false}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace kelvarin::test
