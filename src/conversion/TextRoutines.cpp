#include "conversion/TextRoutines.h"

namespace kelvarin {

std::string GetNextField(std::string& lineRest) {
    const auto comma = lineRest.find(',');
    if (comma == std::string::npos) {
        std::string field = std::move(lineRest);
        lineRest.clear();
        return field;
    }
    std::string field = lineRest.substr(0, comma);
    lineRest.erase(0, comma + 1);
    return field;
}

std::string TrimChr(const std::string& Buf) {
    return Buf.substr(0, Buf.find('\0'));
}

std::string CutAtNul(const std::string& nulText) {
    return TrimChr(nulText);
}

std::string Fix_Len(std::string& buf1, std::int16_t l, const std::string& position) {
    const std::size_t width = l > 0 ? static_cast<std::size_t>(l) : 0;
    if (buf1.size() > width)
        buf1.resize(width);
    else if (buf1.size() < width)
        buf1 = position == "R" ? buf1 + std::string(width - buf1.size(), ' ')
                               : std::string(width - buf1.size(), ' ') + buf1;
    return buf1;
}

} // namespace kelvarin
