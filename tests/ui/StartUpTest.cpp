#include "WindowHarness.h"
#include "serial/RecoverData.h"
#include "support/PseudoTerminal.h"
#include "ui/QtPlatform.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

TEST(StartUpTest, WithoutTransDatPortOneIsCreatedAndOpenedThroughTheComLink) {
    WindowHarness h;
    PseudoTerminal pty;
    fs::create_symlink(pty.slavePath(), h.program.path() / "COM1");

    frmConverterMain& w = h.load(false);

    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(readBytes(h.program.path() / "TRANS.DAT"), "157600 ");
    EXPECT_TRUE(w.MSComm1().portOpen());
    EXPECT_EQ(w.MSComm1().settings(), "57600 ,N,8,1");
    EXPECT_EQ(w.txtComPort->text(), "1");
    EXPECT_TRUE(w.fraPortSettings->isHidden());
    EXPECT_EQ(mdlLoadSetup::GetAppPath(), h.program.str() + "/");
    EXPECT_EQ(mdlLoadSetup::GetDataPath(), h.program.str() + "/Data");
    EXPECT_TRUE(fs::is_directory(h.program.path() / "Data"));
    EXPECT_EQ(ModTrans::gCommCtl, &w.MSComm1());
    EXPECT_EQ(ModTrans::gMessageBoxes, &w.boxes());

    // The port really carries bytes.
    w.MSComm1().setOutput("\x07");
    w.MSComm1().drainOutput();
    EXPECT_EQ(pty.read(1), "\x07");
}

TEST(StartUpTest, NoUsablePortShowsTheErrorAndOpensThePortSettings) {
    WindowHarness h;
    fs::create_symlink(h.program.path() / "no-such-device", h.program.path() / "COM1");

    frmConverterMain& w = h.load(false);

    ASSERT_EQ(h.boxes.shown.size(), 1u);
    const auto& box = h.boxes.shown[0];
    EXPECT_EQ(box.text.rfind("Communication Port Error!\r\n", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("\r\nClose any application using same port or specify another "
                            "valid Port and Baud rate"),
              std::string::npos)
        << box.text;
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.title, "Kelvarin_Ver.3");
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_FALSE(w.MSComm1().portOpen());
    EXPECT_EQ(w.txtComPort->text(), "");
}

TEST(StartUpTest, PortErrorTextIsExact) {
    WindowHarness h;
    writeBytes(h.program.path() / "TRANS.DAT", "357600 ");
    h.missingPorts = {3};
    frmConverterMain& w = h.load(true);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text,
              "Communication Port Error!\r\nInvalid port number\r\nClose any application using "
              "same port or specify another valid Port and Baud rate");
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(mdlLoadSetup::GetCommPort(), "");
}

// Settings files that are pipes or folders: start-up, "Port Settings" and "&Save" never wait on
// them, and the port error box and the status box say why TRANS.DAT cannot be used.
TEST(StartUpTest, SettingsFilesThatAreNotPlainFilesAreRefusedWithTheirReasonWithoutWaiting) {
    WindowHarness h;
    const fs::path transDat = h.program.path() / "TRANS.DAT";
    ASSERT_EQ(::mkfifo(transDat.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((h.program.path() / "QEL.INI").c_str(), 0600), 0);
    const std::string pipeReason =
        "Path/File access error (" + transDat.string() + ": a pipe, not a plain file)";

    frmConverterMain& w = h.load(true);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text, "Communication Port Error!\r\n" + pipeReason +
                                         " or specify another valid Port and Baud rate");
    EXPECT_EQ(h.boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtFile->text(), "");
    EXPECT_FALSE(w.MSComm1().portOpen());

    w.chkIR->click();
    w.cmdSearchPort->click();
    ASSERT_EQ(h.boxes.shown.size(), 2u);
    EXPECT_EQ(h.boxes.shown[1].text, pipeReason);
    EXPECT_EQ(h.boxes.shown[1].icon, MsgIcon::None);
    EXPECT_EQ(h.boxes.shown[1].title, "Kelvarin");

    // The port opens and is kept for this run, but nothing is stored: the pipe is not replaced
    // by a file, and the save says why instead of reporting success.
    w.txtPortSetup->setText("2");
    w.cmdPortOK->click();
    ASSERT_EQ(h.boxes.shown.size(), 3u);
    EXPECT_EQ(h.boxes.shown[2].text, pipeReason);
    EXPECT_TRUE(w.MSComm1().portOpen());
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_TRUE(fs::is_fifo(transDat));

    WindowHarness h2;
    fs::create_directory(h2.program.path() / "TRANS.DAT");
    h2.load(true);
    ASSERT_EQ(h2.boxes.shown.size(), 1u);
    EXPECT_EQ(h2.boxes.shown[0].text,
              "Communication Port Error!\r\nPath/File access error (" +
                  (h2.program.path() / "TRANS.DAT").string() +
                  ": a folder, not a plain file) or specify another valid Port and Baud rate");
}

TEST(StartUpTest, QelIniNameGoesIntoTheMasterFileBoxTrimmed) {
    WindowHarness h;
    writeBytes(h.program.path() / "QEL.INI", "  AB12.MST  \r\nignored\r\n");
    frmConverterMain& w = h.load(true);
    EXPECT_EQ(w.txtFile->text(), "AB12.MST");
}

// Bytes that spell no name in the file system's encoding show as replacement characters.
TEST(StartUpTest, QelIniOfBinaryBytesIsShownWithoutHarm) {
    WindowHarness h;
    writeBytes(h.program.path() / "QEL.INI", std::string("\x01\xe9\xff", 3));
    frmConverterMain& w = h.load(true);
    EXPECT_EQ(w.txtFile->text(), QString::fromUtf16(u"\u0001\ufffd\ufffd"));
    EXPECT_TRUE(w.MSComm1().portOpen());
}

TEST(StartUpTest, MissingOrEmptyQelIniLeavesTheBoxEmpty) {
    WindowHarness h;
    EXPECT_EQ(h.load(true).txtFile->text(), "");
    WindowHarness h2;
    writeBytes(h2.program.path() / "QEL.INI", "");
    EXPECT_EQ(h2.load(true).txtFile->text(), "");
}

TEST(StartUpTest, AFileNamedDataCountsAsTheDataFolder) {
    WindowHarness h;
    writeBytes(h.program.path() / "Data", "not a folder");
    frmConverterMain& w = h.load(true);
    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(readBytes(h.program.path() / "Data"), "not a folder");
    EXPECT_EQ(w.txtComPort->text(), "1");
}

TEST(StartUpTest, ADataFolderThatCannotBeCreatedEndsStartUpWithItsError) {
    WindowHarness h;
    const std::string missingFolder = h.program.str() + "/gone";
    frmConverterMain& w = h.load(true, missingFolder);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text,
              "Error No: 76     Path not found (" + missingFolder + "/Data)");
    EXPECT_EQ(h.boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(h.boxes.shown[0].title, "Kelvarin_Ver.3");
    // The remaining steps are skipped: no port opened, nothing written.
    EXPECT_FALSE(w.MSComm1().portOpen());
    EXPECT_FALSE(fs::exists(missingFolder));
}

// A folder where this process may not create the Data folder, with the system's reason: a
// read-only temporary folder, or for a user whose rights ignore that, /sys, which refuses new
// folders to everyone.
struct UnwritableFolder {
    std::string path;
    std::string reason;
};
UnwritableFolder unwritableFolder(const TempFolder& tmp) {
    fs::permissions(tmp.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(tmp.str().c_str(), W_OK) != 0)
        return {tmp.str(), "Permission denied"};
    std::error_code ec;
    if (!fs::create_directory("/sys/kelvarin-probe", ec) &&
        (ec.value() == EPERM || ec.value() == EACCES || ec.value() == EROFS))
        return {"/sys", ec.message()};
    fs::remove("/sys/kelvarin-probe", ec);
    return {};
}

// Not being allowed to write is no file in use: the error names the folder and the reason.
TEST(StartUpTest, AnUnwritableProgramFolderReportsThePathAndTheReason) {
    WindowHarness h;
    TempFolder readOnly;
    const UnwritableFolder folder = unwritableFolder(readOnly);
    if (folder.path.empty())
        GTEST_SKIP() << "no folder here refuses new folders";
    frmConverterMain& w = h.load(true, folder.path);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text, "Error No: 75     Path/File access error (" + folder.path +
                                         "/Data: " + folder.reason + ")");
    EXPECT_EQ(h.boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_FALSE(w.MSComm1().portOpen());
}

TEST(StartUpTest, EnterInAnEmptyMasterFileBoxAsksForAName) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    w.txtFile_KeyPress(13);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text, "Not a valid Source File. Enter a valid Source File Name");
    EXPECT_EQ(h.boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(h.boxes.shown[0].title, "Kelvarin_Ver.3");

    w.txtFile->setText("AB.MST");
    w.txtFile_KeyPress(13);
    w.txtFile->clear();
    w.txtFile_KeyPress('a');
    EXPECT_EQ(h.boxes.shown.size(), 1u);
}

TEST(StartUpTest, ExitAnsweredNoChangesNothingAndYesEndsTheProgram) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    h.boxes.answers = {MsgAnswer::No};
    w.cmdCancel_Click();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text, "Do You Want to Exit ?");
    EXPECT_EQ(h.boxes.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(h.boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(h.boxes.shown[0].title, "Kelvarin_Ver.3");
    EXPECT_EQ(h.endCalls, 0);
    EXPECT_TRUE(w.MSComm1().portOpen());
    EXPECT_TRUE(w.Timer1->isActive());

    h.boxes.answers = {MsgAnswer::Yes};
    w.cmdCancel_Click();
    EXPECT_EQ(h.endCalls, 1);
}

TEST(StartUpTest, ClockShowsDayMonthYearThenTwoBlanksThenTheTime) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    EXPECT_EQ(w.Label1->text(), "");
    h.clock.setLocal({2026, 3, 5, 9, 7, 2});
    w.Timer1_Timer();
    const QString text = w.Label1->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("05/03/2026  "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("07"))) << text.toStdString();
    EXPECT_EQ(w.Timer1->interval(), 1000);
}

} // namespace
} // namespace kelvarin::test
