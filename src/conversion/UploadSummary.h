#pragma once

#include "conversion/TerminalRecords.h"

#include <span>
#include <string>

namespace kelvarin {

// The upload text file's first line, without its line end: the agent code (agentCodeOf the
// first AgentRecord of AGENT.DAT), the number of `transactions` whose MarkFlag is 0, and the
// total of their Amounts with the pattern ".00", joined by ",". Each counted Amount is added as
// its general text (singleText) reads back, so as the amount rounded to 7 significant digits.
// No transactions give "code,0,.00". Pass a value-initialised AgentRecord when AGENT.DAT holds
// no whole record: the code is then empty and the line begins with ",".
std::string UploadSummaryLine(const AgentRecord& firstAgent,
                              std::span<const TransactionRecord> transactions);

} // namespace kelvarin
