#include "serial/ModTrans.h"
#include "serial/PacketLayer.h"

namespace kelvarin::ModTrans {

namespace {
// One read into gRxByte. A read that times out, or that only saw the terminal's busy period,
// leaves 0 there, never a byte of an earlier exchange.
bool readHandshakeByte() {
    gRxByte = 0;
    return ReadByte(gRxByte);
}

constexpr int kCallTries = 4;
constexpr int kBellReads = 17;
} // namespace

bool CheckConnection() {
    SendByte(kCall);
    if (!readHandshakeByte() || gRxByte != kCallAnswer)
        return false;
    if (!readHandshakeByte() || gRxByte != kCallAnswer)
        return false;
    SendByte(kCall);
    return true;
}

int CallDevice() {
    for (int tries = 0; tries < kCallTries; ++tries) {
        SendByte(kCall);
        if (!readHandshakeByte() || gRxByte != kCallAnswer)
            continue;
        if (readHandshakeByte() && gRxByte == kCallAnswer)
            return kResultAnswered;
    }
    return kResultNoAnswer;
}

int WaitForBell() {
    for (int reads = 0; reads < kBellReads; ++reads) {
        if (!readHandshakeByte() || gRxByte != kCall)
            continue;
        SendByte(kCallAnswer);
        ClearCommBuffers();
        SendByte(kCallAnswer);
        return kResultCalled;
    }
    return kResultNoAnswer;
}

} // namespace kelvarin::ModTrans
