#include "conversion/TerminalConversion.h"

#include "conversion/MasterFileName.h"
#include "platform/RuntimeError.h"
#include "settings/mdlLoadSetup.h"

namespace kelvarin {

TerminalConversion::TerminalConversion(MessageBoxes& boxes,
                                       std::function<void()> focusMasterFileBox)
    : m_boxes(boxes), m_focusMasterFileBox(std::move(focusMasterFileBox)) {}

std::filesystem::path TerminalConversion::useDataFolder() {
    // An unset program folder would put the data folder at the file system's root.
    if (mdlLoadSetup::ProgramFolder().empty())
        throw RuntimeError(kErrPathNotFound, "Path not found (no program folder)");
    mdlLoadSetup::SetDataPath(mdlLoadSetup::DataFolder());
    return std::filesystem::path(mdlLoadSetup::GetDataPath());
}

std::filesystem::path TerminalConversion::dataFile(const std::filesystem::path& dataFolder,
                                                   const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name.find('\0') != std::string::npos)
        throw RuntimeError(52, "Bad file name or number (" + name + ")");
    return dataFolder / name;
}

void TerminalConversion::deleteIfPresent(const std::filesystem::path& path) {
    FSo.DeleteIfPresent(path);
}

std::string TerminalConversion::baseName() const {
    return MasterFileBaseName(sourceFileName);
}

void TerminalConversion::refuseLongBaseName() {
    m_boxes.show(std::string("Data Conversion Error! ") + kCrLf +
                     "Filename should be less than four characters",
                 MsgIcon::Exclamation, MsgButtons::Ok, kWindowTitle);
    if (m_focusMasterFileBox)
        m_focusMasterFileBox();
}

void TerminalConversion::showNoData() {
    m_boxes.show(" No Data in the file", MsgIcon::Information, MsgButtons::Ok, kAppTitle);
}

void TerminalConversion::showFailure(const RuntimeError& error) {
    switch (error.number()) {
    case kErrInvalidArgument:
        m_boxes.show("     Select  file ", MsgIcon::Exclamation, MsgButtons::Ok, kAppTitle);
        break;
    case kErrPathNotFound:
        m_boxes.show("cvrt path Not found", MsgIcon::Exclamation, MsgButtons::Ok, kAppTitle);
        break;
    default:
        m_boxes.show(error.description(), MsgIcon::Information, MsgButtons::Ok, kAppTitle);
        break;
    }
}

} // namespace kelvarin
