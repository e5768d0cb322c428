#include "conversion/FailureMapping.h"
#include "conversion/StagingLayout.h"
#include "conversion/TerminalConversion.h"
#include "conversion/TextRoutines.h"
#include "settings/mdlLoadSetup.h"

namespace kelvarin {

namespace {

// The characters of `line` from `offset` on, at most `width` of them.
std::string columnText(const std::string& line, std::size_t offset, std::size_t width) {
    return offset < line.size() ? line.substr(offset, width) : std::string();
}

// The header line: HeaderText1 trimmed, ",", HeaderText2; trailing spaces of the whole removed.
std::string commaHeader(const std::string& line) {
    const auto& columns = staging::kHeaderColumns;
    std::string joined =
        mdlLoadSetup::TrimBlanks(TrimChr(columnText(line, columns[0].offset, columns[0].width))) +
        "," + TrimChr(columnText(line, columns[1].offset, columns[1].width));
    joined.erase(joined.find_last_not_of(' ') + 1);
    return joined;
}

std::string commaLine(const std::string& line) {
    std::string joined;
    for (std::size_t i = 0; i < staging::kLineColumns.size(); ++i) {
        const staging::Column& column = staging::kLineColumns[i];
        if (i > 0)
            joined += ',';
        if (column.offset >= line.size()) {
            // The line ended before this column.
            if (i >= staging::kFirstZeroDefaultColumn)
                joined += '0';
            continue;
        }
        joined += mdlLoadSetup::TrimBlanks(TrimChr(columnText(line, column.offset, column.width)));
    }
    return joined;
}

} // namespace

bool TerminalConversion::CommaFileCreation(const std::string& strFile1) {
    try {
        const std::filesystem::path dataFolder = useDataFolder();
        const std::filesystem::path tempPath = dataFolder / "TEMP.DAT";
        const std::filesystem::path workPath = dataFile(dataFolder, "Temp" + strFile1);

        deleteIfPresent(workPath);
        if (!FSo.FileExists(tempPath)) {
            showNoData();
            return false;
        }

        auto temp = FSo.OpenTextFile(tempPath, IoMode::ForReading, false);
        const std::string header = temp->ReadLine();
        auto work = FSo.OpenTextFile(workPath, IoMode::ForWriting, true);
        work->WriteLine(commaHeader(header));
        while (!temp->AtEndOfStream())
            work->WriteLine(commaLine(temp->ReadLine()));
        temp->Close();
        work->Close();
        return true;
    } catch (...) {
        showFailure(asRuntimeError(std::current_exception()));
    }
    return false;
}

} // namespace kelvarin
