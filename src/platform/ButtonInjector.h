#pragma once

namespace clickpath::platform {

// Synthetic left-button input where the pointer stands, sent at once.
// Each throws a ToolError when the display refuses it.
class ButtonInjector {
public:
    virtual ~ButtonInjector() = default;
    virtual void pressLeft() = 0;
    virtual void releaseLeft() = 0;
};

} // namespace clickpath::platform
