#include "ToolProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>

#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace bench {

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

ToolProcess::ToolProcess(const QString& executable, XDesk& desk, const std::string& settings)
    : desk_(desk)
{
    const QString copy = dir_.filePath("clickpath");
    QFile::copy(executable, copy);
    QFile ini(dir_.filePath("clickpath.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(settings.data(), static_cast<qint64>(settings.size()));
    ini.close();

    QElapsedTimer started;
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    started.start();
    // BENCH_TOOL_WRAPPER runs the tool under a profiler, say "heaptrack -o /tmp/t";
    // the figures are then the wrapper's.
    QStringList command = qEnvironmentVariable("BENCH_TOOL_WRAPPER").split(' ', Qt::SkipEmptyParts);
    command << copy;
    process_.start(command.takeFirst(), command);
    if (!process_.waitForStarted())
        throw std::runtime_error("bench: the tool did not start");
    while (!desk_.windowOrigin("clickpath")) {
        if (started.elapsed() > 10000)
            throw std::runtime_error("bench: the tool's window did not appear");
        pause(1);
    }
    startupMs_ = static_cast<double>(started.nsecsElapsed()) / 1e6;
    origin_ = *desk_.windowOrigin("clickpath");
    pause(300); // the first paint
    enabledDark_ = desk_.darkPixels(origin_.first + 8, origin_.second + 6, 45, 19);
}

ToolProcess::~ToolProcess()
{
    process_.terminate();
    if (!process_.waitForFinished(3000))
        process_.kill();
    process_.waitForFinished(3000);
}

void ToolProcess::writeRecording(const std::string& bytes) const
{
    QFile file(recordingPath());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

qint64 ToolProcess::recordingLines() const
{
    // Every line is 0x0A-terminated and the same short length or so; counting
    // bytes would be cheaper but inexact, so count the line ends.
    QFile file(recordingPath());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qint64 lines = 0;
    char chunk[1 << 16];
    for (qint64 got = file.read(chunk, sizeof chunk); got > 0; got = file.read(chunk, sizeof chunk))
        lines += std::count(chunk, chunk + got, '\n');
    return lines;
}

void ToolProcess::clickAt(int x, int y)
{
    desk_.moveTo(origin_.first + x, origin_.second + y);
    desk_.click(1);
}

bool ToolProcess::buttonsEnabled()
{
    const int dark = desk_.darkPixels(origin_.first + 8, origin_.second + 6, 45, 19);
    return dark * 2 > enabledDark_;
}

double ToolProcess::cpuSeconds() const
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid()));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble(); // utime, stime
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long ToolProcess::statusKb(const char* field) const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

} // namespace bench
