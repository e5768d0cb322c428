#include "conversion/UploadTransactionLines.h"

#include "conversion/FailureMapping.h"
#include "conversion/MasterTextSearch.h"
#include "conversion/NumberText.h"
#include "conversion/TerminalRecords.h"
#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"
#include "settings/mdlLoadSetup.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kelvarin {

namespace {

template <std::size_t N>
std::string_view printedText(const FixedText<N>& member) {
    return mdlLoadSetup::TrimBlanksView(cutText(member));
}

// Writes `text` at `at`; returns the end.
char* put(char* at, std::string_view text) {
    return std::copy(text.begin(), text.end(), at);
}

// Three numbers with at least the given digits each, joined by `separator`: a date or a time.
char* putDigitGroups(char* at, const std::array<std::int64_t, 3>& values,
                     const std::array<int, 3>& widths, char separator) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            *at++ = separator;
        at = putZeroPadded(at, values[i], widths[i]);
    }
    return at;
}

// Column 1 of the transaction's line and the "," after it.
void appendLineHead(std::string& line, const TransactionRecord& t) {
    line += printedText(t.AccTypeCode);
    line += ',';
}

// The most bytes the part of a line after column 2 takes: the key, the numbers at their
// longest, the separators and the line end.
constexpr std::size_t kLineTailRoom = sizeof(TransactionRecord::AccountKey) + kTwoDecimalsRoom +
                                      kSingleTextRoom + 8 * kZeroPaddedRoom + 16;

// The "," before column 3 and the rest of the transaction's line, with its line end. Written
// into one buffer and appended once: a line has a dozen small pieces.
void appendLineTail(std::string& line, const TransactionRecord& t) {
    std::array<char, kLineTailRoom> room; // written before it is read
    char* at = room.data();
    *at++ = ',';
    at = put(at, printedText(t.AccountKey));
    *at++ = ',';
    at = putTwoDecimals(at, t.Amount);
    *at++ = ',';
    at = putSingleText(at, t.Single120);
    *at++ = ',';
    at = putDigitGroups(at, {t.TransDate.Day, t.TransDate.Month, t.TransDate.Year}, {2, 2, 4}, '/');
    *at++ = ',';
    at = putDigitGroups(at, {t.TransTime.Hour, t.TransTime.Minute, t.TransTime.Second}, {2, 2, 2},
                        ':');
    *at++ = ',';
    at = putZeroPadded(at, t.Long0, 1);
    *at++ = ',';
    *at++ = t.MarkFlag == 1 ? 'C' : 'Y';
    at = put(at, kCrLf);
    line.append(room.data(), at);
}

// A line built but for column 2, which is known only after the search. The lines stand back to
// back in one buffer: this one's text before column 2 runs from the previous line's end to
// `split`, its text after column 2 from `split` to `end`.
struct PendingLine {
    std::size_t key;
    std::size_t split;
    std::size_t end;
};

std::filesystem::path masterFilePath() {
    // An unset program folder would put the data folder at the file system's root.
    if (mdlLoadSetup::ProgramFolder().empty())
        throw RuntimeError(kErrPathNotFound, "Path not found (no program folder)");
    return std::filesystem::path(mdlLoadSetup::DataFolder()) / "MASTER.DAT";
}

} // namespace

bool Reconvert(RecordFileReader& TrnFileNo, TextStream& OutFileNo, MessageBoxes& boxes) {
    try {
        // Each line is built as its record is read, so no record is kept.
        const auto expected =
            static_cast<std::size_t>(TrnFileNo.bytesLeft() / TransactionRecord::kSize);
        MasterTextSearch search(expected);
        std::vector<PendingLine> lines;
        lines.reserve(expected);
        std::string pieces;
        // A line is rarely longer than 128 bytes.
        pieces.reserve(expected * 128);
        TransactionRecord transaction;
        while (!TrnFileNo.atEnd() && TrnFileNo.get(transaction)) {
            appendLineHead(pieces, transaction);
            const std::size_t split = pieces.size();
            appendLineTail(pieces, transaction);
            lines.push_back({search.addKey(transaction), split, pieces.size()});
        }
        // Without a transaction there is no search, and MASTER.DAT is left as it is.
        if (lines.empty())
            return true;
        search.search(masterFilePath());
        // The lines go out in large pieces rather than one by one or all at once.
        constexpr std::size_t kWriteBytes = 1 << 16;
        const std::string_view all(pieces);
        std::string out;
        out.reserve(2 * kWriteBytes);
        std::size_t start = 0;
        for (const PendingLine& line : lines) {
            out += all.substr(start, line.split - start);
            if (const auto text = search.textOf(line.key))
                out += *text;
            out += all.substr(line.split, line.end - line.split);
            start = line.end;
            if (out.size() >= kWriteBytes) {
                OutFileNo.Write(out);
                out.clear();
            }
        }
        if (!out.empty())
            OutFileNo.Write(out);
        return true;
    } catch (...) {
        boxes.show(runtimeErrorText(asRuntimeError(std::current_exception())), MsgIcon::Information,
                   MsgButtons::Ok, kReconvertTitle);
        return false;
    }
}

} // namespace kelvarin
