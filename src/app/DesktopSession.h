#pragma once

#include <QString>

namespace clickpath::app {

// The message for a start without any display.
QString noDisplayMessage(const QString& exeBaseName);

} // namespace clickpath::app
