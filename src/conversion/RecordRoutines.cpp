#include "conversion/RecordRoutines.h"

#include "conversion/TerminalRecords.h"
#include "conversion/TextRoutines.h"
#include "settings/mdlLoadSetup.h"

#include <exception>
#include <filesystem>
#include <fstream>

namespace kelvarin {

std::string agentCodeOf(const AgentRecord& agent) {
    return mdlLoadSetup::TrimBlanks(CutAtNul(textOf(agent.AgentCode)));
}

std::string GetAgentFileName(RecordFileReader& fileNum) {
    AgentRecord agent;
    try {
        AgentRecord read;
        if (fileNum.get(read))
            agent = read;
    } catch (const std::exception&) {
        // An unreadable file counts as an empty agent code.
    }
    std::string code = agentCodeOf(agent);
    // The code comes from the terminal: it must not lead the upload file out of its folder.
    for (char& c : code)
        if (c == '/' || c == '\\')
            c = '_';
    return code + ".TXT";
}

bool IsStatusFlagClear(const std::string& statusPath) {
    std::error_code ec;
    if (!std::filesystem::exists(statusPath, ec))
        return true;
    char flags = 0;
    std::ifstream in(statusPath, std::ios::binary);
    if (!in.is_open() || !in.get(flags))
        flags = 0;
    return (static_cast<std::uint8_t>(flags) & kCollectionUploadedBit) == 0;
}

} // namespace kelvarin
