#pragma once

#include "serial/SerialControl.h"

#include <filesystem>
#include <memory>

class QSerialPort;

namespace kelvarin {

// SerialControl over QSerialPort. COM port n opens the device that comPortDevice() names for
// the program folder given here. Use it only from the thread that created it; a
// QCoreApplication must exist.
class QSerialPortControl final : public SerialControl {
public:
    explicit QSerialPortControl(std::filesystem::path programFolder);
    ~QSerialPortControl() override;

    void setCommPort(int port) override;
    int commPort() const override { return m_port; }
    void setSettings(const std::string& settings) override;
    std::string settings() const override { return m_settings; }
    void setInputLen(int n) override;
    void setInputMode(InputMode mode) override { m_inputMode = mode; }
    InputMode inputMode() const override { return m_inputMode; }
    void setRThreshold(int n) override { m_rThreshold = n; }
    void setSThreshold(int n) override { m_sThreshold = n; }
    void setPortOpen(bool open) override;
    bool portOpen() const override;
    int inBufferCount() override;
    void setInBufferCount(int n) override;
    int outBufferCount() override;
    void setOutBufferCount(int n) override;
    void setOutput(const std::string& data) override;
    std::string input() override;
    bool drainOutput() override;
    bool linkLost() override;

    // Calls made so far that may block: waits for the driver to take or send output (drains
    // included), and brief waits for input. For measuring, not for the protocol.
    struct BlockingCalls {
        long outputWaits = 0;
        long inputWaits = 0;
    };
    const BlockingCalls& blockingCalls() const { return m_blocking; }

    // The longest a poll of an empty input, or of output still leaving, blocks.
    static constexpr int kInputWaitMs = 4;
    static constexpr int kOutputWaitMs = 4;
    // How long a clear of the output waits for the driver to take more of the bytes it
    // refused. A driver that is only full takes some within milliseconds.
    static constexpr int kRefusedOutputGraceMs = 250;

private:
    void requireOpen() const;
    void pollInput();
    void open();
    int fd() const;
    // Blocks at most kOutputWaitMs for the driver to take more of the bytes queued; only while
    // some are queued.
    void awaitQueuedOutput();
    // Blocks until the driver has taken the bytes it refused before, or has taken none of
    // them for kRefusedOutputGraceMs.
    void awaitRefusedOutput();
    // Bytes in the driver's output queue; -1 when the port refuses to tell (it is gone).
    int driverOutputQueue();
    // Whether the open descriptor reports a hang-up or an error now.
    bool hungUp() const;
    // The device went away: the port is closed, so that nothing watches its descriptor, and
    // counts as lost until it is closed or opened again.
    void markLost();
    void stopWatching();
    // `error` is a QSerialPort::SerialPortError.
    void onPortError(int error);

    std::filesystem::path m_programFolder;
    std::unique_ptr<QSerialPort> m_serial;
    int m_port = 1;
    std::string m_settings = "9600,N,8,1";
    int m_inputLen = 0;
    InputMode m_inputMode = InputMode::Text;
    int m_rThreshold = 0;
    int m_sThreshold = 0;
    bool m_undrained = false;
    bool m_lost = false;
    BlockingCalls m_blocking;
};

} // namespace kelvarin
