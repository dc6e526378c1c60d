// clickpath-cli: records and plays back from a terminal, with the pacing of
// the window's settings file. See clickpath-cli(1).
#include "cli/CommandLine.h"
#include "cli/RecordingInfo.h"
#include "cli/Session.h"
#include "core/ToolError.h"
#include "platform/DesktopChoice.h"
#include "platform/MessageSink.h"
#include "platform/RealDesktop.h"
#include "platform/posix/TerminalOutput.h"
#include "platform/posix/UnixSignals.h"
#include "platform/wayland/WaylandDisplay.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

using namespace clickpath;

namespace {

// Standard error, which never holds up a stop or the exit.
platform::TerminalOutput& errorOutput()
{
    static platform::TerminalOutput output;
    return output;
}

void say(const QString& text)
{
    errorOutput().write(QStringLiteral("clickpath-cli: %1\n").arg(text).toLocal8Bit().toStdString());
}

// Errors and warnings on standard error, one line each, counted.
class TerminalMessages final : public platform::MessageSink {
public:
    void showError(const QString& text) override
    {
        ++errors;
        say(text);
    }
    void showWarning(const QString& text) override { say(QStringLiteral("warning: ") + text); }
    int errors = 0;
};

// The progress line, rewritten in place on a terminal.
void showProgress(const QString& line)
{
    errorOutput().showFrame(QStringLiteral("\r%1\033[K").arg(line).toLocal8Bit().toStdString());
}

// The session's desktop, and why it cannot be used when it cannot.
struct Desktop {
    platform::DesktopKind kind = platform::DesktopKind::None;
    std::string unreachable;
};

Desktop sessionDesktop()
{
    Desktop desktop{platform::desktopOf(QProcessEnvironment::systemEnvironment()), {}};
    try {
        if (desktop.kind == platform::DesktopKind::Wayland)
            platform::wayland::checkWaylandDisplay();
    } catch (const std::exception& error) {
        desktop.unreachable = error.what();
    }
    return desktop;
}

int run(const cli::Invocation& invocation, const Desktop& sessionDesk, TerminalMessages& messages)
{
    if (sessionDesk.kind == platform::DesktopKind::None)
        throw ToolError("no display: neither $WAYLAND_DISPLAY nor $DISPLAY is set");
    if (!sessionDesk.unreachable.empty())
        throw ToolError(sessionDesk.unreachable);
    platform::RealDesktop desktop(messages, sessionDesk.kind == platform::DesktopKind::Wayland);
    const bool terminal = errorOutput().isTerminal();
    const bool progress = terminal && !invocation.quiet;
    cli::Session session(
        invocation, core::AppPaths::ofRunningExecutable("clickpath"), desktop.services(),
        progress ? showProgress : std::function<void(const QString&)>(),
        [](int exitCode) { QCoreApplication::exit(exitCode); }, [] { return errorOutput().columns(); });
    const platform::posix::UnixSignals unixSignals([&session](int signal) { session.stop(signal); });
    session.start();
    const std::optional<int> finishedEarly = session.exitCode();
    const int exitCode = finishedEarly ? *finishedEarly : QCoreApplication::exec();
    if (progress)
        errorOutput().write("\n"); // the last line stays, ended
    return exitCode == 0 && messages.errors > 0 ? 1 : exitCode;
}

// Needs no display: it only reads the file.
int info(const cli::Invocation& invocation)
{
    const QString path = invocation.file.isEmpty()
        ? core::AppPaths::ofRunningExecutable("clickpath").workingRecordingPath()
        : invocation.file;
    const cli::RecordingInfo read = cli::readRecordingInfo(path);
    const QString text = invocation.json ? cli::describeAsJson(path, read) : cli::describe(path, read);
    return std::printf("%s", text.toLocal8Bit().constData()) < 0 || std::fflush(stdout) != 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const Desktop desktop = sessionDesktop();
    // No window, and on Wayland a connection of the tool's own reads the outputs: Qt's core suffices.
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("clickpath-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CLICKPATH_VERSION));
    TerminalMessages messages;
    try {
        const cli::Invocation invocation = cli::parseCommandLine(QCoreApplication::arguments());
        if (invocation.command == cli::Command::Help)
            return std::printf("%s", qPrintable(cli::helpText(invocation.helpFor))) < 0;
        if (invocation.command == cli::Command::Version)
            return std::printf("clickpath-cli %s\n", CLICKPATH_VERSION) < 0;
        if (invocation.command == cli::Command::Info)
            return info(invocation);
        return run(invocation, desktop, messages);
    } catch (const cli::UsageError& error) {
        say(QString::fromStdString(error.what()));
        errorOutput().write(cli::usage().toLocal8Bit().toStdString());
        return 2;
    } catch (const cli::SettingsError& error) {
        say(QString::fromStdString(error.what()));
        return 2;
    } catch (const std::exception& error) {
        say(QString::fromStdString(error.what()));
        return 1;
    }
}
