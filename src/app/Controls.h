#pragma once

#include <QString>

#include <cstdint>

namespace clickpath::app {

enum class LabelId { Label3, Label6, Label8, Label9, Label11, Label14 };
enum class TextBoxId { Text1, Text2, Text3, Text4, Text5 };
enum class TimerId { Timer1, Timer2 };
enum class CommandId { Command1, Command2, Command3, Command4, Command5 };

// Text colours in 0x00BBGGRR: the highlight of a running wait's label is blue.
constexpr std::uint32_t kHighlightColour = 0xFF0000;
constexpr std::uint32_t kBlack = 0;

// The window's controls by name, as the handlers reach them. The real window
// implements it with widgets; tests implement it with plain fields.
class Controls {
public:
    virtual ~Controls() = default;
    virtual void setLabelCaption(LabelId label, const QString& caption) = 0;
    virtual void setLabelColour(LabelId label, std::uint32_t bgr) = 0;
    virtual QString text(TextBoxId box) const = 0;
    virtual void setText(TextBoxId box, const QString& text) = 0;
    // "LOOP": 1 when checked, else 0.
    virtual int checkValue() const = 0;
    virtual void setTimerEnabled(TimerId timer, bool enabled) = 0;
    virtual void setCommandEnabled(CommandId command, bool enabled) = 0;
    virtual void setCaption(const QString& caption) = 0;
    // Paints the window now, while the caller still holds the thread.
    virtual void repaintNow() = 0;
};

} // namespace clickpath::app
