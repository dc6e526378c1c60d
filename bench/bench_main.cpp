// Drives the real tool on the current X display (scripts/bench gives it a
// private Xvfb) and measures it from outside: files it writes, the pointer
// moves it makes with the server's timestamps, its buttons' pixels, and its
// /proc figures. Every figure is a ratio or rate within this one run.
#include "ToolProcess.h"
#include "XDesk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include <csignal>
#include <sys/types.h>

using namespace bench;

namespace {

const char* const kNoWaits = "[STATUS]\r\nSLEEP_TIME=0\r\nWAIT_CLICK_TIME=0\r\nVERTICAL_MARGIN=0\r\n"
                             "HORIZON_MARGIN=0\r\nWAIT_FIRST_TIME=0\r\n";

struct Plan {
    int recordSeconds = 30;
    int waitSeconds = 30;
    int longSeconds = 600;
    int stops = 50;
    int replayLines = 3000;
    int speedLines = 3000;
};

double seconds(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size()))) - 1;
    return values[std::min(at, values.size() - 1)];
}

// Moves the pointer around a circle every 5 ms for a while, like a hand.
void wiggle(XDesk& desk, double forSeconds, QElapsedTimer& clock)
{
    const double until = seconds(clock) + forSeconds;
    while (seconds(clock) < until) {
        const double angle = seconds(clock) * 3.0;
        desk.moveTo(640 + static_cast<int>(200 * std::cos(angle)), 600 + static_cast<int>(150 * std::sin(angle)));
        pause(5);
    }
}

bool waitFor(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        pause(1);
    }
    return true;
}

struct Figures {
    QJsonObject json;
    std::vector<std::pair<std::string, std::string>> rows;

    void add(const char* key, double value, const char* unit, const char* target, const char* label)
    {
        json[key] = value;
        char text[128];
        std::snprintf(text, sizeof text, "%.6g %s", value, unit);
        rows.emplace_back(std::string(label), std::string(text) + "  (target " + target + ")");
        std::printf("%-44s %s\n", label, rows.back().second.c_str());
        std::fflush(stdout);
    }
};

void measureStartup(const QString& tool, XDesk& desk, Figures& figures)
{
    std::vector<double> starts;
    long rss = 0;
    for (int i = 0; i < 5; ++i) {
        ToolProcess run(tool, desk, kNoWaits);
        starts.push_back(run.startupMs());
        pause(700);
        rss = run.rssKb();
    }
    figures.add(
        "startup_ms_median", percentile(starts, 50), "ms", "< 300 ms", "start-up to window mapped, median of 5");
    figures.add("startup_ms_max", percentile(starts, 100), "ms", "< 300 ms", "start-up to window mapped, max of 5");
    figures.add("rss_after_start_mb", static_cast<double>(rss) / 1024.0, "MB", "< 40 MB", "memory after start");
}

void measureRecording(const QString& tool, XDesk& desk, const Plan& plan, Figures& figures)
{
    ToolProcess run(tool, desk, kNoWaits);
    QElapsedTimer clock;
    clock.start();
    run.clickRec();
    wiggle(desk, 1.0, clock);
    const double t1 = seconds(clock);
    const qint64 lines1 = run.recordingLines();
    const double cpu1 = run.cpuSeconds();
    wiggle(desk, plan.recordSeconds, clock);
    const double t2 = seconds(clock);
    const qint64 lines2 = run.recordingLines();
    const double cpu2 = run.cpuSeconds();
    desk.click(3);
    figures.add("recording_lines_per_s", static_cast<double>(lines2 - lines1) / (t2 - t1), "lines/s", "100 +/- 0.2 %",
        "recording rate");
    figures.add(
        "recording_cpu_percent", 100 * (cpu2 - cpu1) / (t2 - t1), "% of a core", "< 5 %", "CPU while recording");
}

std::string sweep(int lines, int startX, int startY)
{
    std::string bytes;
    for (int i = 0; i < lines; ++i)
        bytes += std::to_string(startX + i % 800) + ',' + std::to_string(startY + (i / 800) * 40) + ",0\r\n";
    return bytes;
}

// The pointer moves of one pass over sweep(lines, 300, 300), in order.
struct Pass {
    std::vector<Motion> moves;
    double wallSeconds = 0; // from the start to the pointer resting on the last point

    // Server time from the first move to the last over the ticks between them.
    double ratio(double tickMs) const
    {
        return static_cast<double>(moves.back().serverMs - moves.front().serverMs)
            / (static_cast<double>(moves.size() - 1) * tickMs);
    }
};

// start() begins the pass; ended() runs once the pointer rests on the last
// point, before moves still on their way from the server are taken.
Pass watchPass(
    XDesk& desk, int lines, const std::function<void()>& start, const std::function<void()>& ended = [] {})
{
    const std::pair<int, int> last{300 + (lines - 1) % 800, 300 + ((lines - 1) / 800) * 40};
    // Moves of earlier scenarios may still be on their way from the server:
    // only moves stamped after the start count.
    desk.drainMotion();
    start();
    // The first tick comes a tick after the start: later than this.
    const std::uint32_t startServerMs = desk.serverNow();
    QElapsedTimer clock;
    clock.start();
    Pass pass;
    const auto collect = [&] {
        for (const Motion& m : desk.takeMotion())
            if (m.serverMs > startServerMs)
                pass.moves.push_back(m);
    };
    waitFor(
        [&] {
            collect();
            return desk.pointer() == last;
        },
        120000);
    pass.wallSeconds = seconds(clock);
    ended();
    pause(100);
    collect();
    return pass;
}

void measureReplay(const QString& tool, XDesk& desk, const Plan& plan, Figures& figures)
{
    ToolProcess run(tool, desk, kNoWaits);
    run.clickLoop(); // one pass
    run.writeRecording(sweep(plan.replayLines, 300, 300));
    double cpu1 = 0;
    double cpu2 = 0;
    const Pass pass = watchPass(
        desk, plan.replayLines,
        [&] {
            run.clickAuto();
            cpu1 = run.cpuSeconds();
        },
        [&] { cpu2 = run.cpuSeconds(); });
    const std::vector<Motion>& moves = pass.moves;
    if (moves.size() < 2)
        return;
    std::vector<double> lateness;
    for (std::size_t i = 0; i < moves.size(); ++i)
        lateness.push_back(
            static_cast<double>(moves[i].serverMs - moves.front().serverMs) - 10.0 * static_cast<double>(i));
    figures.add(
        "replay_moves_seen", static_cast<double>(moves.size()), "moves", "= lines", "pointer moves seen in one pass");
    figures.add("replay_fidelity", pass.ratio(10.0), "", "1.000 +/- 0.002", "replay pass time / (lines x 10 ms)");
    figures.add("tick_lateness_p50_ms", percentile(lateness, 50), "ms", "-", "tick lateness p50");
    figures.add("tick_lateness_p99_ms", percentile(lateness, 99), "ms", "p99 < 2 ms", "tick lateness p99");
    figures.add("tick_lateness_max_ms", percentile(lateness, 100), "ms", "-", "tick lateness max");
    figures.add(
        "replay_cpu_percent", 100 * (cpu2 - cpu1) / pass.wallSeconds, "% of a core", "< 5 %", "CPU while replaying");
}

// The command line's --speed 2 on moves alone and with every wait at 0: the
// records of a pass should go by at 200 a second.
void measureSpeed(const QString& cli, XDesk& desk, const Plan& plan, Figures& figures)
{
    QTemporaryDir dir;
    QFile recording(dir.filePath("path.txt"));
    const std::string bytes = sweep(plan.speedLines, 300, 300);
    if (!QFile::exists(cli) || !recording.open(QIODevice::WriteOnly)) {
        std::printf("%s is not built: no --speed figure\n", qPrintable(cli));
        return;
    }
    recording.write(bytes.data(), static_cast<qint64>(bytes.size()));
    recording.close();
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedChannels);
    const Pass pass = watchPass(desk, plan.speedLines, [&] {
        player.start(cli,
            {"play", recording.fileName(), "--speed", "2", "--quiet", "--sleep", "0", "--click-wait", "0",
                "--vertical-margin", "0", "--horizontal-margin", "0", "--first-wait", "0"});
    });
    if (!player.waitForFinished(10000))
        player.kill();
    if (pass.moves.size() < 2)
        return;
    figures.add(
        "speed2_replay_ratio", pass.ratio(5.0), "", "1.000 +/- 0.01", "--speed 2 replay: pass time / (lines x 5 ms)");
}

void measureStops(const QString& tool, XDesk& desk, const Plan& plan, Figures& figures)
{
    std::mt19937 random(7);
    std::vector<double> recordingStops;
    std::vector<double> replayStops;
    ToolProcess run(tool, desk, kNoWaits);
    run.writeRecording(sweep(60000, 300, 300));
    for (int i = 0; i < plan.stops; ++i) {
        const bool replay = i % 2 == 1;
        replay ? run.clickAuto() : run.clickRec();
        if (!waitFor([&] { return !run.buttonsEnabled(); }, 3000))
            continue;
        pause(100 + static_cast<int>(random() % 100));
        desk.takeMotion();
        const std::uint32_t clickServerMs = desk.serverNow();
        QElapsedTimer clock;
        clock.start();
        desk.click(3);
        waitFor([&] { return run.buttonsEnabled(); }, 3000);
        double latency = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (replay) {
            pause(60);
            // The pass also ends: no pointer move after the next tick.
            for (const Motion& m : desk.takeMotion())
                if (m.serverMs >= clickServerMs)
                    latency = std::max(latency, static_cast<double>(m.serverMs - clickServerMs));
            replayStops.push_back(latency);
            run.writeRecording(sweep(60000, 300, 300));
        } else {
            recordingStops.push_back(latency);
        }
    }
    std::vector<double> all = recordingStops;
    all.insert(all.end(), replayStops.begin(), replayStops.end());
    figures.add("stop_latency_p50_ms", percentile(all, 50), "ms", "-", "stop latency p50");
    figures.add("stop_latency_p99_ms", percentile(all, 99), "ms", "< 20 ms", "stop latency p99 (recording and replay)");
    figures.add("stop_latency_max_ms", percentile(all, 100), "ms", "-", "stop latency max");
}

double cpuWhileIdle(ToolProcess& run, double forSeconds)
{
    const double cpu1 = run.cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    pause(static_cast<int>(forSeconds * 1000));
    return 100 * (run.cpuSeconds() - cpu1) / seconds(clock);
}

void measureWaits(const QString& tool, XDesk& desk, const Plan& plan, Figures& figures)
{
    {
        ToolProcess run(tool, desk,
            "[STATUS]\r\nSLEEP_TIME=0\r\nWAIT_CLICK_TIME=30000\r\nVERTICAL_MARGIN=0\r\nHORIZON_MARGIN=0\r\n"
            "WAIT_FIRST_TIME=0\r\n");
        run.writeRecording("700,500,128\r\n700,500,0\r\n710,510,0\r\n");
        run.clickAuto();
        waitFor([&] { return desk.pointer() == std::make_pair(700, 500); }, 3000);
        pause(500);
        const double cpu = cpuWhileIdle(run, plan.waitSeconds);
        const bool stillWaiting = desk.pointer() == std::make_pair(700, 500);
        desk.click(3);
        figures.add(
            "click_wait_cpu_percent", stillWaiting ? cpu : NAN, "% of a core", "< 0.3 %", "CPU during a click wait");
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        ToolProcess run(tool, desk,
            "[STATUS]\r\nSLEEP_TIME=30000\r\nWAIT_CLICK_TIME=0\r\nVERTICAL_MARGIN=0\r\nHORIZON_MARGIN=0\r\n"
            "WAIT_FIRST_TIME=0\r\n");
        run.writeRecording("701,501,0\r\n");
        run.clickAuto();
        waitFor([&] { return desk.pointer() == std::make_pair(701, 501); }, 3000);
        pause(300);
        desk.moveTo(20, 900);
        pause(200);
        const double cpu = cpuWhileIdle(run, plan.waitSeconds);
        const bool stillSleeping = desk.pointer() == std::make_pair(20, 900);
        desk.click(3);
        if (stillSleeping) { // a short random sleep restarts the loop: try again
            figures.add("loop_sleep_cpu_percent", cpu, "% of a core", "< 0.3 %", "CPU during a loop sleep");
            break;
        }
    }
}

// Memory after start and after a long recording and its replay. A leak grows
// all along; a warm-up (caches, heap reaching its working size) stops early,
// so the growth over each phase's second half is reported beside the total.
void measureMemory(const QString& tool, XDesk& desk, const Plan& plan, Figures& figures)
{
    ToolProcess run(tool, desk, kNoWaits);
    const auto rss = [&](const char* when) {
        // Heap and stacks (anonymous) apart from pages of mapped files: code
        // and fonts paged in as new paths run are not the tool's own growth.
        std::printf("  memory %-22s rss %.2f MB = anonymous %.2f + files %.2f + shared %.2f\n", when,
            run.rssKb() / 1024.0, run.statusKb("RssAnon") / 1024.0, run.statusKb("RssFile") / 1024.0,
            run.statusKb("RssShmem") / 1024.0);
        std::fflush(stdout);
        return run.rssKb();
    };
    pause(1000);
    const long atStart = rss("after start");
    const double half = plan.longSeconds / 2.0;
    QElapsedTimer clock;
    clock.start();
    run.clickRec();
    wiggle(desk, half, clock);
    const long recordingMiddle = rss("mid recording");
    wiggle(desk, half, clock);
    desk.click(3);
    pause(200);
    const long afterRecording = rss("after recording");
    run.clickLoop();
    run.clickAuto();
    waitFor([&] { return !run.buttonsEnabled(); }, 3000);
    pause(static_cast<int>(half * 1000));
    const long replayMiddle = rss("mid replay");
    waitFor([&] { return run.buttonsEnabled(); }, (plan.longSeconds + 60) * 1000);
    const long afterReplay = rss("after replay");
    figures.add("rss_start_mb", atStart / 1024.0, "MB", "< 40 MB", "memory after start");
    figures.add("rss_after_recording_mb", afterRecording / 1024.0, "MB", "< 40 MB", "memory after the long recording");
    figures.add("rss_after_replay_mb", afterReplay / 1024.0, "MB", "< 40 MB", "memory after replaying it");
    figures.add("rss_growth_recording_second_half_mb", (afterRecording - recordingMiddle) / 1024.0, "MB", "< 1 MB",
        "memory growth, recording's second half");
    figures.add("rss_growth_replay_second_half_mb", (afterReplay - replayMiddle) / 1024.0, "MB", "< 1 MB",
        "memory growth, replay's second half");
    figures.add(
        "rss_total_change_mb", (afterReplay - atStart) / 1024.0, "MB", "< 1 MB", "memory, after replay - after start");
}

// GNU Xnee's cnee, a general X event recorder, on the same path and display:
// it records the bench driving the 3000 positions at 10 ms, then replays them.
void measurePeers(XDesk& desk, const Plan& plan, Figures& figures)
{
    QTemporaryDir dir;
    const QString events = qEnvironmentVariable("BENCH_CNEE_FILE", dir.filePath("path.xns"));
    QProcess recorder;
    recorder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    recorder.start("cnee",
        {"--record", "--mouse", "--events-to-record", "-1", "--data-to-record", "-1", "--seconds-to-record", "-1",
            "--out-file", events});
    if (!recorder.waitForStarted()) {
        std::printf("cnee is not installed: no peer figures\n");
        return;
    }
    pause(1500);
    // Drive the path against absolute deadlines, as a 10 ms recorder would.
    desk.takeMotion();
    const std::uint32_t driveServerMs = desk.serverNow(); // earlier moves may still arrive
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < plan.replayLines; ++i) {
        while (clock.nsecsElapsed() < static_cast<qint64>(i) * 10'000'000)
            pause(0);
        desk.moveTo(300 + i % 800, 300 + (i / 800) * 40);
    }
    std::vector<Motion> driven;
    for (const Motion& m : desk.takeMotion())
        if (m.serverMs >= driveServerMs)
            driven.push_back(m);
    pause(500);
    ::kill(static_cast<pid_t>(recorder.processId()), SIGINT);
    if (!recorder.waitForFinished(10000))
        recorder.kill();

    desk.moveTo(20, 20);
    desk.drainMotion();
    // Its replay is timed as ours is: by the server's stamps on the pointer
    // moves it makes, read while it plays.
    const std::uint32_t replayServerMs = desk.serverNow();
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start("cnee", {"--replay", "--force-replay", "--no-synchronise", "--file", events});
    std::vector<Motion> replayed;
    const auto collect = [&] {
        for (const Motion& m : desk.takeMotion())
            if (m.serverMs > replayServerMs)
                replayed.push_back(m);
    };
    while (!player.waitForFinished(50))
        collect();
    pause(200);
    collect();
    if (replayed.size() < 2 || driven.size() < 2) {
        std::printf("cnee made no replay: no peer figures\n");
        return;
    }
    const auto ratio = [](const std::vector<Motion>& m) {
        return static_cast<double>(m.back().serverMs - m.front().serverMs) / (static_cast<double>(m.size() - 1) * 10.0);
    };
    figures.add("peer_driven_path_ratio", ratio(driven), "", "-", "bench-driven path / (moves x 10 ms)");
    figures.add("peer_cnee_moves_replayed", static_cast<double>(replayed.size()), "moves", "-",
        "cnee: pointer moves seen in its replay");
    figures.add("peer_cnee_replay_ratio", ratio(replayed), "", "-", "cnee: replay pass time / (moves x 10 ms)");
}

// Hours of use in minutes: record while a hand moves and clicks, then loop
// the replay with waits of 0 and 1 s, sampling memory, CPU and error boxes.
int soak(const QString& tool, XDesk& desk, double minutes)
{
    ToolProcess run(tool, desk,
        "[STATUS]\r\nSLEEP_TIME=1\r\nWAIT_CLICK_TIME=2\r\nVERTICAL_MARGIN=3\r\nHORIZON_MARGIN=3\r\n"
        "WAIT_FIRST_TIME=1\r\n");
    int errorsShown = 0;
    const auto sample = [&](const char* phase, double t) {
        // Message boxes carry the tool's plain name; the window itself shows
        // the pointer position in its caption once a tick has run.
        const int boxes = desk.windowsTitled("clickpath");
        errorsShown = std::max(errorsShown, boxes);
        std::printf("%s t=%6.0f s  rss=%6.2f MB  cpu=%7.2f s  boxes=%d\n", phase, t, run.rssKb() / 1024.0,
            run.cpuSeconds(), boxes);
        std::fflush(stdout);
    };
    QElapsedTimer clock;
    clock.start();
    run.clickRec();
    int clicks = 0;
    double nextSample = 0;
    while (seconds(clock) < minutes * 60) {
        wiggle(desk, 1.5, clock);
        desk.pressAt(true);
        wiggle(desk, 0.2, clock);
        desk.pressAt(false);
        ++clicks;
        if (seconds(clock) >= nextSample) {
            sample("record", seconds(clock));
            nextSample += 60;
        }
    }
    const double recordedFor = seconds(clock);
    desk.click(3);
    pause(300);
    const qint64 lines = run.recordingLines();
    const QByteArray recorded = [&] {
        QFile file(run.recordingPath());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    int pressRuns = 0;
    bool previousDown = false;
    bool wellFormed = true;
    for (const QByteArray& line : recorded.split('\n')) {
        if (line.isEmpty())
            continue;
        wellFormed = wellFormed && line.endsWith('\r') && line.count(',') == 2;
        const bool down = line.endsWith(",128\r");
        pressRuns += down && !previousDown;
        previousDown = down;
    }
    std::printf("recorded %lld lines in %.1f s (%.3f lines/s), %d clicks made, %d press runs, well formed: %s\n", lines,
        recordedFor, lines / recordedFor, clicks, pressRuns, wellFormed ? "yes" : "NO");

    clock.restart();
    run.clickAuto();
    nextSample = 0;
    while (seconds(clock) < minutes * 60) {
        if (seconds(clock) >= nextSample) {
            sample("replay", seconds(clock));
            nextSample += 60;
        }
        pause(1000);
    }
    desk.click(3);
    pause(1500); // a step may be inside a 1 s wait
    const bool stuck = desk.buttonsDown() != 0;
    QFile after(run.recordingPath());
    after.open(QIODevice::ReadOnly);
    const bool intact = after.readAll() == recorded;
    sample("end", seconds(clock));
    // Every tick writes a whole line; fewer lines than 100 per second means
    // fewer ticks (the timer's rate), which the line rate above shows.
    std::printf("soak: clicks lost %d, error boxes %d, button stuck %s, recording intact %s\n", clicks - pressRuns,
        errorsShown, stuck ? "YES" : "no", intact ? "yes" : "NO");
    return (wellFormed && !stuck && intact && errorsShown == 0 && pressRuns == clicks) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const auto option = [&](const QString& name, const QString& fallback) {
        const auto at = arguments.indexOf(name);
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
    };
    const QString tool = option("--tool", "build/clickpath");
    const QString cli = option("--cli", "build/clickpath-cli");
    const QString jsonPath = option("--json", "build/bench.json");
    Plan plan;
    if (arguments.contains("--quick"))
        plan = Plan{5, 5, 20, 10, 3000, 1000};
    const QString only = option("--only", "");
    plan.longSeconds = option("--long", QString::number(plan.longSeconds)).toInt();

    XDesk desk;
    if (arguments.contains("--soak"))
        return soak(tool, desk, option("--soak", "30").toDouble());
    Figures figures;
    const auto want = [&](const char* name) { return only.isEmpty() || only.split(',').contains(name); };
    if (want("startup"))
        measureStartup(tool, desk, figures);
    if (want("recording"))
        measureRecording(tool, desk, plan, figures);
    if (want("replay"))
        measureReplay(tool, desk, plan, figures);
    if (want("speed"))
        measureSpeed(cli, desk, plan, figures);
    if (want("stops"))
        measureStops(tool, desk, plan, figures);
    if (want("waits"))
        measureWaits(tool, desk, plan, figures);
    if (want("memory"))
        measureMemory(tool, desk, plan, figures);
    if (arguments.contains("--peers"))
        measurePeers(desk, plan, figures);

    // A partial run (--only) updates the figures of an earlier full one.
    QJsonObject json;
    QFile earlier(jsonPath);
    if (!only.isEmpty() && earlier.open(QIODevice::ReadOnly))
        json = QJsonDocument::fromJson(earlier.readAll()).object();
    earlier.close();
    for (auto it = figures.json.begin(); it != figures.json.end(); ++it)
        json[it.key()] = it.value();
    QFile out(jsonPath);
    if (out.open(QIODevice::WriteOnly))
        out.write(QJsonDocument(json).toJson());
    return 0;
}
