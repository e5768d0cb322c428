#include "conversion/FailureMapping.h"
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

// Runs the steps of one sort and keeps the failure of the last one that failed.
class Attempts {
public:
    // True when the step ran through.
    template <class Step>
    bool operator()(Step&& step) {
        try {
            step();
            return true;
        } catch (...) {
            m_failure = std::current_exception();
            return false;
        }
    }
    std::exception_ptr failure() const { return m_failure; }

private:
    std::exception_ptr m_failure;
};

} // namespace

bool TerminalConversion::SortTempFile() {
    // Without a data folder setting the paths would fall back on the working folder.
    if (mdlLoadSetup::GetDataPath().empty())
        return true;
    const std::filesystem::path dataFolder(mdlLoadSetup::GetDataPath());
    const std::filesystem::path tempPath = dataFolder / "TEMP.DAT";
    const std::filesystem::path scratchPath = dataFolder / "TEMP1234.DAT";
    Attempts attempt;

    // A stale scratch file that cannot go now makes the write below fail.
    attempt([&] { deleteIfPresent(scratchPath); });
    // No TEMP.DAT is nothing to sort; CommaFileCreation tells the user.
    if (!FSo.FileExists(tempPath))
        return true;

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
    // Ends the sort with the failure's box; the records' memory goes first, so that a sort
    // that ran out of it can still show why.
    auto fail = [&](const std::exception_ptr& failure) {
        std::vector<TempLineRecord>().swap(records);
        showFailure(asRuntimeError(failure));
        return false;
    };
    // What was read must not cost the records after a failure (a read error, no memory left):
    // TEMP.DAT stays as it was.
    if (!read)
        return fail(attempt.failure());
    // More records than the count holds: StCvrt refuses such a file anyway, and the sort's
    // memory stays bounded whatever master file it came from.
    if (tooMany || records.empty())
        return true;

    if (!attempt([&] { sortBySortText(records); }))
        return fail(attempt.failure());

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
    const bool replaced = written && attempt([&] {
                              std::error_code ec;
                              std::filesystem::rename(scratchPath, tempPath, ec);
                              if (ec) {
                                  FSo.CopyFile(scratchPath, tempPath, true);
                                  FSo.DeleteFile(scratchPath);
                              }
                          });
    if (!replaced) {
        const std::exception_ptr failure = attempt.failure();
        attempt([&] { deleteIfPresent(scratchPath); });
        return fail(failure);
    }
    return true;
}

} // namespace kelvarin
