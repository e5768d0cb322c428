#include "WindowHarness.h"
#include "platform/MessageBoxes.h"
#include "ui/ApplicationSetup.h"

#include <QString>
#include <gtest/gtest.h>
#include <qpa/qplatformwindow.h>

namespace kelvarin::test {
namespace {

// The formatting the desktop platforms (X11, Wayland) apply to every title they show: the
// application's display name, when one is set, is appended to a title not already ending in it.
struct PlatformTitle : QPlatformWindow {
    using QPlatformWindow::formatWindowTitle;
};

QString shownTitle(const QString& title) {
    return PlatformTitle::formatWindowTitle(title, QString::fromUtf8(" \xe2\x80\x94 "));
}

TEST(WindowTitleTest, TitlesReachTheWindowSystemExactly) {
    configureApplication();
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    EXPECT_EQ(shownTitle(w.windowTitle()).toStdString(), "Kelvarin_Ver.3, Dated:16/09/2011");
    EXPECT_EQ(shownTitle(QString::fromLatin1(kWindowTitle)).toStdString(), "Kelvarin_Ver.3");
    EXPECT_EQ(shownTitle(QString::fromLatin1(kAppTitle)).toStdString(), "Kelvarin");
    EXPECT_EQ(shownTitle(QStringLiteral("MERIDOCK")).toStdString(), "MERIDOCK");
}

} // namespace
} // namespace kelvarin::test
