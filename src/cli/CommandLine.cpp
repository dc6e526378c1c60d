#include "cli/CommandLine.h"

#include "core/NumberText.h"

#include <QCommandLineParser>

#include <algorithm>
#include <array>

namespace clickpath::cli {

using core::SettingBox;

namespace {

struct BoxOption {
    SettingBox box;
    const char* name;
    const char* valueName;
    const char* description;
};

constexpr std::array<BoxOption, core::kSettingBoxCount> kBoxOptions{{
    {SettingBox::SleepBound, "sleep", "seconds", "Sleep a random whole number of seconds below this between passes."},
    {SettingBox::ClickWaitBound, "click-wait", "seconds",
        "Wait a random whole number of seconds below this after each click."},
    {SettingBox::VerticalMargin, "vertical-margin", "pixels", "Shift each click by up to this many pixels up or down."},
    {SettingBox::HorizontalMargin, "horizontal-margin", "pixels",
        "Shift each click by up to this many pixels left or right."},
    {SettingBox::FirstPassWait, "first-wait", "seconds", "Wait this many seconds after each click of the first pass."},
}};
static_assert(core::coversEveryBox(kBoxOptions));

// The other options, and the commands that take each.
struct Option {
    const char* name;
    const char* valueName; // empty for a switch
    const char* description;
    bool play, record, info;
};

constexpr Option kOptions[] = {
    {"passes", "N", "Play N passes (1 by default).", true, false, false},
    {"loop", "", "Play pass after pass until stopped.", true, false, false},
    {"speed", "factor", "Play FACTOR times as fast, from 0.1 to 10; waits keep their length.", true, false, false},
    {"seed", "N", "Draw the same offsets and waits on every run with this seed.", true, false, false},
    {"delay", "seconds", "Count down this long before anything moves or is recorded.", true, true, false},
    {"quiet", "", "Show no progress line; errors are still said.", true, true, false},
    {"stop-key", "key", "Stop also at this key (X11), such as Pause or Ctrl+F12; none by default.", true, true, false},
    {"json", "", "info: print one JSON object.", false, false, true},
};

bool takes(const Option& option, Command command)
{
    switch (command) {
    case Command::Play:
        return option.play;
    case Command::Record:
        return option.record;
    case Command::Info:
        return option.info;
    case Command::Stop:
        return false;
    default:
        return true;
    }
}

// What each command does, for its help.
QString descriptionOf(Command command)
{
    switch (command) {
    case Command::Play:
        return "Plays FILE, by default clickpath's working recording, with clickpath's pacing:\n"
               "clicks at random offsets inside two margins, a random wait after each click, a\n"
               "fixed wait after each click of the first pass and a random sleep between\n"
               "passes. The five numbers come from clickpath's settings file unless given\n"
               "here. The right mouse button, Ctrl+C or SIGTERM stops.";
    case Command::Record:
        return "Records the pointer's path and the left button into FILE, a line every 10 ms,\n"
               "until the right mouse button, Ctrl+C or SIGTERM stops.";
    case Command::Info:
        return "Says what FILE holds, by default clickpath's working recording, without\n"
               "playing it.";
    case Command::Stop:
        return "Stops what clickpath or clickpath-cli records or plays in this session, as\n"
               "the right mouse button would. Exit status 0 when something stopped, 1 when\n"
               "nothing recorded or played. Bind it to a key in the desktop's shortcuts.";
    default:
        return "Plays a recording of the mouse pointer back on the desktop, or records one,\n"
               "with the pacing of clickpath: clicks at random offsets inside two margins, a\n"
               "random wait after each click, a fixed wait after each click of the first pass\n"
               "and a random sleep between passes. The five numbers come from clickpath's\n"
               "settings file unless given here. The right mouse button, Ctrl+C or SIGTERM\n"
               "stops.";
    }
}

// The options of a command, or of all for Command::Help.
void addOptions(QCommandLineParser& parser, Command command = Command::Help)
{
    parser.setApplicationDescription(descriptionOf(command));
    parser.addOption({{"h", "help"}, "Displays this help."});
    QCommandLineOption helpAll("help-all"); // Qt's habit, kept working but not shown: there is nothing more
    helpAll.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(helpAll);
    parser.addVersionOption();
    if (command == Command::Help)
        parser.addPositionalArgument("command",
            "play [FILE]: play FILE, by default clickpath's working recording.\n"
            "record FILE: record into FILE.\n"
            "info [FILE]: say what FILE holds, without playing it.\n"
            "stop: stop what clickpath records or plays in this session.");
    else if (command != Command::Stop)
        parser.addPositionalArgument(
            "FILE", command == Command::Record ? "The file to record into." : "The recording.");
    if (command == Command::Help || command == Command::Play)
        for (const BoxOption& option : kBoxOptions)
            parser.addOption({option.name, option.description, option.valueName});
    for (const Option& option : kOptions)
        if (takes(option, command))
            parser.addOption({option.name, option.description, option.valueName});
}

Command commandNamed(const QString& name)
{
    const std::pair<const char*, Command> commands[]
        = {{"play", Command::Play}, {"record", Command::Record}, {"info", Command::Info}, {"stop", Command::Stop}};
    const auto found = std::find_if(
        std::begin(commands), std::end(commands), [&](const auto& known) { return name == known.first; });
    return found == std::end(commands) ? Command::Help : found->second;
}

[[noreturn]] void refuse(const QString& option, const QString& value, const char* wanted)
{
    throw UsageError(QStringLiteral("--%1: \"%2\" is not %3").arg(option, value, wanted).toStdString());
}

// A number of the options' own: by the boxes' rule, within [low, high].
double numberFrom(const QCommandLineParser& parser, const QString& option, double low, double high, const char* wanted)
{
    const QString text = parser.value(option);
    const auto value = core::doubleOf(text);
    if (!value || !(*value >= low && *value <= high))
        refuse(option, text, wanted);
    return *value;
}

Command commandFrom(const QStringList& positional)
{
    if (positional.isEmpty())
        throw UsageError("no command given: play, record, info or stop");
    const Command command = commandNamed(positional.front());
    if (command == Command::Help)
        throw UsageError("unknown command \"" + positional.front().toStdString() + "\"");
    if (command == Command::Record && positional.size() < 2)
        throw UsageError("record needs a FILE to record into");
    if (positional.size() > (command == Command::Stop ? 1 : 2))
        throw UsageError("too many arguments: \"" + positional.back().toStdString() + "\"");
    return command;
}

// Every option given belongs to the command.
void checkBelongs(const QCommandLineParser& parser, Command command, const QString& name)
{
    for (const BoxOption& option : kBoxOptions)
        if (command != Command::Play && parser.isSet(option.name))
            throw UsageError(QStringLiteral("%1 takes no --%2").arg(name, option.name).toStdString());
    for (const Option& option : kOptions)
        if (!takes(option, command) && parser.isSet(option.name))
            throw UsageError(QStringLiteral("%1 takes no --%2").arg(name, option.name).toStdString());
}

void readPlayOptions(const QCommandLineParser& parser, Invocation& invocation)
{
    for (const BoxOption& option : kBoxOptions) {
        if (!parser.isSet(option.name))
            continue;
        const QString text = parser.value(option.name);
        const QString unusable = core::unusableNumber(option.box, text, QStringLiteral("--") + option.name);
        if (!unusable.isEmpty())
            throw UsageError(unusable.toStdString());
        invocation.overrides[option.box] = text;
    }
    if (parser.isSet("passes")) {
        bool whole = false;
        invocation.passes = parser.value("passes").toInt(&whole);
        if (!whole || invocation.passes < 1)
            refuse("passes", parser.value("passes"), "a whole number from 1 up");
    }
    invocation.loop = parser.isSet("loop");
    if (invocation.loop && parser.isSet("passes"))
        throw UsageError("--loop and --passes exclude each other");
    if (parser.isSet("speed"))
        invocation.speed = numberFrom(parser, "speed", 0.1, 10, "a factor from 0.1 to 10");
    if (parser.isSet("seed")) {
        bool whole = false;
        invocation.seed = parser.value("seed").toULongLong(&whole);
        if (!whole)
            refuse("seed", parser.value("seed"), "a whole number from 0 up");
    }
}

} // namespace

Invocation parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText().toStdString());
    Invocation invocation;
    // Every help option only helps: --help-all too, which Qt adds beside --help.
    const bool help = parser.isSet("help") || parser.isSet("help-all");
    if (help || parser.isSet("version")) {
        invocation.command = help ? Command::Help : Command::Version;
        invocation.helpFor = commandNamed(parser.positionalArguments().value(0));
        return invocation;
    }
    invocation.command = commandFrom(parser.positionalArguments());
    invocation.file = parser.positionalArguments().value(1);
    checkBelongs(parser, invocation.command, parser.positionalArguments().front());
    if (invocation.command == Command::Play)
        readPlayOptions(parser, invocation);
    if (parser.isSet("delay"))
        invocation.delay = numberFrom(parser, "delay", 0, 3600, "a number of seconds from 0 to 3600");
    invocation.quiet = parser.isSet("quiet");
    if (const QString key = parser.value("stop-key"); key != QLatin1String("none"))
        invocation.stopKey = key;
    invocation.json = parser.isSet("json");
    return invocation;
}

namespace {

QString usageOf(Command command)
{
    switch (command) {
    case Command::Play:
        return "clickpath-cli play [FILE] [--passes N | --loop] [--speed FACTOR]\n"
               "           [--seed N] [--delay S] [--quiet] [--stop-key KEY] [--sleep S]\n"
               "           [--click-wait S] [--first-wait S] [--vertical-margin PX]\n"
               "           [--horizontal-margin PX]\n";
    case Command::Record:
        return "clickpath-cli record FILE [--delay S] [--quiet] [--stop-key KEY]\n";
    case Command::Info:
        return "clickpath-cli info [FILE] [--json]\n";
    case Command::Stop:
        return "clickpath-cli stop\n";
    default:
        return "clickpath-cli --help | --version\n";
    }
}

} // namespace

QString usage()
{
    QString text = QStringLiteral("Usage: ");
    for (const Command command : {Command::Play, Command::Record, Command::Info, Command::Stop, Command::Help})
        text += (command == Command::Play ? QString() : QStringLiteral("       ")) + usageOf(command);
    return text;
}

QString helpText(Command command)
{
    QCommandLineParser parser;
    addOptions(parser, command);
    // Qt's own first line shows one synopsis for all commands.
    const QString qtHelp = parser.helpText();
    const QString synopsis = command == Command::Help ? usage() : "Usage: " + usageOf(command);
    return synopsis + qtHelp.mid(qtHelp.indexOf('\n') + 1);
}

QString optionOf(SettingBox box)
{
    return QStringLiteral("--") + kBoxOptions[core::indexOf(box)].name;
}

} // namespace clickpath::cli
