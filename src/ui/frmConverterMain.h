#pragma once

#include "conversion/TerminalConversion.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "serial/SerialControl.h"
#include "settings/TransSettingsRecord.h"
#include "usb/CLSUSB.h"
#include "usb/HidLibrary.h"

#include <QWidget>
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

    // The port settings frame and the master file choice.
    void cmdSearchPort_Click();
    void txtPortSetup_Change();
    void cmdPortOK_Click();
    void cmdClose_Click();
    void cmdSerchFile_Click();

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
    std::string sourceFileName;
    std::string transferErrorText;
    TransSettingsRecord transSettings;

    // The conversion chain with its state (sourceFileName, FSo, account-type keys, record
    // number); its messages go through the window's boxes.
    TerminalConversion& conversion() { return *m_conversion; }

    // The window's one USB link object, created on first use and kept for the window's life.
    CLSUSB& objCLSUSB();

    SerialControl& MSComm1() { return *m_serial; }
    MessageBoxes& boxes() { return *m_boxes; }
    Clock& clock() { return *m_clock; }
    EventPump& pump() { return *m_pump; }
    const std::string& programFolder() const { return m_programFolder; }

private:
    void buildControls();
    void connectHandlers();

    std::string m_programFolder;
    std::unique_ptr<MessageBoxes> m_ownBoxes;
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<EventPump> m_ownPump;
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
