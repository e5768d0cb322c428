// The Upload command: fetches the terminal's AGENT.DAT, MASTER.TRN and MASTER.DAT over USB or the
// serial link and writes the agent's upload text file from them.
#include "conversion/FailureMapping.h"
#include "conversion/RecordFile.h"
#include "conversion/RecordRoutines.h"
#include "conversion/UploadSummary.h"
#include "conversion/UploadTransactionLines.h"
#include "serial/CommandExchange.h"
#include "settings/DiskSync.h"
#include "settings/mdlLoadSetup.h"
#include "ui/HeldMessageBox.h"
#include "ui/KeptCollection.h"
#include "ui/QtPlatform.h"
#include "ui/frmConverterMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

namespace kelvarin {

namespace {

namespace fs = std::filesystem;

constexpr const char* kAgentFile = "AGENT.DAT";
constexpr const char* kMasterFile = "MASTER.DAT";
constexpr const char* kUploadWaitText = "Uploading Please wait.....";

// The files the USB link fetches, in order: the name the terminal is asked for, and the file
// that arrives in the receive folder (the link asks in capitals).
struct UsbFetch {
    const char* requested;
    const char* received;
};
constexpr UsbFetch kUsbFetchOrder[] = {
    {"AGENT.DAT", kAgentFile}, {"Master.TRN", kTransactionFile}, {"MASTER.DAT", kMasterFile}};

} // namespace

void frmConverterMain::cmdUpload_Click() {
    runCommand([this] {
        Mode = chkIR->isChecked() ? "COM" : "USB";
        // True while the terminal is open over USB: every end from then on disconnects.
        bool linkOpen = false;
        // True once the transfer has ended: a MASTER.TRN in the data folder is then this run's
        // collection.
        bool received = false;
        try {
            received = Mode == "USB" ? uploadOverUsb(linkOpen) : uploadOverSerial();
            if (received)
                writeUploadFile(linkOpen);
        } catch (const std::exception&) {
            // The files the command opened were closed on the way here. The box comes first,
            // then the window is left as the failure ends leave it, so that another try can
            // start.
            const RuntimeError error = asRuntimeError(std::current_exception());
            showRunTimeError(error, received ? keepCollection() : std::string());
            uploadEnded(linkOpen);
        }
    });
}

bool frmConverterMain::uploadOverUsb(bool& linkOpen) {
    m_progress->setValue(0);
    CLSUSB& usb = objCLSUSB();
    if (!usb.GetDevices()) {
        m_boxes->show(std::string("Device not found! ") + kCrLf +
                          "To Upload data keep device in transfer mode",
                      MsgIcon::Exclamation, MsgButtons::Ok, kWindowTitle);
        return false;
    }
    linkOpen = true;
    if (!confirmUpload()) {
        disconnectUpload(linkOpen);
        return false;
    }
    enterWaitState(kUploadWaitText);

    const fs::path folder = uploadReceiveFolder();
    keepEarlierCollection(folder);
    for (const UsbFetch& file : kUsbFetchOrder) {
        // A failed request must not leave an older copy in the file's place.
        conversion().FSo.DeleteIfPresent(folder / file.received);
        if (!usb.ReadFromUSB(file.requested, folder.string(), m_progress.get())) {
            // A file arrives whole or not at all, and an older MASTER.TRN was moved aside above:
            // one here is this run's collection, kept aside at once so that no later upload takes
            // it for its own.
            m_boxes->show(std::string("Communication Error! Uploading aborted. Make sure the "
                                      "device is connected and try again.") +
                              keepCollection(),
                          MsgIcon::Exclamation, MsgButtons::Ok, kWindowTitle);
            uploadEnded(linkOpen);
            return false;
        }
    }
    return true;
}

bool frmConverterMain::uploadOverSerial() {
    m_progress->setValue(0);
    if (!confirmUpload())
        return false;
    enterWaitState(kUploadWaitText);

    // The transfer's result is not examined: the files present afterwards decide. Files of an
    // earlier run must therefore not be there to be taken for this run's.
    const fs::path folder = uploadReceiveFolder();
    keepEarlierCollection(folder);
    for (const char* name : {kAgentFile, kTransactionFile, kMasterFile})
        conversion().FSo.DeleteIfPresent(folder / name);
    m_progress->setMaximum(100);
    static_cast<void>(
        ModTrans::RunTransfer("UPLOAD", folder.string(), transferErrorText, *m_progress));
    return true;
}

void frmConverterMain::keepEarlierCollection(const fs::path& folder) {
    // A successful upload deletes MASTER.TRN, so one still here was never turned into a text
    // file. It is moved out of the way rather than deleted; a failed move ends the command here.
    static_cast<void>(KeepTransactionFile(folder, m_clock->localNow()));
}

std::string frmConverterMain::keepCollection() {
    const fs::path folder = uploadReceiveFolder();
    std::optional<fs::path> kept;
    try {
        kept = KeepTransactionFile(folder, m_clock->localNow());
    } catch (const std::exception&) {
        // It stays where it is; the next upload moves it before it fetches anything, or stops.
        if (conversion().FSo.FileExists(folder / kTransactionFile))
            kept = folder / kTransactionFile;
    }
    return kept ? std::string(kCrLf) + "The collection is kept as " + kept->string() : "";
}

fs::path frmConverterMain::uploadReceiveFolder() const {
    return fs::path(mdlLoadSetup::DataFolder());
}

bool frmConverterMain::confirmUpload() {
    CmdDownload->setEnabled(false);
    if (confirmTransfer())
        return true;
    leaveWaitState();
    m_progress->setValue(0);
    return false;
}

void frmConverterMain::disconnectUpload(bool& linkOpen) {
    if (linkOpen)
        objCLSUSB().DisconnectUSB();
    linkOpen = false;
}

void frmConverterMain::uploadEnded(bool& linkOpen) {
    disconnectUpload(linkOpen);
    leaveWaitState();
}

void frmConverterMain::writeUploadFile(bool& linkOpen) {
    lblStatus->clear();
    FileSystemObject& fso = conversion().FSo;
    const fs::path folder = uploadReceiveFolder();
    const fs::path transactionFile = folder / kTransactionFile;
    const fs::path agentFile = folder / kAgentFile;
    if (!fso.FileExists(transactionFile) || !fso.FileExists(agentFile)) {
        disconnectUpload(linkOpen);
        m_boxes->show("No Transaction made", MsgIcon::Information, MsgButtons::Ok, kWindowTitle);
        leaveWaitState();
        return;
    }

    // GetAgentFileName keeps the name, which comes from the terminal, inside the data folder.
    std::string outputName;
    {
        RecordFileReader agent(agentFile);
        outputName = GetAgentFileName(agent);
    }
    const fs::path output = fs::path(mdlLoadSetup::GetDataPath()) / outputName;
    fso.DeleteIfPresent(output);
    if (!fso.FileExists(transactionFile)) {
        m_boxes->show(" File not found ", MsgIcon::Exclamation, MsgButtons::Ok, kAppTitle);
        uploadEnded(linkOpen);
        return;
    }

    const auto transactions = readRecordFile<TransactionRecord>(transactionFile);
    auto out = fso.OpenTextFile(output, IoMode::ForWriting, true);
    const auto agents = readRecordFile<AgentRecord>(agentFile);
    out->WriteLine(
        UploadSummaryLine(agents.empty() ? AgentRecord{} : agents.front(), transactions));
    RecordFileReader trn(transactionFile);
    // Reconvert's box waits until the collection has been moved aside, so that it can say where.
    HeldMessageBox reconvertBox;
    const bool converted = Reconvert(trn, *out, reconvertBox);
    trn.close();
    out->Close();
    if (!converted) {
        // No success is reported, so that no collection is lost behind a success message.
        reconvertBox.showOn(*m_boxes, keepCollection());
        uploadEnded(linkOpen);
        return;
    }

    // MASTER.TRN goes only once the text file is on the disk itself: a power cut after the
    // success message must not lose the collection. A failure here keeps the collection.
    SyncToDisk(output);
    fso.DeleteIfPresent(transactionFile);
    leaveWaitState();
    m_boxes->show("Data successfully uploaded to PC " + std::string(20, ' '), MsgIcon::Information,
                  MsgButtons::Ok, kWindowTitle);
    m_progress->setValue(0);
    disconnectUpload(linkOpen);
}

} // namespace kelvarin
