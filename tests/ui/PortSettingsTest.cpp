// The port settings frame on the real window and the real serial control: COM1 and COM2 are
// pseudo-terminals, COM3 a link to a device that does not exist.
#include "WindowHarness.h"
#include "support/PseudoTerminal.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

const char* const kInvalidPortQuestion =
    "Invalid Port configuration!\r\nYour current port configuration is invalid. Do you want to "
    "specify a valid Port and baud rate";

struct PortRig {
    WindowHarness h;
    PseudoTerminal com1;
    PseudoTerminal com2;

    PortRig() {
        fs::create_symlink(com1.slavePath(), h.program.path() / "COM1");
        fs::create_symlink(com2.slavePath(), h.program.path() / "COM2");
        fs::create_symlink(h.program.path() / "no-such-device", h.program.path() / "COM3");
    }

    fs::path transDat() const { return h.program.path() / "TRANS.DAT"; }

    // Loads the window, shows it and opens the frame through a ticked "IR Transfer ".
    frmConverterMain& loadAndOpenFrame() {
        frmConverterMain& w = h.load(false);
        w.show();
        QApplication::setActiveWindow(&w);
        QApplication::processEvents();
        w.chkIR->click();
        w.cmdSearchPort->click();
        return w;
    }
};

// Whether a byte written through the window's port reaches `pty`.
bool carries(frmConverterMain& w, PseudoTerminal& pty) {
    w.MSComm1().setOutput("\x5a");
    w.MSComm1().drainOutput();
    return pty.read(1) == "\x5a";
}

TEST(PortSettingsTest, OnlyWhenTickedAndTheOpenPortIsLeftWorkingWithoutAMessage) {
    PortRig r;
    frmConverterMain& w = r.h.load(false);
    ASSERT_TRUE(w.MSComm1().portOpen());

    w.cmdSearchPort->click();
    EXPECT_TRUE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "");

    w.chkIR->click();
    w.cmdSearchPort->click();
    EXPECT_TRUE(r.h.boxes.shown.empty()); // no "Port already open"
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "1");
    EXPECT_FALSE(w.cmdPortOK->isEnabled());
    EXPECT_TRUE(carries(w, r.com1));
    EXPECT_EQ(readBytes(r.transDat()), "157600 ");

    // "&Close" with the port open hides the frame and changes nothing else.
    w.cmdClose->click();
    EXPECT_TRUE(w.fraPortSettings->isHidden());
    EXPECT_TRUE(r.h.boxes.shown.empty());
    EXPECT_EQ(w.txtPortSetup->text(), "1");
    EXPECT_TRUE(carries(w, r.com1));
}

TEST(PortSettingsTest, AClosedPortIsOpenedFromTheProgramFoldersTransDatCreatedWhenMissing) {
    PortRig r;
    writeBytes(r.transDat(), "357600 ");
    frmConverterMain& w = r.h.load(false); // COM3 fails: the start-up message
    ASSERT_EQ(r.h.boxes.shown.size(), 1u);
    mdlLoadSetup::SetAppPath(r.h.program.str() + "/Data/"); // as after a serial transfer
    w.chkIR->click();

    w.cmdSearchPort->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 2u);
    const auto& status = r.h.boxes.shown[1];
    EXPECT_EQ(status.text, ModTrans::gStatusText);
    EXPECT_EQ(status.text.rfind("Invalid port number", 0), 0u) << status.text;
    EXPECT_NE(status.text.find("\r\nClose any application using same port"), std::string::npos);
    EXPECT_EQ(status.icon, MsgIcon::None);
    EXPECT_EQ(status.buttons, MsgButtons::Ok);
    EXPECT_EQ(status.title, "Kelvarin"); // the application title
    EXPECT_EQ(w.txtPortSetup->text(), "3");
    EXPECT_FALSE(w.cmdPortOK->isEnabled());
    EXPECT_FALSE(w.MSComm1().portOpen());

    fs::remove(r.transDat());
    w.cmdSearchPort->click();
    EXPECT_EQ(r.h.boxes.shown.size(), 2u);
    EXPECT_EQ(readBytes(r.transDat()), "157600 ");
    EXPECT_FALSE(fs::exists(r.h.program.path() / "Data" / "TRANS.DAT"));
    EXPECT_EQ(w.txtPortSetup->text(), "1");
    EXPECT_EQ(w.MSComm1().settings(), "57600,N,8,1");
    EXPECT_TRUE(carries(w, r.com1));

    // A TRANS.DAT that can be neither read nor created is reported; the frame is not shown.
    w.MSComm1().setPortOpen(false);
    w.fraPortSettings->hide();
    fs::remove(r.transDat());
    fs::create_symlink(r.h.program.path() / "gone" / "TRANS.DAT", r.transDat());
    w.cmdSearchPort->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 3u);
    EXPECT_NE(r.h.boxes.shown[2].text.find("TRANS.DAT"), std::string::npos);
    EXPECT_TRUE(w.fraPortSettings->isHidden());
}

TEST(PortSettingsTest, SaveWithAPortThatOpensStoresItAndHidesTheFrame) {
    PortRig r;
    frmConverterMain& w = r.loadAndOpenFrame();
    mdlLoadSetup::SetAppPath(r.h.program.str() + "/Data/");

    w.txtPortSetup->setText("2");
    EXPECT_TRUE(w.cmdPortOK->isEnabled());
    w.txtPortSetup->clear();
    EXPECT_FALSE(w.cmdPortOK->isEnabled());
    w.txtPortSetup->setText("2");

    w.cmdPortOK->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 1u);
    EXPECT_EQ(r.h.boxes.shown[0].text, "Communication Port Configuared successfully   ");
    EXPECT_EQ(r.h.boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(r.h.boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(r.h.boxes.shown[0].title, "Kelvarin_Ver.3");
    EXPECT_EQ(readBytes(r.transDat()), "257600 ");
    EXPECT_FALSE(fs::exists(r.h.program.path() / "Data" / "TRANS.DAT"));
    EXPECT_EQ(w.txtComPort->text(), "2");
    EXPECT_TRUE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "");
    EXPECT_FALSE(w.cmdPortOK->isEnabled()); // emptied by the program
    EXPECT_FALSE(w.txtBaudSetup->isReadOnly());
    EXPECT_EQ(mdlLoadSetup::GetCommPort(), "2");
    EXPECT_EQ(mdlLoadSetup::GetBaudRate(), "57600");
    EXPECT_EQ(w.MSComm1().settings(), "57600,N,8,1");
    EXPECT_TRUE(carries(w, r.com2));

    // The port is its leading digits, stored as the number that opened.
    w.cmdSearchPort->click();
    EXPECT_EQ(w.txtPortSetup->text(), "2");
    w.txtPortSetup->setText("01");
    w.cmdPortOK->click();
    EXPECT_EQ(r.h.boxes.shown.size(), 2u);
    EXPECT_EQ(readBytes(r.transDat()), "157600 ");
    EXPECT_EQ(w.txtComPort->text(), "1");
    EXPECT_TRUE(carries(w, r.com1));

    // TRANS.DAT cannot be replaced: the reason in the status box, no success, and the frame
    // stays with the port that opened, so that "&Save" can be tried again.
    w.cmdSearchPort->click();
    fs::remove(r.transDat());
    fs::create_directories(r.transDat() / "in the way");
    w.txtPortSetup->setText("2");
    w.cmdPortOK->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 3u);
    EXPECT_EQ(r.h.boxes.shown[2].text,
              "Path/File access error (" + r.transDat().string() + ": a folder, not a plain file)");
    EXPECT_EQ(r.h.boxes.shown[2].icon, MsgIcon::None);
    EXPECT_EQ(r.h.boxes.shown[2].buttons, MsgButtons::Ok);
    EXPECT_EQ(r.h.boxes.shown[2].title, "Kelvarin");
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "2");
    EXPECT_TRUE(w.cmdPortOK->isEnabled());
    EXPECT_EQ(w.txtComPort->text(), "2");
    EXPECT_TRUE(carries(w, r.com2));

    fs::remove_all(r.transDat());
    w.cmdPortOK->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 4u);
    EXPECT_EQ(r.h.boxes.shown[3].text, "Communication Port Configuared successfully   ");
    EXPECT_EQ(readBytes(r.transDat()), "257600 ");
    EXPECT_TRUE(w.fraPortSettings->isHidden());
}

TEST(PortSettingsTest, SaveWithAPortThatDoesNotOpenKeepsTheFrameAndTheStoredSettings) {
    PortRig r;
    frmConverterMain& w = r.loadAndOpenFrame();
    w.cmdCancel->setFocus();

    w.txtPortSetup->setText("3");
    r.h.boxes.answers = {MsgAnswer::Yes};
    w.cmdPortOK->click();
    QApplication::processEvents();
    ASSERT_EQ(r.h.boxes.shown.size(), 1u);
    EXPECT_EQ(r.h.boxes.shown[0].text, kInvalidPortQuestion);
    EXPECT_EQ(r.h.boxes.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(r.h.boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(r.h.boxes.shown[0].title, "Kelvarin_Ver.3");
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "");
    EXPECT_FALSE(w.cmdPortOK->isEnabled());
    EXPECT_FALSE(w.txtBaudSetup->isReadOnly());
    EXPECT_EQ(QApplication::focusWidget(), w.txtPortSetup);
    EXPECT_FALSE(w.MSComm1().portOpen());

    // A port above 9 does not fit TRANS.DAT: refused the same way.
    w.txtPortSetup->setText("12");
    r.h.boxes.answers = {MsgAnswer::No};
    w.cmdPortOK->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 2u);
    EXPECT_EQ(r.h.boxes.shown[1].text, kInvalidPortQuestion);
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "");
    EXPECT_FALSE(w.MSComm1().portOpen());

    EXPECT_EQ(mdlLoadSetup::GetCommPort(), "1");
    EXPECT_EQ(mdlLoadSetup::GetBaudRate(), "57600 ");
    EXPECT_EQ(readBytes(r.transDat()), "157600 ");
    EXPECT_EQ(w.txtComPort->text(), "1");

    // "&Close" with no port open asks too: Yes keeps the frame, No hides it.
    w.txtPortSetup->setText("2");
    r.h.boxes.answers = {MsgAnswer::Yes, MsgAnswer::No};
    w.cmdClose->click();
    ASSERT_EQ(r.h.boxes.shown.size(), 3u);
    EXPECT_EQ(r.h.boxes.shown[2].text, kInvalidPortQuestion);
    EXPECT_FALSE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.txtPortSetup->text(), "");
    w.cmdClose->click();
    EXPECT_EQ(r.h.boxes.shown.size(), 4u);
    EXPECT_TRUE(w.fraPortSettings->isHidden());
    EXPECT_FALSE(w.MSComm1().portOpen());
}

} // namespace
} // namespace kelvarin::test
