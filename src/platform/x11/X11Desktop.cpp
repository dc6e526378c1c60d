#include "platform/x11/X11Desktop.h"

#include "platform/qt/GridTimer.h"
#include "platform/x11/X11StopKey.h"

namespace clickpath::platform::x11 {

namespace {

// The desktop's one buttons' source, for the mouse watcher, which owns what it opens.
class SharedButtons final : public MouseButtonSource {
public:
    explicit SharedButtons(X11ButtonSource& buttons)
        : buttons_(buttons)
    {
    }
    void start(int capacity, std::function<void()> itemsWaiting) override
    {
        buttons_.start(capacity, std::move(itemsWaiting));
    }
    void stop() override { buttons_.stop(); }
    std::size_t read(std::span<ButtonItem> out) override { return buttons_.read(out); }
    void resume() override { buttons_.resume(); }
    void takeWaiting() override { buttons_.takeWaiting(); }

private:
    X11ButtonSource& buttons_;
};

class WindowLossHold final : public Hold {
public:
    WindowLossHold(unsigned long window, std::function<void()> lost)
        : watch_(window, std::move(lost))
    {
    }

private:
    WindowLossWatch watch_;
};

} // namespace

X11Desktop::X11Desktop(MessageSink& messages)
    : messages_(messages)
{
}

Services X11Desktop::services()
{
    return Services{pointer_, pointer_, clock_, random_, messages_, session_, qt::makeGridTimer,
        [this] { return std::make_unique<SharedButtons>(buttons_); }};
}

std::unique_ptr<Hold> X11Desktop::grabStopKey(const QString& key, std::function<void()> pressed)
{
    try {
        return std::make_unique<X11StopKey>(buttons_, key, std::move(pressed));
    } catch (const std::exception& error) {
        messages_.showWarning(QString::fromStdString(error.what()) + QStringLiteral(": there is no stop key now."));
        return nullptr;
    }
}

std::unique_ptr<Hold> X11Desktop::watchWindowLoss(unsigned long window, std::function<void()> lost)
{
    return std::make_unique<WindowLossHold>(window, std::move(lost));
}

} // namespace clickpath::platform::x11
