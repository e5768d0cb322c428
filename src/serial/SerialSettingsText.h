#pragma once

#include <optional>
#include <string>

namespace kelvarin {

// The parts of a settings text such as "57600 ,N,8,1".
struct SerialSettings {
    int baud = 0;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;  // 5 to 8
    int stopBits = 1;  // 1 or 2
};

// Reads a settings text. The baud may have blanks around it and counts as the number it holds;
// nullopt when any part is not valid.
std::optional<SerialSettings> parseSerialSettings(const std::string& text);

// Seconds `bytes` bytes take on the line: a start bit, the data bits, a parity bit unless the
// parity is N, and the stop bits each.
double wireSeconds(const SerialSettings& settings, int bytes);

} // namespace kelvarin
