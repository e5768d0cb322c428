#pragma once

#include "support/FakeClock.h"
#include "support/PseudoTerminal.h"
#include "support/ScriptedSerialControl.h"
#include "support/SerialTerminalSimulator.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kelvarin::test {

// The terminal on the master side of a pseudo-terminal: reads poll the master fd so that stop()
// ends a waiting read within a few milliseconds.
class PtyTerminalLink final : public TerminalLink {
public:
    explicit PtyTerminalLink(int masterFd) : m_fd(masterFd) {}
    // hangUp() closes the master side of `pty`: the program's side hangs up.
    explicit PtyTerminalLink(PseudoTerminal& pty) : m_fd(pty.masterFd()), m_pty(&pty) {}

    bool readByte(std::uint8_t& b) override;
    void write(const std::string& bytes) override;
    void hangUp() override;
    bool stopped() const override { return m_stopped; }
    void stop() { m_stopped = true; }
    // Whether hangUp() has closed the master.
    bool hungUp() const { return m_hungUp; }

private:
    int m_fd;
    PseudoTerminal* m_pty = nullptr;
    std::atomic<bool> m_hungUp{false};
    std::atomic<bool> m_stopped{false};
    std::string m_buffer;
    std::size_t m_pos = 0;
};

// The terminal behind a ScriptedSerialControl, for runs on the fake clock. The simulator runs on
// its own thread, but in lock step with the program: each time the program yields, it waits
// until the simulator has taken every byte sent so far and waits for more, and only then hands
// the simulator's answers to the port. So time passes only while the terminal is idle, and a
// time-out on the fake clock means the terminal truly said nothing.
class ScriptedTerminalLink final : public TerminalLink {
public:
    // Takes over `port.onOutput` and `pump.onYield`.
    ScriptedTerminalLink(ScriptedSerialControl& port, FakeEventPump& pump);

    bool readByte(std::uint8_t& b) override;
    void write(const std::string& bytes) override;
    bool stopped() const override;
    void stop();
    // The simulator has returned; nothing more will come.
    void finished();

private:
    void settle();

    ScriptedSerialControl& m_port;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::uint8_t> m_fromPc;
    std::string m_toPc;
    bool m_waiting = false;
    bool m_stopped = false;
    bool m_finished = false;
};

// Runs a simulator on its own thread; the destructor stops the link and joins exactly that
// thread.
template <typename Link>
class SimulatorThread {
public:
    SimulatorThread(SerialTerminalSimulator& sim, Link& link) : m_link(link) {
        m_thread = std::thread([&sim, &link] {
            sim.run();
            if constexpr (requires { link.finished(); })
                link.finished();
            else
                (void)link;
        });
    }
    ~SimulatorThread() { stop(); }
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    // Ends the simulator; its results may be read afterwards.
    void stop() {
        if (!m_thread.joinable())
            return;
        m_link.stop();
        m_thread.join();
    }

private:
    Link& m_link;
    std::thread m_thread;
};

} // namespace kelvarin::test
