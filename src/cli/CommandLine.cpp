#include "cli/CommandLine.h"

#include <QCommandLineParser>

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

void addOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        "Plays a recording of the mouse pointer back on the X display, or records one, with the pacing of "
        "clickpath: clicks at random offsets inside two margins, a random wait after each click, a fixed wait "
        "after each click of the first pass and a random sleep between passes. The five numbers come from "
        "clickpath's settings file unless given here. The right mouse button, Ctrl+C or SIGTERM stops.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("command",
        "play [FILE]: play FILE, by default clickpath's working recording.\n"
        "record FILE: record into FILE.");
    for (const BoxOption& option : kBoxOptions)
        parser.addOption({option.name, option.description, option.valueName});
    parser.addOption({"passes", "Play N passes (1 by default).", "N"});
    parser.addOption({"loop", "Play pass after pass until stopped."});
}

int passesFrom(const QString& value)
{
    bool whole = false;
    const int passes = value.toInt(&whole);
    if (!whole || passes < 1)
        throw UsageError("--passes: \"" + value.toStdString() + "\" is not a whole number from 1 up");
    return passes;
}

Command commandFrom(const QStringList& positional)
{
    if (positional.isEmpty())
        throw UsageError("no command given: play or record");
    const QString& command = positional.front();
    if (command != "play" && command != "record")
        throw UsageError("unknown command \"" + command.toStdString() + "\"");
    if (command == "record" && positional.size() < 2)
        throw UsageError("record needs a FILE to record into");
    if (positional.size() > 2)
        throw UsageError("too many arguments: \"" + positional[2].toStdString() + "\"");
    return command == "play" ? Command::Play : Command::Record;
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
        return invocation;
    }
    invocation.command = commandFrom(parser.positionalArguments());
    invocation.file = parser.positionalArguments().value(1);
    for (const BoxOption& option : kBoxOptions) {
        if (!parser.isSet(option.name))
            continue;
        invocation.overrides[option.box] = parser.value(option.name);
        checkUsable(option.box, parser.value(option.name), QStringLiteral("--") + option.name);
    }
    if (parser.isSet("passes"))
        invocation.passes = passesFrom(parser.value("passes"));
    invocation.loop = parser.isSet("loop");
    if (invocation.loop && parser.isSet("passes"))
        throw UsageError("--loop and --passes exclude each other");
    const bool playOptions = !invocation.overrides.empty() || parser.isSet("passes") || invocation.loop;
    if (invocation.command == Command::Record && playOptions)
        throw UsageError("record takes no options of play");
    return invocation;
}

QString usage()
{
    return QStringLiteral("Usage: clickpath-cli play [FILE] [--passes N | --loop] [--sleep S] [--click-wait S]\n"
                          "                      [--vertical-margin PX] [--horizontal-margin PX] [--first-wait S]\n"
                          "       clickpath-cli record FILE\n"
                          "       clickpath-cli --help | --version\n");
}

QString helpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    // Qt's own first line shows one synopsis for both commands.
    const QString qtHelp = parser.helpText();
    return usage() + qtHelp.mid(qtHelp.indexOf('\n') + 1);
}

QString optionOf(SettingBox box)
{
    return QStringLiteral("--") + kBoxOptions[core::indexOf(box)].name;
}

void checkUsable(SettingBox box, const QString& text, const QString& source)
{
    const QString unusable = core::unusableNumber(box, text, source);
    if (!unusable.isEmpty())
        throw UsageError(unusable.toStdString());
}

} // namespace clickpath::cli
