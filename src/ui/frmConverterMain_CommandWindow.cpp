// What the transfer commands do to the window while they run, and to the data folder.
#include "settings/mdlLoadSetup.h"
#include "ui/QtPlatform.h"
#include "ui/frmConverterMain.h"

#include <QLabel>
#include <QPushButton>
#include <filesystem>

namespace kelvarin {

void frmConverterMain::enterWaitState(const std::string& waitText) {
    lblStatus->setText(fromBytes(waitText));
    lblStatus->show();
    CmdDownload->setEnabled(false);
    cmdUpload->setEnabled(false);
    cmdCancel->setEnabled(false);
}

void frmConverterMain::leaveWaitState() {
    CmdDownload->setEnabled(true);
    cmdUpload->setEnabled(true);
    cmdCancel->setEnabled(true);
    lblStatus->hide();
}

void frmConverterMain::deleteDataFileIfPresent(const std::string& name) {
    conversion().FSo.DeleteIfPresent(std::filesystem::path(mdlLoadSetup::GetDataPath()) / name);
}

} // namespace kelvarin
