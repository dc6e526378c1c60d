#pragma once

#include "platform/MouseButtonSource.h"
#include "platform/qt/ButtonDelivery.h"
#include "platform/x11/X11Display.h"

#include <QObject>

#include <memory>
#include <vector>

union _XEvent;

namespace clickpath::platform::x11 {

// The system mouse's buttons through XInput2 raw events on a connection of
// its own. Raw events are selected on the root window for all master
// devices: unlike core button events they keep arriving while another window
// is under the pointer, has the focus or holds a grab, and selecting them takes
// nothing away from other clients.
class X11ButtonSource final : public MouseButtonSource {
public:
    // Throws a ToolError when there is no display or it lacks XInput 2.2.
    X11ButtonSource();
    ~X11ButtonSource() override;

    void start(int capacity, std::function<void()> itemsWaiting) override;
    void stop() override;
    std::size_t read(std::span<ButtonItem> out) override;
    void resume() override;
    void takeWaiting() override;

    // The connection, for a key grabbed on it: its presses reach `pressed`
    // (the keycode) as they come, whether buttons are delivered or not.
    _XDisplay* display() const { return display_.get(); }
    void onKeyPress(std::function<void(unsigned int keycode)> pressed) { keyPressed_ = std::move(pressed); }

private:
    void selectRawButtons(bool on);
    // Moves what the server sent into the buffer, then notifies.
    void drain();
    void takePending();
    void take(union ::_XEvent& event);

    DisplayPtr display_;
    int xiOpcode_ = 0;
    std::unique_ptr<QObject> context_; // parent of the notifier and of scheduled notifications
    qt::ButtonDelivery delivery_;
    std::vector<unsigned char> mapping_; // the pointer's button map
    std::function<void(unsigned int)> keyPressed_;
};

} // namespace clickpath::platform::x11
