#pragma once

#include "serial/FileTransfer.h"
#include "serial/ModTrans.h"
#include "serial/RecoverData.h"
#include "settings/mdlLoadSetup.h"
#include "support/FakeClock.h"
#include "support/ScriptedSerialControl.h"
#include "support/SerialTerminalSimulator.h"
#include "support/TempFolder.h"
#include "support/TerminalLinks.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace kelvarin::test {

// The protocol on the fake clock: a ScriptedSerialControl as the port, the fake pump moving the
// clock 10 ms a yield, the transfer folder and data folder in a fresh temporary folder.
class FakePortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
        ModTrans::gCommCtl = &port;
        ASSERT_TRUE(ModTrans::OpenCommPort(1, "57600 "));
        ModTrans::gClock = &clock;
        ModTrans::gPump = &pump;
        std::filesystem::create_directories(dataFolder());
        mdlLoadSetup::SetProgramFolder(folder.str());
        mdlLoadSetup::SetDataPath(dataFolder().string());
        mdlLoadSetup::SetAppPath(dataFolder().string());
    }
    void TearDown() override {
        ModTrans::CloseTransferFile();
        ModTrans::gMessageBoxes = nullptr;
        ModTrans::ResetModTrans();
    }

    std::filesystem::path dataFolder() const { return folder.path() / "Data"; }
    std::filesystem::path dataFile(const std::string& name) const { return dataFolder() / name; }
    double elapsed() const { return clock.seconds() - m_start; }
    void startTiming() { m_start = clock.seconds(); }

    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl port{&clock};
    TempFolder folder;

private:
    double m_start = clock.seconds();
};

// The fake port with a simulated terminal behind it. Set files and faults, then start().
class SimulatedTerminalTest : public FakePortTest {
protected:
    void start() { m_thread = std::make_unique<SimulatorThread<ScriptedTerminalLink>>(sim, link); }
    // Ends the terminal; its records may be read afterwards.
    void stopTerminal() {
        if (m_thread)
            m_thread->stop();
    }
    void TearDown() override {
        stopTerminal();
        FakePortTest::TearDown();
    }

    ScriptedTerminalLink link{port, pump};
    SerialTerminalSimulator sim{link};

private:
    std::unique_ptr<SimulatorThread<ScriptedTerminalLink>> m_thread;
};

// Bytes 0, 1, 2, ... 250, 0, 1, ...: every block of a file differs from its neighbours.
inline std::string patternBytes(std::size_t n, int seed = 0) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i + static_cast<std::size_t>(seed)) % 251);
    return s;
}

// Equal bytes; on a difference, the sizes and the first differing offset rather than a dump.
inline ::testing::AssertionResult sameBytes(const std::string& actual,
                                            const std::string& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    return ::testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size()
                                         << ", first difference at offset " << i;
}

} // namespace kelvarin::test
