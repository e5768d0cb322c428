#pragma once

#include <stdexcept>
#include <string>

namespace kelvarin {

// Run-time error numbers the program reacts to.
enum ErrorNumber : int {
    kErrInvalidArgument = 5,
    kErrOverflow = 6,
    kErrTypeMismatch = 13,
    kErrFileNotFound = 53,
    kErrInputPastEnd = 62,
    kErrPermissionDenied = 70, // raised for a file another program holds (in use)
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
};

// A failure with a number and a description. Procedures catch it where they have their own
// handling; otherwise it reaches the command that started the work.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description);

    // The usual description for a known number.
    explicit RuntimeError(int number);

    int number() const { return m_number; }
    const std::string& description() const { return m_description; }

    static std::string standardDescription(int number);

private:
    int m_number;
    std::string m_description;
};

} // namespace kelvarin
