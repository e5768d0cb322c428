#pragma once

#include "platform/RuntimeError.h"

#include <exception>

namespace kelvarin {

// The failure held by `failure` as a numbered run-time error: a RuntimeError as it is, memory
// exhaustion as error 7, anything else as error 75 with its own text.
RuntimeError asRuntimeError(std::exception_ptr failure);

} // namespace kelvarin
