// The recording reader on any bytes: three integers at a time until it fails,
// never a crash, never more records than the bytes could hold.
#include "platform/FileTable.h"
#include "platform/ToolError.h"
#include "recording/RecordingFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace clickpath;

namespace {

std::string scratchFile()
{
    // tmpfs keeps the per-input write cheap.
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/clickpath-fuzz-" + std::to_string(getpid()) + ".txt";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = scratchFile();
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    platform::FileTable files;
    files.openForInput(1, path);
    std::size_t records = 0;
    try {
        for (;;) {
            const recording::Record record = recording::readRecord(files, 1);
            // Any record writes back as one line of at most three 11-character
            // numbers, two commas and CR LF.
            const std::string line = recording::formatRecordLine(record.x, record.y, record.button);
            if (line.size() > 37 || std::count(line.begin(), line.end(), ',') != 2)
                std::abort();
            ++records;
        }
    } catch (const ToolError&) {
    }
    // Each record needs at least "0,0,0": five bytes.
    if (records * 5 > size)
        std::abort();
    return 0;
}
