// The mouse watcher and the stop controller on the fake desktop.
#include "fakes/FakeDesktop.h"
#include "stopping/MouseWatcher.h"
#include "stopping/StopController.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using platform::MouseButton;

namespace {

// What the watcher and the controller report, as words: "L+" and "L-" for the primary button, "stop" for a stop.
struct Log final : stopping::ButtonObserver {
    void primaryButton(bool pressed) override { events << (pressed ? "L+" : "L-"); }
    QStringList events;
};

struct StoppingTest : ::testing::Test {
    StoppingTest()
    {
        stops.addRun([this] { return void(log.events << "stop"), false; });
    }
    FakeDesktop desk;
    Log log;
    stopping::StopController stops;
    stopping::MouseWatcher watcher{desk.services().openMouse, log, stops};
};

TEST_F(StoppingTest, TheWatcherReportsEveryEdgeTenItemsANotificationAndNothingAfterItsDeliveryStopped)
{
    watcher.open([this] { watcher.handleWaitingItems(); });
    desk.mouse->click(MouseButton::Primary, {true, false});
    desk.mouse->click(MouseButton::Secondary, {true, false});
    EXPECT_EQ(log.events.join(' '), "L+ L- stop stop");           // a press and a release of the secondary button alike
    desk.mouse->pending.assign(25, {MouseButton::Primary, true}); // of a buffer of 100
    for (const int handled : {10, 20, 25}) {
        desk.mouse->notify();
        EXPECT_EQ(log.events.size(), 4 + handled);
    }
    desk.mouse->pending.assign(25, {MouseButton::Primary, false});
    watcher.catchUp(true); // all of it at once
    EXPECT_EQ(log.events.size(), 54);
    desk.mouse->failNextRead = true; // reports nothing, and takes the mouse again
    desk.mouse->click(MouseButton::Primary, {false});
    EXPECT_EQ(log.events.size(), 54);
    const auto notify = desk.mouse->notify;
    watcher.stopDelivery();
    notify(); // a late notification
    EXPECT_EQ(log.events.size(), 54);
    EXPECT_EQ(desk.mouse->resumes + desk.mouse->capacity, 101);
    desk.refuseMouse = true;
    stopping::MouseWatcher refused(desk.services().openMouse, log, stops);
    EXPECT_THROW(refused.open([] {}), ToolError);
}

} // namespace
