// The mouse watcher on the real X11 layer of a private Xvfb, under a burst of
// clicks. tests/cli plays, records and stops through the same layer.
#include "platform/x11/X11Harness.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

TEST(X11Test, ClicksFasterThanTheWatcherReadsAreAllSeen)
{
    XUser user;
    Harness h(false); // the window's handlers on the fake desktop, but the real mouse
    FakeMessages messages;
    platform::RealDesktop desktop(messages);
    app::Form1 form(h.controls, desktop.services(), h.dialog, core::AppPaths(h.path(""), "clickpath"));
    form.Form_Load();
    for (int i = 0; i < 30; ++i) // 60 items, six times what one notification reads
        user.click(1);
    const auto clicks = [&] { return h.controls.shown[Label::ClickShown].count("Click!"); };
    EXPECT_TRUE(pumpUntil([&] { return clicks() == 30; }, 5000)) << clicks();
    EXPECT_EQ(h.controls.text(Label::ClickShown), "");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
