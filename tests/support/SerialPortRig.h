#pragma once

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "serial/QSerialPortControl.h"
#include "support/PseudoTerminal.h"
#include "support/SerialTerminalSimulator.h"
#include "support/TempFolder.h"
#include "support/TerminalLinks.h"

#include <filesystem>
#include <memory>

namespace kelvarin::test {

// The serial link over a real port: a temporary program folder with its Data folder, whose COM1
// links to a pseudo-terminal that the simulated terminal serves. Construction opens COM1 at
// "57600 " through QSerialPortControl with the real clock and no window (throws when it cannot);
// the transfer folder is the Data folder. Destruction closes the port and resets the module.
struct SerialPortRig {
    SerialPortRig();
    ~SerialPortRig();
    SerialPortRig(const SerialPortRig&) = delete;
    SerialPortRig& operator=(const SerialPortRig&) = delete;

    std::filesystem::path dataFolder() const { return folder.path() / "Data"; }
    std::filesystem::path dataFile(const std::string& name) const { return dataFolder() / name; }

    TempFolder folder;
    PseudoTerminal pty;
    SystemClock clock;
    NullEventPump pump;
    std::unique_ptr<QSerialPortControl> control;
    PtyTerminalLink link{pty};
    SerialTerminalSimulator sim{link};
};

} // namespace kelvarin::test
