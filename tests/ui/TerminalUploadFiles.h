#pragma once

#include "support/TempFolder.h"

#include <cstdint>
#include <string>

// What a terminal hands back after a small collection, built byte by byte from the record
// layouts, and the upload text file worked out by hand from them.
namespace kelvarin::test::upload {

// A text member as the terminal writes it: the value, NUL, then spaces to the width.
inline std::string member(const std::string& value, std::size_t width) {
    std::string bytes = value + std::string(1, '\0');
    return bytes + std::string(width - bytes.size(), ' ');
}

// HeaderText1 (26), AgentCode (16), HeaderText2 (9), Long51, Text55 (4), Text59 (5).
inline std::string agentRecord(const std::string& agentCode16) {
    return member("KELVARIN", 26) + agentCode16 + member("071226", 9) + std::string(4, '\0') +
           member("", 4) + member("", 5);
}

// AccountKey (20), SortText (32), AccTypeCode (16), Field2Text (32), 28 bytes of numbers.
inline std::string masterRecord(const std::string& key, const std::string& type,
                                const std::string& field2) {
    return member(key, 20) + member("SORT", 32) + member(type, 16) + member(field2, 32) +
           std::string(28, '\0');
}

// Members the PC does not read hold 0xEE. Numbers are given as little-endian hex bytes.
inline std::string transactionRecord(const char* long0, const char* amount, const std::string& key,
                                     const std::string& type, std::uint8_t markFlag,
                                     const char* date, const char* time, const char* single120) {
    std::string r(128, '\xEE');
    r.replace(0, 4, hexBytes(long0));
    r.replace(4, 4, hexBytes(amount));
    r.replace(8, 20, member(key, 20));
    r.replace(28, 16, member(type, 16));
    r[48] = static_cast<char>(markFlag);
    r.replace(53, 4, hexBytes(date));
    r.replace(57, 4, hexBytes(time));
    r.replace(120, 4, hexBytes(single120));
    return r;
}

// Agent code "A1" as the download writes it: padded to 4, NUL, 11 spaces.
inline std::string agentFile(const std::string& code = "A1  ") {
    return agentRecord(code + std::string(1, '\0') + std::string(15 - code.size(), ' '));
}

inline std::string masterFile() {
    return masterRecord("K1", "SAV", "Asha Rao") + masterRecord("K2", "LOAN", "Vijay");
}

// K1/SAV: Long0 7, Amount 12.5, MarkFlag 0, 05/03/2024 09:07:03, Single120 0.
// K2/LOAN: Long0 -1, Amount 0.25, MarkFlag 1, 06/03/2024 10:00:00, Single120 2.5.
// K9/SAV (no master record): Long0 3, Amount 100, MarkFlag 0, 07/03/2024 11:30:15, Single120 1.5.
inline std::string transactionFile() {
    return transactionRecord("07 00 00 00", "00 00 48 41", "K1", "SAV", 0, "05 03 e8 07",
                             "09 07 03 00", "00 00 00 00") +
           transactionRecord("ff ff ff ff", "00 00 80 3e", "K2", "LOAN", 1, "06 03 e8 07",
                             "0a 00 00 00", "00 00 20 40") +
           transactionRecord("03 00 00 00", "00 00 c8 42", "K9", "SAV", 0, "07 03 e8 07",
                             "0b 1e 0f 00", "00 00 c0 3f");
}

// Counted: 12.5 and 100. Column 2 of the unmatched K9 is empty.
inline const std::string kUploadFile = "A1,2,112.50\r\n"
                                       "SAV,Asha Rao,K1,12.50,0,05/03/2024,09:07:03,7,Y\r\n"
                                       "LOAN,Vijay,K2,.25,2.5,06/03/2024,10:00:00,-1,C\r\n"
                                       "SAV,,K9,100.00,1.5,07/03/2024,11:30:15,3,Y\r\n";

inline const std::string kConfirmation = "Transfering Files ...\r\nTo transfer files successfully "
                                         "keep Vorixan in Transfer mode ";
inline const std::string kSuccess = "Data successfully uploaded to PC " + std::string(20, ' ');
inline constexpr const char* kWaitText = "Uploading Please wait.....";

} // namespace kelvarin::test::upload
