#pragma once

#include "platform/MessageBoxes.h"

// The conversion of the terminal's I2C.DAT into the comma text file named after the code it
// holds, in the data folder.
namespace kelvarin::ModTrans {

// Where RecoverData shows its failure message; the window sets it. Null: no box is shown.
extern MessageBoxes* gMessageBoxes;

// Reads I2C.DAT in the data folder and writes RECOVEREDDATA.DAT (a header line with the code,
// number and amount, then one line per record), copies it to <code>.txt and deletes it. True on
// success. Any failure (I2C.DAT missing, a one-byte field that is no digit, a number out of
// range, a code that is no plain file name of the data folder, the copy failing) shows
// "<number> , <description>" (OK, no icon, application title) and returns false; lines written
// so far stay in RECOVEREDDATA.DAT. Nothing is ever written outside the data folder.
bool RecoverData();

} // namespace kelvarin::ModTrans
