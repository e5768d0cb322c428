#pragma once

#include "conversion/TerminalRecords.h"

#include <filesystem>
#include <string>
#include <unordered_map>

namespace kelvarin {

// MASTER.DAT as the upload looks each transaction's account up in it, read once per upload.
class MasterIndex {
public:
    // Reads every whole MasterRecord of the file at `path` (a trailing partial record is
    // ignored). The file is opened for reading and writing, though nothing is written: a missing
    // file is created empty, and a file that may not be written (read-only, or held against
    // writers) is refused with RuntimeError 70. Other failures: RuntimeError 75 or 76.
    static MasterIndex load(const std::filesystem::path& path);

    // The Field2Text, cut at NUL and trimmed, of the first record in file order whose
    // AccTypeCode and AccountKey, each cut at NUL but not trimmed, equal the transaction's byte
    // for byte (case and spaces count). Null when no record matches.
    const std::string* find(const TransactionRecord& transaction) const;

    std::size_t keyCount() const { return m_firstMatch.size(); }

private:
    std::unordered_map<std::string, std::string> m_firstMatch;
};

} // namespace kelvarin
