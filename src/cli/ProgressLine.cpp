#include "cli/ProgressLine.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace clickpath::cli {

namespace {

constexpr int kBarWidth = 20;
constexpr int kShortestBar = 5;

QString bar(std::int64_t done, std::int64_t all, int width)
{
    const auto filled = all > 0 ? static_cast<int>(std::clamp<std::int64_t>(done * width / all, 0, width)) : 0;
    return QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(width - filled, QLatin1Char('.'))
        + QLatin1Char(']');
}

// The first of the forms, richest first, that leaves the last column free;
// else the last form, cut.
QString fitted(const QStringList& forms, int width)
{
    const qsizetype room = std::max(1, width - 1);
    for (const QString& form : forms)
        if (form.size() <= room)
            return form;
    return forms.back().left(room);
}

} // namespace

QString playLine(const PlayProgress& progress, int width)
{
    const QString pass = QStringLiteral("pass %1").arg(progress.pass);
    const QString line = QStringLiteral("%1/%2").arg(progress.line).arg(progress.lines);
    const QString wait
        = progress.wait.isEmpty() ? QString() : QStringLiteral("  %1 %2 s").arg(progress.wait, progress.countdown);
    QStringList forms;
    for (int barWidth = kBarWidth; barWidth >= kShortestBar; --barWidth)
        forms << pass + QStringLiteral("  line ") + line + QLatin1Char(' ')
                + bar(progress.line, progress.lines, barWidth) + wait;
    forms << pass + QStringLiteral("  line ") + line + wait << pass + QStringLiteral("  ") + line + wait << line + wait
          << (wait.isEmpty() ? line : wait.trimmed());
    return fitted(forms, width);
}

QString recordLine(const RecordProgress& progress, int width)
{
    const std::int64_t tenths = std::llround(progress.seconds * 10);
    const QString time
        = QStringLiteral("%1:%2.%3").arg(tenths / 600).arg(tenths / 10 % 60, 2, 10, QLatin1Char('0')).arg(tenths % 10);
    const QString at = QStringLiteral("X:%1 Y:%2").arg(progress.x).arg(progress.y);
    const QString held = progress.held ? QStringLiteral("  Click!") : QString();
    const QString lines = QString::number(progress.lines);
    return fitted({time + QStringLiteral("  ") + lines + QStringLiteral(" lines  ") + at + held,
                      time + QStringLiteral("  ") + lines + QStringLiteral("  ") + at + held, at + held, at},
        width);
}

QString delayLine(int secondsLeft, int width)
{
    return fitted({QStringLiteral("starting in %1 s").arg(secondsLeft), QString::number(secondsLeft)}, width);
}

} // namespace clickpath::cli
