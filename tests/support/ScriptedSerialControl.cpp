#include "support/ScriptedSerialControl.h"

#include "platform/RuntimeError.h"
#include "serial/SerialSettingsText.h"

#include <algorithm>

namespace kelvarin::test {

void ScriptedSerialControl::setCommPort(int port) {
    if (m_open)
        throw RuntimeError(8005, "Port already open");
    if (port < 1 || port > 9)
        throw RuntimeError(8002, "Invalid port number");
    m_port = port;
}

void ScriptedSerialControl::setSettings(const std::string& settings) {
    if (!parseSerialSettings(settings))
        throw RuntimeError(380, "Invalid property value");
    m_settings = settings;
}

void ScriptedSerialControl::setPortOpen(bool open) {
    if (open && m_open && !lost)
        throw RuntimeError(8005, "Port already open");
    if (open && std::find(missingPorts.begin(), missingPorts.end(), m_port) != missingPorts.end())
        throw RuntimeError(8002, "Invalid port number");
    m_open = open;
    lost = false;
}

void ScriptedSerialControl::deliverDue() {
    if (m_clock == nullptr)
        return;
    const double now = m_clock->seconds();
    auto due = std::stable_partition(m_scheduled.begin(), m_scheduled.end(),
                                     [now](const auto& s) { return s.first <= now; });
    for (auto it = m_scheduled.begin(); it != due; ++it)
        m_in.insert(m_in.end(), it->second.begin(), it->second.end());
    m_scheduled.erase(m_scheduled.begin(), due);
}

int ScriptedSerialControl::inBufferCount() {
    if (!m_open)
        throw RuntimeError(8012, "Operation valid only when the port is open");
    deliverDue();
    return static_cast<int>(m_in.size());
}

void ScriptedSerialControl::setInBufferCount(int /*n*/) {
    deliverDue();
    m_in.clear();
    ++inputDiscards;
}

void ScriptedSerialControl::setOutBufferCount(int /*n*/) {
    ++outputDiscards;
}

void ScriptedSerialControl::setOutput(const std::string& data) {
    if (!m_open)
        throw RuntimeError(8012, "Operation valid only when the port is open");
    for (char c : data) {
        m_sent.push_back(c);
        if (onOutput)
            onOutput(static_cast<unsigned char>(c));
    }
}

std::string ScriptedSerialControl::input() {
    if (!m_open)
        throw RuntimeError(8012, "Operation valid only when the port is open");
    deliverDue();
    const std::size_t n =
        m_inputLen == 0 ? m_in.size() : std::min<std::size_t>(m_in.size(), m_inputLen);
    std::string out(m_in.begin(), m_in.begin() + static_cast<std::ptrdiff_t>(n));
    m_in.erase(m_in.begin(), m_in.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

void ScriptedSerialControl::feed(const std::string& bytes) {
    m_in.insert(m_in.end(), bytes.begin(), bytes.end());
}

void ScriptedSerialControl::feedAt(double atSeconds, const std::string& bytes) {
    m_scheduled.emplace_back(atSeconds, bytes);
}

} // namespace kelvarin::test
