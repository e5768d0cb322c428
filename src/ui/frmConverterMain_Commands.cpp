// What the transfer commands share: one at a time, their error box, and the end of the program
// while one runs.
#include "conversion/FailureMapping.h"
#include "serial/FileTransfer.h"
#include "ui/frmConverterMain.h"

#include <QCloseEvent>

namespace kelvarin {

void frmConverterMain::runCommand(const std::function<void()>& body) {
    // The waits let the window handle clicks; a second command would share the serial
    // module's buffers and the USB link with the one running.
    if (!m_command.tryBegin())
        return;
    struct Finish {
        CommandControl& control;
        ~Finish() { control.finish(); }
    } finish{m_command};
    try {
        body();
    } catch (const CommandStopped&) {
        ModTrans::CloseTransferFile();
    }
}

void frmConverterMain::showRunTimeError(const RuntimeError& e, const std::string& addition) {
    m_boxes->show(runtimeErrorText(e) + addition, MsgIcon::Information, MsgButtons::Ok,
                  kWindowTitle);
}

void frmConverterMain::closeEvent(QCloseEvent* event) {
    m_command.requestEnd();
    m_endProgram();
    event->accept();
}

} // namespace kelvarin
