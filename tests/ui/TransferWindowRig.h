#pragma once

#include "serial/FileTransfer.h"
#include "serial/ModTrans.h"
#include "settings/mdlLoadSetup.h"
#include "support/ClickedMessageBoxes.h"
#include "support/FakeClock.h"
#include "support/FakeHidLibrary.h"
#include "support/PseudoTerminal.h"
#include "support/ScriptedSerialControl.h"
#include "support/SerialTerminalSimulator.h"
#include "support/TempFolder.h"
#include "support/TerminalLinks.h"
#include "support/UsbTerminalSimulator.h"
#include "ui/frmConverterMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>

// The real window driving a simulated terminal over either link, for the transfer commands.
namespace kelvarin::test {

// The window's event pump, with a test's action after every yield.
class HookedQtPump final : public EventPump {
public:
    void yield() override {
        QCoreApplication::processEvents();
        if (onYield)
            onYield();
    }
    std::function<void()> onYield;
};

// The real monotonic clock (the serial link waits on the real port) with a fixed local date
// and time, so the clock the terminal is sent can be worked out.
class FixedDateClock final : public Clock {
public:
    std::chrono::steady_clock::duration monotonicNow() override { return m_real.monotonicNow(); }
    LocalDateTime localNow() override { return local; }
    void sleepFor(std::chrono::steady_clock::duration d) override { m_real.sleepFor(d); }
    LocalDateTime local{2024, 3, 5, 9, 7, 3};

private:
    SystemClock m_real;
};

// One account line per i: 11 values, keys out of sort order.
inline std::string masterFileText(int accounts) {
    std::string text = "Head One,H2\r\n";
    for (int i = accounts; i >= 1; --i) {
        const std::string n = std::to_string(i);
        text += "SAVINGS,Name" + n + ",K" + n + ",Sort" + n + ",05/03/2011," + n +
                ".5,10,7.25,2.5,1,note " + n + "\r\n";
    }
    return text;
}

inline const std::string kDownloadConfirmation =
    "Transfering Files ...\r\nTo transfer files successfully keep Vorixan in Transfer mode ";

// What the rigs share: the program folder, the window's real boxes as the user answers them
// and what the data folder holds.
struct WindowRigBase {
    TempFolder program;
    ClickedMessageBoxes boxes;
    int endCalls = 0;
    std::unique_ptr<frmConverterMain> window;

    WindowRigBase() {
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
    }

    std::filesystem::path dataFolder() const { return program.path() / "Data"; }
    std::string dataBytes(const std::string& name) const { return readBytes(dataFolder() / name); }
    std::set<std::string> dataFiles() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dataFolder()))
            names.insert(entry.path().filename().string());
        return names;
    }
    // The five terminal files as they stand in the data folder now.
    std::map<std::string, std::string> terminalFiles() const {
        std::map<std::string, std::string> files;
        for (const char* name :
             {"MASTER.DAT", "AGENT.DAT", "ACCTYPE.DAT", "ACC_DETA.DAT", "BANK.COL"})
            files[name] = dataBytes(name);
        return files;
    }
    void putMasterFile(const std::string& name, const std::string& text) const {
        writeBytes(program.path() / name, text);
    }

    // Shows the window as the user sees it, with the focus on the Download button.
    void showWindow() {
        window->show();
        QApplication::setActiveWindow(window.get());
        window->CmdDownload->setFocus();
        QApplication::processEvents();
    }
    void expectBox(std::size_t i, const std::string& text, MsgIcon icon, MsgButtons buttons,
                   const std::string& title) {
        ASSERT_LT(i, boxes.shown.size());
        const auto& box = boxes.shown[i];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.buttons, buttons);
        EXPECT_EQ(box.title, title);
    }
    bool buttonsEnabled() const {
        return window->CmdDownload->isEnabled() && window->cmdUpload->isEnabled() &&
               window->cmdCancel->isEnabled();
    }
    bool buttonsDisabled() const {
        return !window->CmdDownload->isEnabled() && !window->cmdUpload->isEnabled() &&
               !window->cmdCancel->isEnabled();
    }
};

// USB: the simulated terminal behind the window's fake HID library, on the fake clock; the
// serial control is scripted and takes no part.
struct UsbWindowRig : WindowRigBase {
    FakeClock clock;
    FakeEventPump pump{clock};
    FakeHidLibrary* hid = nullptr;
    std::unique_ptr<UsbTerminalSimulator> terminal;

    UsbWindowRig() {
        WindowServices s;
        s.clock = &clock;
        s.pump = &pump;
        s.serial = std::make_unique<ScriptedSerialControl>(&clock);
        auto fakeHid = std::make_unique<FakeHidLibrary>(&clock);
        hid = fakeHid.get();
        hid->devices = {{"VORIXAN", "MERIDOCK", "SN-1", 0x0483, 0x5750}};
        s.hid = std::move(fakeHid);
        s.endProgram = [this] { ++endCalls; };
        window = std::make_unique<frmConverterMain>(program.str(), std::move(s));
        terminal = std::make_unique<UsbTerminalSimulator>(clock, *hid);
    }
    ~UsbWindowRig() {
        terminal.reset();
        window.reset();
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
    }

    // The names of the file headers sent, in order.
    std::vector<std::string> filesSent() const {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < hid->written.size(); ++i) {
            const std::string p = hid->payload(i);
            if (p[0] == 'b')
                names.push_back(p.substr(1, p.find('#') - 1));
        }
        return names;
    }
};

// Serial: the window's real serial control on COM1, a link in the program folder to a
// pseudo-terminal whose other side the simulated terminal serves on its own thread.
struct SerialWindowRig : WindowRigBase {
    PseudoTerminal pty;
    PtyTerminalLink link{pty.masterFd()};
    SerialTerminalSimulator sim{link};
    FixedDateClock clock;
    HookedQtPump pump;
    std::unique_ptr<SimulatorThread<PtyTerminalLink>> terminal;

    SerialWindowRig() {
        std::filesystem::create_symlink(pty.slavePath(), program.path() / "COM1");
        WindowServices s;
        s.clock = &clock;
        s.pump = &pump;
        s.hid = std::make_unique<FakeHidLibrary>();
        s.endProgram = [this] { ++endCalls; };
        window = std::make_unique<frmConverterMain>(program.str(), std::move(s));
        window->chkIR->setChecked(true);
    }
    ~SerialWindowRig() {
        stopTerminal();
        window.reset();
        ModTrans::ResetModTrans();
        mdlLoadSetup::ResetSettings();
    }

    void startTerminal() {
        terminal = std::make_unique<SimulatorThread<PtyTerminalLink>>(sim, link);
    }

    // A Download that ran through: the confirmation and success boxes, the status fetch, the
    // clock for FixedDateClock's time (day, month, year low byte first, hour, minute, second,
    // 00) and the five files in order, each as `converted` held them.
    void expectDownloadRanThrough(const std::map<std::string, std::string>& converted) {
        ASSERT_EQ(boxes.shown.size(), 2u);
        expectBox(0, kDownloadConfirmation, MsgIcon::None, MsgButtons::OkCancel, "Kelvarin_Ver.3");
        expectBox(1, "Data Downloaded to Vorixan Successfully", MsgIcon::Information,
                  MsgButtons::Ok, "Kelvarin_Ver.3");
        EXPECT_EQ(sim.commands,
                  (std::vector<std::string>{
                      "1 STATUS.DAT", "5 " + hexBytes("05 03 E8 07 09 07 03 00"), "2 MASTER.DAT",
                      "2 AGENT.DAT", "2 ACC_DETA.DAT", "2 ACCTYPE.DAT", "2 BANK.COL"}));
        ASSERT_EQ(converted.size(), 5u);
        for (const auto& [name, bytes] : converted)
            EXPECT_TRUE(sim.files[name] == bytes) << name;
    }

    // Ends the terminal; what it recorded may be read afterwards.
    void stopTerminal() {
        if (terminal)
            terminal->stop();
    }
};

} // namespace kelvarin::test
