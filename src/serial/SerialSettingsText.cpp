#include "serial/SerialSettingsText.h"

#include "settings/mdlLoadSetup.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace kelvarin {

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    const std::string t = mdlLoadSetup::TrimBlanks(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<SerialSettings> parseSerialSettings(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 4)
        return std::nullopt;

    SerialSettings s;
    const auto baud = wholeNumber(parts[0]);
    const std::string parity = mdlLoadSetup::TrimBlanks(parts[1]);
    const auto dataBits = wholeNumber(parts[2]);
    const auto stopBits = wholeNumber(parts[3]);
    if (!baud || *baud <= 0 || parity.size() != 1 || !dataBits || !stopBits)
        return std::nullopt;
    s.baud = *baud;
    s.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parity[0])));
    s.dataBits = *dataBits;
    s.stopBits = *stopBits;
    if (std::string("NEOMS").find(s.parity) == std::string::npos)
        return std::nullopt;
    if (s.dataBits < 5 || s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2))
        return std::nullopt;
    return s;
}

double wireSeconds(const SerialSettings& settings, int bytes) {
    const int bitsPerByte =
        1 + settings.dataBits + (settings.parity == 'N' ? 0 : 1) + settings.stopBits;
    return static_cast<double>(bytes) * bitsPerByte / settings.baud;
}

} // namespace kelvarin
