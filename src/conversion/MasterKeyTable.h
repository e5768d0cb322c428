#pragma once

#include "conversion/TerminalRecords.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

// The keys by which a transaction finds its master record, and a table of them that a master
// record's key is looked up in.
namespace kelvarin {

// The two keys, each cut at NUL, as 8-byte words: each key has words of its own, holding its
// bytes before the cut and zero from there on. A cut text holds no NUL, so two keys are equal
// exactly when their words are, and the words are built in registers straight from the record,
// so neither the hash nor a comparison waits on bytes just copied.
struct MasterKey {
    explicit MasterKey(const TransactionRecord& t) {
        putCutWords<sizeof(t.AccTypeCode)>(t.AccTypeCode.data(), 0);
        putCutWords<sizeof(t.AccountKey)>(t.AccountKey.data(), kTypeCodeWords);
        hash = hashOf(words);
    }
    // A MasterRecord's key, read from its bytes without decoding the record.
    explicit MasterKey(std::span<const std::uint8_t> master) {
        putCutWords<MasterRecord::kAccTypeCodeField.width>(
            textAt(master, MasterRecord::kAccTypeCodeField), 0);
        putCutWords<MasterRecord::kAccountKeyField.width>(
            textAt(master, MasterRecord::kAccountKeyField), kTypeCodeWords);
        hash = hashOf(words);
    }

    // Word by word without branching: cheaper than a byte comparison for so few words.
    bool operator==(const MasterKey& other) const {
        std::uint64_t difference = 0;
        for (std::size_t i = 0; i < kWords; ++i)
            difference |= words[i] ^ other.words[i];
        return difference == 0;
    }

    static constexpr std::size_t kTypeCodeWords = (sizeof(TransactionRecord::AccTypeCode) + 7) / 8;
    static constexpr std::size_t kWords =
        kTypeCodeWords + (sizeof(TransactionRecord::AccountKey) + 7) / 8;

    std::uint64_t hash = 0;
    std::array<std::uint64_t, kWords> words{};

private:
    static const char* textAt(std::span<const std::uint8_t> record, FieldSpan field) {
        return reinterpret_cast<const char*>(record.subspan(field.offset, field.width).data());
    }

    // The Width bytes at `text`, cut at the first NUL, into the words from words[first] on.
    template <std::size_t Width>
    void putCutWords(const char* text, std::size_t first) {
        static_assert(std::endian::native == std::endian::little,
                      "a word's first byte is its lowest");
        const std::size_t cut = std::min(std::string_view(text, Width).find('\0'), Width);
        for (std::size_t at = 0; at < Width; at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, text + at, std::min<std::size_t>(8, Width - at));
            if (cut <= at)
                word = 0;
            else if (cut < at + 8)
                word &= (std::uint64_t{1} << (8 * (cut - at))) - 1;
            words[first + at / 8] = word;
        }
    }

    // Multiplied and shifted a word at a time: a few instructions per word, where every master
    // record is hashed.
    static std::uint64_t hashOf(const std::array<std::uint64_t, kWords>& words) {
        constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
        std::uint64_t h = 0;
        for (const std::uint64_t word : words) {
            h = (h ^ word) * kMultiplier;
            h ^= h >> 29;
        }
        h *= kMultiplier;
        return h ^ (h >> 32);
    }
};
static_assert(MasterRecord::kAccTypeCodeField.width == sizeof(TransactionRecord::AccTypeCode) &&
              MasterRecord::kAccountKeyField.width == sizeof(TransactionRecord::AccountKey));

// Distinct keys, numbered in order of first appearance. Open addressing in one array; each slot
// holds part of its key's hash beside the key's number, so a master record whose key is not
// there (most of them) is turned away without reading any key.
class MasterKeyTable {
public:
    explicit MasterKeyTable(std::size_t expectedKeys) {
        m_keys.reserve(expectedKeys);
        resize(expectedKeys);
    }

    // The key's number; a new key gets the next one.
    std::size_t add(const MasterKey& key) {
        std::size_t slot = firstSlot(key);
        for (; m_slots[slot].number != kEmpty; slot = nextSlot(slot))
            if (holds(m_slots[slot], key))
                return m_slots[slot].number;
        const std::size_t number = m_keys.size();
        m_slots[slot] = Slot{tagOf(key), static_cast<std::uint32_t>(number)};
        m_keys.push_back(key);
        if (2 * m_keys.size() > m_slots.size())
            resize(m_keys.size());
        return number;
    }

    // The key's number, or kNone.
    std::size_t find(const MasterKey& key) const {
        for (std::size_t slot = firstSlot(key); m_slots[slot].number != kEmpty;
             slot = nextSlot(slot))
            if (holds(m_slots[slot], key))
                return m_slots[slot].number;
        return kNone;
    }

    std::size_t size() const { return m_keys.size(); }

    // Asks for the key's first slot to be brought into the cache ahead of find.
    void prefetch(const MasterKey& key) const { __builtin_prefetch(&m_slots[firstSlot(key)]); }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

private:
    static constexpr std::uint32_t kEmpty = static_cast<std::uint32_t>(-1);
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t number = kEmpty;
    };
    static std::uint32_t tagOf(const MasterKey& key) {
        return static_cast<std::uint32_t>(key.hash >> 32);
    }
    bool holds(const Slot& slot, const MasterKey& key) const {
        return slot.tag == tagOf(key) && m_keys[slot.number] == key;
    }
    std::size_t firstSlot(const MasterKey& key) const {
        return static_cast<std::size_t>(key.hash) & (m_slots.size() - 1);
    }
    std::size_t nextSlot(std::size_t slot) const { return (slot + 1) & (m_slots.size() - 1); }

    // Room for twice `keys` slots at least, so a probe meets an empty slot soon; the keys held
    // are put back in their new places.
    void resize(std::size_t keys) {
        std::size_t size = 16;
        while (size < 2 * keys + 2)
            size *= 2;
        m_slots.assign(size, Slot{});
        for (std::size_t number = 0; number < m_keys.size(); ++number) {
            std::size_t slot = firstSlot(m_keys[number]);
            while (m_slots[slot].number != kEmpty)
                slot = nextSlot(slot);
            m_slots[slot] = Slot{tagOf(m_keys[number]), static_cast<std::uint32_t>(number)};
        }
    }

    std::vector<Slot> m_slots;
    std::vector<MasterKey> m_keys;
};

} // namespace kelvarin
