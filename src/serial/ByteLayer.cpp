#include "serial/ModTrans.h"
#include "serial/SerialSettingsText.h"

namespace kelvarin::ModTrans {

namespace {

// Takes one waiting byte; false when the port handed out nothing after all.
bool takeByte(std::uint8_t& x) {
    const std::string in = CommCtl().input();
    if (in.empty())
        return false;
    x = static_cast<std::uint8_t>(in[0]);
    return true;
}

// After busy '4': drops bytes until ready '5'. False when kBusyLimitSecs pass first or the
// link is lost.
bool waitForReady() {
    const auto start = gClock->monotonicNow();
    for (;;) {
        if (secondsSince(*gClock, start) > kBusyLimitSecs)
            return false;
        std::uint8_t x = 0;
        if (CommCtl().inBufferCount() >= 1 && takeByte(x) && x == kReady)
            return true;
        if (CommCtl().linkLost())
            return false;
        // Also between bytes: a terminal may keep sending through its whole busy period, and
        // the window must keep running (its clock, Exit, a close).
        gPump->yield();
    }
}

} // namespace

void SendByte(std::uint8_t b) {
    CommCtl().setOutput(std::string(1, static_cast<char>(b)));
    CommDelay(100);
}

void CommDelay(long /*n*/) {
    // The pause after a byte is far shorter than the byte's own time on the wire, so the bytes
    // leave back to back at the line's rate: the driver paces them. Waiting for the driver here
    // would cost a scheduler tick per byte on a real port; the packet layer drains once instead.
}

bool ReadByte(std::uint8_t& b) {
    gLastTime = gClock->monotonicNow();
    std::uint8_t x = 0;
    for (;;) {
        if (CommCtl().inBufferCount() >= 1 && takeByte(x))
            break;
        if (CommCtl().linkLost())
            return false;
        gPump->yield();
        if (IsCommTimedOut())
            return false;
    }
    if (x == kBusy) {
        if (!waitForReady())
            return false;
        gLastTime = gClock->monotonicNow();
        return true;
    }
    b = x;
    return true;
}

bool AwaitOutputSent(int bytes) {
    const auto settings = parseSerialSettings(CommCtl().settings());
    const double limit =
        (settings ? wireSeconds(*settings, bytes) : 0.0) + static_cast<double>(gTimeoutSecs);
    const auto start = gClock->monotonicNow();
    for (;;) {
        if (CommCtl().linkLost())
            return false;
        if (CommCtl().outBufferCount() == 0)
            return CommCtl().drainOutput();
        if (secondsSince(*gClock, start) > limit)
            return false;
        gPump->yield();
    }
}

void ClearCommBuffers() {
    CommCtl().setInBufferCount(0);
    CommCtl().setOutBufferCount(0);
    gRecvBuf.clear();
}

bool IsCommTimedOut() {
    return secondsSince(*gClock, gLastTime) > static_cast<double>(gTimeoutSecs);
}

} // namespace kelvarin::ModTrans
