#include "settings/Settings.h"

#include "app/ToolContext.h"
#include "platform/ProfileFile.h"
#include "settings/NumberText.h"

namespace clickpath::settings {

using app::TextBoxId;

namespace {

const QByteArray kSection = "STATUS";

struct Key {
    TextBoxId box;
    const char* name;
};

// Loaded in this order, which is not the boxes' order.
constexpr Key kLoadOrder[] = {{TextBoxId::Text1, "SLEEP_TIME"}, {TextBoxId::Text2, "WAIT_CLICK_TIME"},
    {TextBoxId::Text5, "WAIT_FIRST_TIME"}, {TextBoxId::Text4, "HORIZON_MARGIN"}, {TextBoxId::Text3, "VERTICAL_MARGIN"}};
// Stored in the boxes' order; a first "SET" lays the keys out so.
constexpr Key kStoreOrder[] = {{TextBoxId::Text1, "SLEEP_TIME"}, {TextBoxId::Text2, "WAIT_CLICK_TIME"},
    {TextBoxId::Text3, "VERTICAL_MARGIN"}, {TextBoxId::Text4, "HORIZON_MARGIN"}, {TextBoxId::Text5, "WAIT_FIRST_TIME"}};

} // namespace

Settings::Settings(app::ToolContext& tool)
    : tool_(tool)
{
}

void Settings::loadSettings()
{
    for (const Key& key : kLoadOrder) {
        // The path is built afresh for every read; a stored text that is not a
        // number is shown as it is.
        const QByteArray value =
            platform::getPrivateProfileString(kSection, key.name, "", kValueCapacity, tool_.paths.settingsFilePath());
        tool_.controls.setText(key.box, QString::fromLocal8Bit(value));
    }
}

bool Settings::validate(TextBoxId box)
{
    if (isNumericText(tool_.text(box)))
        return false;
    tool_.controls.setText(box, QStringLiteral("0"));
    return true;
}

void Settings::Command5_Click()
{
    for (const Key& key : kStoreOrder) {
        if (!isNumericText(tool_.text(key.box)))
            continue; // the file keeps the value it had
        platform::writePrivateProfileString(
            kSection, key.name, tool_.text(key.box).toLocal8Bit(), tool_.paths.settingsFilePath());
    }
}

} // namespace clickpath::settings
