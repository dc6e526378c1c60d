// What recording and playback share: numbers as text, and the recording format (read and written through files).
#include "core/NumberText.h"
#include "core/RecordingFormat.h"
#include "fakes/FakeDesktop.h"
#include "platform/posix/SequentialFile.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace clickpath;
using namespace clickpath::core;
using namespace clickpath::platform;

namespace {

const NumberFormat kDot{QLatin1Char('.')};

TEST(NumberTextTest, ANumberIsASignDigitsOneSeparatorAndAnExponentWithBlanksAroundThatFitsWhenConverted)
{
    for (const char* text : {"0", "-5", "+5", "2.5", ".5", "5.", "1E3", "1e-3", "-2.5E+10", " 7\t", "\u30007\u3000"})
        EXPECT_TRUE(isNumericText(text, kDot)) << text;
    for (const char* text : {"", " ", "1a", "1.2.3", "1E", "E3", "--1", "+-1", "1 2", "1,000", ".", "1e+", "٣", "5\n",
             "5\r\n", "\v5", "5\u00a0"}) // a line break or another control is no blank
        EXPECT_FALSE(isNumericText(QString::fromUtf8(text), kDot)) << text;
    EXPECT_EQ(doubleOf("-1,25E2", NumberFormat{QLatin1Char(',')}), -125.0);
    // Whole numbers round halves to even; what does not fit is refused.
    const std::pair<double, std::int32_t> wholes[] = {{0.5, 0}, {1.5, 2}, {-2.5, -2}, {2147483647, 2147483647}};
    for (const auto& [value, whole] : wholes)
        EXPECT_EQ(longOf(value), whole) << value;
    EXPECT_EQ(integerOf(-32768), -32768);
    EXPECT_EQ(integerOf(32767.5), std::nullopt);
    EXPECT_EQ(longOf(2147483647.5), std::nullopt);
    // Exponents that fit a long long, with digits that take the power beyond it.
    const std::string farOut = "1" + std::string(31, '0') + "E9223372036854775807";
    for (const std::string& far : {std::string("1E999"), farOut})
        EXPECT_EQ(doubleOf(QString::fromStdString(far), kDot), std::nullopt) << far;
    EXPECT_EQ(doubleOf("0.01E-9223372036854775808", kDot), 0.0);
    EXPECT_EQ(sumOf(2147483647, 1), std::nullopt);
    EXPECT_EQ(sumOf(-2147483647, -1), -2147483647 - 1);
    EXPECT_EQ(badNumberMessage(" 1E39 ", "VM", kDot), "VM: overflow, 1E39 is out of range");
    EXPECT_EQ(badNumberMessage("1x", "VM", kDot), "VM: \"1x\" is not a number");
}

// Writes `bytes`, reads whole records until the reader stops; the records as "x,y,b x,y,b", and why it stopped.
std::pair<QString, std::string> readAll(const QString& path, const std::string& bytes)
{
    fakes::writeFile(path, bytes);
    platform::RecordingFileReader reader(path);
    QStringList records;
    while (const auto r = reader.next())
        records << QStringLiteral("%1,%2,%3").arg(r->x).arg(r->y).arg(r->button);
    return {records.join(' '), reader.problem()};
}

TEST(RecordingFormatTest, LinesAreDecimalsInCrLfReadBackWhereverTheyStandUpToTheFirstFieldThatIsNotA32BitInteger)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("r.txt");
    platform::RecordingFileWriter(path).append({INT32_MIN, INT32_MAX, 128});
    EXPECT_EQ(fakes::readFile(path), "-2147483648,2147483647,128\r\n");
    EXPECT_EQ(readAll(path, fakes::readFile(path)).first, "-2147483648,2147483647,128");
    for (const char* bytes : {"1,2,0,3,4,128\r\n", "1\n2\n0\n3,4\n128", "1\r2\r0\r3\r4\r128\r",
             " 1 , 2\t,0\r\n\r\n3,4,128 \r\n", "+1,2,0\r\n3,4,128\r\n", "\uFEFF1,2,0\r\n3,4,128\r\n"})
        EXPECT_EQ(readAll(path, bytes).first, "1,2,0 3,4,128") << bytes;
    const std::pair<std::string, const char*> cases[] = {
        {"6,6", ""},                                                     // an incomplete record is never used
        {"6,,0\r\n", "empty field"}, {"6,\r\n7,8,0\r\n", "empty field"}, // not 6,7,8 and every later record shifted
        {",\r\n6,7,8\r\n", "empty field"},                               // a trailing comma
        {"\uFEFF6,6,0\r\n", "is not an integer"},                        // a mark only at the start
        {"6,x,0\r\n", "\"x\" is not an integer"}, {"6,1.5,0\r\n", "is not an integer"},
        {"6,--1,0\r\n", "is not an integer"}, {"6,-,0\r\n", "is not an integer"},
        {"~1 2,0,0", "\"~1 2\" is not an integer"}, {std::string("6,\0,0\r\n", 7), "\"?\" is not an integer"},
        {"2147483648,0,0\r\n", "does not fit in 32 bits"}, {"-2147483649,0,0\r\n", "does not fit in 32 bits"},
        {std::string(1 << 20, '7'), "longer than any number"}, // never gathered in memory
    };
    for (const auto& [bytes, reason] : cases) {
        // After one whole record, or one with a trailing comma.
        const auto [records, failure]
            = readAll(dir.filePath("r.txt"), "5,5,0" + (bytes[0] == ',' ? bytes : "\r\n" + bytes));
        EXPECT_EQ(records, "5,5,0") << bytes.substr(0, 20);
        EXPECT_NE(failure.find(reason), std::string::npos) << bytes.substr(0, 20) << " -> " << failure;
        EXPECT_EQ(failure.empty(), !*reason) << bytes.substr(0, 20);
    }
    EXPECT_THROW(platform::RecordingFileReader(dir.filePath("none/r.txt")), ToolError);
    EXPECT_THROW(platform::RecordingFileReader(dir.path()), ToolError); // a folder
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0); // would block until its other end opens
    EXPECT_EQ(fakes::errorOf<ToolError>([&] { platform::RecordingFileReader{fifo}; }),
        "Cannot open " + fifo.toStdString() + ": it is not a regular file");
    EXPECT_EQ(fakes::errorOf<ToolError>([&] { platform::RecordingFileWriter{fifo}; }),
        "Cannot open " + fifo.toStdString() + " for writing: it is not a regular file");
    const QString full = dir.filePath("full.txt");
    EXPECT_EQ(fakes::errorOf<ToolError>([&] {
        const fakes::FileSizeLimit disk(12);
        platform::RecordingFileWriter writer(full);
        writer.append({1, 2, 0});
        writer.append({3, 4, 128}); // in part only
    }),
        "Cannot write to " + full.toStdString() + ": File too large");
    EXPECT_EQ(fakes::readFile(full), "1,2,0\r\n"); // whole lines only
}

} // namespace
