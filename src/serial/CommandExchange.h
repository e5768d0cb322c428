#pragma once

#include "platform/Clock.h"
#include "platform/ProgressBar.h"

#include <cstdint>
#include <string>

// The top of the serial link: one command packet and the exchange it calls for, and the
// transfer actions the window runs.
namespace kelvarin::ModTrans {

// The number of the command being carried out.
extern std::int16_t gCommandNo;

// The 10-byte command that sets the terminal's clock: "5", a blank, day, month, the year low byte
// first, hour, minute, second, 00.
std::string DateTimeCommand(const LocalDateTime& t);

// Sends `command` (blanks at both ends removed; at most 896 bytes, else RuntimeError 5) as one
// packet after a link test, then runs its exchange: "1 <name> [<secs>]" receives a file, "2
// <name>" sends one after a one-second refusal check, "13" receives I2C.DAT, "5 ..." sets the
// clock, 7 and 50 need nothing more. An optional third field gives the first wait of a
// reception, in seconds. True on success. gStatusText holds the outcome:
// "Check Connection ! GOING TO ABORT...", "Erroneous Connection... ", "File Not Found",
// "FS Error", "Transaction File Not Uploaded", "Success", or what the file layer left.
// No transfer file stays open.
bool ExecuteCommand(const std::string& command);

// Runs one action (letter case ignored) with `folder` as the transfer folder (it stays the
// program-folder setting afterwards): DOWNLOAD sends MASTER.DAT, AGENT.DAT, ACC_DETA.DAT,
// ACCTYPE.DAT and BANK.COL (progress 20, 40, 60, 80, 90, 100); UPLOAD fetches AGENT.DAT,
// MASTER.DAT and MASTER.TRN (25, 50, 75, 100); SETDATEANDTIME sets the terminal's clock from one
// reading of gClock; CHECKSTATUS fetches STATUS.DAT; RECOVERDATA fetches I2C.DAT and converts it.
// Stops at the first failed command. `errorText` is "" at the start and gStatusText at the end.
// A port whose link was lost is opened again first, with its number and settings.
// A run-time failure of the layers below (RuntimeError) passes through to the caller.
bool RunTransfer(const std::string& action, const std::string& folder, std::string& errorText,
                 ProgressBar& progress);

} // namespace kelvarin::ModTrans
