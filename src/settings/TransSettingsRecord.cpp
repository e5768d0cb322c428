#include "settings/TransSettingsRecord.h"

#include "platform/RuntimeError.h"
#include "settings/PlainFile.h"
#include "settings/TextFileService.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
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

namespace {

namespace fs = std::filesystem;

// The new TRANS.DAT is written under this name beside the old one before it takes its place.
constexpr const char* kNewFileSuffix = ".NEW";

[[noreturn]] void throwWriteError(const fs::path& named) {
    throw RuntimeError(kErrPathFileAccess, "Write error (" + named.string() + ")");
}

// Writes the record's 7 bytes at the file's position; a failure names `named`.
void writeRecord(int fd, const TransSettingsRecord& record, const fs::path& named) {
    const auto bytes = record.toBytes();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throwWriteError(named);
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

void writeTransSettingsFile(const std::filesystem::path& path, const TransSettingsRecord& record) {
    FileDescriptor file = openPlainFile(path, O_WRONLY | O_CREAT | O_TRUNC);
    writeRecord(file.get(), record, path);
    file.close(path);
}

void replaceTransSettingsFile(const std::filesystem::path& path,
                              const TransSettingsRecord& record) {
    requirePlainFileOrNone(path);
    fs::path newFile = path;
    newFile += kNewFileSuffix;
    std::error_code ec;
    // Left by a save that was cut short; a folder of that name is not ours to remove.
    if (!fs::is_directory(fs::symlink_status(newFile, ec)))
        fs::remove(newFile, ec);
    // Failures name TRANS.DAT, the file the user knows; the new file is never left behind.
    const int fd = ::open(newFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throwFileError(path, errno);
    try {
        FileDescriptor file(fd);
        writeRecord(file.get(), record, path);
        // The bytes reach the disk before the name leads to them: a power cut after the rename
        // must not leave an empty TRANS.DAT.
        if (::fsync(file.get()) != 0)
            throwWriteError(path);
        file.close(path);
        fs::rename(newFile, path, ec);
        if (ec)
            throwFileError(path, ec.value());
    } catch (...) {
        fs::remove(newFile, ec);
        throw;
    }
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
