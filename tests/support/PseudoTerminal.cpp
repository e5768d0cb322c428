#include "support/PseudoTerminal.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace kelvarin::test {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios t{};
    tcgetattr(m_master, &t);
    cfmakeraw(&t);
    tcsetattr(m_master, TCSANOW, &t);
    m_slavePath = name;
}

PseudoTerminal::~PseudoTerminal() {
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

void PseudoTerminal::closeMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PseudoTerminal::write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            throw std::runtime_error("write to pseudo-terminal failed");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string PseudoTerminal::read(std::size_t count, std::chrono::milliseconds limit) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(m_master, buf, std::min(sizeof buf, count - out.size()));
        if (n <= 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

std::string PseudoTerminal::readAvailable(std::chrono::milliseconds quiet,
                                          std::chrono::milliseconds limit) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0)
            break;
        char buf[4096];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

} // namespace kelvarin::test
