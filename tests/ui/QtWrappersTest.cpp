// The thin Qt wrappers against the real Qt objects they wrap.
#include "support/ClickedMessageBoxes.h"
#include "ui/QtPlatform.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

// Each button set: every button clicked gives its own answer; Escape and the window's close
// button give the safe one. What the user sees is read off the real box.
TEST(QtWrappersTest, MessageBoxesAnswerTheButtonClickedAndTheSafeOneWhenClosed) {
    QWidget parent;
    QtMessageBoxes boxes(&parent);
    ClickedMessageBoxes user;

    struct Case {
        MsgButtons buttons;
        MsgAnswer clicked;
    };
    for (const Case c :
         {Case{MsgButtons::Ok, MsgAnswer::Ok}, Case{MsgButtons::OkCancel, MsgAnswer::Ok},
          Case{MsgButtons::OkCancel, MsgAnswer::Cancel}, Case{MsgButtons::YesNo, MsgAnswer::Yes},
          Case{MsgButtons::YesNo, MsgAnswer::No}}) {
        user.answers = {c.clicked};
        EXPECT_EQ(boxes.show("Transfering Files ...\r\nkeep it", MsgIcon::Information, c.buttons,
                             "Kelvarin_Ver.3"),
                  c.clicked);
        ASSERT_FALSE(user.shown.empty());
        EXPECT_EQ(user.shown.back().text, "Transfering Files ...\r\nkeep it");
        EXPECT_EQ(user.shown.back().buttons, c.buttons);
        EXPECT_EQ(user.shown.back().title, "Kelvarin_Ver.3");
    }

    const std::function<void(QMessageBox&)> escape = [](QMessageBox& b) {
        QTest::keyClick(&b, Qt::Key_Escape);
    };
    const std::function<void(QMessageBox&)> closeButton = [](QMessageBox& b) { b.close(); };
    for (const auto& closing : {escape, closeButton}) {
        user.act = closing;
        EXPECT_EQ(boxes.show("a", MsgIcon::Exclamation, MsgButtons::Ok, ""), MsgAnswer::Ok);
        EXPECT_EQ(boxes.show("b", MsgIcon::Question, MsgButtons::OkCancel, ""), MsgAnswer::Cancel);
        EXPECT_EQ(boxes.show("c", MsgIcon::None, MsgButtons::YesNo, ""), MsgAnswer::No);
    }
    ASSERT_EQ(user.shown.size(), 11u);
    EXPECT_EQ(user.shown[5].icon, MsgIcon::Exclamation);
    EXPECT_EQ(user.shown[6].icon, MsgIcon::Question);
    EXPECT_EQ(user.shown[7].icon, MsgIcon::None);
    EXPECT_EQ(user.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(user.shown[5].title, "Kelvarin"); // no title of its own: the application's
}

// Values inside the range are shown as set; one outside widens the range to show it.
TEST(QtWrappersTest, ProgressBarShowsEveryValueSet) {
    QProgressBar bar;
    bar.setRange(0, 100);
    QtProgressBar progress(&bar);

    progress.setValue(20);
    EXPECT_EQ(bar.value(), 20);
    EXPECT_EQ(bar.text(), "20%");

    progress.setMaximum(4); // a USB transfer's report count, then the serial road's steps
    progress.setValue(3);
    EXPECT_EQ(bar.value(), 3);
    progress.setValue(90);
    EXPECT_EQ(bar.maximum(), 90);
    EXPECT_EQ(bar.value(), 90);
    EXPECT_EQ(bar.text(), "100%");

    progress.setMinimum(10);
    progress.setValue(0);
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(progress.value(), 0);
    EXPECT_EQ(progress.maximum(), 90);
}

// A yield handles what is already queued for the window, and returns without waiting for more.
TEST(QtWrappersTest, EventPumpHandlesQueuedEventsDuringAYield) {
    QtEventPump pump;
    int handled = 0;
    QTimer::singleShot(0, [&handled] { ++handled; });
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&handled] { ++handled; }, Qt::QueuedConnection);
    pump.yield();
    EXPECT_EQ(handled, 2);
}

} // namespace
} // namespace kelvarin::test
