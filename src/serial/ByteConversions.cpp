#include "platform/RuntimeError.h"
#include "serial/PacketLayer.h"

namespace kelvarin::ModTrans {

namespace {
std::uint8_t byteAt(const std::string& text, std::size_t i) {
    return i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}
char toChar(std::uint32_t v) {
    return static_cast<char>(static_cast<std::uint8_t>(v & 0xFFu));
}
} // namespace

std::string IntToBytes(std::int16_t n) {
    const auto u = static_cast<std::uint16_t>(n);
    return {toChar(u), toChar(static_cast<std::uint32_t>(u) >> 8)};
}

std::int16_t BytesToInt(const std::string& text) {
    const std::uint8_t high = byteAt(text, 1);
    if (high >= 0x80)
        throw RuntimeError(kErrOverflow);
    return static_cast<std::int16_t>(byteAt(text, 0) | (high << 8));
}

std::string LongToBytes(std::int32_t n) {
    const auto u = static_cast<std::uint32_t>(n);
    return {toChar(u), toChar(u >> 8), toChar(u >> 16), toChar(u >> 24)};
}

std::int32_t CommBytesToLong(const std::string& text) {
    if (text.empty())
        return -1;
    std::int32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < text.size(); ++i) {
        const std::uint8_t b = byteAt(text, i);
        // A fourth byte of 80h or more would not fit a signed 32-bit number: keep what was built.
        if (i == 3 && b >= 0x80)
            break;
        value += static_cast<std::int32_t>(b) << (8 * i);
    }
    return value;
}

std::string BytesToString(std::span<const std::uint8_t> bytes, int n) {
    std::string out;
    for (std::size_t i = 0; static_cast<long>(i) < n && i < bytes.size(); ++i)
        out.push_back(static_cast<char>(bytes[i]));
    return out;
}

} // namespace kelvarin::ModTrans
