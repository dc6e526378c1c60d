#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

namespace clickpath::core {

// The five pacing numbers. Each lives as the text of its box and is read,
// and converted, at the moment it is used.
enum class SettingBox {
    SleepBound,       // upper bound of the random sleep between looped passes, s
    ClickWaitBound,   // upper bound of the random wait after each click, s
    VerticalMargin,   // bound of a click's random vertical offset, px
    HorizontalMargin, // bound of a click's random horizontal offset, px
    FirstPassWait,    // fixed wait after each click of the first pass, s
};
inline constexpr std::size_t kSettingBoxCount = 5;

// What a number counts, and so the range it must fit: a pause's seconds are
// shown by a 16-bit countdown, a margin's pixels are added to 32-bit positions.
enum class NumberKind {
    SecondsBound, // a random pause lasts floor(r x bound) whole seconds, r in [0, 1): each must fit the countdown
    Seconds,      // a pause's whole seconds, halves to even
    Pixels,       // a click's offsets are drawn within it, in whole pixels
};

struct PacingNumber {
    SettingBox box;
    const char* caption; // beside its box, and in messages
    const char* iniKey;  // in section "STATUS" of the settings file
    NumberKind kind;
    int loadRank; // the settings file is read in this order, and written in the boxes' order
};

// The one table of the five numbers, in the boxes' order.
inline constexpr std::array<PacingNumber, kSettingBoxCount> kPacingNumbers{{
    {SettingBox::SleepBound, "Sleep", "SLEEP_TIME", NumberKind::SecondsBound, 0},
    {SettingBox::ClickWaitBound, "Click", "WAIT_CLICK_TIME", NumberKind::SecondsBound, 1},
    {SettingBox::VerticalMargin, "VM", "VERTICAL_MARGIN", NumberKind::Pixels, 4},
    {SettingBox::HorizontalMargin, "HM", "HORIZON_MARGIN", NumberKind::Pixels, 3},
    {SettingBox::FirstPassWait, "1st.", "WAIT_FIRST_TIME", NumberKind::Seconds, 2},
}};

constexpr std::size_t indexOf(SettingBox box)
{
    return static_cast<std::size_t>(box);
}

// True when a table of anything per box holds every box once, at its index:
// tables keyed by the boxes check themselves with it at compile time.
template <typename Entry>
constexpr bool coversEveryBox(const std::array<Entry, kSettingBoxCount>& table)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (indexOf(table[i].box) != i)
            return false;
    return true;
}
static_assert(coversEveryBox(kPacingNumbers));

inline constexpr std::array<SettingBox, kSettingBoxCount> kSettingBoxes{SettingBox::SleepBound,
    SettingBox::ClickWaitBound, SettingBox::VerticalMargin, SettingBox::HorizontalMargin, SettingBox::FirstPassWait};

constexpr const PacingNumber& pacingNumber(SettingBox box)
{
    return kPacingNumbers[indexOf(box)];
}

// The boxes in the order their keys are read from the settings file.
constexpr std::array<SettingBox, kSettingBoxCount> loadOrder()
{
    std::array<SettingBox, kSettingBoxCount> order{};
    for (const PacingNumber& number : kPacingNumbers)
        order[static_cast<std::size_t>(number.loadRank)] = number.box;
    return order;
}

inline QString captionOf(SettingBox box)
{
    return QString::fromLatin1(pacingNumber(box).caption);
}

// A box's number as it is used, or why it cannot be: the one read of the
// five numbers, which playback, the command line and the settings file's
// check all make.
struct CheckedNumber {
    std::optional<double> value;
    QString problem; // "Sleep: 40000 is out of range, from -32768 to 32768 seconds", or "... is not a number"
};

// Reads a box's text by the boxes' number rule and checks it against its
// kind's range: a bound from -32768 to 32768 s (any larger, some draws
// would not fit the countdown), seconds from -32768 to 32767 once rounded,
// pixels within 32 bits once rounded. `source` names it in the problem.
CheckedNumber readNumber(SettingBox box, const QString& text, const QString& source);

// The problem of readNumber, or empty when the text can be used.
QString unusableNumber(SettingBox box, const QString& text, const QString& source);

// Where the texts of the five boxes live: the window's boxes, or the numbers
// a command line was given.
class SettingBoxes {
public:
    virtual ~SettingBoxes() = default;
    virtual QString boxText(SettingBox box) const = 0;
    virtual void setBoxText(SettingBox box, const QString& text) = 0;
};

} // namespace clickpath::core
