#include "platform/RuntimeError.h"

namespace kelvarin {

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), m_number(number), m_description(description) {}

RuntimeError::RuntimeError(int number) : RuntimeError(number, standardDescription(number)) {}

std::string RuntimeError::standardDescription(int number) {
    switch (number) {
    case kErrInvalidArgument:
        return "Invalid procedure call or argument";
    case kErrOverflow:
        return "Overflow";
    case kErrTypeMismatch:
        return "Type mismatch";
    case kErrFileNotFound:
        return "File not found";
    case kErrInputPastEnd:
        return "Input past end of file";
    case kErrPermissionDenied:
        return "Permission denied";
    case kErrPathFileAccess:
        return "Path/File access error";
    case kErrPathNotFound:
        return "Path not found";
    default:
        return "Application-defined or object-defined error";
    }
}

} // namespace kelvarin
