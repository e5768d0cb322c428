#include "support/SerialPortRig.h"

#include "serial/FileTransfer.h"
#include "serial/ModTrans.h"
#include "settings/mdlLoadSetup.h"

#include <stdexcept>

namespace kelvarin::test {

SerialPortRig::SerialPortRig() {
    ModTrans::ResetModTrans();
    mdlLoadSetup::ResetSettings();
    std::filesystem::create_directories(dataFolder());
    std::filesystem::create_symlink(pty.slavePath(), folder.path() / "COM1");
    mdlLoadSetup::SetProgramFolder(folder.str());
    mdlLoadSetup::SetDataPath(dataFolder().string());
    mdlLoadSetup::SetAppPath(dataFolder().string());
    control = std::make_unique<QSerialPortControl>(folder.path());
    ModTrans::gCommCtl = control.get();
    ModTrans::gClock = &clock;
    ModTrans::gPump = &pump;
    if (!ModTrans::OpenCommPort(1, "57600 "))
        throw std::runtime_error(ModTrans::gStatusText);
}

SerialPortRig::~SerialPortRig() {
    ModTrans::CloseTransferFile();
    control->setPortOpen(false);
    ModTrans::ResetModTrans();
    mdlLoadSetup::ResetSettings();
}

} // namespace kelvarin::test
