// Records read per second from a 1,000,000-line recording: the reader alone,
// no display and no timer.
#include "core/RecordingFormat.h"
#include "core/ToolError.h"
#include "platform/posix/SequentialFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace clickpath;

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("million.txt");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        std::string chunk;
        for (int i = 0; i < 1000000; ++i) {
            chunk += core::formatRecordLine({100 + i % 1800, 100 + i % 1000, (i / 50) % 2 ? 128 : 0});
            if (chunk.size() > (1 << 20)) {
                file.write(chunk.data(), static_cast<qint64>(chunk.size()));
                chunk.clear();
            }
        }
        file.write(chunk.data(), static_cast<qint64>(chunk.size()));
    }
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        platform::RecordingFileReader reader(path);
        QElapsedTimer clock;
        clock.start();
        long records = 0;
        while (reader.next())
            ++records;
        const double rate = static_cast<double>(records) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
        best = std::max(best, rate);
        if (records != 1000000)
            std::printf("reader: read %ld records, expected 1000000\n", records);
    }
    std::printf("%-44s %.3g records/s  (best of 3)\n", "reader throughput, 1 M-line file", best);
    return 0;
}
