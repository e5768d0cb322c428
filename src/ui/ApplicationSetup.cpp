#include "ui/ApplicationSetup.h"

#include <QCoreApplication>

namespace kelvarin {

void configureApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Kelvarin"));
}

} // namespace kelvarin
