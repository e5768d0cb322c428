#include "conversion/UploadTransactionLines.h"

#include "conversion/FailureMapping.h"
#include "conversion/MasterIndex.h"
#include "conversion/NumberText.h"
#include "conversion/TerminalRecords.h"
#include "conversion/TextRoutines.h"
#include "platform/RuntimeError.h"
#include "settings/mdlLoadSetup.h"

#include <optional>

namespace kelvarin {

namespace {

template <std::size_t N>
std::string printedText(const FixedText<N>& member) {
    return mdlLoadSetup::TrimBlanks(TrimChr(textOf(member)));
}

std::string transactionLine(const TransactionRecord& t, const std::string* masterText) {
    std::string line = printedText(t.AccTypeCode);
    line += ',';
    if (masterText != nullptr)
        line += *masterText;
    line += ',';
    line += printedText(t.AccountKey);
    line += ',';
    line += twoDecimalsText(t.Amount);
    line += ',';
    line += singleText(t.Single120);
    line += ',';
    line += zeroPadded(t.TransDate.Day, 2) + '/' + zeroPadded(t.TransDate.Month, 2) + '/' +
            zeroPadded(t.TransDate.Year, 4);
    line += ',';
    line += zeroPadded(t.TransTime.Hour, 2) + ':' + zeroPadded(t.TransTime.Minute, 2) + ':' +
            zeroPadded(t.TransTime.Second, 2);
    line += ',';
    line += zeroPadded(t.Long0, 1);
    line += ',';
    line += t.MarkFlag == 1 ? 'C' : 'Y';
    return line;
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
        // Read at the first transaction, so an empty MASTER.TRN leaves MASTER.DAT untouched.
        std::optional<MasterIndex> masters;
        TransactionRecord transaction;
        while (!TrnFileNo.atEnd() && TrnFileNo.get(transaction)) {
            if (!masters)
                masters = MasterIndex::load(masterFilePath());
            OutFileNo.Write(transactionLine(transaction, masters->find(transaction)) + kCrLf);
        }
        return true;
    } catch (...) {
        boxes.show(runtimeErrorText(asRuntimeError(std::current_exception())), MsgIcon::Information,
                   MsgButtons::Ok, kReconvertTitle);
        return false;
    }
}

} // namespace kelvarin
