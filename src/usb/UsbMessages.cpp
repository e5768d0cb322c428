#include "usb/UsbMessages.h"

namespace kelvarin::usb {

std::string ConnectMessage() {
    return std::string(27, 't');
}

std::string DisconnectMessage() {
    return std::string(13, 'x');
}

std::string CommandWordMessage(const std::string& name) {
    if (name == "SHUTDOWN")
        return "s@";
    if (name == "REMOVEDATA")
        return "u@";
    if (name == "STATUSINFO")
        return "M@";
    if (name == "FORMATMAC")
        return "f@";
    if (name == "UNLINKFILES")
        return "u@";
    return {};
}

std::string DateTimeMessage(const std::string& digits) {
    return "D@" + digits + std::string(1, '\0');
}

std::string FileHeader(const std::string& name, std::uint64_t size) {
    return "b" + name + "#" + std::to_string(size) + "#";
}

std::string FileRequest(const std::string& name) {
    return "a" + name + "#";
}

std::string StartAck() {
    return std::string(30, 'k');
}

SizeReply ParseSizeReply(const std::string& inData, std::int64_t& size) {
    const std::size_t s = inData.find('s');
    if (s == std::string::npos)
        return SizeReply::None;
    const std::size_t hash = inData.find('#', s + 1);
    if (hash == std::string::npos)
        return SizeReply::Bad;
    // Blanks around the number are allowed, as the terminal's number conversion allows them.
    std::size_t first = s + 1;
    std::size_t last = hash;
    while (first < last && inData[first] == ' ')
        ++first;
    while (last > first && inData[last - 1] == ' ')
        --last;
    // More than 10 digits cannot be a 32-bit size, and would overflow below.
    if (last == first || last - first > 10)
        return SizeReply::Bad;
    std::int64_t value = 0;
    for (std::size_t i = first; i < last; ++i) {
        const auto c = static_cast<unsigned char>(inData[i]);
        if (c < '0' || c > '9')
            return SizeReply::Bad;
        value = value * 10 + (c - '0');
    }
    if (value > kMaxFileSize)
        return SizeReply::Bad;
    size = value;
    return SizeReply::Size;
}

std::string UpperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

} // namespace kelvarin::usb
