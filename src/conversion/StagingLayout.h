#pragma once

#include <array>
#include <cstddef>

// TEMP.DAT, the fixed-width staging copy of the master file: a header line of two columns,
// then one line per account line with eleven columns, each line ended by CR LF.
namespace kelvarin::staging {

struct Column {
    std::size_t offset; // byte offset in the line
    std::size_t width;
};

inline constexpr std::array<Column, 2> kHeaderColumns{{{0, 24}, {24, 6}}};
inline constexpr std::size_t kHeaderTextWidth = 30;
inline constexpr std::size_t kHeaderRecordSize = kHeaderTextWidth + 2;

// AccTypeCode, Field2Text, AccountKey, SortText, Field5Date, Field6Number, Field7Number,
// Field8Number, Field9Number, TypeNo, Field11Text.
inline constexpr std::array<Column, 11> kLineColumns{{{0, 15},
                                                      {15, 24},
                                                      {39, 19},
                                                      {58, 31},
                                                      {89, 10},
                                                      {99, 10},
                                                      {109, 10},
                                                      {119, 10},
                                                      {129, 10},
                                                      {139, 1},
                                                      {140, 24}}};
inline constexpr std::size_t kLineTextWidth = 164;
inline constexpr std::size_t kLineRecordSize = kLineTextWidth + 2;

// The sort key column.
inline constexpr Column kSortTextColumn = kLineColumns[3];

// Columns from this one on (counted from 0) read as "0" when the line ends before them.
inline constexpr std::size_t kFirstZeroDefaultColumn = 5;

constexpr bool columnsArePacked() {
    std::size_t next = 0;
    for (const Column& c : kLineColumns) {
        if (c.offset != next)
            return false;
        next += c.width;
    }
    return next == kLineTextWidth && kHeaderColumns[1].offset == kHeaderColumns[0].width &&
           kHeaderColumns[0].width + kHeaderColumns[1].width == kHeaderTextWidth;
}
static_assert(columnsArePacked());

} // namespace kelvarin::staging
