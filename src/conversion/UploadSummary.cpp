#include "conversion/UploadSummary.h"

#include "conversion/NumberText.h"
#include "conversion/RecordRoutines.h"

#include <cstdint>

namespace kelvarin {

std::string UploadSummaryLine(const AgentRecord& firstAgent,
                              std::span<const TransactionRecord> transactions) {
    std::int32_t count = 0;
    double total = 0;
    for (const TransactionRecord& t : transactions) {
        if (t.MarkFlag != 0)
            continue;
        ++count;
        total += readSingleText(singleText(t.Amount));
    }
    return agentCodeOf(firstAgent) + ',' + zeroPadded(count, 1) + ',' + twoDecimalsText(total);
}

} // namespace kelvarin
