#include "serial/QSerialPortControl.h"

#include "platform/RuntimeError.h"
#include "serial/ComPortName.h"
#include "serial/SerialSettingsText.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace kelvarin {

namespace {

// Error numbers of the serial control.
constexpr int kErrInvalidPropertyValue = 380;
constexpr int kErrInvalidPortNumber = 8002;
constexpr int kErrPortAlreadyOpen = 8005;
constexpr int kErrPortNotAvailable = 8010;
constexpr int kErrPortNotOpen = 8012;
constexpr int kErrCommState = 8015;

QSerialPort::Parity toQtParity(char p) {
    switch (p) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

QSerialPortControl::QSerialPortControl(std::filesystem::path programFolder)
    : m_programFolder(std::move(programFolder)), m_serial(std::make_unique<QSerialPort>()) {
    // The port is watched by the event loop also while no command runs. A hung-up descriptor
    // stays readable for ever, so the loop would spin on it: QSerialPort reports the failed
    // read, and the port is closed then, but only when the descriptor shows the hang-up.
    QObject::connect(m_serial.get(), &QSerialPort::errorOccurred, m_serial.get(),
                     [this](QSerialPort::SerialPortError error) { onPortError(error); });
}

QSerialPortControl::~QSerialPortControl() = default;

void QSerialPortControl::setCommPort(int port) {
    if (m_serial->isOpen())
        throw RuntimeError(kErrPortAlreadyOpen, "Port already open");
    if (port < 1 || port > 9)
        throw RuntimeError(kErrInvalidPortNumber, "Invalid port number");
    m_port = port;
}

void QSerialPortControl::setSettings(const std::string& settings) {
    if (!parseSerialSettings(settings))
        throw RuntimeError(kErrInvalidPropertyValue, "Invalid property value");
    m_settings = settings;
    if (m_serial->isOpen()) {
        // Settings changed on an open port take effect at once.
        setPortOpen(false);
        open();
    }
}

void QSerialPortControl::setInputLen(int n) {
    if (n < 0)
        throw RuntimeError(kErrInvalidPropertyValue, "Invalid property value");
    m_inputLen = n;
}

void QSerialPortControl::setPortOpen(bool open) {
    if (!open) {
        if (m_serial->isOpen())
            m_serial->close();
        m_undrained = false;
        m_lost = false;
        return;
    }
    if (m_lost)
        stopWatching();
    if (m_serial->isOpen())
        throw RuntimeError(kErrPortAlreadyOpen, "Port already open");
    this->open();
}

void QSerialPortControl::open() {
    const auto device = comPortDevice(m_port, m_programFolder);
    const std::string where = " (COM" + std::to_string(m_port) + ": " + device.string() + ")";
    const auto s = parseSerialSettings(m_settings);
    if (!s)
        throw RuntimeError(kErrInvalidPropertyValue, "Invalid property value");

    m_serial->setPortName(QString::fromStdString(device.string()));
    if (!m_serial->open(QIODevice::ReadWrite)) {
        const auto error = m_serial->error();
        m_serial->clearError();
        if (error == QSerialPort::DeviceNotFoundError)
            throw RuntimeError(kErrInvalidPortNumber, "Invalid port number" + where);
        if (error == QSerialPort::PermissionError)
            throw RuntimeError(kErrPortNotAvailable,
                               "The port is not available: in use or access denied" + where);
        throw RuntimeError(kErrPortNotAvailable, "The port could not be opened" + where);
    }
    const bool configured =
        m_serial->setBaudRate(s->baud) &&
        m_serial->setDataBits(static_cast<QSerialPort::DataBits>(s->dataBits)) &&
        m_serial->setParity(toQtParity(s->parity)) &&
        m_serial->setStopBits(s->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        m_serial->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        m_serial->close();
        m_serial->clearError();
        throw RuntimeError(kErrCommState, "Could not set the port's settings" + where);
    }
    m_serial->clear(QSerialPort::AllDirections);
    m_lost = false;
    m_undrained = false;
}

bool QSerialPortControl::portOpen() const {
    return m_serial->isOpen();
}

void QSerialPortControl::requireOpen() const {
    // A port whose device went away counts as open until it is closed or opened again: the
    // transfer under way fails as on a dead line instead of with a run-time error.
    if (!m_serial->isOpen() && !m_lost)
        throw RuntimeError(kErrPortNotOpen, "Operation valid only when the port is open");
}

void QSerialPortControl::pollInput() {
    // Bytes reach QSerialPort's buffer only through the event loop or a wait. A short blocking
    // wait returns as soon as a byte arrives and keeps the callers' polling from spinning. On a
    // port that is gone it would return at once: there is nothing to wait for.
    if (m_serial->bytesAvailable() == 0 && !linkLost()) {
        ++m_blocking.inputWaits;
        m_serial->waitForReadyRead(kInputWaitMs);
    }
}

int QSerialPortControl::inBufferCount() {
    requireOpen();
    if (m_lost)
        return 0;
    pollInput();
    return static_cast<int>(m_serial->bytesAvailable());
}

void QSerialPortControl::setInBufferCount(int n) {
    requireOpen();
    if (n != 0)
        throw RuntimeError(kErrInvalidPropertyValue, "Invalid property value");
    if (m_lost)
        return;
    m_serial->readAll();
    m_serial->clear(QSerialPort::Input);
}

void QSerialPortControl::setOutBufferCount(int n) {
    requireOpen();
    if (n != 0)
        throw RuntimeError(kErrInvalidPropertyValue, "Invalid property value");
    if (m_lost)
        return;
    // Bytes the driver has taken have been sent: on a pseudo-terminal a flush would take them
    // back from the other side before it read them. Bytes it refused for a moment were handed
    // over all the same, and the terminal waits for them (an answered call is 08, a clear, 08),
    // so they get the time to leave. Only what a line that cannot send still holds after that
    // is discarded.
    awaitRefusedOutput();
    if (!m_lost && m_serial->bytesToWrite() > 0)
        m_serial->clear(QSerialPort::Output);
}

void QSerialPortControl::awaitRefusedOutput() {
    QElapsedTimer sinceTaken;
    sinceTaken.start();
    qint64 queued = m_serial->bytesToWrite();
    while (queued > 0 && !linkLost() && sinceTaken.elapsed() < kRefusedOutputGraceMs) {
        awaitQueuedOutput();
        if (m_serial->bytesToWrite() < queued)
            sinceTaken.restart();
        queued = m_serial->bytesToWrite();
    }
}

void QSerialPortControl::awaitQueuedOutput() {
    // Returns as soon as the driver takes more of what is queued. Never called with nothing
    // queued: then it would block for the whole wait.
    ++m_blocking.outputWaits;
    m_serial->waitForBytesWritten(kOutputWaitMs);
}

void QSerialPortControl::setOutput(const std::string& data) {
    requireOpen();
    if (m_lost)
        return; // the bytes go nowhere; the next wait sees the link lost
    const auto written = m_serial->write(data.data(), static_cast<qint64>(data.size()));
    if (written != static_cast<qint64>(data.size()))
        throw RuntimeError(kErrPortNotOpen, "The port did not take the bytes");
    // Hands the bytes to the driver without blocking; what it cannot take now stays queued
    // until the event loop or the next drain.
    m_serial->flush();
    m_undrained = true;
}

std::string QSerialPortControl::input() {
    requireOpen();
    if (m_lost)
        return {};
    pollInput();
    const QByteArray bytes = m_inputLen == 0 ? m_serial->readAll() : m_serial->read(m_inputLen);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

int QSerialPortControl::outBufferCount() {
    requireOpen();
    if (m_lost)
        return 0;
    if (m_serial->bytesToWrite() > 0)
        awaitQueuedOutput();
    int inDriver = driverOutputQueue();
    if (inDriver > 0 && m_serial->bytesToWrite() == 0) {
        // No event tells when the driver's queue has emptied: sleep briefly, or less when the
        // port hangs up meanwhile.
        ++m_blocking.outputWaits;
        pollfd p{fd(), 0, 0};
        ::poll(&p, 1, kOutputWaitMs);
        inDriver = driverOutputQueue();
    }
    return static_cast<int>(m_serial->bytesToWrite()) + std::max(inDriver, 0);
}

int QSerialPortControl::driverOutputQueue() {
    int queued = 0;
    if (::ioctl(fd(), TIOCOUTQ, &queued) != 0) {
        markLost();
        return -1;
    }
    return queued;
}

bool QSerialPortControl::drainOutput() {
    requireOpen();
    if (m_lost)
        return false;
    if (!m_undrained)
        return true;
    ++m_blocking.outputWaits;
    // The driver's queue is empty by now: this waits only for the bytes in the hardware. A
    // signal cuts the wait short without the bytes having left, so it is taken up again.
    int drained = 0;
    do
        drained = ::tcdrain(fd());
    while (drained != 0 && errno == EINTR);
    if (drained != 0) {
        markLost();
        return false;
    }
    m_undrained = false;
    return true;
}

bool QSerialPortControl::linkLost() {
    if (m_lost || !m_serial->isOpen())
        return m_lost;
    // Without this every wait would spin through its whole time-out on a hung-up port, whose
    // reads return nothing at once.
    if (hungUp())
        markLost();
    return m_lost;
}

bool QSerialPortControl::hungUp() const {
    // A hung-up tty (a USB-serial adapter unplugged, a pseudo-terminal whose master closed)
    // reports POLLHUP and POLLERR from then on.
    pollfd p{fd(), 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void QSerialPortControl::markLost() {
    m_lost = true;
    stopWatching();
}

void QSerialPortControl::stopWatching() {
    // Closing a hung-up tty does not wait for output to drain: the kernel skips that for a
    // hung-up line. The port number and settings stay for the next opening.
    if (m_serial->isOpen())
        m_serial->close();
    m_serial->clearError();
    m_undrained = false;
}

void QSerialPortControl::onPortError(int error) {
    // Only a failed read or write may mean the line hung up; waits time out with TimeoutError,
    // and a refused opening or setting has its own error. Yet none of the three proves it:
    // Qt's unix backend reports a driver that refuses a write for a moment (EAGAIN, a full
    // CDC-ACM adapter) as ResourceError and keeps the refused bytes queued to write them
    // later, and a read that finds nothing gives ReadError or ResourceError by a stale errno.
    // So the descriptor decides, once QSerialPort's own notification has returned.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    QTimer::singleShot(0, m_serial.get(), [this] {
        if (!m_lost && m_serial->isOpen() && hungUp())
            markLost();
    });
}

int QSerialPortControl::fd() const {
    return static_cast<int>(m_serial->handle());
}

} // namespace kelvarin
