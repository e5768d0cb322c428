#pragma once

#include "conversion/StagingLayout.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kelvarin {

// One TEMP.DAT data line as the sort sees it: 166 bytes, CR and LF included.
using TempLineRecord = std::array<std::uint8_t, staging::kLineRecordSize>;

// Puts the records in ascending ordinal byte order of their 31-byte SortText column, keeping
// equal keys in their order: exactly the order a neighbour-exchange sort that swaps only on
// "greater" gives, in O(N log N).
void sortBySortText(std::vector<TempLineRecord>& records);

} // namespace kelvarin
