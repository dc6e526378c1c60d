#include "fakes/FakeDesktop.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>

namespace clickpath::fakes {

QString FakeControls::history(Label label)
{
    QStringList folded;
    for (const QString& text : shown[label])
        if (folded.isEmpty() || folded.back() != text)
            folded << text;
    return folded.join(' ');
}

void FakeControls::setBoxes(const QString& texts)
{
    const QStringList split = texts.split(' ');
    for (int box = 0; box < 5; ++box)
        boxes[static_cast<SettingBox>(box)] = split.size() == 1 ? texts : split.value(box);
}

void FakePointer::moveTo(std::int32_t toX, std::int32_t toY)
{
    if (beforeMove)
        beforeMove();
    const QString at = QStringLiteral("%1,%2").arg(toX).arg(toY);
    if (at != lastMove_ || trail.isEmpty())
        trail << at; // a move onto its own spot shows no more
    lastMove_ = at;
    x = toX;
    y = toY;
}

void FakeEventPump::pumpOnce(double seconds)
{
    ++pumps;
    clock->now += std::max(1e-6, std::min(seconds, timed.empty() ? seconds : timed.begin()->first - clock->now));
    while (!timed.empty() && timed.begin()->first <= clock->now) {
        const auto action = timed.begin()->second; // it may schedule further actions
        timed.erase(timed.begin());
        action();
    }
}

std::optional<QString> FakeFileDialog::choose(const QString& kind, const QString& preset, const QString& filter)
{
    shown << kind + " " + preset + " " + filter;
    const auto choice = choices.empty() ? std::nullopt : choices.front();
    if (!choices.empty())
        choices.pop_front();
    return choice;
}

std::size_t FakeMouse::read(std::span<platform::ButtonItem> out)
{
    if (std::exchange(failNextRead, false))
        throw ToolError("device lost");
    const std::size_t count = std::min(out.size(), pending.size());
    std::copy_n(pending.begin(), count, out.begin());
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

void FakeMouse::click(platform::MouseButton button, std::initializer_list<bool> edges)
{
    for (bool pressed : edges)
        pending.push_back({button, pressed});
    if (notify)
        notify();
}

platform::Services FakeDesktop::services()
{
    return platform::Services{
        pointer, pointer, clock, random, pump, messages, [this]() -> std::unique_ptr<platform::MouseButtonSource> {
            if (refuseMouse)
                throw ToolError("no mouse");
            auto source = std::make_unique<FakeMouse>();
            mouse = source.get();
            mouse->pending = waitingAtOpen;
            return source;
        }};
}

void Harness::runPlayback(int limit)
{
    for (int ticks = 0; controls.ticks[Tick::Playback] && ticks < limit; ++ticks) {
        desk.clock.now += 0.01;
        form.Timer2_Timer();
    }
}

std::string readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

void writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
        throw std::runtime_error("cannot write test file");
}

FileSizeLimit::FileSizeLimit(long bytes)
{
    ::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    old_ = static_cast<long>(limit.rlim_cur);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(old_);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace clickpath::fakes
