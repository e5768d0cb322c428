// The port settings frame: "Port Settings", the port box, "&Save" and "&Close".
#include "conversion/FailureMapping.h"
#include "platform/RuntimeError.h"
#include "serial/ComPortName.h"
#include "serial/ModTrans.h"
#include "settings/TransSettingsRecord.h"
#include "settings/mdlLoadSetup.h"
#include "ui/QtPlatform.h"
#include "ui/frmConverterMain.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kelvarin {

namespace {

// The baud every opening from "Port Settings" uses, whatever TRANS.DAT holds.
constexpr const char* kSearchBaud = "57600";

// TRANS.DAT keeps the port in one character, so a higher port would come back as another one
// at the next start.
constexpr int kHighestStorablePort = 9;

std::string transDatPath() {
    return mdlLoadSetup::ProgramFolder() + mdlLoadSetup::kPathSep + "TRANS.DAT";
}

// The question "&Save" and "&Close" ask about a port that is not open; true for Yes. Either way
// the port box is emptied and the baud box unlocked; Yes also moves the focus to the port box.
bool askForAnotherPort(frmConverterMain& w) {
    const bool yes =
        w.boxes().show(std::string("Invalid Port configuration!") + kCrLf +
                           "Your current port configuration is invalid. Do you want to specify a "
                           "valid Port and baud rate",
                       MsgIcon::Question, MsgButtons::YesNo, kWindowTitle) == MsgAnswer::Yes;
    w.txtPortSetup->clear();
    w.txtBaudSetup->setReadOnly(false);
    if (yes)
        w.txtPortSetup->setFocus();
    return yes;
}

} // namespace

void frmConverterMain::cmdSearchPort_Click() {
    // A transfer waiting for the terminal uses the port: the frame must not reopen it.
    if (!chkIR->isChecked() || m_command.running())
        return;
    ModTrans::gCommCtl = m_serial.get();
    try {
        // TRANS.DAT is the program folder's, whatever folder the serial link last used.
        transSettings = loadOrCreateTransSettingsFile(transDatPath());
    } catch (const std::exception&) {
        m_boxes->show(asRuntimeError(std::current_exception()).description(), MsgIcon::None,
                      MsgButtons::Ok, "");
        return;
    }
    // The port start-up or "&Save" opened is left as it is: reopening it would only fail with
    // "Port already open". A closed port is tried with the stored number.
    const int port = comPortNumber(transSettings.Port);
    if (!ModTrans::IsPortOpen(port, kSearchBaud) && !ModTrans::OpenCommPort(port, kSearchBaud))
        m_boxes->show(ModTrans::gStatusText, MsgIcon::None, MsgButtons::Ok, "");

    txtPortSetup->setText(fromBytes(transSettings.Port));
    fraPortSettings->show();
    cmdPortOK->setEnabled(false);
}

void frmConverterMain::txtPortSetup_Change() {
    cmdPortOK->setEnabled(!txtPortSetup->text().isEmpty());
}

void frmConverterMain::cmdPortOK_Click() {
    using namespace mdlLoadSetup;
    // Closing the port under a running transfer would end it with a run-time error.
    if (m_command.running())
        return;
    try {
        ModTrans::CommCtl().setPortOpen(false);
    } catch (const std::exception&) {
        // No port to close; the opening below decides.
    }
    const int port = comPortNumber(toBytes(txtPortSetup->text()));
    const std::string baud = TrimBlanks(toBytes(txtBaudSetup->text()));
    if (port > kHighestStorablePort || !ModTrans::OpenCommPort(port, baud)) {
        askForAnotherPort(*this);
        return;
    }
    // The number that opened, not the typed text: "01" must be stored as "1", not as "0".
    SetCommPort(std::to_string(port));
    SetBaudRate(baud);
    txtComPort->setText(fromBytes(GetCommPort()));
    // Success only once TRANS.DAT holds the new port, or the next start opens the old one. The
    // port stays open with the new values; the frame stays so that "&Save" can be tried again.
    std::string failure;
    if (!SaveTransSettings(ProgramFolder() + kPathSep, &failure)) {
        m_boxes->show(failure, MsgIcon::None, MsgButtons::Ok, "");
        return;
    }
    m_boxes->show("Communication Port Configuared successfully   ", MsgIcon::Information,
                  MsgButtons::Ok, kWindowTitle);
    fraPortSettings->hide();
    txtPortSetup->clear();
    txtBaudSetup->setReadOnly(false);
}

void frmConverterMain::cmdClose_Click() {
    using namespace mdlLoadSetup;
    if (m_command.running())
        return;
    if (ModTrans::IsPortOpen(comPortNumber(GetCommPort()), TrimBlanks(GetBaudRate()))) {
        fraPortSettings->hide();
        return;
    }
    if (!askForAnotherPort(*this))
        fraPortSettings->hide();
}

} // namespace kelvarin
