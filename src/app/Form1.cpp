#include "app/Form1.h"

#include "platform/FileTable.h"
#include "platform/MessageSink.h"

namespace clickpath::app {

Form1::Form1(Controls& controls, Services services, AppPaths paths)
    : tool_(controls, std::move(services), std::move(paths))
    , player_(tool_)
    , recorder_(tool_)
    , watcher_(tool_, [this](std::int32_t eventId) { DXCallback(eventId); })
    , settings_(tool_)
    , exchange_(tool_)
{
}

template <typename Handler>
void Form1::handle(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        tool_.services.messages.showError(QString::fromStdString(error.what()));
    }
}

void Form1::Form_Load()
{
    watcher_.openMouseWatcher();
    settings_.loadSettings();
    tool_.controls.setCaption(tool_.paths.exeBaseName());
    tool_.state.offsetX = 0;
    tool_.state.offsetY = 0;
    tool_.state.passCount = 0;
    tool_.state.looping = kFalse;
}

void Form1::Form_QueryUnload()
{
    watcher_.stopDelivery();
}

void Form1::Form_Unload()
{
    // The window goes now: a wait that pumped this close ends without
    // touching it, a held replayed press is let go, and open files are closed
    // so that every line written so far stays.
    watcher_.releaseDevice();
    ToolState& state = tool_.state;
    state.windowClosed = true;
    tool_.controls.setTimerEnabled(TimerId::Timer1, false);
    tool_.controls.setTimerEnabled(TimerId::Timer2, false);
    try {
        player_.releaseHeldPress();
    } catch (const std::exception&) {
        // Nothing is reported at shutdown.
    }
    tool_.services.files.closeAll();
}

void Form1::Command1_Click()
{
    handle([this] {
        // The click on "Rec" itself, and any button event before it, may not
        // have been handled yet: they belong before the recording, not in it.
        watcher_.catchUp();
        recorder_.Command1_Click();
    });
}

void Form1::Timer1_Timer()
{
    handle([this] { recorder_.Timer1_Timer(); });
}

void Form1::DXCallback(std::int32_t eventId)
{
    handle([this, eventId] { watcher_.DXCallback(eventId); });
}

void Form1::Command2_Click()
{
    handle([this] { exchange_.Command2_Click(); });
}

void Form1::Command4_Click()
{
    handle([this] { exchange_.Command4_Click(); });
}

void Form1::Command5_Click()
{
    handle([this] { settings_.Command5_Click(); });
}

bool Form1::validate(TextBoxId box)
{
    bool cancel = false;
    handle([&] { cancel = settings_.validate(box); });
    return cancel;
}

bool Form1::Text1_Validate()
{
    return validate(TextBoxId::Text1);
}

bool Form1::Text2_Validate()
{
    return validate(TextBoxId::Text2);
}

bool Form1::Text3_Validate()
{
    return validate(TextBoxId::Text3);
}

bool Form1::Text4_Validate()
{
    return validate(TextBoxId::Text4);
}

bool Form1::Text5_Validate()
{
    return validate(TextBoxId::Text5);
}

void Form1::Command3_Click()
{
    handle([this] { player_.Command3_Click(); });
}

void Form1::Timer2_Timer()
{
    handle([this] { player_.Timer2_Timer(); });
}

} // namespace clickpath::app
