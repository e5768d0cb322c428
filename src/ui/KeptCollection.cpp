#include "ui/KeptCollection.h"

#include "conversion/NumberText.h"
#include "settings/TextFileService.h"

#include <string>
#include <system_error>

namespace kelvarin {

namespace fs = std::filesystem;

std::optional<fs::path> KeepTransactionFile(const fs::path& folder, const LocalDateTime& now) {
    const fs::path file = folder / kTransactionFile;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    const std::string stem = "MASTER-" + zeroPadded(now.year, 4) + zeroPadded(now.month, 2) +
                             zeroPadded(now.day, 2) + "-" + zeroPadded(now.hour, 2) +
                             zeroPadded(now.minute, 2) + zeroPadded(now.second, 2);
    fs::path kept = folder / (stem + ".TRN");
    // Any entry counts as taken, a link that leads nowhere included: the move must not replace it.
    for (int n = 2; fs::exists(fs::symlink_status(kept, ec)); ++n)
        kept = folder / (stem + "-" + std::to_string(n) + ".TRN");
    fs::rename(file, kept, ec);
    if (ec)
        throwFileError(file, ec.value());
    return kept;
}

} // namespace kelvarin
