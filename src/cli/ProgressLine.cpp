#include "cli/ProgressLine.h"

#include <algorithm>
#include <cmath>

namespace clickpath::cli {

namespace {

constexpr int kBarWidth = 20;

QString bar(std::int64_t done, std::int64_t all)
{
    const auto filled = all > 0 ? static_cast<int>(std::clamp<std::int64_t>(done * kBarWidth / all, 0, kBarWidth)) : 0;
    return QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('.'))
        + QLatin1Char(']');
}

} // namespace

QString playLine(const PlayProgress& progress)
{
    QString line = QStringLiteral("pass %1  line %2/%3 %4")
                       .arg(progress.pass)
                       .arg(progress.line)
                       .arg(progress.lines)
                       .arg(bar(progress.line, progress.lines));
    if (!progress.wait.isEmpty())
        line += QStringLiteral("  %1 %2 s").arg(progress.wait, progress.countdown);
    return line;
}

QString recordLine(const RecordProgress& progress)
{
    const std::int64_t tenths = std::llround(progress.seconds * 10);
    return QStringLiteral("%1:%2.%3  %4 lines  X:%5 Y:%6%7")
        .arg(tenths / 600)
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10)
        .arg(progress.lines)
        .arg(progress.x)
        .arg(progress.y)
        .arg(progress.held ? QStringLiteral("  Click!") : QString());
}

} // namespace clickpath::cli
