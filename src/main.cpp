#include "ui/ApplicationSetup.h"
#include "ui/ProgramFolder.h"
#include "ui/frmConverterMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kelvarin::configureApplication();

    kelvarin::frmConverterMain window(kelvarin::decideProgramFolder());
    window.show();
    return QApplication::exec();
}
