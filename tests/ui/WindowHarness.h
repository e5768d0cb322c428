#pragma once

#include "serial/ModTrans.h"
#include "settings/mdlLoadSetup.h"
#include "support/ClickedMessageBoxes.h"
#include "support/FakeClock.h"
#include "support/FakeHidLibrary.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedSerialControl.h"
#include "support/TempFolder.h"
#include "ui/frmConverterMain.h"

#include <memory>
#include <vector>

namespace kelvarin::test {

// A window loaded in a temporary program folder with its real message boxes, answered by
// clicking them, and a fake clock. `serial` null means the real serial control.
struct WindowHarness {
    TempFolder program;
    ClickedMessageBoxes boxes;
    ScriptedFileDialogs files;
    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl* scripted = nullptr;
    std::vector<int> missingPorts; // ports the scripted control cannot open
    FakeHidLibrary* hid = nullptr; // the window's USB library
    int endCalls = 0;
    std::unique_ptr<frmConverterMain> window;

    WindowHarness() {
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
    }
    ~WindowHarness() {
        window.reset();
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
    }

    // Loads the window; with `scriptedPort` its serial control is a ScriptedSerialControl.
    frmConverterMain& load(bool scriptedPort, const std::string& folder = {}) {
        WindowServices s;
        s.fileDialogs = &files;
        s.clock = &clock;
        s.pump = &pump;
        if (scriptedPort) {
            auto port = std::make_unique<ScriptedSerialControl>(&clock);
            port->missingPorts = missingPorts;
            scripted = port.get();
            s.serial = std::move(port);
        }
        auto fakeHid = std::make_unique<FakeHidLibrary>(&clock);
        hid = fakeHid.get();
        s.hid = std::move(fakeHid);
        s.endProgram = [this] { ++endCalls; };
        window = std::make_unique<frmConverterMain>(folder.empty() ? program.str() : folder,
                                                    std::move(s));
        return *window;
    }
};

} // namespace kelvarin::test
