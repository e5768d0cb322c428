#pragma once

#include "conversion/TerminalRecords.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarin {

// Column 2 of the upload text file for each of `transactions`, in their order: the Field2Text,
// cut at NUL and trimmed, of the first MasterRecord in file order whose AccTypeCode and
// AccountKey, each cut at NUL but not trimmed, equal the transaction's byte for byte (case and
// spaces count); none when no record matches.
//
// MASTER.DAT at `masterPath` is read once, from its start, and only as far as needed (a trailing
// partial record is ignored). It is opened for reading and writing, though nothing is written:
// a missing file is created empty, and a file that may not be written (read-only, or held
// against writers) is refused with RuntimeError 70. Other failures: RuntimeError 75 or 76.
class MasterTexts {
public:
    // The text for transaction `i`; the view lives as long as this object.
    std::optional<std::string_view> operator[](std::size_t i) const {
        const auto& text = m_textOfKey[m_keyOfTransaction[i]];
        return text ? std::optional<std::string_view>(*text) : std::nullopt;
    }

private:
    friend MasterTexts findMasterTexts(const std::filesystem::path&,
                                       std::span<const TransactionRecord>);
    std::vector<std::size_t> m_keyOfTransaction;
    std::vector<std::optional<std::string>> m_textOfKey;
};

MasterTexts findMasterTexts(const std::filesystem::path& masterPath,
                            std::span<const TransactionRecord> transactions);

} // namespace kelvarin
