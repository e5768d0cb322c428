#pragma once

#include "platform/MessageBoxes.h"
#include "support/MessageBoxRecorder.h"
#include "ui/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelvarin::test {

// Answers the program's real QMessageBoxes as a user does. When a box opens, it reads what the
// user sees from the widget itself (title, text, icon, buttons), lets the test act, then clicks
// the scripted button with the mouse. The window keeps its own QtMessageBoxes, so every scenario
// runs the path from the commands through QMessageBox and back.
class ClickedMessageBoxes final : public QObject {
public:
    using Shown = MessageBoxRecorder::Shown;

    ClickedMessageBoxes() { QApplication::instance()->installEventFilter(this); }
    ~ClickedMessageBoxes() override { QApplication::instance()->removeEventFilter(this); }
    ClickedMessageBoxes(const ClickedMessageBoxes&) = delete;
    ClickedMessageBoxes& operator=(const ClickedMessageBoxes&) = delete;

    // Every box shown, as the user saw it.
    std::vector<Shown> shown;
    // The buttons to click, in turn; with none queued OK, or Yes on a Yes/No box.
    std::deque<MsgAnswer> answers;
    // Runs when a box opens, before it is answered.
    std::function<void(const std::string& text)> onShow;
    // When set, does what the user does to the box in place of clicking the scripted button.
    std::function<void(QMessageBox& box)> act;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* box = qobject_cast<QMessageBox*>(watched);
            // Answered from the box's own event loop, once it runs.
            if (box != nullptr && box->isWindow())
                whenActive(box, 0);
        }
        return false;
    }

private:
    static MsgIcon iconOf(const QMessageBox& box) {
        switch (box.icon()) {
        case QMessageBox::Information:
            return MsgIcon::Information;
        case QMessageBox::Warning:
            return MsgIcon::Exclamation;
        case QMessageBox::Question:
            return MsgIcon::Question;
        case QMessageBox::NoIcon:
            return MsgIcon::None;
        case QMessageBox::Critical:
            break;
        }
        ADD_FAILURE() << "a box with a critical icon";
        return MsgIcon::None;
    }

    static MsgButtons buttonsOf(const QMessageBox& box) {
        const QMessageBox::StandardButtons b = box.standardButtons();
        if (b == QMessageBox::Ok)
            return MsgButtons::Ok;
        if (b == (QMessageBox::Ok | QMessageBox::Cancel))
            return MsgButtons::OkCancel;
        if (b != (QMessageBox::Yes | QMessageBox::No))
            ADD_FAILURE() << "a box with buttons " << b.toInt();
        return MsgButtons::YesNo;
    }

    static QMessageBox::StandardButton standardButton(MsgAnswer a) {
        switch (a) {
        case MsgAnswer::Ok:
            return QMessageBox::Ok;
        case MsgAnswer::Cancel:
            return QMessageBox::Cancel;
        case MsgAnswer::Yes:
            return QMessageBox::Yes;
        case MsgAnswer::No:
            break;
        }
        return QMessageBox::No;
    }

    // The user answers a box once the window system has made it the active window; the
    // activation arrives as a queued event after the box is shown.
    void whenActive(QMessageBox* box, int attempts) {
        QTimer::singleShot(0, box, [this, box, attempts] {
            if (!box->isActiveWindow() && attempts < kActivationAttempts)
                return whenActive(box, attempts + 1);
            EXPECT_TRUE(box->isActiveWindow()) << "the box never became the active window";
            answer(*box);
        });
    }
    static constexpr int kActivationAttempts = 100;

    void answer(QMessageBox& box) {
        QPointer<QMessageBox> alive(&box);
        EXPECT_EQ(QApplication::activeModalWidget(), &box) << "the box is not modal";
        const MsgButtons buttons = buttonsOf(box);
        shown.push_back({toBytes(box.text()), iconOf(box), buttons, toBytes(box.windowTitle())});
        if (onShow)
            onShow(shown.back().text);
        if (alive.isNull() || !box.isVisible())
            return; // the test's action closed it
        if (act) {
            act(box);
            returnToWindow(alive);
            return;
        }
        MsgAnswer a = buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        if (!answers.empty()) {
            a = answers.front();
            answers.pop_front();
        }
        QAbstractButton* button = box.button(standardButton(a));
        if (button == nullptr) {
            ADD_FAILURE() << "the box \"" << shown.back().text << "\" has no such button";
            box.reject();
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton);
        if (!alive.isNull() && box.isVisible()) {
            ADD_FAILURE() << "the click did not close the box \"" << shown.back().text << "\"";
            box.reject();
        }
        returnToWindow(alive);
    }

    // A window manager activates the window a closed box belonged to; the offscreen platform
    // does not, so it is done here.
    static void returnToWindow(const QPointer<QMessageBox>& box) {
        if (box.isNull() || box->isVisible() || box->parentWidget() == nullptr)
            return;
        QWidget* window = box->parentWidget()->window();
        if (window->isVisible())
            QApplication::setActiveWindow(window);
    }
};

} // namespace kelvarin::test
