// Start-up, the clock, Enter in the master-file box and Exit.
#include "platform/RuntimeError.h"
#include "serial/ModTrans.h"
#include "serial/RecoverData.h"
#include "settings/TextFileService.h"
#include "settings/mdlLoadSetup.h"
#include "ui/QtPlatform.h"
#include "ui/frmConverterMain.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <filesystem>

namespace kelvarin {

namespace {

void createDataFolder(const std::string& path) {
    std::error_code ec;
    // A file of that name counts as the folder existing.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
        return;
    if (!std::filesystem::create_directory(path, ec) && ec)
        throwFileError(path, ec.value());
}

} // namespace

void frmConverterMain::Form_Load() {
    using namespace mdlLoadSetup;
    try {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect s = screen->geometry();
            const FormPosition pos = CenterForm(s.width(), s.height(), frameGeometry().width(),
                                                frameGeometry().height());
            move(s.x() + static_cast<int>(pos.left), s.y() + static_cast<int>(pos.top));
        }
        Timer1->start();

        SetProgramFolder(m_programFolder);
        const std::string setupLine = TrimBlanks(ReadSetupFile(m_programFolder));

        ModTrans::gCommCtl = m_serial.get();
        ModTrans::gClock = m_clock;
        ModTrans::gPump = m_pump;
        ModTrans::gMessageBoxes = m_boxes;

        fraPortSettings->hide();
        if (!setupLine.empty())
            txtFile->setText(fromFileName(setupLine));

        SetAppPath(TrimBlanks(m_programFolder + kPathSep));
        SetDataPath(TrimBlanks(m_programFolder + kPathSep + "Data"));
        createDataFolder(GetDataPath());

        if (ModTrans::LoadTransSettings(GetAppPath())) {
            txtComPort->setText(fromBytes(GetCommPort()));
        } else {
            m_boxes->show(std::string("Communication Port Error!") + kCrLf + ModTrans::gStatusText +
                              " or specify another valid Port and Baud rate",
                          MsgIcon::Exclamation, MsgButtons::Ok, kWindowTitle);
            fraPortSettings->show();
        }
    } catch (const RuntimeError& e) {
        showRunTimeError(e);
    }
}

void frmConverterMain::Timer1_Timer() {
    const LocalDateTime now = m_clock->localNow();
    const QString date = QStringLiteral("%1/%2/%3")
                             .arg(now.day, 2, 10, QLatin1Char('0'))
                             .arg(now.month, 2, 10, QLatin1Char('0'))
                             .arg(now.year, 4, 10, QLatin1Char('0'));
    // The system's time format, without the zone name it may carry.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    const QString time =
        QLocale::system().toString(QTime(now.hour, now.minute, now.second), format.trimmed());
    Label1->setText(date + QStringLiteral("  ") + time);
}

void frmConverterMain::txtFile_KeyPress(int keyAscii) {
    if (keyAscii != 13 || !txtFile->text().isEmpty())
        return;
    m_boxes->show("Not a valid Source File. Enter a valid Source File Name", MsgIcon::Exclamation,
                  MsgButtons::Ok, kWindowTitle);
    txtFile->setFocus();
}

void frmConverterMain::cmdCancel_Click() {
    if (m_boxes->show("Do You Want to Exit ?", MsgIcon::Question, MsgButtons::YesNo,
                      kWindowTitle) == MsgAnswer::Yes) {
        m_command.requestEnd();
        m_endProgram();
    }
}

} // namespace kelvarin
