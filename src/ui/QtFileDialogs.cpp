#include "ui/QtFileDialogs.h"

#include "ui/QtPlatform.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kelvarin {

namespace {

QString withoutLeadingDot(const std::string& extension) {
    const QString text = fromBytes(extension);
    return text.startsWith(QLatin1Char('.')) ? text.mid(1) : text;
}

} // namespace

QString anyCaseNameFilter(const std::string& extension) {
    QString pattern = QStringLiteral("*.");
    for (const QChar c : withoutLeadingDot(extension)) {
        if (c.toLower() == c.toUpper())
            pattern += c;
        else
            pattern += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
    }
    return fromBytes(extension) + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

std::optional<ChosenFile> QtFileDialogs::openFile(const OpenFileRequest& request) {
    QFileDialog dialog(m_parent, fromBytes(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(fromFileName(request.initialFolder));
    // The user sees the extension alone, not the pattern that matches it in any case.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(anyCaseNameFilter(request.filter));
    dialog.setDefaultSuffix(withoutLeadingDot(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return ChosenFile{};
    return ChosenFile{toFileName(files.first()), toFileName(QFileInfo(files.first()).fileName())};
}

} // namespace kelvarin
