#include "fakes/Fakes.h"

#include "platform/ToolError.h"

#include <QFile>

#include <algorithm>

namespace clickpath::fakes {

FakeControls::FakeControls()
{
    using app::TextBoxId;
    for (TextBoxId box : {TextBoxId::Text1, TextBoxId::Text2, TextBoxId::Text3, TextBoxId::Text4, TextBoxId::Text5})
        texts[box] = QStringLiteral("180");
    for (app::CommandId command : {app::CommandId::Command1, app::CommandId::Command2, app::CommandId::Command3,
             app::CommandId::Command4, app::CommandId::Command5})
        commands[command] = true;
    timers[app::TimerId::Timer1] = false;
    timers[app::TimerId::Timer2] = false;
}

QStringList FakeControls::history(app::LabelId label) const
{
    QStringList shown;
    for (const auto& [which, caption] : captionLog) {
        if (which == label && (shown.isEmpty() || shown.back() != caption))
            shown << caption;
    }
    return shown;
}

void FakeControls::setBoxes(const QString& sleep, const QString& click, const QString& vm, const QString& hm,
    const QString& first)
{
    texts[app::TextBoxId::Text1] = sleep;
    texts[app::TextBoxId::Text2] = click;
    texts[app::TextBoxId::Text3] = vm;
    texts[app::TextBoxId::Text4] = hm;
    texts[app::TextBoxId::Text5] = first;
}

bool FakeControls::allCommands(bool enabled) const
{
    return std::all_of(commands.begin(), commands.end(), [enabled](const auto& c) { return c.second == enabled; });
}

void PrintTo(const InputEvent& event, std::ostream* out)
{
    static const char* const kinds[] = {"move", "press", "release"};
    *out << kinds[event.kind] << '(' << event.x << ',' << event.y << ')';
}

std::optional<platform::ScreenPoint> FakePointer::position()
{
    if (failQuery)
        return std::nullopt;
    return platform::ScreenPoint{x, y};
}

void FakePointer::moveTo(std::int32_t toX, std::int32_t toY)
{
    x = toX;
    y = toY;
    events.push_back({InputEvent::Move, x, y});
}

void FakePointer::leftButton(bool press)
{
    down = press;
    events.push_back({press ? InputEvent::Press : InputEvent::Release, x, y});
}

double ScriptedRandom::next()
{
    if (values.empty())
        return fallback;
    const double value = values.front();
    values.pop_front();
    return value;
}

void FakeEventPump::pumpOnce()
{
    ++pumps;
    clock_.now += step;
    // Actions may schedule further actions: take the due ones out first.
    std::vector<std::function<void()>> due;
    for (auto it = timed_.begin(); it != timed_.end();) {
        if (it->first <= clock_.now) {
            due.push_back(std::move(it->second));
            it = timed_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = counted_.begin(); it != counted_.end();) {
        if (--it->first <= 0) {
            due.push_back(std::move(it->second));
            it = counted_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& action : due)
        action();
}

void FakeEventPump::at(double when, std::function<void()> action)
{
    timed_.emplace_back(when, std::move(action));
}

void FakeEventPump::afterPumps(int n, std::function<void()> action)
{
    counted_.emplace_back(n, std::move(action));
}

void FakeFileDialog::answer(const QString& kind)
{
    shown << kind;
    presetSeen = name;
    if (choices.empty())
        return;
    const QString choice = choices.front();
    choices.pop_front();
    if (!choice.isEmpty())
        name = choice;
}

std::int32_t FakeMouseSource::createEvent(std::function<void(std::int32_t)> notifyCallback)
{
    callback = std::move(notifyCallback);
    eventId = 7;
    return eventId;
}

void FakeMouseSource::destroyEvent(std::int32_t id)
{
    destroyedId = id;
    callback = nullptr;
}

int FakeMouseSource::readItems(platform::ButtonItem* out, int capacity)
{
    if (failNextRead) {
        failNextRead = false;
        throw ToolError("device lost");
    }
    int count = 0;
    while (count < capacity && !pending.empty()) {
        out[count++] = pending.front();
        pending.pop_front();
    }
    return count;
}

void FakeMouseSource::notify()
{
    if (callback)
        callback(eventId);
}

Harness::Harness()
    : paths_(temp_.path(), QStringLiteral("clickpath"))
{
    auto openMouse = [this]() -> std::unique_ptr<platform::MouseButtonSource> {
        if (refuseMouse)
            throw ToolError("no mouse");
        auto source = std::make_unique<FakeMouseSource>();
        mouse = source.get();
        return source;
    };
    form_ = std::make_unique<app::Form1>(controls,
        app::Services{pointer, pointer, clock, random, pump, messages, files, dialog, copier, openMouse}, paths_);
}

void Harness::writeRecording(const std::string& bytes) const
{
    writeFile(recordingPath(), bytes);
}

std::string Harness::readRecording() const
{
    return readFile(recordingPath());
}

int Harness::runPlayback(int limit)
{
    int ticks = 0;
    while (controls.timers[app::TimerId::Timer2] && ticks < limit) {
        clock.now += 0.01;
        form_->Timer2_Timer();
        ++ticks;
    }
    return ticks;
}

std::string readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

void writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file");
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

} // namespace clickpath::fakes
