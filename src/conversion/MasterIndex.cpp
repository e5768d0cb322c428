#include "conversion/MasterIndex.h"

#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"
#include "settings/mdlLoadSetup.h"

#include <cerrno>
#include <fstream>
#include <span>

namespace kelvarin {

namespace {

// Both keys cut at NUL; a cut text holds no NUL, so one NUL between them keeps pairs apart.
std::string matchKey(const FixedText<16>& accTypeCode, const FixedText<20>& accountKey) {
    return TrimChr(textOf(accTypeCode)) + '\0' + TrimChr(textOf(accountKey));
}

std::string wholeFile(const std::filesystem::path& path) {
    // "a+": reading and writing allowed, created when missing, never truncated.
    errno = 0;
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out | std::ios::app);
    if (!file.is_open())
        throwFileError(path, errno);
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0);
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (size < 0 || file.gcount() != static_cast<std::streamsize>(bytes.size()))
        throw RuntimeError(kErrPathFileAccess, "Read error (" + path.string() + ")");
    return bytes;
}

} // namespace

MasterIndex MasterIndex::load(const std::filesystem::path& path) {
    const std::string bytes = wholeFile(path);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    MasterIndex index;
    for (std::size_t at = 0; at + MasterRecord::kSize <= bytes.size(); at += MasterRecord::kSize) {
        const MasterRecord master =
            MasterRecord::readFrom(std::span<const std::uint8_t>(data + at, MasterRecord::kSize));
        // try_emplace leaves an earlier record with the same keys in place.
        index.m_firstMatch.try_emplace(
            matchKey(master.AccTypeCode, master.AccountKey),
            mdlLoadSetup::TrimBlanks(TrimChr(textOf(master.Field2Text))));
    }
    return index;
}

const std::string* MasterIndex::find(const TransactionRecord& transaction) const {
    const auto found = m_firstMatch.find(matchKey(transaction.AccTypeCode, transaction.AccountKey));
    return found == m_firstMatch.end() ? nullptr : &found->second;
}

} // namespace kelvarin
