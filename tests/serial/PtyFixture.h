#pragma once

#include "ProtocolFixtures.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "serial/QSerialPortControl.h"
#include "support/PseudoTerminal.h"

namespace kelvarin::test {

// The protocol over a real port: QSerialPortControl opens COM1, a link in the program folder to
// a pseudo-terminal whose master side the simulated terminal serves. Real clock, no window.
class PtyTerminalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
        std::filesystem::create_directories(dataFolder());
        std::filesystem::create_symlink(pty.slavePath(), folder.path() / "COM1");
        mdlLoadSetup::SetProgramFolder(folder.str());
        mdlLoadSetup::SetDataPath(dataFolder().string());
        mdlLoadSetup::SetAppPath(dataFolder().string());
        control = std::make_unique<QSerialPortControl>(folder.path());
        ModTrans::gCommCtl = control.get();
        ModTrans::gClock = &clock;
        ModTrans::gPump = &pump;
        ASSERT_TRUE(ModTrans::OpenCommPort(1, "57600 ")) << ModTrans::gStatusText;
    }
    void TearDown() override {
        stopTerminal();
        ModTrans::CloseTransferFile();
        control->setPortOpen(false);
        ModTrans::ResetModTrans();
    }

    void start() { m_thread = std::make_unique<SimulatorThread<PtyTerminalLink>>(sim, link); }
    void stopTerminal() {
        if (m_thread)
            m_thread->stop();
    }

    std::filesystem::path dataFolder() const { return folder.path() / "Data"; }
    std::filesystem::path dataFile(const std::string& name) const { return dataFolder() / name; }

    TempFolder folder;
    PseudoTerminal pty;
    SystemClock clock;
    NullEventPump pump;
    std::unique_ptr<QSerialPortControl> control;
    PtyTerminalLink link{pty.masterFd()};
    SerialTerminalSimulator sim{link};

private:
    std::unique_ptr<SimulatorThread<PtyTerminalLink>> m_thread;
};

} // namespace kelvarin::test
