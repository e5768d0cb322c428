#pragma once

#include "serial/SerialControl.h"
#include "support/FakeClock.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kelvarin::test {

// A serial control in memory. Bytes the "terminal" sends are queued with feed(), or with
// feedAt() to arrive once the fake clock reaches a time; what the program sends collects in
// sent(). onOutput, when set, sees every byte as it is sent and may feed replies.
class ScriptedSerialControl final : public SerialControl {
public:
    explicit ScriptedSerialControl(FakeClock* clock = nullptr) : m_clock(clock) {}

    void setCommPort(int port) override;
    int commPort() const override { return m_port; }
    void setSettings(const std::string& settings) override;
    std::string settings() const override { return m_settings; }
    void setInputLen(int n) override { m_inputLen = n; }
    void setInputMode(InputMode mode) override { m_mode = mode; }
    InputMode inputMode() const override { return m_mode; }
    void setRThreshold(int n) override { rThreshold = n; }
    void setSThreshold(int n) override { sThreshold = n; }
    void setPortOpen(bool open) override;
    bool portOpen() const override { return m_open && !lost; }
    int inBufferCount() override;
    void setInBufferCount(int n) override;
    int outBufferCount() override { return outputStuck ? 1 : 0; }
    void setOutBufferCount(int n) override;
    void setOutput(const std::string& data) override;
    std::string input() override;
    bool drainOutput() override {
        ++drains;
        return !lost;
    }
    bool linkLost() override { return lost; }

    // Queue bytes from the terminal now, or to arrive when the clock reaches `atSeconds`.
    void feed(const std::string& bytes);
    void feedAt(double atSeconds, const std::string& bytes);

    const std::string& sent() const { return m_sent; }
    void clearSent() { m_sent.clear(); }
    std::size_t waiting() const { return m_in.size(); }
    int inputLen() const { return m_inputLen; }

    // Port numbers that fail to open (as a missing device does).
    std::vector<int> missingPorts;
    std::function<void(unsigned char)> onOutput;
    int rThreshold = -1;
    int sThreshold = -1;
    int drains = 0;
    // The port hung up (linkLost()), or its output never leaves (outBufferCount() stays 1).
    bool lost = false;
    bool outputStuck = false;
    int inputDiscards = 0;
    int outputDiscards = 0;

private:
    void deliverDue();

    FakeClock* m_clock;
    int m_port = 1;
    std::string m_settings = "9600,N,8,1";
    int m_inputLen = 0;
    InputMode m_mode = InputMode::Text;
    bool m_open = false;
    std::deque<char> m_in;
    std::vector<std::pair<double, std::string>> m_scheduled;
    std::string m_sent;
};

} // namespace kelvarin::test
