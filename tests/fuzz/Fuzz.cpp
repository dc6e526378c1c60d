// libFuzzer targets, one per build of this file (FUZZ_TARGET names it):
// whatever the bytes, no crash, and each part keeps its promise.
#include "core/NumberText.h"
#include "core/RecordingFormat.h"
#include "platform/ProfileFile.h"
#include "platform/ToolError.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace clickpath;

namespace {

void require(bool promise)
{
    if (!promise)
        std::abort();
}

// Whatever the number test accepts converts without error, apart from range.
void numberText(const QByteArray& bytes)
{
    const core::NumberFormat format{QLatin1Char(!bytes.isEmpty() && (bytes[0] & 1) ? ',' : '.')};
    const QString text = QString::fromUtf8(bytes.mid(1));
    const bool numeric = core::isNumericText(text, format);
    require(numeric == core::parseNumberText(text, format).has_value());
    try {
        core::toDouble(text, "x", format);
        core::toSingle(text, "x", format);
        core::toInteger(text, "x", format);
        core::toLong(text, "x", format);
        require(numeric);
    } catch (const ToolError& error) {
        require(numeric == (std::string(error.what()).find("overflow") != std::string::npos));
    }
}

// Setting a key reads back as set, the other keys keep their values, and
// what changed is at most one line of the file.
void profileFile(const QByteArray& bytes)
{
    const QByteArray keys[] = {"SLEEP_TIME", "WAIT_CLICK_TIME", "sleep_time"};
    const QByteArray section = bytes.startsWith('s') ? "status" : "STATUS";
    const QByteArray& key = keys[bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes[0]) % 3];
    const QByteArray file = bytes.mid(1);
    const QByteArray updated = platform::profile::set(file, section, key, "-2.5E3");
    require(platform::profile::find(updated, section, key) == "-2.5E3");
    for (const QByteArray& other : keys)
        require(other.compare(key, Qt::CaseInsensitive) == 0
            || platform::profile::find(updated, section, other) == platform::profile::find(file, section, other));
    const auto prefix = std::mismatch(file.begin(), file.end(), updated.begin(), updated.end()).first - file.begin();
    const auto suffix
        = std::mismatch(file.rbegin(), file.rend() - prefix, updated.rbegin(), updated.rend()).first - file.rbegin();
    require(!file.mid(prefix, file.size() - prefix - suffix).contains('\n'));
}

// Three integers at a time until it fails; no more records than the bytes
// could hold, each writing back as one short line.
void recordingReader(const QByteArray& bytes)
{
    static const QString path = QStringLiteral("/dev/shm/clickpath-fuzz-%1.txt").arg(getpid());
    if (FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb")) {
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
        std::fclose(file);
    }
    core::RecordingReader reader(path);
    qsizetype records = 0;
    try {
        for (;; ++records)
            require(core::formatRecordLine(reader.next()).size() <= 37);
    } catch (const ToolError&) {
    }
    require(records * 5 <= bytes.size()); // "0,0,0" at least
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FUZZ_TARGET(bytes);
    return 0;
}
