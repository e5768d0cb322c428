#include "conversion/MasterTextSearch.h"

#include "platform/RuntimeError.h"
#include "settings/TextFileService.h"
#include "settings/mdlLoadSetup.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <functional>
#include <string_view>
#include <vector>

namespace kelvarin {

namespace {

// Master records read per block.
constexpr std::size_t kBlockRecords = 512;

// The two keys cut at NUL, held in one buffer (the type code, one NUL, the account key), and
// their hash. A cut text holds no NUL, so the buffer tells the pairs apart; the table keeps the
// bytes themselves, so a probe reads no other memory.
struct Key {
    template <class Record>
    explicit Key(const Record& record) {
        const std::string_view typeCode = cutText(record.AccTypeCode);
        const std::string_view accountKey = cutText(record.AccountKey);
        typeCode.copy(bytes.data(), typeCode.size());
        accountKey.copy(bytes.data() + typeCode.size() + 1, accountKey.size());
        length = static_cast<std::uint8_t>(typeCode.size() + 1 + accountKey.size());
        hash = std::hash<std::string_view>()(view());
    }
    std::string_view view() const { return std::string_view(bytes.data(), length); }
    bool operator==(const Key& other) const { return hash == other.hash && view() == other.view(); }

    std::size_t hash = 0;
    std::array<char,
               sizeof(TransactionRecord::AccTypeCode) + 1 + sizeof(TransactionRecord::AccountKey)>
        bytes{};
    std::uint8_t length = 0;
};

// The transactions' distinct keys, numbered in order of first appearance. Open addressing in
// one array; each slot holds part of its key's hash beside the key's number, so a master record
// whose key is not there (most of them) is turned away without reading any key.
class KeyTable {
public:
    explicit KeyTable(std::size_t maxKeys) {
        std::size_t size = 16;
        while (size < 2 * maxKeys)
            size *= 2;
        m_slots.assign(size, Slot{});
        m_keys.reserve(maxKeys);
    }

    // The key's number; a new key gets the next one.
    std::size_t add(const Key& key) {
        std::size_t slot = firstSlot(key);
        for (; m_slots[slot].number != kEmpty; slot = nextSlot(slot))
            if (holds(m_slots[slot], key))
                return m_slots[slot].number;
        m_slots[slot] = Slot{tagOf(key), static_cast<std::uint32_t>(m_keys.size())};
        m_keys.push_back(key);
        return m_slots[slot].number;
    }

    // The key's number, or kNone.
    std::size_t find(const Key& key) const {
        for (std::size_t slot = firstSlot(key); m_slots[slot].number != kEmpty;
             slot = nextSlot(slot))
            if (holds(m_slots[slot], key))
                return m_slots[slot].number;
        return kNone;
    }

    std::size_t size() const { return m_keys.size(); }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

private:
    static constexpr std::uint32_t kEmpty = static_cast<std::uint32_t>(-1);
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = kEmpty;
    };
    static std::uint32_t tagOf(const Key& key) {
        return static_cast<std::uint32_t>(key.hash >> 32);
    }
    bool holds(const Slot& slot, const Key& key) const {
        return slot.tag == tagOf(key) && m_keys[slot.number] == key;
    }
    std::size_t firstSlot(const Key& key) const { return key.hash & (m_slots.size() - 1); }
    std::size_t nextSlot(std::size_t slot) const { return (slot + 1) & (m_slots.size() - 1); }

    std::vector<Slot> m_slots;
    std::vector<Key> m_keys;
};

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

MasterTexts findMasterTexts(const std::filesystem::path& masterPath,
                            std::span<const TransactionRecord> transactions) {
    // The transactions' distinct keys, each with its place in `found`; a master record is looked
    // up among them, so MASTER.DAT is read once, in file order, and the first match stays.
    MasterTexts texts;
    KeyTable keyIndex(transactions.size());
    texts.m_keyOfTransaction.reserve(transactions.size());
    for (const TransactionRecord& t : transactions)
        texts.m_keyOfTransaction.push_back(keyIndex.add(Key(t)));
    std::vector<std::optional<std::string>>& found = texts.m_textOfKey;
    found.resize(keyIndex.size());

    std::fstream file = openForReadingAndWriting(masterPath);
    std::size_t unresolved = found.size();
    std::vector<std::uint8_t> block(kBlockRecords * MasterRecord::kSize);
    while (unresolved > 0 && file) {
        file.read(reinterpret_cast<char*>(block.data()),
                  static_cast<std::streamsize>(block.size()));
        if (file.bad())
            throw RuntimeError(kErrPathFileAccess, "Read error (" + masterPath.string() + ")");
        const std::size_t records = static_cast<std::size_t>(file.gcount()) / MasterRecord::kSize;
        for (std::size_t i = 0; i < records && unresolved > 0; ++i) {
            const MasterRecord master =
                MasterRecord::readFrom(std::span<const std::uint8_t>(block).subspan(
                    i * MasterRecord::kSize, MasterRecord::kSize));
            const std::size_t match = keyIndex.find(Key(master));
            if (match == KeyTable::kNone || found[match])
                continue;
            found[match] = std::string(mdlLoadSetup::TrimBlanksView(cutText(master.Field2Text)));
            --unresolved;
        }
    }
    return texts;
}

} // namespace kelvarin
