#pragma once

#include "conversion/RecordFile.h"
#include "conversion/TerminalRecords.h"

#include <cstdint>
#include <string>

// Routines on the terminal's files that the transfer commands share.
namespace kelvarin {

// STATUS.DAT's first byte holds the terminal's status flags; this bit is set once the
// terminal's previous collection has been uploaded.
inline constexpr std::uint8_t kCollectionUploadedBit = 2;

// The agent code that AGENT.DAT's record carries: its AgentCode cut at NUL and trimmed of
// spaces.
std::string agentCodeOf(const AgentRecord& agent);

// The upload text file's name: the AgentCode of the next AgentRecord of `fileNum` (the caller
// has just opened AGENT.DAT, so the first one), cut at NUL and trimmed of spaces, followed by
// ".TXT". When no whole record can be read the code is empty and the result is ".TXT". Path
// separators in the code become "_", so the name always stays inside the folder it is joined
// to. Never throws a RuntimeError.
std::string GetAgentFileName(RecordFileReader& fileNum);

// False when STATUS.DAT at `statusPath` exists and its first byte has kCollectionUploadedBit
// set; true otherwise, also for a missing, empty or unreadable file.
bool IsStatusFlagClear(const std::string& statusPath);

} // namespace kelvarin
