#pragma once

#include <string>
#include <string_view>

namespace kelvarin::mdlLoadSetup {

// The four program-wide settings, empty until set. Setters store the text exactly as passed.
//   gAppPath:   the folder the serial link sends from and receives into (start-up: the program
//               folder and a closing separator; later the folder a transfer was given)
//   gDataPath:  the program folder's "Data" subfolder, without a closing separator
//   gCommPort:  the open COM port's number as text
//   gBaudRate:  the baud rate text as stored
void SetAppPath(const std::string& value);
void SetDataPath(const std::string& value);
void SetCommPort(const std::string& value);
void SetBaudRate(const std::string& value);
std::string GetAppPath();
std::string GetDataPath();
std::string GetCommPort();
std::string GetBaudRate();

// The folder that holds the program, without a closing separator. Start-up decides it once
// (see ui/ProgramFolder.h); tests point it at a folder of their own.
void SetProgramFolder(const std::string& folder);
std::string ProgramFolder();

// The program folder's data folder: ProgramFolder() + "/Data".
std::string DataFolder();

// The separator that joins a folder text and a name.
inline constexpr const char* kPathSep = "/";

// Removes blanks (spaces only) at both ends.
std::string TrimBlanks(const std::string& text);
std::string_view TrimBlanksView(std::string_view text);

// The first line of QEL.INI in `folder` (trimmed of blanks first), as read: without its line
// end, blanks kept. Empty when the file is missing, empty or unreadable.
std::string ReadSetupFile(const std::string& folder);

// Rewrites TRANS.DAT in `folder` (a text that ends in the separator) from gCommPort and
// gBaudRate, fitted to 1 and 6 characters: exactly 7 bytes. True when the file then holds
// them; false when the new file could not be written whole beside the old one, closed and
// renamed over it, with the failure's description in `failure` when given: the old file then
// keeps its bytes and no new file is left. Anything but a plain file named TRANS.DAT is refused
// untouched. Shows nothing.
bool SaveTransSettings(const std::string& folder, std::string* failure = nullptr);

// Copies `sourcePath` into the program folder as `fileTitle`, replacing a file of that name.
// True also when the source is missing or already is that file, spelled the same or reached
// through a link (nothing is copied); false when the copy fails.
bool CopyToAppFolder(const std::string& sourcePath, const std::string& fileTitle);

// Where a window of the given size stands in the middle of the screen. Negative when the window
// is larger than the screen.
struct FormPosition {
    double left = 0;
    double top = 0;
};
FormPosition CenterForm(double screenWidth, double screenHeight, double windowWidth,
                        double windowHeight);

// Back to the state at program start (tests).
void ResetSettings();

} // namespace kelvarin::mdlLoadSetup
