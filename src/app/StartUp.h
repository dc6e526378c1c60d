#pragma once

#include <QString>

namespace clickpath::app {

// What `clickpath --help` and `clickpath --version` print; nothing for any
// other command line, which the window ignores.
QString informationAsked(int argc, const char* const argv[]);

// The stop key that the settings file names (section "clickpath", key
// STOP_KEY, which SET never writes): the Pause key when it names none, and
// none at all for "none".
QString stopKeyOf(const QString& settingsFile);

} // namespace clickpath::app
