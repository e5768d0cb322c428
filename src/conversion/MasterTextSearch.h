#pragma once

#include "conversion/MasterKeyTable.h"
#include "conversion/TerminalRecords.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarin {

// Column 2 of the upload text file: for each transaction's key, the Field2Text, cut at NUL and
// trimmed, of the first MasterRecord in file order whose AccTypeCode and AccountKey, each cut at
// NUL but not trimmed, equal the transaction's byte for byte (case and spaces count); none when
// no record matches.
//
// The keys are added first, then MASTER.DAT is searched once, from its start, and only as far
// as needed (a trailing partial record is ignored). It is opened for reading and writing, though
// nothing is written: a missing file is created empty, a file held by another program (being run,
// busy) is refused with RuntimeError 70, and one that may not be written (read-only) with
// RuntimeError 75 naming the reason. Other failures: RuntimeError 75 or 76.
class MasterTextSearch {
public:
    // `expectedKeys` only sizes the first allocations.
    explicit MasterTextSearch(std::size_t expectedKeys) : m_keys(expectedKeys) {}

    // The number of the transaction's key; transactions with equal keys share one.
    std::size_t addKey(const TransactionRecord& t) { return m_keys.add(MasterKey(t)); }

    // Looks every key added up in MASTER.DAT at `masterPath`.
    void search(const std::filesystem::path& masterPath);

    // The text found for key `number`; the view lives as long as this object.
    std::optional<std::string_view> textOf(std::size_t number) const {
        const TextPlace& place = m_textOfKey[number];
        if (place.start == kNotFound)
            return std::nullopt;
        return std::string_view(m_texts).substr(place.start, place.length);
    }

private:
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
    // Where a key's text stands in m_texts; all texts share one buffer, so finding one costs no
    // allocation of its own.
    struct TextPlace {
        std::size_t start = kNotFound;
        std::size_t length = 0;
    };
    MasterKeyTable m_keys;
    std::vector<TextPlace> m_textOfKey;
    std::string m_texts;
};

} // namespace kelvarin
