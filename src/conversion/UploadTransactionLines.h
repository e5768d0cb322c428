#pragma once

#include "conversion/RecordFile.h"
#include "platform/MessageBoxes.h"
#include "settings/TextFileService.h"

namespace kelvarin {

// The title of Reconvert's error box.
inline constexpr const char* kReconvertTitle = "MERIDOCK";

// Appends to the upload text file `OutFileNo` one line, ended by CR LF, for every whole
// TransactionRecord that `TrnFileNo` holds from its current position to its end, whatever the
// record's MarkFlag; a trailing partial record is ignored. Both files stay open for the caller.
//
// A line has nine columns joined by "," with no quoting: account type, the matching master
// record's Field2Text (empty when MASTER.DAT holds no record with the transaction's two keys),
// account key, amount (".00"), Single120 (general text), date dd/mm/yyyy, time hh:mm:ss,
// Long0, and "C" for MarkFlag 1 or "Y" for any other value. Texts are cut at NUL and trimmed.
//
// Column 2 comes from MASTER.DAT in the program's data folder, read once, after the
// transactions and only when there is one; a missing MASTER.DAT is created empty then.
//
// True when every line was written. On a failure shows one box (title kReconvertTitle, its text
// from runtimeErrorText) and returns false; the caller must treat the upload as failed. A failure
// to read MASTER.TRN or MASTER.DAT comes before the first line is written; after a failure to
// write, the lines written before stay.
[[nodiscard]] bool Reconvert(RecordFileReader& TrnFileNo, TextStream& OutFileNo,
                             MessageBoxes& boxes);

} // namespace kelvarin
