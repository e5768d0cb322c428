#pragma once

#include "platform/FileDialogs.h"

#include <QString>

class QWidget;

namespace kelvarin {

// File dialogs as QFileDialog, modal to `parent`.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : m_parent(parent) {}
    std::optional<ChosenFile> openFile(const OpenFileRequest& request) override;

private:
    QWidget* m_parent;
};

// The name filter for files ending in `extension` (".MST") in any letter case, since Linux file
// names are case-sensitive: ".MST (*.[Mm][Ss][Tt])".
QString anyCaseNameFilter(const std::string& extension);

} // namespace kelvarin
