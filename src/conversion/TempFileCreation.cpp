#include "conversion/FailureMapping.h"
#include "conversion/MasterFileName.h"
#include "conversion/StagingLayout.h"
#include "conversion/TerminalConversion.h"
#include "conversion/TextRoutines.h"

namespace kelvarin {

namespace {

// A value in its TEMP.DAT column: cut at NUL, then cut or space-filled to the width.
void appendFitted(std::string& line, std::string value, std::size_t width) {
    value = TrimChr(value);
    line += Fix_Len(value, static_cast<std::int16_t>(width), "R");
}

} // namespace

bool TerminalConversion::TempFileCreation(const std::string& strFile) {
    try {
        const std::filesystem::path dataFolder = useDataFolder();
        const std::filesystem::path tempPath = dataFolder / "TEMP.DAT";

        // The old TEMP.DAT goes before any check, a refused name included.
        deleteIfPresent(tempPath);
        const std::filesystem::path sourcePath = dataFile(dataFolder, strFile);
        if (!FSo.FileExists(sourcePath)) {
            showNoData();
            return false;
        }
        if (baseName().size() > kMaxBaseNameLength) {
            refuseLongBaseName();
            return false;
        }

        auto source = FSo.OpenTextFile(sourcePath, IoMode::ForReading, false);
        std::string line = source->ReadLine();
        auto temp = FSo.OpenTextFile(tempPath, IoMode::ForWriting, true);

        std::string out;
        out.reserve(staging::kLineTextWidth);
        for (const staging::Column& column : staging::kHeaderColumns)
            appendFitted(out, GetNextField(line), column.width);
        temp->WriteLine(out);

        while (!source->AtEndOfStream()) {
            line = source->ReadLine();
            out.clear();
            for (const staging::Column& column : staging::kLineColumns)
                appendFitted(out, GetNextField(line), column.width);
            temp->WriteLine(out);
        }
        source->Close();
        temp->Close();
        return true;
    } catch (...) {
        showFailure(asRuntimeError(std::current_exception()));
    }
    return false;
}

} // namespace kelvarin
