#pragma once

#include <QString>

namespace clickpath::app {

// The message for a start without any display.
QString noDisplayMessage(const QString& exeBaseName);

// What `clickpath --help` and `clickpath --version` print; nothing for any
// other command line, which the window ignores.
QString informationAsked(int argc, const char* const argv[]);

} // namespace clickpath::app
