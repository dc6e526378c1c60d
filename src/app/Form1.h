#pragma once

#include "core/AppPaths.h"
#include "core/Controls.h"
#include "exchange/RecordingExchange.h"
#include "platform/FileDialog.h"
#include "platform/Services.h"
#include "playback/Player.h"
#include "recording/LeftButtonLatch.h"
#include "recording/MouseWatcher.h"
#include "recording/Recorder.h"
#include "settings/Settings.h"

namespace clickpath::app {

// The tool's one window as its handlers see it. Every event of the window
// arrives here under its handler's name; these names, and the widgets'
// object names in Form1Window, are the only place where the window's
// numbered names live. Past this class the tool uses its own words:
//
//   handler or control  caption   what it is
//   Form_Load           -         start-up: open the mouse watcher, load the settings
//   Form_QueryUnload    -         a close is asked for: the watcher stops delivering
//   Form_Unload         -         the close goes ahead: recording and playback end
//   Command1_Click      "Rec"     Recorder::start
//   Command3_Click      "Auto"    Player::startPass
//   Command2_Click      "Save"    RecordingExchange::save
//   Command4_Click      "Load"    RecordingExchange::load
//   Command5_Click      "SET"     Settings::store
//   Text1 .. Text5,     "Sleep", "Click", "VM", "HM", "1st.": the SettingBox of
//   Text1_Validate ..     the same order (SleepBound .. FirstPassWait);
//                         validation is Settings::refusesFocusChange
//   Check1              "LOOP"    Controls::loopChecked
//   Label3, Label7      -, "回"   Label::PassCount and its unit
//   Label6              -         Label::ClickShown, "Click!"
//   Label9, Label10     -, "秒"   Label::Countdown and its unit
//   Label14, 11, 8      "1st.", "Click", "Sleep": Label::FirstPassCaption,
//                         ClickWaitCaption, SleepCaption, the wait captions
//   Label13, Label12    "HM", "VM": captions that never change
//   Timer1, _Timer      -         Tick::Recording, Recorder::tick
//   Timer2, _Timer      -         Tick::Playback, Player::tick
//   DXCallback          -         MouseWatcher::handleWaitingItems
//
// An error that leaves a handler reaches the window: it is shown in a
// message and the tool goes on.
class Form1 {
public:
    Form1(core::Controls& controls, const platform::Services& services, platform::FileDialog& dialog,
        const core::AppPaths& paths);

    // Start-up; an error here means the tool cannot run and is thrown on.
    void Form_Load();
    // Shutdown, in this order; neither refuses the close.
    void Form_QueryUnload();
    void Form_Unload();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    // Validation of a box about to lose the focus; true keeps the focus there.
    bool Text1_Validate() { return validate(core::SettingBox::SleepBound); }
    bool Text2_Validate() { return validate(core::SettingBox::ClickWaitBound); }
    bool Text3_Validate() { return validate(core::SettingBox::VerticalMargin); }
    bool Text4_Validate() { return validate(core::SettingBox::HorizontalMargin); }
    bool Text5_Validate() { return validate(core::SettingBox::FirstPassWait); }
    void Timer1_Timer();
    void Timer2_Timer();
    void DXCallback();

    const playback::Player& player() const { return player_; }

private:
    // A right-button press or release, whatever runs: recording ends and a
    // pass ends without a restart.
    void stopRequest();
    bool validate(core::SettingBox box);
    template <typename Handler>
    void handle(Handler&& handler);

    core::Controls& controls_;
    platform::MessageSink& messages_;
    recording::LeftButtonLatch latch_;
    recording::Recorder recorder_;
    playback::Player player_;
    recording::MouseWatcher watcher_;
    settings::Settings settings_;
    exchange::RecordingExchange exchange_;
};

} // namespace clickpath::app
