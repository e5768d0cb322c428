#pragma once

#include "ProtocolFixtures.h"
#include "support/SerialPortRig.h"

namespace kelvarin::test {

// The protocol over a real port (see SerialPortRig), with the simulated terminal on its own
// thread from start() until the test ends.
class PtyTerminalTest : public ::testing::Test, protected SerialPortRig {
protected:
    void TearDown() override { stopTerminal(); }

    void start() { m_thread = std::make_unique<SimulatorThread<PtyTerminalLink>>(sim, link); }
    void stopTerminal() {
        if (m_thread)
            m_thread->stop();
    }

private:
    std::unique_ptr<SimulatorThread<PtyTerminalLink>> m_thread;
};

} // namespace kelvarin::test
