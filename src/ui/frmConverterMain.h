#pragma once

#include "conversion/TerminalConversion.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/RuntimeError.h"
#include "serial/SerialControl.h"
#include "settings/TransSettingsRecord.h"
#include "ui/CommandControl.h"
#include "usb/CLSUSB.h"
#include "usb/HidLibrary.h"

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kelvarin {

class QtProgressBar;

// What the window uses of the outside world. Empty members get the real thing; tests pass
// fakes.
struct WindowServices {
    MessageBoxes* boxes = nullptr;
    Clock* clock = nullptr;
    EventPump* pump = nullptr;
    std::unique_ptr<SerialControl> serial; // MSComm1
    std::unique_ptr<HidLibrary> hid;       // the USB link's library, made when first needed
    std::function<void()> endProgram;      // what Exit's Yes does
    FileDialogs* fileDialogs = nullptr;    // cdgConverter
};

// The program's one window. Loading it (the constructor) runs the start-up.
class frmConverterMain : public QWidget {
    Q_OBJECT

public:
    explicit frmConverterMain(const std::string& programFolder, WindowServices services = {});
    ~frmConverterMain() override;

    // Handlers, public so that tests can drive them as the window's events do.
    void Form_Load();
    void Timer1_Timer();
    void txtFile_KeyPress(int keyAscii);
    void cmdCancel_Click();
    void CmdDownload_Click();
    void cmdUpload_Click();

    // Sets the terminal's clock over USB from one reading of the PC's clock. False without
    // sending anything unless Mode is "USB"; otherwise whether the terminal took it.
    bool Set_Date_Time();

    // Runs the body of a transfer command. A click while another command runs is ignored; when
    // the program is to end, the command stops at its next wait, closes its transfer file and
    // shows nothing more.
    void runCommand(const std::function<void()>& body);
    // The box for a run-time error that reaches start-up or a command, with `addition` after
    // its text.
    void showRunTimeError(const RuntimeError& e, const std::string& addition = {});

    // The port settings frame and the master file choice.
    void cmdSearchPort_Click();
    void txtPortSetup_Change();
    void cmdPortOK_Click();
    void cmdClose_Click();
    void cmdSerchFile_Click();

    // What the transfer commands do to the window and the data folder
    // (frmConverterMain_CommandWindow.cpp).
    // lblStatus shows `waitText`; CmdDownload, cmdUpload and cmdCancel are disabled, in that
    // order.
    void enterWaitState(const std::string& waitText);
    // CmdDownload, cmdUpload and cmdCancel enabled again, lblStatus hidden.
    void leaveWaitState();
    // Deletes the data folder's (GetDataPath) file `name` when it exists.
    void deleteDataFileIfPresent(const std::string& name);

    // Controls, named as the window's object names.
    QCheckBox* chkIR = nullptr;
    QPushButton* cmdSearchPort = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* fraPortSettings = nullptr;
    QLineEdit* txtPortSetup = nullptr;
    QLineEdit* txtBaudSetup = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* cmdPortOK = nullptr;
    QPushButton* cmdClose = nullptr;
    QLineEdit* txtFile = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdSerchFile = nullptr;
    QLabel* txtComPort = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* CmdDownload = nullptr;
    QPushButton* cmdUpload = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* ccrpPB = nullptr;

    // Window state shared by the commands.
    std::string Mode;
    std::string transferErrorText;
    TransSettingsRecord transSettings;

    // The conversion chain with its state: the chosen master file's name (sourceFileName, which
    // the Download command sets and the conversion reads), FSo, account-type keys, record
    // number; its messages go through the window's boxes.
    TerminalConversion& conversion() { return *m_conversion; }

    // The window's one USB link object, created on first use and kept for the window's life.
    CLSUSB& objCLSUSB();

    // Whether a transfer command runs now.
    bool commandRunning() const { return m_command.running(); }

    SerialControl& MSComm1() { return *m_serial; }
    MessageBoxes& boxes() { return *m_boxes; }
    Clock& clock() { return *m_clock; }
    EventPump& pump() { return *m_pump; }
    const std::string& programFolder() const { return m_programFolder; }

protected:
    // Closing the window ends the program, a running command included.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();

    // The Download command's parts (frmConverterMain_Download.cpp).
    void downloadOverUsb();
    void downloadOverSerial();
    void refuseMasterFileBox();
    bool convertMasterFile();
    bool confirmTransfer();
    void downloadRefusedNotUploaded();
    void downloadCancelled();
    void downloadSucceeded();
    void downloadFailed();

    // The Upload command's parts (frmConverterMain_Upload.cpp). `linkOpen` is true while the
    // terminal is open over USB; disconnecting clears it. The two roads return true when the
    // transfer has ended and its files are to be converted.
    bool uploadOverUsb(bool& linkOpen);
    bool uploadOverSerial();
    // Moves a MASTER.TRN left in `folder` by an earlier run to a name of its own.
    void keepEarlierCollection(const std::filesystem::path& folder);
    // Moves this run's MASTER.TRN, which failed to become a text file, to a name of its own;
    // the sentence for the failure box that says where it is (CR LF first), or "" without one.
    std::string keepCollection();
    std::filesystem::path uploadReceiveFolder() const;
    // CmdDownload disabled, then the confirmation; Cancel restores the window.
    bool confirmUpload();
    void disconnectUpload(bool& linkOpen);
    // Disconnects, enables the three buttons and hides lblStatus.
    void uploadEnded(bool& linkOpen);
    // From the received files to the upload text file, and the command's end.
    void writeUploadFile(bool& linkOpen);

    std::string m_programFolder;
    std::unique_ptr<MessageBoxes> m_ownBoxes;
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<EventPump> m_ownPump;
    CommandControl m_command;
    // The pump and boxes everything else is given: the services' own, with the command's
    // checkpoint.
    std::unique_ptr<StoppableEventPump> m_commandPump;
    std::unique_ptr<StoppableMessageBoxes> m_commandBoxes;
    MessageBoxes* m_boxes = nullptr;
    Clock* m_clock = nullptr;
    EventPump* m_pump = nullptr;
    std::unique_ptr<SerialControl> m_serial;
    std::function<void()> m_endProgram;
    std::unique_ptr<QtProgressBar> m_progress;
    std::unique_ptr<TerminalConversion> m_conversion;
    std::unique_ptr<HidLibrary> m_hid;
    std::unique_ptr<CLSUSB> m_usb;

    // The file dialog.
    std::unique_ptr<FileDialogs> m_ownFileDialogs;
    FileDialogs* m_fileDialogs = nullptr;
};

} // namespace kelvarin
