#pragma once

#include "app/WindowControls.h"
#include "core/AppPaths.h"
#include "exchange/RecordingExchange.h"
#include "platform/FileDialog.h"
#include "platform/Services.h"
#include "playback/Player.h"
#include "recording/Recorder.h"
#include "settings/Settings.h"
#include "stopping/MouseWatcher.h"
#include "stopping/StopController.h"

#include <array>

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
//   Text1 .. Text5      "Sleep", "Click", "VM", "HM", "1st.": the SettingBox
//                         of kBoxControls below
//   Text1_Validate ..   -         Settings::refusesFocusChange
//   Text5_Change        -         Player::numbersEdited: a running first-pass wait
//   Check1              "LOOP"    the pass policy of playback
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
// Recording, playback and the watcher report what happens; Form1 shows it
// in the window's labels, colours and caption, and enables the buttons
// while neither records nor plays. An error that leaves a handler reaches
// the window: it is shown in a message and the tool goes on. Every handler
// is an entry from the event loop, so none lets an error through.
class Form1 final : playback::PlaybackObserver, recording::RecordingObserver, stopping::ButtonObserver {
public:
    Form1(WindowControls& controls, const platform::Services& services, platform::FileDialog& dialog,
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
    void Text5_Change();
    void Timer1_Timer();
    void Timer2_Timer();
    void DXCallback();

    // Where every stop goes: the secondary mouse button, the stop key, the
    // stop command, a signal and another session coming in front.
    stopping::StopController& stops() { return stops_; }

private:
    bool validate(core::SettingBox box);
    template <typename Handler>
    void handle(Handler&& handler);

    void passStarted(std::int32_t pass, bool loopsReset) override;
    void desktopAwaited(const QString& awaited, int secondsLeft) override;
    void recordPlayed(std::int64_t played, std::int32_t x, std::int32_t y) override;
    void pressed() override;
    void released() override;
    void waitStarted(playback::WaitKind kind, double seconds) override;
    void countdown(std::int16_t seconds) override;
    void waitEnded(playback::WaitKind kind, bool stopped) override;
    void loopCounted(std::int32_t loops) override;
    void playbackEnded() override;
    void recordingStarted() override;
    void lineRecorded(std::int64_t lines, std::int32_t x, std::int32_t y) override;
    void recordingEnded() override;
    void primaryButton(bool pressed) override;

    WindowControls& controls_;
    platform::MessageSink& messages_;
    stopping::StopController stops_;
    recording::Recorder recorder_;
    playback::Player player_;
    stopping::MouseWatcher watcher_;
    settings::Settings settings_;
    exchange::RecordingExchange exchange_;
};

// The five boxes: the object name of each, and its validation handler.
struct BoxControl {
    core::SettingBox box;
    const char* objectName;
    bool (Form1::*validate)();
};
inline constexpr std::array<BoxControl, core::kSettingBoxCount> kBoxControls{{
    {core::SettingBox::SleepBound, "Text1", &Form1::Text1_Validate},
    {core::SettingBox::ClickWaitBound, "Text2", &Form1::Text2_Validate},
    {core::SettingBox::VerticalMargin, "Text3", &Form1::Text3_Validate},
    {core::SettingBox::HorizontalMargin, "Text4", &Form1::Text4_Validate},
    {core::SettingBox::FirstPassWait, "Text5", &Form1::Text5_Validate},
}};
static_assert(core::coversEveryBox(kBoxControls));

} // namespace clickpath::app
