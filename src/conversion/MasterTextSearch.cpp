#include "conversion/MasterTextSearch.h"

#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"
#include "settings/mdlLoadSetup.h"

#include <cerrno>
#include <fstream>
#include <vector>

namespace kelvarin {

namespace {

// Master records read per block.
constexpr std::size_t kBlockRecords = 512;

// Record `i` of a block of master records.
std::span<const std::uint8_t> masterAt(const std::vector<std::uint8_t>& block, std::size_t i) {
    return std::span<const std::uint8_t>(block).subspan(i * MasterRecord::kSize,
                                                        MasterRecord::kSize);
}

std::fstream openForReadingAndWriting(const std::filesystem::path& path) {
    // "a+": reading and writing allowed, created when missing, never truncated.
    errno = 0;
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out | std::ios::app);
    if (!file.is_open())
        throwFileError(path, errno);
    file.seekg(0);
    return file;
}

} // namespace

void MasterTextSearch::search(const std::filesystem::path& masterPath) {
    // A master record is looked up among the keys, so MASTER.DAT is read once, in file order,
    // and the first match stays.
    m_textOfKey.assign(m_keys.size(), TextPlace{});
    std::fstream file = openForReadingAndWriting(masterPath);
    std::size_t unresolved = m_textOfKey.size();
    std::vector<std::uint8_t> block(kBlockRecords * MasterRecord::kSize);
    std::vector<MasterKey> blockKeys;
    blockKeys.reserve(kBlockRecords);
    while (unresolved > 0 && file) {
        file.read(reinterpret_cast<char*>(block.data()),
                  static_cast<std::streamsize>(block.size()));
        if (file.bad())
            throw RuntimeError(kErrPathFileAccess, "Read error (" + masterPath.string() + ")");
        const std::size_t records = static_cast<std::size_t>(file.gcount()) / MasterRecord::kSize;
        // All the block's keys first, their slots fetched ahead: the lookups that follow then
        // rarely wait for memory one after another.
        blockKeys.clear();
        for (std::size_t i = 0; i < records; ++i) {
            blockKeys.emplace_back(masterAt(block, i));
            m_keys.prefetch(blockKeys.back());
        }
        for (std::size_t i = 0; i < records && unresolved > 0; ++i) {
            const std::size_t match = m_keys.find(blockKeys[i]);
            if (match == MasterKeyTable::kNone || m_textOfKey[match].start != kNotFound)
                continue;
            const std::string_view text = mdlLoadSetup::TrimBlanksView(
                cutTextAt(masterAt(block, i), MasterRecord::kField2TextField));
            m_textOfKey[match] = {m_texts.size(), text.size()};
            m_texts += text;
            --unresolved;
        }
    }
}

} // namespace kelvarin
