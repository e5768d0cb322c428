#pragma once

#include <cstdint>
#include <span>
#include <string>

// The handshake and packet layer of the serial link, and the byte-order conversions that build
// and read packets. Every byte goes out through SendByte and comes in through ReadByte, each
// read bounded by gTimeoutSecs.
namespace kelvarin::ModTrans {

// --- Control bytes on the wire ---------------------------------------------------------------
inline constexpr std::uint8_t kCall = 0x07;            // the side that wants to send calls
inline constexpr std::uint8_t kCallAnswer = 0x08;      // the called side answers twice
inline constexpr std::uint8_t kPacketStart = 0xF3;     // first byte of every packet
inline constexpr std::uint8_t kPacketEnd = 0xF4;       // last byte of every packet
inline constexpr std::uint8_t kAccepted = '3';         // checksum good
inline constexpr std::uint8_t kRejected = '6';         // checksum bad, send again
inline constexpr std::uint8_t kResending = '7';        // answer to '6': the packet follows again
inline constexpr std::uint8_t kFileOpened = '1';       // the PC has the file, packets follow
inline constexpr std::uint8_t kFileMissing = '8';      // the file sender has no such file
inline constexpr std::uint8_t kFileSystemError = 0xE8; // the terminal's file system failed
inline constexpr std::uint8_t kRefused = 0xE7;         // the terminal refuses a file sent to it
inline constexpr std::uint8_t kCountFollows = 0xFF;    // end-of-file count follows
inline constexpr std::uint8_t kCountMatches = 0x0F;    // the PC agrees with the count
inline constexpr std::uint8_t kCountDiffers = ':';     // either side disagrees with the count

// --- TransferPacket: 907 bytes, the same both ways ---------------------------------------------
// F3, BlockSize (16-bit), PacketNo (16-bit), LastFlag, 896 data bytes filled up with NUL,
// CheckSum (32-bit), F4; numbers little-endian. The PC's sum covers offsets 1 to 901; the
// terminal's also counts the F3.
struct TransferPacket {
    static constexpr int kSize = 907;
    static constexpr int kDataBytes = 896;
    static constexpr int kHeaderBytes = 6;
    static constexpr int kOffBlockSize = 1;
    static constexpr int kOffPacketNo = 3;
    static constexpr int kOffLastFlag = 5;
    static constexpr int kOffData = 6;
    static constexpr int kOffCheckSum = 902;
    static constexpr int kOffPacketEnd = 906;
};
static_assert(TransferPacket::kOffData + TransferPacket::kDataBytes ==
              TransferPacket::kOffCheckSum);
static_assert(TransferPacket::kOffCheckSum + 4 + 1 == TransferPacket::kSize);
static_assert(TransferPacket::kOffPacketEnd + 1 == TransferPacket::kSize);
inline constexpr std::uint8_t kMoreBlocks = 0x00;
inline constexpr std::uint8_t kLastBlock = 0xFF;

// --- Result codes of the serial layers (most equal the byte that caused them) -----------------
inline constexpr int kResultCalled = 7;            // WaitForBell: the other side's call answered
inline constexpr int kResultAnswered = 8;          // CallDevice: our call was answered
inline constexpr int kResultAccepted = 51;         // packet accepted
inline constexpr int kResultPacketFailed = 54;     // attempts used up, no '7', or out of order
inline constexpr int kResultNotFound = 56;         // file not found
inline constexpr int kResultNoAnswer = 57;         // no call, no answer, or count mismatch
inline constexpr int kResultCountRefused = 58;     // the terminal disagrees with our count
inline constexpr int kResultBadCountStart = 60;    // the end-of-file count lacked its FF
inline constexpr int kResultFileSystemError = 232; // the terminal's file system failed
inline constexpr int kResultConfirmed = 255;       // file moved and count confirmed

// Most attempts at one packet.
inline constexpr int kMaxAttempts = 6;

// --- Handshakes -------------------------------------------------------------------------------

// One link test: 07 out, 08 08 back, 07 out. False when either answer is missing or wrong.
bool CheckConnection();

// Calls the terminal up to 4 times (07 out, 08 08 back). 8 answered, 57 not.
int CallDevice();

// Reads up to 17 bytes for the terminal's call 07; on it answers 08, empties the buffers and
// sends 08 again. 7 called, 57 not.
int WaitForBell();

// --- Packets ----------------------------------------------------------------------------------

// gPacketHeader = F3, size and packet number as 16-bit little-endian, the flag. A size or number
// outside 16-bit signed range: RuntimeError 6 (overflow).
void BuildPacketHeader(std::int32_t size, std::int32_t packetNo, std::uint8_t flag);

// Sends gPacketHeader and gDataBlock (padded or cut to 896 bytes) as one packet, at most six
// attempts: 51 accepted, 54 attempts used up (gAttempt is then 7), 57 the call went unanswered
// or the port did not get the packet out (gStatusText "Erroneous Connection").
int SendPacket();

// Receives one packet from the terminal into gRecvBuf, at most six attempts, each wait 10 s:
// 51 accepted, 54 rejected and not resent or attempts used up, 57 no call or packet in time.
// The port reads single bytes again afterwards.
int ReceivePacket();

// The sum of gRecvBuf's bytes at offsets 1 to 901 (everything between F3 and the checksum);
// 0 when gRecvBuf is empty, only the bytes present when it is shorter.
std::int32_t PacketChecksum();

// --- Byte-order conversions (texts hold one char per byte) ------------------------------------

// Two bytes, low first, two's complement.
std::string IntToBytes(std::int16_t n);

// The first two bytes as a 16-bit signed number, low first (a missing byte counts as 0). A high
// byte of 80h or more: RuntimeError 6 (overflow).
std::int16_t BytesToInt(const std::string& text);

// Four bytes, lowest first, two's complement.
std::string LongToBytes(std::int32_t n);

// Up to four bytes, lowest first. -1 for an empty text; a text shorter than four bytes, or a
// fourth byte of 80h or more, gives the value of the bytes before.
std::int32_t CommBytesToLong(const std::string& text);

// The first `n` bytes as text; fewer when `bytes` ends first.
std::string BytesToString(std::span<const std::uint8_t> bytes, int n);

} // namespace kelvarin::ModTrans
