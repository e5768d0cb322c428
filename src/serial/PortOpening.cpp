#include "platform/MessageBoxes.h"
#include "platform/RuntimeError.h"
#include "serial/ComPortName.h"
#include "serial/ModTrans.h"
#include "settings/TransSettingsRecord.h"
#include "settings/mdlLoadSetup.h"

namespace kelvarin::ModTrans {

namespace {

std::string failureText(const std::exception& e) {
    if (const auto* re = dynamic_cast<const RuntimeError*>(&e))
        return re->description();
    return e.what();
}

} // namespace

bool OpenCommPort(int port, const std::string& baud) {
    try {
        SerialControl& c = CommCtl();
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
        return CommCtl().portOpen();
    } catch (const std::exception& e) {
        gStatusText = failureText(e) + kCrLf + "Close any application using same port.";
        return false;
    }
}

bool LoadTransSettings(const std::string& folder) {
    try {
        const TransSettingsRecord record =
            loadOrCreateTransSettingsFile(mdlLoadSetup::TrimBlanks(folder) + "TRANS.DAT");
        if (!OpenCommPort(comPortNumber(record.Port), record.Baud))
            return false;
        mdlLoadSetup::SetCommPort(record.Port);
        mdlLoadSetup::SetBaudRate(record.Baud);
        return true;
    } catch (const std::exception& e) {
        // The port error box shows why TRANS.DAT could not be used.
        gStatusText = failureText(e);
        return false;
    }
}

} // namespace kelvarin::ModTrans
