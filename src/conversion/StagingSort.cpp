#include "conversion/StagingSort.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace kelvarin {

void sortBySortText(std::vector<TempLineRecord>& records) {
    constexpr std::size_t keyOffset = staging::kSortTextColumn.offset;
    constexpr std::size_t keyWidth = staging::kSortTextColumn.width;
    // Sorting positions rather than the 166-byte records keeps the moves cheap.
    std::vector<std::size_t> order(records.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        // memcmp compares as unsigned bytes: ordinal order, no case folding, no locale.
        return std::memcmp(records[a].data() + keyOffset, records[b].data() + keyOffset, keyWidth) <
               0;
    });
    std::vector<TempLineRecord> sorted;
    sorted.reserve(records.size());
    for (std::size_t i : order)
        sorted.push_back(records[i]);
    records = std::move(sorted);
}

} // namespace kelvarin
