#include "settings/TransSettingsRecord.h"

#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"

#include <cerrno>
#include <fstream>
#include <iterator>

namespace kelvarin {

std::string fitToWidth(const std::string& value, std::size_t width) {
    std::string out = value.substr(0, width);
    out.resize(width, ' ');
    return out;
}

TransSettingsRecord TransSettingsRecord::fitted(const std::string& port, const std::string& baud) {
    return {fitToWidth(port, kPortWidth), fitToWidth(baud, kBaudWidth)};
}

TransSettingsRecord TransSettingsRecord::defaults() {
    return fitted("1", "57600");
}

std::array<char, TransSettingsRecord::kSize> TransSettingsRecord::toBytes() const {
    std::array<char, kSize> bytes{};
    const std::string port = fitToWidth(Port, kPortWidth);
    const std::string baud = fitToWidth(Baud, kBaudWidth);
    std::copy(port.begin(), port.end(), bytes.begin());
    std::copy(baud.begin(), baud.end(), bytes.begin() + kPortWidth);
    return bytes;
}

TransSettingsRecord TransSettingsRecord::fromBytes(const std::string& bytes) {
    const std::string head = fitToWidth(bytes.substr(0, kSize), kSize);
    return {head.substr(0, kPortWidth), head.substr(kPortWidth, kBaudWidth)};
}

void writeTransSettingsFile(const std::filesystem::path& path, const TransSettingsRecord& record) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open())
        throwFileError(path, errno);
    const auto bytes = record.toBytes();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail())
        throw RuntimeError(kErrPathFileAccess, "Write error (" + path.string() + ")");
}

TransSettingsRecord readTransSettingsFile(const std::filesystem::path& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        throwFileError(path, errno);
    std::string head(TransSettingsRecord::kSize, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.bad())
        throw RuntimeError(kErrPathFileAccess, "Read error (" + path.string() + ")");
    head.resize(static_cast<std::size_t>(in.gcount()));
    return TransSettingsRecord::fromBytes(head);
}

TransSettingsRecord loadOrCreateTransSettingsFile(const std::filesystem::path& path) {
    if (std::filesystem::exists(path))
        return readTransSettingsFile(path);
    const TransSettingsRecord record = TransSettingsRecord::defaults();
    writeTransSettingsFile(path, record);
    return record;
}

} // namespace kelvarin
