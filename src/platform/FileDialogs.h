#pragma once

#include <optional>
#include <string>

namespace kelvarin {

// What a file-open dialog is set to before it is shown.
struct OpenFileRequest {
    std::string title;
    std::string filter;           // the one extension offered, e.g. ".MST"; any letter case
    std::string defaultExtension; // added to a typed name without one, e.g. ".MST"
    std::string initialFolder;    // where the dialog starts
};

// The file the user chose: fileName with its folder, fileTitle its name and extension alone.
// Both are bytes as the file system spells them.
struct ChosenFile {
    std::string fileName;
    std::string fileTitle;
};

// Every file dialog of the program goes through this, so tests can answer it.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // Shows a modal dialog for opening an existing file. Nothing when the user cancels.
    virtual std::optional<ChosenFile> openFile(const OpenFileRequest& request) = 0;
};

} // namespace kelvarin
