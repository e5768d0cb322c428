#include "platform/RuntimeError.h"
#include "serial/ModTrans.h"

namespace kelvarin::ModTrans {

namespace {
SystemClock g_systemClock;
NullEventPump g_nullPump;
} // namespace

SerialControl* gCommCtl = nullptr;
Clock* gClock = &g_systemClock;
EventPump* gPump = &g_nullPump;

std::string gStatusText;
int gTimeoutSecs = 10;
std::chrono::steady_clock::duration gLastTime{};
std::uint8_t gRxByte = 0;
std::uint8_t gAckByte = 0;
std::string gRecvBuf;
std::array<std::uint8_t, 896> gRecvData{};
std::string gPacketHeader;
std::string gDataBlock;
std::int32_t gPacketNo = 0;
std::int32_t gBlockSize = 0;
std::uint8_t gLastFlag = 0;
std::int32_t gCheckSum = 0;
std::int16_t gAttempt = 0;
std::string gFileName;
int gFileNum = -1;

SerialControl& CommCtl() {
    if (gCommCtl == nullptr)
        throw RuntimeError(91, "Object variable not set");
    return *gCommCtl;
}

void ResetClockAndPump() {
    gClock = &g_systemClock;
    gPump = &g_nullPump;
}

void ResetModTrans() {
    gCommCtl = nullptr;
    ResetClockAndPump();
    gStatusText.clear();
    gTimeoutSecs = 10;
    gLastTime = {};
    gRxByte = 0;
    gAckByte = 0;
    gRecvBuf.clear();
    gRecvData.fill(0);
    gPacketHeader.clear();
    gDataBlock.clear();
    gPacketNo = 0;
    gBlockSize = 0;
    gLastFlag = 0;
    gCheckSum = 0;
    gAttempt = 0;
    gFileName.clear();
    gFileNum = -1;
}

} // namespace kelvarin::ModTrans
