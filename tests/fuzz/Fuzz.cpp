// libFuzzer targets, one per build of this file (FUZZ_TARGET names it):
// whatever the bytes, no crash, and each part keeps its promise.
#include "core/RecordingFormat.h"
#include "platform/ProfileFile.h"
#include "platform/ToolError.h"

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

// Setting a key reads back as set, the other keys keep their values, and
// what changed lies within one line of the file.
void profileFile(const QByteArray& bytes)
{
    const QByteArray keys[] = {"SLEEP_TIME", "WAIT_CLICK_TIME", "sleep_time"};
    const QByteArray& key = keys[bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes[0]) % 3];
    const QByteArray file = bytes.mid(1);
    const QByteArray updated = platform::profile::set(file, "STATUS", key, "-2.5E3");
    require(platform::profile::find(updated, "STATUS", key) == "-2.5E3");
    for (const QByteArray& other : keys)
        require(other.compare(key, Qt::CaseInsensitive) == 0
            || platform::profile::find(updated, "STATUS", other) == platform::profile::find(file, "STATUS", other));
    const auto same = std::mismatch(file.begin(), file.end(), updated.begin(), updated.end()).first - file.begin();
    const auto sameEnd
        = std::mismatch(file.rbegin(), file.rend() - same, updated.rbegin(), updated.rend()).first - file.rbegin();
    require(!file.mid(same, file.size() - same - sameEnd).contains('\n'));
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
    FUZZ_TARGET(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
