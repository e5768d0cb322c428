#include "support/TerminalLinks.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace kelvarin::test {

namespace {
constexpr int kPollMs = 10;
}

bool PtyTerminalLink::readByte(std::uint8_t& b) {
    while (m_pos >= m_buffer.size()) {
        if (m_fd < 0)
            return false;
        // Once stopped, bytes already on their way are still taken; only then does it end.
        const bool stopped = m_stopped;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, stopped ? 0 : kPollMs) <= 0) {
            if (stopped)
                return false;
            continue;
        }
        char buf[4096];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return false;
        }
        m_buffer.assign(buf, static_cast<std::size_t>(n));
        m_pos = 0;
    }
    b = static_cast<std::uint8_t>(m_buffer[m_pos++]);
    return true;
}

void PtyTerminalLink::hangUp() {
    // Only the simulator's thread uses the master until it ends, so it may close it here.
    if (m_pty != nullptr)
        m_pty->closeMaster();
    m_fd = -1;
    m_hungUp = m_pty != nullptr;
}

void PtyTerminalLink::write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && !m_stopped && m_fd >= 0) {
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, kPollMs) <= 0)
            continue;
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

ScriptedTerminalLink::ScriptedTerminalLink(ScriptedSerialControl& port, FakeEventPump& pump)
    : m_port(port) {
    port.onOutput = [this](unsigned char c) {
        std::lock_guard lock(m_mutex);
        m_fromPc.push_back(c);
        m_changed.notify_all();
    };
    pump.onYield = [this] { settle(); };
}

bool ScriptedTerminalLink::readByte(std::uint8_t& b) {
    std::unique_lock lock(m_mutex);
    m_waiting = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_stopped || !m_fromPc.empty(); });
    m_waiting = false;
    // Bytes the program sent before the stop are still taken.
    if (m_fromPc.empty())
        return false;
    b = m_fromPc.front();
    m_fromPc.pop_front();
    return true;
}

void ScriptedTerminalLink::write(const std::string& bytes) {
    std::lock_guard lock(m_mutex);
    m_toPc += bytes;
}

bool ScriptedTerminalLink::stopped() const {
    std::lock_guard lock(m_mutex);
    return m_stopped;
}

void ScriptedTerminalLink::stop() {
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

void ScriptedTerminalLink::finished() {
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_changed.notify_all();
}

void ScriptedTerminalLink::settle() {
    std::string answers;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(
            lock, [this] { return m_finished || m_stopped || (m_waiting && m_fromPc.empty()); });
        answers.swap(m_toPc);
    }
    if (!answers.empty())
        m_port.feed(answers);
}

} // namespace kelvarin::test
