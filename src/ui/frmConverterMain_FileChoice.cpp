// "....": the master file chosen in a file dialog and copied into the program folder.
#include "settings/mdlLoadSetup.h"
#include "ui/QtPlatform.h"
#include "ui/frmConverterMain.h"

#include <QLineEdit>

namespace kelvarin {

void frmConverterMain::cmdSerchFile_Click() {
    using namespace mdlLoadSetup;
    // Always the program's own folder, whatever folder the serial link last used.
    const std::string folder = ProgramFolder() + kPathSep;
    try {
        const std::optional<ChosenFile> chosen =
            m_fileDialogs->openFile({.title = "Open Master File",
                                     .filter = ".MST",
                                     .defaultExtension = ".MST",
                                     .initialFolder = folder});
        if (!chosen)
            return;
        if (chosen->fileTitle.empty()) {
            txtFile->setFocus();
            return;
        }
        txtFile->setText(fromFileName(chosen->fileTitle));
        if (!CopyToAppFolder(chosen->fileName, chosen->fileTitle))
            m_boxes->show("Source file cannot copied to " + folder + kCrLf +
                              "Please copy Master File to " + folder,
                          MsgIcon::Information, MsgButtons::Ok, kWindowTitle);
    } catch (const std::exception&) {
        // The command ends; what it did so far stays.
    }
}

} // namespace kelvarin
