#include "WindowHarness.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

TEST(WindowStateTest, TheConversionsMessagesAndFocusMoveGoThroughTheWindow) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    w.show();
    QApplication::setActiveWindow(&w);
    w.cmdCancel->setFocus();
    QApplication::processEvents();

    writeBytes(h.program.path() / "Data" / "TempABCDE.MST", "H1,H2\r\n");
    w.conversion().sourceFileName = "ABCDE.MST";
    EXPECT_FALSE(w.conversion().StCvrt("TempABCDE.MST"));
    QApplication::processEvents();

    ASSERT_FALSE(h.boxes.shown.empty());
    EXPECT_EQ(h.boxes.shown.back().text,
              "Data Conversion Error! \r\nFilename should be less than four characters");
    EXPECT_EQ(QApplication::focusWidget(), w.txtFile);
}

TEST(WindowStateTest, OneUsbLinkObjectMadeOnFirstUseAndKept) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    CLSUSB& first = w.objCLSUSB();
    EXPECT_EQ(&w.objCLSUSB(), &first);
    // No terminal among the devices: nothing found, nothing sent.
    EXPECT_FALSE(first.GetDevices());
    EXPECT_TRUE(h.hid->written.empty());
}

} // namespace
} // namespace kelvarin::test
