#include "ui/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace kelvarin {

std::string decideProgramFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (::access(QFile::encodeName(exeDir).constData(), W_OK) == 0)
        return QFile::encodeName(exeDir).toStdString();
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/Kelvarin");
    QDir().mkpath(data);
    return QFile::encodeName(QDir::cleanPath(data)).toStdString();
}

} // namespace kelvarin
