// libFuzzer targets, one per build of this file (FUZZ_TARGET names it): no crash, and each part keeps its promise.
#include "cli/CommandLine.h"
#include "core/NumberText.h"
#include "core/PacingNumbers.h"
#include "core/RecordingFormat.h"
#include "platform/posix/ProfileFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace clickpath;

#define REQUIRE(promise) ((promise) ? void() : std::abort())

// The number test and the conversions agree: a number by form converts or overflows, the rest is "not a
// number"; whole numbers are the value rounded, in 16 bits whenever it fits there; a box's number is
// either usable or has a problem to say.
void fuzzNumberText(const QByteArray& bytes)
{
    const core::NumberFormat format{QLatin1Char(!bytes.isEmpty() && (bytes[0] & 1) ? ',' : '.')};
    const QString text = QString::fromUtf8(bytes.mid(1));
    const auto value = core::parseNumberText(text, format);
    REQUIRE(core::isNumericText(text, format) == value.has_value());
    const auto shortInt = value ? core::integerOf(*value) : std::nullopt;
    const auto longInt = value ? core::longOf(*value) : std::nullopt;
    REQUIRE(!longInt || (*longInt - *value <= 0.5 && *value - *longInt <= 0.5));
    REQUIRE(shortInt == (longInt && *longInt >= -32768 && *longInt <= 32767 ? longInt : std::nullopt));
    REQUIRE(core::badNumberMessage(text, "x", format).startsWith(value ? "x: overflow" : "x: \""));
    for (std::size_t box = 0; box < core::kSettingBoxCount; ++box) {
        const core::CheckedNumber read = core::readNumber(static_cast<core::SettingBox>(box), text, "x");
        REQUIRE(read.value.has_value() == read.problem.isEmpty());
    }
}

// Setting a key reads back as set, again changes nothing, the other keys keep
// their values, and no other line of the file changes.
void fuzzProfileFile(const QByteArray& bytes)
{
    const QByteArray keys[] = {"SLEEP_TIME", "WAIT_CLICK_TIME", "sleep_time"};
    const QByteArray values[] = {"-2.5E3", "", "180"};
    const unsigned char pick = bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes[0]);
    const QByteArray section = pick & 0x80 ? "status" : "STATUS";
    const QByteArray &key = keys[pick % 3], &value = values[pick / 3 % 3];
    const QByteArray file = bytes.mid(1);
    const QByteArray updated = platform::profile::set(file, section, key, value);
    REQUIRE(platform::profile::find(updated, section, key) == value);
    REQUIRE(platform::profile::set(updated, section, key, value) == updated);
    for (const QByteArray& other : keys)
        REQUIRE(other.compare(key, Qt::CaseInsensitive) == 0
            || platform::profile::find(updated, section, other) == platform::profile::find(file, section, other));
    const auto prefix = std::mismatch(file.begin(), file.end(), updated.begin(), updated.end()).first - file.begin();
    const auto suffix
        = std::mismatch(file.rbegin(), file.rend() - prefix, updated.rbegin(), updated.rend()).first - file.rbegin();
    REQUIRE(!file.mid(prefix, file.size() - prefix - suffix).contains('\n'));
}

// Three integers at a time until it fails; no more records than the bytes
// could hold, each writing back as one short line.
void fuzzRecordingReader(const QByteArray& bytes)
{
    struct Bytes final : core::ByteInput {
        explicit Bytes(const QByteArray& bytes)
            : text(bytes)
        {
        }
        std::size_t readSome(std::span<char> into) override // a few bytes at a time, to cross the reader's refills
        {
            const auto count = std::min<qsizetype>({static_cast<qsizetype>(into.size()), text.size() - at, 7});
            std::copy_n(text.constData() + at, count, into.data());
            at += count;
            return static_cast<std::size_t>(count);
        }
        const QByteArray& text;
        qsizetype at = 0;
    } input{bytes};
    core::RecordingReader reader(input);
    qsizetype records = 0;
    for (; const auto record = reader.next(); ++records)
        REQUIRE(core::formatRecordLine(*record).size() <= 37);
    REQUIRE(records * 5 <= bytes.size()); // "0,0,0" at least
}

// The arguments are the bytes split at NUL. A bad command line is a
// UsageError and nothing else; a good one holds only what its command uses.
void fuzzCommandLine(const QByteArray& bytes)
{
    QStringList arguments{"clickpath-cli"};
    for (const QByteArray& argument : bytes.split('\0'))
        arguments.append(QString::fromUtf8(argument));
    try {
        const cli::Invocation invocation = cli::parseCommandLine(arguments);
        REQUIRE(invocation.passes >= 1 && !(invocation.loop && invocation.passes != 1));
        REQUIRE(invocation.command == cli::Command::Play || (invocation.overrides.empty() && !invocation.loop));
        for (const auto& [box, text] : invocation.overrides)
            REQUIRE(core::isNumericText(text));
    } catch (const cli::UsageError&) {
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FUZZ_TARGET(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
