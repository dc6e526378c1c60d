#include "app/StartUp.h"

#include "platform/posix/ProfileFile.h"

#include <string_view>

namespace clickpath::app {

QString informationAsked(int argc, const char* const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version")
            return QStringLiteral("clickpath %1\n").arg(CLICKPATH_VERSION);
        if (argument == "--help" || argument == "-h")
            return QStringLiteral("Usage: clickpath [--help | --version]\n"
                                  "Records the mouse pointer's path with the left button, and plays it back with\n"
                                  "random offsets and pauses, in a window: \"Rec\" records, \"Auto\" plays, the right\n"
                                  "mouse button stops. The window takes no other options; clickpath-cli plays and\n"
                                  "records from a terminal. See clickpath(1).\n");
    }
    return {};
}

QString stopKeyOf(const QString& settingsFile)
{
    const QString named
        = QString::fromUtf8(platform::readProfileValue(settingsFile, "clickpath", "STOP_KEY", 64)).trimmed();
    if (named.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return {};
    return named.isEmpty() ? QStringLiteral("Pause") : named;
}

} // namespace clickpath::app
