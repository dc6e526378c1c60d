// clickpath-cli: records and plays back from a terminal, with the pacing of
// the window's settings file. See clickpath-cli(1).
#include "cli/CommandLine.h"
#include "cli/Session.h"
#include "platform/MessageSink.h"
#include "platform/RealDesktop.h"
#include "platform/TerminalOutput.h"
#include "platform/ToolError.h"
#include "platform/qt/UnixSignals.h"

#include <QCoreApplication>

#include <cstdio>

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
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        throw ToolError("no X display: $DISPLAY is not set");
    platform::RealDesktop desktop(messages);
    const bool terminal = errorOutput().isTerminal();
    cli::Session session(invocation, core::AppPaths::ofRunningExecutable("clickpath"), desktop.services(),
        terminal ? showProgress : std::function<void(const QString&)>(),
        [](int exitCode) { QCoreApplication::exit(exitCode); });
    const platform::qt::UnixSignals unixSignals([&session](int signal) { session.stop(signal); });
    session.start();
    const std::optional<int> finishedEarly = session.exitCode();
    const int exitCode = finishedEarly ? *finishedEarly : QCoreApplication::exec();
    if (terminal)
        errorOutput().write("\n");
    return exitCode == 0 && messages.errors > 0 ? 1 : exitCode;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("clickpath-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CLICKPATH_VERSION));
    TerminalMessages messages;
    try {
        const cli::Invocation invocation = cli::parseCommandLine(QCoreApplication::arguments());
        if (invocation.command == cli::Command::Help)
            return std::printf("%s", qPrintable(cli::helpText())) < 0;
        if (invocation.command == cli::Command::Version)
            return std::printf("clickpath-cli %s\n", CLICKPATH_VERSION) < 0;
        return run(invocation, messages);
    } catch (const cli::UsageError& error) {
        say(QString::fromStdString(error.what()));
        errorOutput().write(cli::usage().toLocal8Bit().toStdString());
        return 2;
    } catch (const std::exception& error) {
        say(QString::fromStdString(error.what()));
        return 1;
    }
}
