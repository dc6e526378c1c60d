#pragma once

#include <QString>

namespace clickpath::platform {

// Replaces `destination` by an exact copy of `source`, through a temporary
// file beside it that is renamed into place: on any failure (full disk,
// missing folder) the destination is as it was, and a ToolError names the
// path and the reason.
void copyFileAtomically(const QString& source, const QString& destination);

// True when both names lead to one existing file (a link, "..", letter case
// on a file system that ignores it).
bool isSameFile(const QString& first, const QString& second);

} // namespace clickpath::platform
