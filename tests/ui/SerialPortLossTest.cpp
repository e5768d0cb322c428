// The serial port's device goes away while the program rests (a USB-serial adapter pulled out):
// the real window, its real serial control on COM1, pseudo-terminals behind the COM1 link.
#include "TransferWindowRig.h"

#include <QElapsedTimer>
#include <unistd.h>

namespace kelvarin::test {
namespace {

namespace fs = std::filesystem;

const std::string kUploadedOnly = std::string(1, '\x02');
const std::string kClockCommand = "5 " + hexBytes("05 03 E8 07 09 07 03 00");

// How many of this process's descriptors are open on `device`; once a pseudo-terminal's master
// has closed, its slave's name is marked " (deleted)".
int descriptorsOn(const fs::path& device) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string target = fs::read_symlink(entry.path(), ec).string();
        if (target == device.string() || target == device.string() + " (deleted)")
            ++count;
    }
    return count;
}

// Lets the window rest, handling its events, until `done` or a bound of 5 s.
template <typename Done>
void restUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A second terminal on a pseudo-terminal of its own.
struct SecondTerminal {
    PseudoTerminal pty;
    PtyTerminalLink link{pty.masterFd()};
    SerialTerminalSimulator sim{link};
    std::unique_ptr<SimulatorThread<PtyTerminalLink>> thread;
    void start() { thread = std::make_unique<SimulatorThread<PtyTerminalLink>>(sim, link); }
    void stop() {
        if (thread)
            thread->stop();
    }
};

// The port hangs up at rest: the program lets its device go, so nothing watches it. A Download
// while no device answers to COM1 ends with the reason; once COM1 leads to a terminal again,
// the next Download opens it and runs through, without a restart; so does "Port Settings".
TEST(SerialPortLossTest, APortHungUpAtRestIsLetGoAndTheNextDownloadOpensItAgain) {
    SerialWindowRig r;
    r.showWindow();
    const fs::path firstDevice = r.pty.slavePath();
    ASSERT_TRUE(r.window->MSComm1().portOpen());
    // The pseudo-terminal's own slave descriptor, and the program's.
    ASSERT_EQ(descriptorsOn(firstDevice), 2);

    r.pty.closeMaster();
    restUntil([&] { return descriptorsOn(firstDevice) == 1; });
    EXPECT_EQ(descriptorsOn(firstDevice), 1);
    EXPECT_FALSE(r.window->MSComm1().portOpen());
    EXPECT_TRUE(r.window->MSComm1().linkLost());
    EXPECT_TRUE(r.boxes.shown.empty());

    // COM1 still leads to the hung-up device, which cannot be opened again.
    r.putMasterFile("ABCD.MST", masterFileText(3));
    r.window->txtFile->setText("ABCD.MST");
    r.window->CmdDownload->click();
    ASSERT_EQ(r.boxes.shown.size(), 1u);
    const std::string& failure = r.boxes.shown[0].text;
    EXPECT_EQ(failure.rfind("Error No: ", 0), 0u) << failure;
    EXPECT_NE(failure.find("(COM1: "), std::string::npos) << failure;
    EXPECT_TRUE(r.buttonsEnabled());
    EXPECT_EQ(r.window->txtFile->text(), "ABCD.MST");
    EXPECT_EQ(descriptorsOn(firstDevice), 1);

    // The adapter is plugged back in: COM1 leads to a terminal again.
    SecondTerminal second;
    fs::remove(r.program.path() / "COM1");
    fs::create_symlink(second.pty.slavePath(), r.program.path() / "COM1");
    second.sim.files["STATUS.DAT"] = kUploadedOnly;
    second.start();
    r.window->CmdDownload->click();
    second.stop();

    ASSERT_EQ(r.boxes.shown.size(), 3u);
    EXPECT_EQ(r.boxes.shown[2].text, "Data Downloaded to Vorixan Successfully");
    EXPECT_EQ(second.sim.commands, (std::vector<std::string>{
                                       "1 STATUS.DAT", kClockCommand, "2 MASTER.DAT", "2 AGENT.DAT",
                                       "2 ACC_DETA.DAT", "2 ACCTYPE.DAT", "2 BANK.COL"}));
    EXPECT_EQ(second.sim.files["MASTER.DAT"].size(), 3 * 128u);
    EXPECT_TRUE(r.window->MSComm1().portOpen());
    EXPECT_FALSE(r.window->MSComm1().linkLost());
    EXPECT_EQ(descriptorsOn(second.pty.slavePath()), 2);

    // Pulled out and plugged back in once more: "Port Settings" opens it again too.
    second.pty.closeMaster();
    restUntil([&] { return descriptorsOn(second.pty.slavePath()) == 1; });
    EXPECT_FALSE(r.window->MSComm1().portOpen());
    PseudoTerminal third;
    fs::remove(r.program.path() / "COM1");
    fs::create_symlink(third.slavePath(), r.program.path() / "COM1");
    r.window->cmdSearchPort->click();
    EXPECT_EQ(r.boxes.shown.size(), 3u);
    EXPECT_TRUE(r.window->MSComm1().portOpen());
    EXPECT_FALSE(r.window->fraPortSettings->isHidden());
    EXPECT_EQ(descriptorsOn(third.slavePath()), 2);
}

} // namespace
} // namespace kelvarin::test
