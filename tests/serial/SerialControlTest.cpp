#include "platform/RuntimeError.h"
#include "serial/ComPortName.h"
#include "serial/QSerialPortControl.h"
#include "support/PseudoTerminal.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace kelvarin::test {
namespace {

std::string allByteValues() {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    return all;
}

// Polls the control until `count` bytes have come or two seconds have passed.
std::string collect(SerialControl& port, std::size_t count) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
        if (port.inBufferCount() > 0)
            got += port.input();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return got;
}

class SerialControlTest : public ::testing::Test {
protected:
    TempFolder program;
    PseudoTerminal pty;
    QSerialPortControl port{program.path()};

    void SetUp() override {
        std::filesystem::create_symlink(pty.slavePath(), program.path() / "COM1");
    }

    void openCom1() {
        port.setCommPort(1);
        port.setSettings("57600 ,N,8,1");
        port.setInputLen(0);
        port.setPortOpen(true);
    }
};

TEST_F(SerialControlTest, OpensThroughTheComLinkWithABaudEndingInABlank) {
    openCom1();
    EXPECT_TRUE(port.portOpen());
    port.setPortOpen(false);
    EXPECT_FALSE(port.portOpen());
}

TEST_F(SerialControlTest, EveryByteValuePassesUnchangedBothWaysInBothInputModes) {
    openCom1();
    const std::string all = allByteValues();

    port.setOutput(all);
    port.drainOutput();
    EXPECT_EQ(pty.read(all.size()), all);

    for (InputMode mode : {InputMode::Binary, InputMode::Text}) {
        port.setInputMode(mode);
        pty.write(all);
        EXPECT_EQ(collect(port, all.size()), all) << "mode " << static_cast<int>(mode);
    }
}

TEST_F(SerialControlTest, InputTakesAtMostInputLenBytes) {
    openCom1();
    port.setInputLen(1);
    pty.write("XYZ");
    EXPECT_EQ(collect(port, 1), "X");
    EXPECT_EQ(collect(port, 1), "Y");
    port.setInputLen(907);
    EXPECT_EQ(collect(port, 1), "Z");
    EXPECT_EQ(port.input(), "");
}

TEST_F(SerialControlTest, InBufferCountShowsWaitingBytesAndZeroDiscardsThem) {
    openCom1();
    pty.write("abcde");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (port.inBufferCount() < 5 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(port.inBufferCount(), 5);
    port.setInBufferCount(0);
    port.setOutBufferCount(0);
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_EQ(port.input(), "");
    pty.write("f");
    EXPECT_EQ(collect(port, 1), "f");
}

// The far end stays open but reads nothing, so the driver fills and refuses writes (EAGAIN), as
// a USB-serial adapter with all its write buffers in use does for a moment. That is no hang-up:
// the port stays open and, once the far end reads, every byte arrives once and in order. Only a
// clear of the output gives up on bytes the driver goes on refusing.
TEST_F(SerialControlTest, ADriverThatRefusesWritesKeepsThePortAndLosesNoByte) {
    openCom1();
    // A pseudo-terminal takes only so much that is not read (some 16 KiB on a 6.x kernel, at
    // most about 68 KiB on older ones): more than that is refused for certain.
    constexpr std::size_t kPacket = 907;
    constexpr std::size_t kTotal = 128 * kPacket;
    std::string sent;
    for (std::size_t i = 0; i < kTotal; ++i)
        sent.push_back(static_cast<char>((i % 251) ^ (i / 251)));
    for (std::size_t at = 0; at < kTotal; at += kPacket) {
        port.setOutput(sent.substr(at, kPacket));
        // The window handles its events between the bytes of a transfer.
        QCoreApplication::processEvents();
    }
    EXPECT_GT(port.outBufferCount(), 0);
    QElapsedTimer rest;
    rest.start();
    while (rest.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(port.portOpen());
    EXPECT_FALSE(port.linkLost());

    std::string got;
    QElapsedTimer reading;
    reading.start();
    while (got.size() < kTotal && reading.elapsed() < 5000) {
        got += pty.readAvailable(std::chrono::milliseconds(1));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(got.size(), kTotal);
    EXPECT_TRUE(got == sent) << "bytes lost, doubled or out of order";
    EXPECT_EQ(port.outBufferCount(), 0);
    EXPECT_TRUE(port.drainOutput());
    EXPECT_TRUE(port.portOpen());

    // A far end that takes nothing more: clearing the output gives up on what the driver still
    // refuses, and the port stays open.
    for (std::size_t at = 0; at < kTotal; at += kPacket)
        port.setOutput(sent.substr(at, kPacket));
    ASSERT_GT(port.outBufferCount(), 0);
    port.setOutBufferCount(0);
    EXPECT_EQ(port.outBufferCount(), 0);
    EXPECT_TRUE(port.portOpen());
    EXPECT_FALSE(port.linkLost());
}

TEST_F(SerialControlTest, APortThatDoesNotExistFailsWithANumberAndDescription) {
    // No COM9 link, and /dev/ttyS8 is no usable port here.
    port.setCommPort(9);
    port.setSettings("57600,N,8,1");
    try {
        port.setPortOpen(true);
        FAIL() << "opened a port that does not exist";
    } catch (const RuntimeError& e) {
        EXPECT_NE(e.number(), 0);
        EXPECT_FALSE(e.description().empty());
    }
    EXPECT_FALSE(port.portOpen());
}

TEST_F(SerialControlTest, RefusesBadSettingsAndUseOfAClosedPort) {
    EXPECT_THROW(port.setSettings("fast,N,8,1"), RuntimeError);
    EXPECT_THROW(port.setCommPort(0), RuntimeError);
    EXPECT_THROW(port.setOutput("x"), RuntimeError);
    EXPECT_THROW(port.inBufferCount(), RuntimeError);
    openCom1();
    EXPECT_THROW(port.setPortOpen(true), RuntimeError);
    EXPECT_THROW(port.setCommPort(2), RuntimeError);
}

TEST(ComPortNameTest, LinkInTheProgramFolderElseTtyS) {
    TempFolder program;
    EXPECT_EQ(comPortDevice(1, program.path()), "/dev/ttyS0");
    EXPECT_EQ(comPortDevice(9, program.path()), "/dev/ttyS8");
    std::filesystem::create_symlink("/dev/ttyUSB0", program.path() / "COM3");
    // A dangling link still names the port: opening it then reports the missing device.
    EXPECT_EQ(comPortDevice(3, program.path()), program.path() / "COM3");
    EXPECT_EQ(comPortDevice(0, program.path()), "");
    EXPECT_EQ(comPortDevice(10, program.path()), "");
}

} // namespace
} // namespace kelvarin::test
