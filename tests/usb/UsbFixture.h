#pragma once

#include "CLSUSBProbe.h"
#include "settings/mdlLoadSetup.h"
#include "support/FakeClock.h"
#include "support/FakeHidLibrary.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"
#include "support/UsbTerminalSimulator.h"
#include "usb/CLSUSB.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelvarin::test {

// The link wired to the fake library, the simulated terminal and the fake clock; the program
// folder is a fresh temporary folder.
class UsbFixture : public ::testing::Test {
protected:
    UsbFixture() { mdlLoadSetup::SetProgramFolder(folder.str()); }
    ~UsbFixture() override { mdlLoadSetup::ResetSettings(); }

    // The data bytes of every report sent, in order.
    std::vector<std::string> payloads() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < hid.written.size(); ++i)
            out.push_back(hid.payload(i));
        return out;
    }
    // `text` followed by zeros up to 64 bytes.
    static std::string padded(const std::string& text) {
        std::string p = text;
        p.resize(kUsbPayloadSize, '\0');
        return p;
    }
    std::string path(const std::string& name) const { return folder.str() + "/" + name; }

    TempFolder folder;
    FakeClock clock;
    FakeEventPump pump{clock};
    FakeHidLibrary hid{&clock};
    UsbTerminalSimulator terminal{clock, hid};
    MessageBoxRecorder boxes;
    CLSUSB usb{hid, clock, pump, boxes};
    CLSUSBProbe probe{usb};
};

// A file's bytes in which every value 0 to 255 occurs (NUL included) once 256 are asked for.
inline std::string patternBytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + 3) % 256);
    return s;
}

} // namespace kelvarin::test
