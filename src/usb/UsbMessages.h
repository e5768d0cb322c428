#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The texts and numbers of the USB exchange. A message text ends in one closing character that
// the report layer does not send.
namespace kelvarin::usb {

// Seconds every wait for the terminal lasts at most.
inline constexpr std::int32_t kUsbTimeoutSecs = 5;
// The pause at the start of every exchange.
inline constexpr double kUsbPauseSecs = 1.0;

// File bytes in one output data report and in one input data report.
inline constexpr std::size_t kSendChunkSize = 63;
inline constexpr std::size_t kReceiveChunkSize = 59;
// The terminal acknowledges every this many data reports sent (except the file's last).
inline constexpr std::int64_t kReportsPerAck = 260;

// Most reports discarded before a request: hidraw keeps at most 64 reports for a reader, so this
// empties a full queue and what arrives meanwhile, yet ends with a device that never stops.
inline constexpr int kStaleReportLimit = 256;

// Device records handed to the list call, and the capacity it is told.
inline constexpr int kDeviceListSize = 11;
inline constexpr int kDeviceListCapacity = 10;
// Selectors that ask the library for every device; the flags Open is given.
inline constexpr std::int32_t kAnyDevice = 65535;
inline constexpr std::int32_t kOpenFlags = -1;

// The largest file size the terminal can announce (a signed 32-bit number).
inline constexpr std::int64_t kMaxFileSize = 2147483647;

// Connect: 27 "t" (26 go out); disconnect: 13 "x" (12 go out).
std::string ConnectMessage();
std::string DisconnectMessage();

// The command words and their message texts; an empty text for any other name.
std::string CommandWordMessage(const std::string& name);

// "D@", the digits and a closing NUL.
std::string DateTimeMessage(const std::string& digits);

// "b", the name, "#", the size in decimal, "#".
std::string FileHeader(const std::string& name, std::uint64_t size);

// "a", the name, "#".
std::string FileRequest(const std::string& name);

// 30 "k" (29 go out).
std::string StartAck();

enum class SizeReply { None, Bad, Size };

// Looks for the size reply in a report: None without an "s"; Bad when the first "s" is not
// followed by 1 to 10 decimal digits (blanks around them allowed) up to a "#", or the number
// exceeds kMaxFileSize; else Size with the number in `size`.
SizeReply ParseSizeReply(const std::string& inData, std::int64_t& size);

// ASCII letters upper-cased, every other byte unchanged.
std::string UpperCase(const std::string& text);

} // namespace kelvarin::usb
