#include "serial/ModTrans.h"

#include "platform/MessageBoxes.h"
#include "platform/RuntimeError.h"
#include "settings/TransSettingsRecord.h"
#include "settings/mdlLoadSetup.h"

#include <filesystem>

namespace kelvarin::ModTrans {

namespace {

SerialControl& control() {
    if (gCommCtl == nullptr)
        throw RuntimeError(91, "Object variable not set");
    return *gCommCtl;
}

std::string failureText(const std::exception& e) {
    if (const auto* re = dynamic_cast<const RuntimeError*>(&e))
        return re->description();
    return e.what();
}

// The port number a Port character stands for: its digit, or 0 for a blank or a non-digit.
int portNumber(const std::string& portText) {
    if (portText.empty() || portText[0] < '0' || portText[0] > '9')
        return 0;
    return portText[0] - '0';
}

} // namespace

bool OpenCommPort(int port, const std::string& baud) {
    try {
        SerialControl& c = control();
        c.setCommPort(port);
        c.setSettings(baud + ",N,8,1");
        c.setInputLen(1);
        c.setInputMode(InputMode::Binary);
        c.setRThreshold(0);
        c.setSThreshold(0);
        c.setPortOpen(true);
        return true;
    } catch (const std::exception& e) {
        gStatusText = failureText(e) + kCrLf + "Close any application using same port";
        return false;
    }
}

bool IsPortOpen(int /*port*/, const std::string& /*baud*/) {
    try {
        return control().portOpen();
    } catch (const std::exception& e) {
        gStatusText = failureText(e) + kCrLf + "Close any application using same port.";
        return false;
    }
}

bool LoadTransSettings(const std::string& folder) {
    try {
        const std::filesystem::path path = mdlLoadSetup::TrimBlanks(folder) + "TRANS.DAT";
        TransSettingsRecord record;
        if (!std::filesystem::exists(path)) {
            record = TransSettingsRecord::defaults();
            writeTransSettingsFile(path, record);
        } else {
            record = readTransSettingsFile(path);
        }
        if (!OpenCommPort(portNumber(record.Port), record.Baud))
            return false;
        mdlLoadSetup::SetCommPort(record.Port);
        mdlLoadSetup::SetBaudRate(record.Baud);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace kelvarin::ModTrans
