#include "ui/ProgramFolder.h"

#include "ui/QtPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace kelvarin {

std::string decideProgramFolder() {
    const std::string exeDir = toFileName(QCoreApplication::applicationDirPath());
    if (::access(exeDir.c_str(), W_OK) == 0)
        return exeDir;
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/Kelvarin");
    QDir().mkpath(data);
    return toFileName(QDir::cleanPath(data));
}

} // namespace kelvarin
