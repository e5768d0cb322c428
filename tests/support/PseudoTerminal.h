#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace kelvarin::test {

// A raw pseudo-terminal pair: the program opens slavePath() as its serial port, the test or a
// simulated terminal talks through the master side.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::filesystem::path& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Writes all bytes to the master side.
    void write(const std::string& bytes);

    // Reads until `count` bytes have come or `limit` has passed; returns what came.
    std::string read(std::size_t count,
                     std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

    // Reads whatever arrives within `quiet` of the last byte (at most `limit` in all).
    std::string readAvailable(std::chrono::milliseconds quiet = std::chrono::milliseconds(50),
                              std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

    // Closes the master side: the program's side sees a hang-up.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the slave stays raw between the program's opens
    std::filesystem::path m_slavePath;
};

} // namespace kelvarin::test
