#include "app/Form1.h"

namespace clickpath::app {

Form1::Form1(core::Controls& controls, const platform::Services& services, platform::FileDialog& dialog,
    const core::AppPaths& paths)
    : controls_(controls)
    , messages_(services.messages)
    , recorder_(controls, services.pointer, latch_, paths.workingRecordingPath())
    , player_(controls, services, paths.workingRecordingPath())
    , watcher_(controls, services.openMouse, latch_, [this] { stopRequest(); })
    , settings_(controls, paths.settingsFilePath())
    , exchange_(dialog, paths.workingRecordingPath())
{
}

template <typename Handler>
void Form1::handle(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        messages_.showError(QString::fromStdString(error.what()));
    }
}

void Form1::Form_Load()
{
    watcher_.open([this] { DXCallback(); });
    settings_.load();
}

void Form1::Form_QueryUnload()
{
    watcher_.stopDelivery();
}

void Form1::Form_Unload()
{
    // The window goes now: a wait that pumped this close ends without
    // touching it, a held replayed press is let go, and the files are closed
    // so that every line written so far stays.
    watcher_.release();
    recorder_.stop();
    player_.close();
}

void Form1::stopRequest()
{
    player_.stop();
    recorder_.stop();
    controls_.setCommandButtonsEnabled(true);
}

void Form1::Command1_Click()
{
    handle([this] {
        // The click on "Rec" itself, and any button event before it, may not
        // have been handled yet: they belong before the recording, not in it.
        watcher_.catchUp();
        player_.forgetLoop();
        recorder_.start();
    });
}

void Form1::Command2_Click()
{
    handle([this] { exchange_.save(); });
}

void Form1::Command3_Click()
{
    handle([this] { player_.startPass(); });
}

void Form1::Command4_Click()
{
    handle([this] { exchange_.load(); });
}

void Form1::Command5_Click()
{
    handle([this] { settings_.store(); });
}

bool Form1::validate(core::SettingBox box)
{
    bool refused = false;
    handle([&] { refused = settings_.refusesFocusChange(box); });
    return refused;
}

void Form1::Timer1_Timer()
{
    handle([this] { recorder_.tick(); });
}

void Form1::Timer2_Timer()
{
    handle([this] { player_.tick(); });
}

void Form1::DXCallback()
{
    handle([this] { watcher_.handleWaitingItems(); });
}

} // namespace clickpath::app
