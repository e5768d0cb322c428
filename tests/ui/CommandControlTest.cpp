#include "ui/CommandControl.h"

#include "support/MessageBoxRecorder.h"

#include <functional>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

// A pump whose yield runs a window event handler, as Qt's processEvents does.
struct HandlerPump final : EventPump {
    std::function<void()> handler;
    void yield() override {
        if (handler)
            handler();
    }
};

// The end of the program stops a running command at its own waits and boxes, but never inside a
// window event handled during a wait: an exception must not cross the event dispatch.
TEST(CommandControlTest, EndStopsTheCommandOnlyOutsideNestedHandlers) {
    CommandControl control;
    HandlerPump inner;
    MessageBoxRecorder recorder;
    StoppableEventPump pump(inner, control);
    StoppableMessageBoxes boxes(recorder, control);

    // No command runs: the end stops nothing.
    control.requestEnd();
    EXPECT_NO_THROW(pump.yield());
    EXPECT_NO_THROW(boxes.show("a", MsgIcon::None, MsgButtons::Ok, ""));

    ASSERT_TRUE(control.tryBegin());
    EXPECT_FALSE(control.tryBegin()); // a second command is refused while one runs

    // A handler run inside the wait shows a box after the end was asked for: it is shown, and
    // the command stops once the wait has handled the window's events.
    inner.handler = [&] { boxes.show("nested", MsgIcon::None, MsgButtons::Ok, ""); };
    EXPECT_THROW(pump.yield(), CommandStopped);
    ASSERT_EQ(recorder.shown.size(), 2u);
    EXPECT_EQ(recorder.shown.back().text, "nested");

    // The command's own box is not shown any more.
    EXPECT_THROW(boxes.show("late", MsgIcon::None, MsgButtons::Ok, ""), CommandStopped);
    EXPECT_EQ(recorder.shown.size(), 2u);

    control.finish();
    EXPECT_TRUE(control.tryBegin());
}

} // namespace
} // namespace kelvarin::test
