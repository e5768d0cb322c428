#pragma once

#include "platform/MessageBoxes.h"
#include "settings/TextFileService.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kelvarin {

class RuntimeError;

// The Download conversion chain and the window state it uses. The window owns one of these
// and runs, for a master file already copied into the data folder:
//   TempFileCreation(name); SortTempFile(); CommaFileCreation(name); StCvrt("Temp" + name);
// Every step works in the program folder's data folder and stores it as the data-folder
// setting. Each step shows its own message when it fails and returns false; the caller runs
// the next step only after the one before returned true, since a later step would otherwise
// turn a cut or unsorted file into terminal files.
class TerminalConversion {
public:
    // `boxes` shows the steps' messages; `focusMasterFileBox` moves the input focus to the
    // window's master-file box (txtFile).
    TerminalConversion(MessageBoxes& boxes, std::function<void()> focusMasterFileBox);

    // Master file (data folder & name) to TEMP.DAT: the header in 30 fixed columns, each
    // account line in 164. Deletes any old TEMP.DAT first. True when TEMP.DAT is complete;
    // otherwise shows its own message and returns false.
    bool TempFileCreation(const std::string& strFile);

    // Sorts TEMP.DAT's data lines by their SortText column (stable, ordinal byte order) through
    // TEMP1234.DAT. With nothing to sort (no TEMP.DAT, only its header) or more than 32,767
    // data lines (more than StCvrt takes) TEMP.DAT stays as it was and the result is true.
    // When TEMP.DAT cannot be read, or TEMP1234.DAT or the sorted TEMP.DAT cannot be written,
    // shows the failure's message and returns false; TEMP.DAT then holds every record it held.
    bool SortTempFile();

    // TEMP.DAT back to trimmed comma text: the work file "Temp" & name in the data folder.
    // Deletes any old work file first. True when the work file is complete; otherwise shows its
    // own message and returns false.
    bool CommaFileCreation(const std::string& strFile1);

    // The comma work file `FileName` (in the data folder) to AGENT.DAT, MASTER.DAT,
    // ACCTYPE.DAT, ACC_DETA.DAT and BANK.COL. True when all five are complete; the work file is
    // then deleted. On failure shows the failure's message, keeps the work file and leaves the
    // records written before the failing line.
    bool StCvrt(const std::string& FileName);

    // Window state the steps use.
    std::string sourceFileName; // the master file's name with extension, without a folder
    FileSystemObject FSo;
    std::vector<std::string> accTypeKeys; // 16-byte AccTypeCode keys written in this run
    std::int16_t accTypeKeyCount = 0;
    std::int16_t masterRecordNo = 0;

private:
    // Sets the data-folder setting to the program's data folder and returns it. Without a
    // program folder: error 76.
    static std::filesystem::path useDataFolder();

    // `name` inside the data folder. A name that holds a folder separator is refused (error
    // 52), so no step reads or writes outside the data folder.
    static std::filesystem::path dataFile(const std::filesystem::path& dataFolder,
                                          const std::string& name);

    // Deletes the file when it exists. A symbolic link is removed itself, never followed, so
    // the file written in its place stays in the data folder.
    void deleteIfPresent(const std::filesystem::path& path);

    // sourceFileName's text before its first "."; none is error 5.
    std::string baseName() const;

    // The box for a base name longer than four characters, and the focus move.
    void refuseLongBaseName();

    // The message box of the conversion steps for a failure that ended them.
    void showFailure(const RuntimeError& error);

    void showNoData();

    struct TerminalOutputs;
    struct LineBuffers;

    // One data line of the comma work file into the four per-line record files.
    void convertLine(std::string line, TerminalOutputs& outputs, LineBuffers& buffers);

    MessageBoxes& m_boxes;
    std::function<void()> m_focusMasterFileBox;
};

} // namespace kelvarin
