#include "ui/ProgramFolder.h"
#include "ui/frmConverterMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvarin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kelvarin"));

    kelvarin::frmConverterMain window(kelvarin::decideProgramFolder());
    window.show();
    return QApplication::exec();
}
