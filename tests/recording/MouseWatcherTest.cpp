// The watcher's callback against a fake system mouse.
#include "fakes/Fakes.h"
#include "platform/ToolError.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::LabelId;
using platform::kLeftButtonOffset;
using platform::kRightButtonOffset;

namespace {

class MouseWatcherTest : public ::testing::Test {
protected:
    MouseWatcherTest()
    {
        h.form().Form_Load();
        mouse = h.mouse;
    }
    int clicksShown() const
    {
        return static_cast<int>(std::count_if(h.controls.captionLog.begin(), h.controls.captionLog.end(),
            [](const auto& entry) { return entry.first == LabelId::Label6 && entry.second == "Click!"; }));
    }

    Harness h;
    FakeMouseSource* mouse = nullptr;
};

TEST_F(MouseWatcherTest, OpensTheSystemMouseBufferedAndAcquired)
{
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(mouse->bufferSize, 100);
    EXPECT_TRUE(mouse->acquired);
    EXPECT_EQ(h.state().mouseEvent, mouse->eventId);
    EXPECT_NE(h.state().mouseEvent, 0);
}

TEST_F(MouseWatcherTest, LeftItemsDriveTheButtonStateAndClickLabel)
{
    mouse->push(kLeftButtonOffset, 128);
    mouse->notify();
    EXPECT_EQ(h.state().leftButton, 128);
    EXPECT_EQ(h.controls.captions[LabelId::Label6], "Click!");
    EXPECT_EQ(h.controls.repaints, 1);
    mouse->push(kLeftButtonOffset, 0);
    mouse->notify();
    EXPECT_EQ(h.state().leftButton, 0);
    EXPECT_EQ(h.controls.captions[LabelId::Label6], "");
    EXPECT_EQ(h.controls.repaints, 1); // no forced repaint on release
}

TEST_F(MouseWatcherTest, EveryRightPressAndReleaseRunsTheStopRequestOnce)
{
    h.state().passCount = 4;
    h.controls.setTimerEnabled(app::TimerId::Timer1, true);
    const int before = h.controls.writes;
    mouse->push(kRightButtonOffset, 128);
    mouse->push(kRightButtonOffset, 0);
    mouse->notify();
    // Each stop request writes the recording timer and the five buttons.
    EXPECT_EQ(h.controls.writes - before, 2 * 6);
    EXPECT_EQ(h.state().stopFlag, 1);
    EXPECT_EQ(h.state().passCount, 0);
    EXPECT_FALSE(h.controls.timers[app::TimerId::Timer1]);
    EXPECT_TRUE(h.controls.allCommands(true));
}

TEST_F(MouseWatcherTest, OtherButtonsAndStaleNotificationsChangeNothing)
{
    mouse->push(14, 128); // middle
    mouse->push(0, 5);    // an axis
    mouse->push(kLeftButtonOffset, 128);
    const int before = h.controls.writes;
    mouse->callback(mouse->eventId + 1);
    EXPECT_EQ(h.controls.writes, before);
    EXPECT_EQ(mouse->pending.size(), 3u);
    mouse->notify();
    EXPECT_EQ(h.state().leftButton, 128);
    EXPECT_EQ(h.controls.writes - before, 1);
}

TEST_F(MouseWatcherTest, MoreThanTenWaitingItemsAreHandledOverSuccessiveNotifications)
{
    for (int i = 0; i < 25; ++i)
        mouse->push(kLeftButtonOffset, 128);
    mouse->notify();
    EXPECT_EQ(clicksShown(), 10);
    mouse->notify();
    EXPECT_EQ(clicksShown(), 20);
    mouse->notify();
    EXPECT_EQ(clicksShown(), 25);
}

TEST_F(MouseWatcherTest, AFailedReadHandlesNothingAndTakesTheDeviceAgain)
{
    mouse->push(kLeftButtonOffset, 128);
    mouse->failNextRead = true;
    const int acquires = mouse->acquires;
    mouse->notify();
    EXPECT_EQ(h.state().leftButton, 0);
    EXPECT_EQ(mouse->acquires, acquires + 1);
    mouse->notify();
    EXPECT_EQ(h.state().leftButton, 128);
}

TEST_F(MouseWatcherTest, ShutdownStopsDeliveryThenReleasesTheDevice)
{
    const auto id = h.state().mouseEvent;
    auto callback = mouse->callback;
    h.form().Form_QueryUnload();
    EXPECT_FALSE(mouse->acquired);
    EXPECT_EQ(mouse->destroyedId, id);
    EXPECT_EQ(h.state().mouseEvent, 0);
    callback(id); // a late notification
    EXPECT_EQ(h.state().stopFlag, 0);
    h.form().Form_Unload();
    EXPECT_EQ(h.state().mouseDevice, nullptr);
}

TEST(MouseWatcherStartTest, NoMouseDeviceMeansNoStart)
{
    Harness h;
    h.refuseMouse = true;
    EXPECT_THROW(h.form().Form_Load(), ToolError);
    EXPECT_EQ(h.controls.windowCaption, ""); // later start-up steps did not run
}

} // namespace
