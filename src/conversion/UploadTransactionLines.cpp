#include "conversion/UploadTransactionLines.h"

#include "conversion/FailureMapping.h"
#include "conversion/MasterTextSearch.h"
#include "conversion/NumberText.h"
#include "conversion/TerminalRecords.h"
#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"
#include "settings/mdlLoadSetup.h"

#include <array>
#include <optional>
#include <vector>

namespace kelvarin {

namespace {

template <std::size_t N>
std::string_view printedText(const FixedText<N>& member) {
    return mdlLoadSetup::TrimBlanksView(cutText(member));
}

// Three numbers with at least the given digits each, joined by `separator`: a date or a time.
void appendDigitGroups(std::string& line, const std::array<std::int64_t, 3>& values,
                       const std::array<int, 3>& widths, char separator) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += separator;
        appendZeroPadded(line, values[i], widths[i]);
    }
}

// Appends the transaction's line, without its line end, to `line`.
void appendTransactionLine(std::string& line, const TransactionRecord& t,
                           std::optional<std::string_view> masterText) {
    line += printedText(t.AccTypeCode);
    line += ',';
    if (masterText)
        line += *masterText;
    line += ',';
    line += printedText(t.AccountKey);
    line += ',';
    appendTwoDecimals(line, t.Amount);
    line += ',';
    appendSingleText(line, t.Single120);
    line += ',';
    appendDigitGroups(line, {t.TransDate.Day, t.TransDate.Month, t.TransDate.Year}, {2, 2, 4}, '/');
    line += ',';
    appendDigitGroups(line, {t.TransTime.Hour, t.TransTime.Minute, t.TransTime.Second}, {2, 2, 2},
                      ':');
    line += ',';
    appendZeroPadded(line, t.Long0, 1);
    line += ',';
    line += t.MarkFlag == 1 ? 'C' : 'Y';
}

std::filesystem::path masterFilePath() {
    // An unset program folder would put the data folder at the file system's root.
    if (mdlLoadSetup::ProgramFolder().empty())
        throw RuntimeError(kErrPathNotFound, "Path not found (no program folder)");
    return std::filesystem::path(mdlLoadSetup::DataFolder()) / "MASTER.DAT";
}

} // namespace

bool Reconvert(RecordFileReader& TrnFileNo, TextStream& OutFileNo, MessageBoxes& boxes) {
    try {
        std::vector<TransactionRecord> transactions;
        transactions.reserve(
            static_cast<std::size_t>(TrnFileNo.bytesLeft() / TransactionRecord::kSize));
        TransactionRecord transaction;
        while (!TrnFileNo.atEnd() && TrnFileNo.get(transaction))
            transactions.push_back(transaction);
        // Without a transaction there is no search, and MASTER.DAT is left as it is.
        if (transactions.empty())
            return true;
        const auto masterTexts = findMasterTexts(masterFilePath(), transactions);
        // The lines go out in one write; a line is rarely longer than 128 bytes.
        std::string lines;
        lines.reserve(transactions.size() * 128);
        for (std::size_t i = 0; i < transactions.size(); ++i) {
            appendTransactionLine(lines, transactions[i], masterTexts[i]);
            lines += kCrLf;
        }
        OutFileNo.Write(lines);
        return true;
    } catch (...) {
        boxes.show(runtimeErrorText(asRuntimeError(std::current_exception())), MsgIcon::Information,
                   MsgButtons::Ok, kReconvertTitle);
        return false;
    }
}

} // namespace kelvarin
