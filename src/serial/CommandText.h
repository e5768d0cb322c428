#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The fields of a command text: number, file name, time-out, separated by single blanks.
namespace kelvarin::ModTrans {

struct CommandFields {
    std::int16_t number = 0;                 // 0 when the first field is no number
    std::optional<std::string> fileName;     // absent: the command names no file
    std::optional<std::int16_t> timeoutSecs; // absent: no third field
};

// Splits a command text (blanks at its ends already removed). A blank right after the blank
// that ends the number makes the file name run to the end of the text (its blanks then
// trimmed), so "1  AGENT.DAT" still names AGENT.DAT. Numbers are read as far as they go ("12x"
// gives 12, "x" gives 0) and rounded to whole numbers; beyond 16-bit range: RuntimeError 6.
CommandFields SplitCommandText(const std::string& text);

// The number a text starts with, as far as it goes, rounded half to even; 0 for none.
// Beyond 16-bit range: RuntimeError 6.
std::int16_t LeadingNumber(const std::string& text);

} // namespace kelvarin::ModTrans
