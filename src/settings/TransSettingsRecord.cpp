#include "settings/TransSettingsRecord.h"

#include "platform/RuntimeError.h"
#include "settings/PlainFile.h"
#include "settings/TextFileService.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

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
    FileDescriptor file = openPlainFile(path, O_WRONLY | O_CREAT | O_TRUNC);
    const auto bytes = record.toBytes();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw RuntimeError(kErrPathFileAccess, "Write error (" + path.string() + ")");
        done += static_cast<std::size_t>(n);
    }
    file.close(path);
}

TransSettingsRecord readTransSettingsFile(const std::filesystem::path& path) {
    FileDescriptor file = openPlainFile(path, O_RDONLY);
    std::string head(TransSettingsRecord::kSize, '\0');
    std::size_t done = 0;
    while (done < head.size()) {
        const ssize_t n = ::read(file.get(), head.data() + done, head.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw RuntimeError(kErrPathFileAccess, "Read error (" + path.string() + ")");
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    head.resize(done);
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
