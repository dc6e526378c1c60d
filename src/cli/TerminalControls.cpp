#include "cli/TerminalControls.h"

namespace clickpath::cli {

using core::Label;

TerminalControls::TerminalControls()
{
    for (auto& tick : ticks_)
        tick = std::make_unique<platform::qt::GridTimer>(10);
}

QString TerminalControls::boxText(core::SettingBox box) const
{
    const auto found = boxes_.find(box);
    return found == boxes_.end() ? QString() : found->second;
}

void TerminalControls::setLabelText(Label label, const QString& text)
{
    labels_[label] = text;
    notify();
}

void TerminalControls::setLabelColour(Label label, core::TextColour colour)
{
    colours_[label] = colour;
    // A wait starts or ends: the number left from the last one is not the next one's.
    labels_[Label::Countdown].clear();
    notify();
}

void TerminalControls::setTickRunning(core::Tick id, bool running)
{
    tick(id).setRunning(running);
}

void TerminalControls::showPointerPosition(std::int32_t x, std::int32_t y)
{
    pointer_ = {x, y};
    notify();
}

QString TerminalControls::runningWait() const
{
    const std::pair<Label, const char*> waits[] = {{Label::FirstPassCaption, "first-pass wait"},
        {Label::ClickWaitCaption, "click wait"}, {Label::SleepCaption, "sleep"}};
    for (const auto& [caption, name] : waits) {
        const auto found = colours_.find(caption);
        if (found != colours_.end() && found->second == core::TextColour::Highlight
            && !label(Label::Countdown).isEmpty())
            return QString::fromLatin1(name);
    }
    return {};
}

QString TerminalControls::label(Label label) const
{
    const auto found = labels_.find(label);
    return found == labels_.end() ? QString() : found->second;
}

void TerminalControls::notify()
{
    if (changed)
        changed();
}

} // namespace clickpath::cli
