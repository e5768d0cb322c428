// The Download command: checks that the terminal's last collection was uploaded, converts the
// master file, sets the terminal's clock and sends the five terminal files, over USB or the
// serial link.
#include "conversion/FailureMapping.h"
#include "conversion/MasterFileName.h"
#include "conversion/NumberText.h"
#include "conversion/RecordRoutines.h"
#include "serial/CommandExchange.h"
#include "settings/mdlLoadSetup.h"
#include "ui/QtPlatform.h"
#include "ui/frmConverterMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <exception>
#include <filesystem>

namespace kelvarin {

namespace {

constexpr const char* kStatusFile = "STATUS.DAT";

// The terminal files in the order the USB link sends them.
constexpr const char* kUsbSendOrder[] = {"MASTER.DAT", "AGENT.DAT", "BANK.COL", "ACCTYPE.DAT",
                                         "ACC_DETA.DAT"};

} // namespace

void frmConverterMain::CmdDownload_Click() {
    runCommand([this] {
        try {
            m_progress->setValue(0);
            // The box's text names files to delete and copy: only a plain file name may pass.
            const std::string boxText = toFileName(txtFile->text());
            if (boxText.empty() || !IsPlainFileName(mdlLoadSetup::TrimBlanks(boxText))) {
                refuseMasterFileBox();
                return;
            }
            Mode = chkIR->isChecked() ? "COM" : "USB";
            if (Mode == "USB")
                downloadOverUsb();
            else
                downloadOverSerial();
        } catch (const std::exception&) {
            // Nothing is undone in the data folder, but the window is left ready for another
            // try, as the failure ends leave it.
            showRunTimeError(asRuntimeError(std::current_exception()));
            leaveWaitState();
        }
    });
}

void frmConverterMain::downloadOverUsb() {
    CLSUSB& usb = objCLSUSB();
    if (!usb.GetDevices()) {
        m_boxes->show(std::string("Device not found!") + kCrLf +
                          "To Download data keep device in transfer mode",
                      MsgIcon::Exclamation, MsgButtons::Ok, kAppTitle);
        return;
    }

    const std::string dataFolder = mdlLoadSetup::DataFolder();
    conversion().FSo.DeleteIfPresent(std::filesystem::path(dataFolder) / kStatusFile);
    if (!usb.ReadFromUSB(kStatusFile, dataFolder, m_progress.get())) {
        m_boxes->show("Validation of collection status failed. cannot download at this time ",
                      MsgIcon::Exclamation, MsgButtons::Ok, kAppTitle);
        usb.DisconnectUSB();
        return;
    }
    if (IsStatusFlagClear(dataFolder + mdlLoadSetup::kPathSep + kStatusFile)) {
        downloadRefusedNotUploaded();
        usb.DisconnectUSB();
        return;
    }

    if (!convertMasterFile())
        return;
    if (!confirmTransfer()) {
        usb.DisconnectUSB();
        downloadCancelled();
        return;
    }

    bool sent = Set_Date_Time();
    for (const char* name : kUsbSendOrder) {
        if (!sent)
            break;
        sent = usb.WriteToUSB(name, mdlLoadSetup::GetDataPath(), m_progress.get());
    }
    if (sent) {
        // The terminal ends the session itself on the shutdown word: no disconnect follows.
        usb.WriteToUSB("SHUTDOWN", "", nullptr);
        downloadSucceeded();
    } else {
        usb.DisconnectUSB();
        downloadFailed();
    }
}

void frmConverterMain::downloadOverSerial() {
    const std::string dataFolder = mdlLoadSetup::DataFolder();
    conversion().FSo.DeleteIfPresent(std::filesystem::path(dataFolder) / kStatusFile);
    if (!ModTrans::RunTransfer("CHECKSTATUS", dataFolder, transferErrorText, *m_progress)) {
        m_boxes->show("Validation of collection status failed. cannot download at this time ",
                      MsgIcon::Exclamation, MsgButtons::Ok, kAppTitle);
        return;
    }
    if (IsStatusFlagClear(dataFolder + mdlLoadSetup::kPathSep + kStatusFile)) {
        downloadRefusedNotUploaded();
        return;
    }

    if (!convertMasterFile())
        return;
    if (!confirmTransfer()) {
        downloadCancelled();
        return;
    }

    m_progress->setValue(0);
    m_progress->setMaximum(100);
    const std::string transferFolder = dataFolder + mdlLoadSetup::kPathSep;
    if (ModTrans::RunTransfer("SETDATEANDTIME", transferFolder, transferErrorText, *m_progress) &&
        ModTrans::RunTransfer("DOWNLOAD", transferFolder, transferErrorText, *m_progress))
        downloadSucceeded();
    else
        downloadFailed();
}

void frmConverterMain::refuseMasterFileBox() {
    m_boxes->show("Not a valid Source File. Enter a valid Source File Name", MsgIcon::Exclamation,
                  MsgButtons::Ok, kWindowTitle);
    txtFile->setFocus();
}

bool frmConverterMain::convertMasterFile() {
    // The box is read again here; the user may have changed it while the status was fetched.
    const std::string name = mdlLoadSetup::TrimBlanks(toFileName(txtFile->text()));
    if (!IsPlainFileName(name)) {
        refuseMasterFileBox();
        return false;
    }
    TerminalConversion& chain = conversion();
    chain.sourceFileName = name;
    // The data folder's file of that name stays until the whole master file has taken its
    // place: a master file missing or cut short must not cost it.
    chain.FSo.ReplaceWithCopy(std::filesystem::path(m_programFolder) / name,
                              std::filesystem::path(mdlLoadSetup::GetDataPath()) / name);

    if (MasterFileBaseName(name).size() > kMaxBaseNameLength) {
        m_boxes->show("Filename should be Less than 4", MsgIcon::Information, MsgButtons::Ok,
                      kWindowTitle);
        txtFile->setFocus();
        return false;
    }

    // A step that failed has shown why; the steps after it must not run: StCvrt would replace
    // the terminal files with what a cut or unsorted work file holds.
    const bool converted = chain.TempFileCreation(name) && chain.SortTempFile() &&
                           chain.CommaFileCreation(name) && chain.StCvrt("Temp" + name);
    if (!converted) {
        m_boxes->show("Data Conversion Error! ", MsgIcon::Exclamation, MsgButtons::Ok,
                      kWindowTitle);
        txtFile->clear();
        txtFile->setFocus();
        return false;
    }

    enterWaitState("Downloading Please wait.....");
    return true;
}

bool frmConverterMain::confirmTransfer() {
    return m_boxes->show(std::string("Transfering Files ...") + kCrLf +
                             "To transfer files successfully keep Vorixan in Transfer mode ",
                         MsgIcon::None, MsgButtons::OkCancel, kWindowTitle) == MsgAnswer::Ok;
}

void frmConverterMain::downloadRefusedNotUploaded() {
    m_boxes->show("Collection does not uploded. Cannot download at this time", MsgIcon::Information,
                  MsgButtons::Ok, kWindowTitle);
    txtFile->clear();
    m_progress->setValue(0);
}

void frmConverterMain::downloadCancelled() {
    deleteDataFileIfPresent("MASTER.DAT");
    leaveWaitState();
    m_progress->setValue(0);
}

void frmConverterMain::downloadSucceeded() {
    m_boxes->show("Data Downloaded to Vorixan Successfully", MsgIcon::Information, MsgButtons::Ok,
                  kWindowTitle);
    lblStatus->clear();
    leaveWaitState();
    deleteDataFileIfPresent("MASTER.DAT");
    txtFile->clear();
    txtFile->setFocus();
    m_progress->setValue(0);
}

void frmConverterMain::downloadFailed() {
    m_boxes->show("Downloaded to Vorixan failed", MsgIcon::Information, MsgButtons::Ok,
                  kWindowTitle);
    const std::string& name = conversion().sourceFileName;
    deleteDataFileIfPresent(name);
    deleteDataFileIfPresent("Temp" + name);
    // The progress bar keeps the value the last transfer left.
    leaveWaitState();
}

bool frmConverterMain::Set_Date_Time() {
    if (Mode != "USB")
        return false;
    const LocalDateTime now = m_clock->localNow();
    const std::string dateTimeDigits = zeroPadded(now.day, 2) + zeroPadded(now.month, 2) +
                                       zeroPadded(now.year, 4) + zeroPadded(now.hour, 2) +
                                       zeroPadded(now.minute, 2) + zeroPadded(now.second, 2);
    return objCLSUSB().WriteToUSB("DATEANDTIME-" + dateTimeDigits, "", nullptr);
}

} // namespace kelvarin
