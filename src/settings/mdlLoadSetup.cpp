#include "settings/mdlLoadSetup.h"

#include "settings/TextFileService.h"
#include "settings/TransSettingsRecord.h"

#include <filesystem>

namespace kelvarin::mdlLoadSetup {

namespace {

struct Settings {
    std::string appPath;
    std::string dataPath;
    std::string commPort;
    std::string baudRate;
    std::string programFolder;
};

Settings& settings() {
    static Settings s;
    return s;
}

// The settings module's own file-system object, kept for the program's life.
FileSystemObject& setupFso() {
    static FileSystemObject fso;
    return fso;
}

} // namespace

void SetAppPath(const std::string& value) {
    settings().appPath = value;
}
void SetDataPath(const std::string& value) {
    settings().dataPath = value;
}
void SetCommPort(const std::string& value) {
    settings().commPort = value;
}
void SetBaudRate(const std::string& value) {
    settings().baudRate = value;
}
std::string GetAppPath() {
    return settings().appPath;
}
std::string GetDataPath() {
    return settings().dataPath;
}
std::string GetCommPort() {
    return settings().commPort;
}
std::string GetBaudRate() {
    return settings().baudRate;
}

void SetProgramFolder(const std::string& folder) {
    settings().programFolder = folder;
}
std::string ProgramFolder() {
    return settings().programFolder;
}
std::string DataFolder() {
    return settings().programFolder + kPathSep + "Data";
}

void ResetSettings() {
    settings() = Settings{};
}

std::string TrimBlanks(const std::string& text) {
    return std::string(TrimBlanksView(text));
}

std::string_view TrimBlanksView(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string ReadSetupFile(const std::string& folder) {
    try {
        const std::filesystem::path path = TrimBlanks(folder) + kPathSep + "QEL.INI";
        FileSystemObject& fso = setupFso();
        if (!fso.FileExists(path))
            return {};
        auto stream = fso.OpenTextFile(path, IoMode::ForReading);
        std::string line = stream->ReadLine();
        stream->Close();
        return line;
    } catch (const std::exception&) {
        return {};
    }
}

bool SaveTransSettings(const std::string& folder, std::string* failure) {
    try {
        const std::filesystem::path path = TrimBlanks(folder) + "TRANS.DAT";
        // A save that fails leaves the old file whole, so the next start still opens its port.
        replaceTransSettingsFile(path, TransSettingsRecord::fitted(GetCommPort(), GetBaudRate()));
        return true;
    } catch (const std::exception& e) {
        // A RuntimeError's what() is its description.
        if (failure != nullptr)
            *failure = e.what();
    }
    return false;
}

bool CopyToAppFolder(const std::string& sourcePath, const std::string& fileTitle) {
    try {
        const std::string destination = ProgramFolder() + kPathSep + fileTitle;
        FileSystemObject& fso = setupFso();
        if (destination == sourcePath || !fso.FileExists(sourcePath))
            return true;
        // The same file under another spelling of the folder (a link) is already there; a copy
        // onto itself would fail or empty it.
        std::error_code ec;
        if (std::filesystem::equivalent(sourcePath, destination, ec))
            return true;
        fso.CopyFile(sourcePath, destination, true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

FormPosition CenterForm(double screenWidth, double screenHeight, double windowWidth,
                        double windowHeight) {
    FormPosition pos;
    pos.top = (screenHeight - windowHeight) / 2;
    pos.left = (screenWidth - windowWidth) / 2;
    return pos;
}

} // namespace kelvarin::mdlLoadSetup
