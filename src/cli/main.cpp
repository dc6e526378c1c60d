// clickpath-cli: records and plays back from a terminal, with the pacing of
// the window's settings file. See clickpath-cli(1).
#include "cli/CommandLine.h"
#include "cli/RecordingInfo.h"
#include "cli/Session.h"
#include "core/ToolError.h"
#include "platform/Desktop.h"
#include "platform/MessageSink.h"
#include "platform/posix/StopDoor.h"
#include "platform/posix/TerminalOutput.h"
#include "platform/posix/UnixSignals.h"
#include "stopping/StopController.h"

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

int run(const cli::Invocation& invocation, TerminalMessages& messages)
{
    const platform::DesktopChoice choice
        = platform::chooseDesktop(QProcessEnvironment::systemEnvironment(), QStringLiteral("clickpath-cli"));
    const std::unique_ptr<platform::Desktop> desktop = platform::openDesktop(choice, messages);
    const bool terminal = errorOutput().isTerminal();
    const bool progress = terminal && !invocation.quiet;
    cli::Session session(
        invocation, core::AppPaths::ofRunningExecutable("clickpath"), desktop->services(),
        progress ? showProgress : std::function<void(const QString&)>(),
        [](int exitCode) { QCoreApplication::exit(exitCode); }, [] { return errorOutput().columns(); });
    stopping::StopController& stops = session.stops();
    const platform::posix::UnixSignals unixSignals([&stops](int signal) {
        stops.request({stopping::StopReason::Signal, signal});
    });
    const platform::posix::StopDoor door([&stops] { return stops.request({stopping::StopReason::StopCommand}); },
        [&messages](const std::string& text) { messages.showWarning(QString::fromStdString(text)); });
    const std::unique_ptr<platform::Hold> stopKey = invocation.stopKey.isEmpty()
        ? nullptr
        : desktop->grabStopKey(invocation.stopKey, stops.sourceOf(stopping::StopReason::StopKey));
    if (!invocation.stopKey.isEmpty() && !stopKey && choice.kind == platform::DesktopKind::Wayland)
        messages.showWarning(QStringLiteral("On Wayland no program may take a key: bind \"clickpath-cli stop\" to "
                                            "%1 in the desktop's shortcuts instead.")
                                 .arg(invocation.stopKey));
    session.start();
    const std::optional<int> finishedEarly = session.exitCode();
    const int exitCode = finishedEarly ? *finishedEarly : QCoreApplication::exec();
    if (progress)
        errorOutput().write("\n"); // the last line stays, ended
    return exitCode == 0 && messages.errors > 0 ? 1 : exitCode;
}

// Needs no display: it knocks at the doors of this session's programs.
int stop()
{
    if (platform::posix::knockAtStopDoors() > 0)
        return 0;
    say(QStringLiteral("nothing records or plays in this session"));
    return 1;
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
        if (invocation.command == cli::Command::Stop)
            return stop();
        return run(invocation, messages);
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
