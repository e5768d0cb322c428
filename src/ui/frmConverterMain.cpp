#include "ui/frmConverterMain.h"

#include "serial/ModTrans.h"
#include "serial/QSerialPortControl.h"
#include "serial/RecoverData.h"
#include "ui/QtFileDialogs.h"
#include "ui/QtPlatform.h"
#include "usb/HidapiLibrary.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QValidator>

namespace kelvarin {

namespace {

// Limits what the user types into a box without cutting text the program puts there
// (QLineEdit::setMaxLength would cut both).
class TypedLengthValidator final : public QValidator {
public:
    TypedLengthValidator(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}
    State validate(QString& input, int& /*pos*/) const override {
        return input.size() <= m_limit ? Acceptable : Invalid;
    }

private:
    int m_limit;
};

QPushButton* button(QWidget* parent, const char* name, const char* text, QRect geometry) {
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const char* text, QRect geometry) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, int typedLimit, QRect geometry) {
    auto* t = new QLineEdit(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setValidator(new TypedLengthValidator(typedLimit, t));
    t->setGeometry(geometry);
    return t;
}

QFrame* frame(QWidget* parent, const char* name, QRect geometry) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::Box);
    f->setGeometry(geometry);
    return f;
}

} // namespace

frmConverterMain::frmConverterMain(const std::string& programFolder, WindowServices services)
    : m_programFolder(programFolder) {
    setObjectName(QStringLiteral("frmConverterMain"));
    setWindowTitle(QStringLiteral("Kelvarin_Ver.3, Dated:16/09/2011"));
    setFixedSize(800, 600);
    setAutoFillBackground(true);

    buildControls();

    if (services.boxes == nullptr) {
        m_ownBoxes = std::make_unique<QtMessageBoxes>(this);
        services.boxes = m_ownBoxes.get();
    }
    if (services.clock == nullptr) {
        m_ownClock = std::make_unique<SystemClock>();
        services.clock = m_ownClock.get();
    }
    if (services.pump == nullptr) {
        m_ownPump = std::make_unique<QtEventPump>();
        services.pump = m_ownPump.get();
    }
    if (!services.serial)
        services.serial = std::make_unique<QSerialPortControl>(programFolder);
    if (!services.endProgram)
        services.endProgram = [] { QCoreApplication::exit(0); };
    m_commandBoxes = std::make_unique<StoppableMessageBoxes>(*services.boxes, m_command);
    m_commandPump = std::make_unique<StoppableEventPump>(*services.pump, m_command);
    m_boxes = m_commandBoxes.get();
    m_clock = services.clock;
    m_pump = m_commandPump.get();
    m_serial = std::move(services.serial);
    m_endProgram = std::move(services.endProgram);
    m_hid = std::move(services.hid);
    m_progress = std::make_unique<QtProgressBar>(ccrpPB);
    m_conversion = std::make_unique<TerminalConversion>(*m_boxes, [this] { txtFile->setFocus(); });
    if (services.fileDialogs == nullptr) {
        m_ownFileDialogs = std::make_unique<QtFileDialogs>(this);
        services.fileDialogs = m_ownFileDialogs.get();
    }
    m_fileDialogs = services.fileDialogs;

    connectHandlers();
    Form_Load();
}

frmConverterMain::~frmConverterMain() {
    // The serial module must not keep pointers into a window that is gone.
    if (ModTrans::gCommCtl == m_serial.get())
        ModTrans::gCommCtl = nullptr;
    if (ModTrans::gMessageBoxes == m_boxes)
        ModTrans::gMessageBoxes = nullptr;
    if (ModTrans::gClock == m_clock || ModTrans::gPump == m_pump)
        ModTrans::ResetClockAndPump();
}

CLSUSB& frmConverterMain::objCLSUSB() {
    if (!m_usb) {
        if (!m_hid)
            m_hid = std::make_unique<HidapiLibrary>();
        m_usb = std::make_unique<CLSUSB>(*m_hid, *m_clock, *m_pump, *m_boxes);
    }
    return *m_usb;
}

void frmConverterMain::buildControls() {
    Frame1 = frame(this, "Frame1", {40, 40, 340, 70});
    chkIR = new QCheckBox(QStringLiteral("IR Transfer "), Frame1);
    chkIR->setObjectName(QStringLiteral("chkIR"));
    chkIR->setToolTip(QStringLiteral("Select to download via IR"));
    chkIR->setGeometry(15, 20, 140, 30);
    cmdSearchPort = button(Frame1, "cmdSearchPort", "Port Settings", {180, 18, 140, 34});

    fraPortSettings = frame(this, "fraPortSettings", {420, 40, 340, 177});
    Label5 = label(fraPortSettings, "Label5", "Enter COM Port", {20, 20, 150, 25});
    txtPortSetup = textBox(fraPortSettings, "txtPortSetup", 2, {180, 18, 60, 28});
    cmdPortOK = button(fraPortSettings, "cmdPortOK", "&Save", {40, 110, 110, 34});
    cmdClose = button(fraPortSettings, "cmdClose", "&Close", {190, 110, 110, 34});
    // These stand below the frame's visible area, as they always have: the user never sees
    // them and the baud stays at its start value.
    Label6 = label(fraPortSettings, "Label6", "Port", {20, 330, 80, 25});
    Label7 = label(fraPortSettings, "Label7", "Baud", {20, 360, 80, 25});
    txtBaudSetup = textBox(fraPortSettings, "txtBaudSetup", 6, {120, 328, 100, 28});
    txtBaudSetup->setText(QStringLiteral("57600"));
    txtBaudSetup->setReadOnly(true);

    Label2 = label(this, "Label2", "Source File", {40, 260, 120, 28});
    txtFile = textBox(this, "txtFile", 12, {170, 258, 240, 30});
    cmdSerchFile = button(this, "cmdSerchFile", "....", {420, 256, 60, 34});

    txtComPort = label(this, "txtComPort", "", {40, 130, 200, 25});
    Label1 = label(this, "Label1", "", {560, 540, 220, 25});
    lblStatus = label(this, "lblStatus", "Status", {40, 320, 500, 28});
    lblStatus->hide();

    ccrpPB = new QProgressBar(this);
    ccrpPB->setObjectName(QStringLiteral("ccrpPB"));
    ccrpPB->setGeometry(40, 360, 720, 26);
    ccrpPB->setRange(0, 100);
    ccrpPB->setValue(0);

    CmdDownload = button(this, "CmdDownload", "&Download To Vorixan", {40, 440, 220, 44});
    cmdUpload = button(this, "cmdUpload", "&Upload To PC", {290, 440, 220, 44});
    cmdCancel = button(this, "cmdCancel", "&Exit", {540, 440, 220, 44});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);
}

void frmConverterMain::connectHandlers() {
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(txtFile, &QLineEdit::returnPressed, this, [this] { txtFile_KeyPress(13); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdSearchPort, &QPushButton::clicked, this, [this] { cmdSearchPort_Click(); });
    connect(txtPortSetup, &QLineEdit::textChanged, this, [this] { txtPortSetup_Change(); });
    connect(cmdPortOK, &QPushButton::clicked, this, [this] { cmdPortOK_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdSerchFile, &QPushButton::clicked, this, [this] { cmdSerchFile_Click(); });
    connect(CmdDownload, &QPushButton::clicked, this, [this] { CmdDownload_Click(); });
    connect(cmdUpload, &QPushButton::clicked, this, [this] { cmdUpload_Click(); });
}

} // namespace kelvarin
