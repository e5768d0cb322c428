#pragma once

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "serial/SerialControl.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

// The serial link's module: its shared state and its byte layer. The handshake, packet, file
// and command layers build on these.
namespace kelvarin::ModTrans {

// --- Module state, held for the program's life -------------------------------------------

// The window's serial control; every port access goes through it.
extern SerialControl* gCommCtl;
// gCommCtl itself; RuntimeError 91 when no control has been handed over.
SerialControl& CommCtl();
// Time source for time-outs and the pump that lets the window run while a read waits.
extern Clock* gClock;
extern EventPump* gPump;

// The last status or error text of the serial link.
extern std::string gStatusText;
// Seconds one read may wait; 10 as a rule.
extern int gTimeoutSecs;
// The monotonic time when the current wait began.
extern std::chrono::steady_clock::duration gLastTime;
// The last byte a handshake read, and the reply read after a packet was sent.
extern std::uint8_t gRxByte;
extern std::uint8_t gAckByte;
// The packet being received, one char per byte.
extern std::string gRecvBuf;
// One full received data block.
extern std::array<std::uint8_t, 896> gRecvData;
// The 6 header bytes and the 896 data bytes of the packet to send.
extern std::string gPacketHeader;
extern std::string gDataBlock;
// Current packet number (from 1; after a file, the packet count) and its data byte count.
extern std::int32_t gPacketNo;
extern std::int32_t gBlockSize;
// 0 while more blocks follow, 255 for the last block.
extern std::uint8_t gLastFlag;
// Running packet checksum.
extern std::int32_t gCheckSum;
// Attempt number of the current packet, 1 to 6 (7 after six failed attempts).
extern std::int16_t gAttempt;
// Name of the file being transferred.
extern std::string gFileName;
// The open transfer file's number, -1 when none.
extern int gFileNum;

// Longest wait for the terminal's ready '5' after it reported busy '4'.
inline constexpr int kBusyLimitSecs = 120;

// The terminal's busy and ready signals.
inline constexpr std::uint8_t kBusy = '4';
inline constexpr std::uint8_t kReady = '5';

// --- Port ---------------------------------------------------------------------------------

// Opens gCommCtl's port `port` with baud & ",N,8,1". False on failure, with the failure's
// description and a hint in gStatusText.
bool OpenCommPort(int port, const std::string& baud);

// Whether gCommCtl's port is open; the arguments are not used.
bool IsPortOpen(int port, const std::string& baud);

// Loads TRANS.DAT from `folder` (a text ending in the separator; created with port "1" and
// baud "57600 " when missing), opens that port and on success stores port and baud in the
// settings. False on any failure; one with TRANS.DAT leaves its description in gStatusText.
bool LoadTransSettings(const std::string& folder);

// --- Bytes --------------------------------------------------------------------------------

// Hands one byte to the port's driver, then pauses (CommDelay). Does not wait for the byte to
// leave the port.
void SendByte(std::uint8_t b);

// The pause after each byte sent. It is shorter than one byte's wire time at any baud rate the
// link uses, so it is no pause at all: the driver sends the bytes at the line's rate.
void CommDelay(long n);

// Reads one byte into `b`. Waits up to gTimeoutSecs for it, yielding to the window. A busy
// '4' is followed by a wait of up to kBusyLimitSecs for '5', dropping what comes in between
// and yielding after each byte dropped; then the read returns true with `b` unchanged. False,
// `b` unchanged, when a wait runs out, and at once when the port reports the link lost.
bool ReadByte(std::uint8_t& b);

// Waits, yielding to the window, until the last `bytes` bytes handed to the port have left it:
// at most their time on the line plus gTimeoutSecs. False when that time passes first or the
// port reports the link lost: the bytes did not go out.
bool AwaitOutputSent(int bytes);

// Discards the port's waiting input and output and the packet being received.
void ClearCommBuffers();

// True when more than gTimeoutSecs have passed since gLastTime; exactly that is not yet.
bool IsCommTimedOut();

// The real clock and a pump that does nothing, as at program start.
void ResetClockAndPump();

// Back to the state at program start (tests). The clock and pump become the real clock and a
// pump that does nothing; gCommCtl becomes null.
void ResetModTrans();

} // namespace kelvarin::ModTrans
