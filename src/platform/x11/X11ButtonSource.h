#pragma once

#include "platform/MouseButtonSource.h"
#include "platform/qt/ButtonDelivery.h"
#include "platform/x11/X11Display.h"

#include <QObject>

#include <memory>
#include <vector>

class QSocketNotifier;
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

private:
    void selectRawButtons(bool on);
    // Moves what the server sent into the buffer, then notifies.
    void drain();
    void takePending();
    void take(union ::_XEvent& event);

    DisplayPtr display_;
    int xiOpcode_ = 0;
    std::unique_ptr<QObject> context_; // parent of the notifier and of scheduled notifications
    QSocketNotifier* notifier_ = nullptr;
    qt::ButtonDelivery delivery_;
    std::vector<unsigned char> mapping_; // the pointer's button map
};

} // namespace clickpath::platform::x11
