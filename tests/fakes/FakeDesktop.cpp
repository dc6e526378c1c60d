#include "fakes/FakeDesktop.h"

#include "platform/ToolError.h"

#include <QFile>

namespace clickpath::fakes {

void FakeControls::showPointerPosition(std::int32_t x, std::int32_t y)
{
    position = QStringLiteral("X:%1 Y:%2").arg(x).arg(y);
    ++repaints;
}

QStringList FakeControls::history(Label label)
{
    QStringList folded;
    for (const QString& text : shown[label])
        if (folded.isEmpty() || folded.back() != text)
            folded << text;
    return folded;
}

void FakeControls::setBoxes(const QString& text)
{
    for (int box = 0; box < 5; ++box)
        boxes[static_cast<SettingBox>(box)] = text;
}

void PrintTo(const InputEvent& event, std::ostream* out)
{
    static const char* const kinds[] = {"move", "press", "release"};
    *out << kinds[event.kind] << '(' << event.x << ',' << event.y << ')';
}

std::optional<platform::ScreenPoint> FakePointer::position()
{
    return failQuery ? std::nullopt : std::optional(platform::ScreenPoint{x, y});
}

void FakePointer::moveTo(std::int32_t toX, std::int32_t toY)
{
    if (beforeMove)
        beforeMove();
    x = toX;
    y = toY;
    events.push_back(move(x, y));
}

void FakePointer::see(InputEvent::Kind kind, bool nowDown)
{
    down = nowDown;
    events.push_back({kind, x, y});
}

std::vector<InputEvent> FakePointer::buttons() const
{
    std::vector<InputEvent> out;
    std::copy_if(events.begin(), events.end(), std::back_inserter(out), [](auto& e) { return e.kind != e.Move; });
    return out;
}

double ScriptedRandom::next()
{
    if (values.empty())
        return fallback;
    const double value = values.front();
    values.pop_front();
    return value;
}

void FakeEventPump::pumpOnce(double seconds)
{
    ++pumps;
    double wake = clock_.now + std::max(seconds, 1e-6);
    for (const auto& action : timed_)
        wake = std::min(wake, std::max(action.first, clock_.now + 1e-6));
    clock_.now = wake;
    // Actions may schedule further actions: take the due ones out first.
    const auto due = std::stable_partition(timed_.begin(), timed_.end(), [&](auto& a) { return a.first > clock_.now; });
    std::vector<std::pair<double, std::function<void()>>> running(
        std::make_move_iterator(due), std::make_move_iterator(timed_.end()));
    timed_.erase(due, timed_.end());
    for (auto& action : running)
        action.second();
}

std::optional<QString> FakeFileDialog::chooseFileToOpen(const QString& preset, const QString& filter)
{
    shown << QStringLiteral("open %1 %2").arg(preset, filter);
    const auto choice = choices.empty() ? std::nullopt : choices.front();
    if (!choices.empty())
        choices.pop_front();
    return choice;
}

std::optional<QString> FakeFileDialog::chooseFileToSave(const QString& preset, const QString& filter)
{
    const auto choice = chooseFileToOpen(preset, filter);
    shown.back().replace(0, 4, QStringLiteral("save"));
    return choice;
}

void FakeMouse::start(int bufferSize, std::function<void()> itemsWaiting)
{
    capacity = bufferSize;
    notify = std::move(itemsWaiting);
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
            return source;
        }};
}

Harness::Harness(bool load)
    : form_(controls, desk.services(), dialog, core::AppPaths(dir_.path(), "clickpath"))
{
    if (load)
        form_.Form_Load();
}

void Harness::writeRecording(const std::string& bytes) const
{
    writeFile(path("clickpath.txt"), bytes);
}

std::string Harness::readRecording() const
{
    return readFile(path("clickpath.txt"));
}

int Harness::runPlayback(int limit)
{
    int ticks = 0;
    for (; controls.ticks[Tick::Playback] && ticks < limit; ++ticks) {
        desk.clock.now += 0.01;
        form_.Timer2_Timer();
    }
    return ticks;
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

} // namespace clickpath::fakes
