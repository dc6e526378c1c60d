// Whatever the number test accepts converts without error, apart from range.
#include "platform/ToolError.h"
#include "settings/NumberText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace clickpath;
using namespace clickpath::settings;

namespace {

template <typename Convert>
void mustConvertOrOverflow(Convert convert)
{
    try {
        convert();
    } catch (const ToolError& error) {
        if (std::string(error.what()).find("overflow") == std::string::npos)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const NumberFormat format{QLatin1Char(data[0] & 1 ? ',' : '.')};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const bool numeric = isNumericText(text, format);
    if (numeric != parseNumberText(text, format).has_value())
        std::abort();
    if (!numeric) {
        // Not a number: every conversion says so.
        try {
            toDouble(text, "x", format);
            std::abort();
        } catch (const ToolError&) {
        }
        return 0;
    }
    mustConvertOrOverflow([&] { toDouble(text, "x", format); });
    mustConvertOrOverflow([&] { toSingle(text, "x", format); });
    mustConvertOrOverflow([&] { toInteger(text, "x", format); });
    mustConvertOrOverflow([&] { toLong(text, "x", format); });
    return 0;
}
