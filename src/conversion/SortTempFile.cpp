#include "conversion/RecordFile.h"
#include "conversion/StagingSort.h"
#include "conversion/TerminalConversion.h"
#include "settings/mdlLoadSetup.h"

#include <exception>
#include <limits>

namespace kelvarin {

namespace {

using TempHeaderRecord = std::array<std::uint8_t, staging::kHeaderRecordSize>;

// The record count is a 16-bit signed number.
constexpr std::size_t kMaxRecords = std::numeric_limits<std::int16_t>::max();

// Runs one step; a failing step is skipped. True when it ran through.
template <class Step>
bool attempt(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void TerminalConversion::SortTempFile() {
    // Without a data folder setting the paths would fall back on the working folder.
    if (mdlLoadSetup::GetDataPath().empty())
        return;
    const std::filesystem::path dataFolder(mdlLoadSetup::GetDataPath());
    const std::filesystem::path tempPath = dataFolder / "TEMP.DAT";
    const std::filesystem::path scratchPath = dataFolder / "TEMP1234.DAT";

    attempt([&] { deleteIfPresent(scratchPath); });

    TempHeaderRecord header{};
    std::vector<TempLineRecord> records;
    bool tooMany = false;
    const bool read = attempt([&] {
        RecordFileReader reader(tempPath);
        if (!reader.readBytes(header.data(), header.size()))
            return;
        TempLineRecord record{};
        while (!reader.atEnd() && reader.readBytes(record.data(), record.size())) {
            if (records.size() == kMaxRecords) {
                tooMany = true;
                return;
            }
            records.push_back(record);
        }
    });
    // A read that failed part-way (a read error, no memory left) must not cost the records
    // after the failure: TEMP.DAT then stays as it was, like an unreadable one. So does a
    // TEMP.DAT of more records than the count holds: StCvrt refuses such a file anyway, and
    // the sort's memory stays bounded whatever master file it came from.
    if (!read || tooMany || records.empty())
        return;

    if (!attempt([&] { sortBySortText(records); }))
        return;

    // TEMP.DAT is replaced only by a scratch copy that was written and closed in full, so a
    // failed write never costs a record.
    const bool written = attempt([&] {
        deleteIfPresent(scratchPath);
        RecordFileWriter writer(scratchPath);
        writer.writeBytes(header.data(), header.size());
        for (const TempLineRecord& record : records)
            writer.writeBytes(record.data(), record.size());
        writer.close();
    });
    if (!written) {
        attempt([&] { deleteIfPresent(scratchPath); });
        return;
    }
    attempt([&] {
        std::error_code ec;
        std::filesystem::rename(scratchPath, tempPath, ec);
        if (ec) {
            FSo.CopyFile(scratchPath, tempPath, true);
            FSo.DeleteFile(scratchPath);
        }
    });
}

} // namespace kelvarin
