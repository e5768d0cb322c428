#pragma once

#include "platform/RuntimeError.h"

#include <exception>
#include <string>

namespace kelvarin {

// The failure held by `failure` as a numbered run-time error: a RuntimeError as it is, memory
// exhaustion as error 7, anything else as error 75 with its own text.
RuntimeError asRuntimeError(std::exception_ptr failure);

// The text of the box that reports a run-time error that ended a command or Reconvert: for
// error 70 "   Database already running    ", CR LF, "   Please close database  "; otherwise
// "Error No: ", the number, five spaces and the description.
std::string runtimeErrorText(const RuntimeError& error);

} // namespace kelvarin
