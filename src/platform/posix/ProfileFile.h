#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace clickpath::platform {

// Settings files in the Windows profile (INI) layout: "[SECTION]" headers and
// "KEY=value" lines. Section and key names match without regard to letter
// case; blanks around names and values do not count; lines starting with ";"
// or "#" are comments. A write changes only the one line it sets (or adds it),
// so every other byte of the file - other sections, comments, blank lines,
// line ends - stays as it was.
namespace profile {

// The value of the first matching key, or nothing.
std::optional<QByteArray> find(const QByteArray& file, const QByteArray& section, const QByteArray& key);
// The file with the key set, the section and the key added when absent.
QByteArray set(const QByteArray& file, const QByteArray& section, const QByteArray& key, const QByteArray& value);

} // namespace profile

// The value of a key in a settings file, cut to `maxLength` bytes and at its
// first NUL byte; empty when
// the file, the section or the key is absent, or the file cannot be read.
QByteArray readProfileValue(const QString& path, const QByteArray& section, const QByteArray& key, qsizetype maxLength);

// Sets a key in a settings file, creating the file and the section when
// absent. The file is replaced as a whole, atomically: a failed write leaves it
// as it was and throws a ToolError naming the path and the reason.
void writeProfileValue(const QString& path, const QByteArray& section, const QByteArray& key, const QByteArray& value);

} // namespace clickpath::platform
