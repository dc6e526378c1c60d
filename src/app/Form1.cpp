#include "app/Form1.h"

namespace clickpath::app {

using playback::WaitKind;

namespace {

Label captionOf(WaitKind kind)
{
    switch (kind) {
    case WaitKind::FirstPass:
        return Label::FirstPassCaption;
    case WaitKind::Click:
        return Label::ClickWaitCaption;
    case WaitKind::LoopSleep:
        break;
    }
    return Label::SleepCaption;
}

} // namespace

Form1::Form1(WindowControls& controls, const platform::Services& services, platform::FileDialog& dialog,
    const core::AppPaths& paths)
    : controls_(controls)
    , messages_(services.messages)
    , recorder_(services, controls.timer(Tick::Recording), *this, paths.workingRecordingPath())
    , player_(controls, services, controls.timer(Tick::Playback), *this,
          playback::PassPolicy::whileChecked([&controls] { return controls.loopChecked(); }),
          paths.workingRecordingPath())
    , watcher_(services.openMouse, *this, stops_)
    , settings_(controls, paths.settingsFilePath())
    , exchange_(dialog, paths.workingRecordingPath())
{
    stops_.addRun([this] { return player_.stop(); }); // also when idle: the next "Auto" is a first pass
    stops_.addRun([this] { return recorder_.stop(); });
    stopping::stopWhenSessionLeft(stops_, services.session, messages_);
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
    handle([this] { watcher_.stopDelivery(); });
}

void Form1::Form_Unload()
{
    // The window goes now: a held replayed press is let go, and the files
    // are closed so that every line written so far stays; each whatever
    // failed before it.
    handle([this] { watcher_.release(); });
    handle([this] { recorder_.stop(); });
    player_.close();
}

void Form1::Command1_Click()
{
    handle([this] {
        // The click on "Rec" itself, and any button event before it, may not
        // have been handled yet: they belong before the recording, not in it.
        watcher_.catchUp(false);
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

void Form1::Text5_Change()
{
    handle([this] { player_.numbersEdited(); });
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

void Form1::passStarted(std::int32_t, bool loopsReset)
{
    controls_.setCommandButtonsEnabled(false);
    if (loopsReset)
        controls_.setLabelText(Label::PassCount, QStringLiteral("0"));
    controls_.setLabelText(Label::ClickShown, QString());
}

void Form1::desktopAwaited(const QString& awaited, int secondsLeft)
{
    controls_.showStatus(QStringLiteral("waiting %1 s for %2").arg(secondsLeft).arg(awaited));
}

void Form1::recordPlayed(std::int64_t, std::int32_t x, std::int32_t y)
{
    controls_.showPointerPosition(x, y);
}

void Form1::pressed()
{
    controls_.setLabelText(Label::ClickShown, QStringLiteral("Click!"));
    controls_.repaintNow();
}

void Form1::released()
{
    controls_.setLabelText(Label::ClickShown, QString());
}

void Form1::waitStarted(WaitKind kind, double)
{
    controls_.setLabelColour(captionOf(kind), TextColour::Highlight);
}

void Form1::countdown(std::int16_t seconds)
{
    controls_.setLabelText(Label::Countdown, QString::number(seconds));
}

void Form1::waitEnded(WaitKind kind, bool stopped)
{
    // A wait that ran out leaves its last number; a stopped one none.
    if (stopped)
        controls_.setLabelText(Label::Countdown, QString());
    controls_.setLabelColour(captionOf(kind), TextColour::Normal);
}

void Form1::loopCounted(std::int32_t loops)
{
    controls_.setLabelText(Label::PassCount, QString::number(loops));
}

void Form1::playbackEnded()
{
    controls_.setCommandButtonsEnabled(true);
}

void Form1::recordingStarted()
{
    controls_.setCommandButtonsEnabled(false);
    controls_.setLabelText(Label::ClickShown, QString());
    controls_.setLabelText(Label::PassCount, QString());
}

void Form1::lineRecorded(std::int64_t, std::int32_t x, std::int32_t y)
{
    controls_.showPointerPosition(x, y);
}

void Form1::recordingEnded()
{
    controls_.setCommandButtonsEnabled(true);
}

void Form1::primaryButton(bool down)
{
    recorder_.leftButton(down); // the primary button is the recording's left one
    down ? pressed() : released();
}

} // namespace clickpath::app
