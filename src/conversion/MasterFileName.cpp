#include "conversion/MasterFileName.h"

#include "platform/RuntimeError.h"

namespace kelvarin {

std::string MasterFileBaseName(const std::string& fileName) {
    const auto dot = fileName.find('.');
    if (dot == std::string::npos)
        throw RuntimeError(kErrInvalidArgument);
    return fileName.substr(0, dot);
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name.find("..") == std::string::npos &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

} // namespace kelvarin
