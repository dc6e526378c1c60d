#include "core/RecordingFormat.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;

namespace {

// Writes `bytes`, reads whole records until the reader fails; the records as
// "x,y,b x,y,b", and the failure.
std::pair<QString, std::string> readAll(const QString& path, const std::string& bytes)
{
    fakes::writeFile(path, bytes);
    core::RecordingReader reader(path);
    QStringList records;
    try {
        for (;;) {
            const core::Record r = reader.next();
            records << QStringLiteral("%1,%2,%3").arg(r.x).arg(r.y).arg(r.button);
        }
    } catch (const ToolError& error) {
        return {records.join(' '), error.what()};
    }
}

TEST(RecordingFormatTest, WrittenLinesAreDecimalsInCrLfAndReadBackExactlyWhereverTheyStand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("r.txt");
    core::RecordingWriter(path).append({INT32_MIN, INT32_MAX, 128});
    EXPECT_EQ(fakes::readFile(path), "-2147483648,2147483647,128\r\n");
    EXPECT_EQ(readAll(path, fakes::readFile(path)).first, "-2147483648,2147483647,128");
    for (const char* bytes : {"1,2,0,3,4,128\r\n", "1\n2\n0\n3,4\n128", "1\r2\r0\r3\r4\r128\r",
             " 1 , 2\t,0\r\n\r\n3,4,128 \r\n", "+1,2,0\r\n3,4,128\r\n",
             "\xEF\xBB\xBF"
             "1,2,0\r\n3,4,128\r\n"})
        EXPECT_EQ(readAll(path, bytes).first, "1,2,0 3,4,128") << bytes;
}

TEST(RecordingFormatTest, ReadingStopsAtTheFirstFieldThatIsNotA32BitIntegerAfterTheLastWholeRecord)
{
    QTemporaryDir dir;
    const std::pair<std::string, const char*> cases[] = {
        {"6,6", "Input past end of file"},                               // an incomplete record is never used
        {"6,,0\r\n", "empty field"}, {"6,\r\n7,8,0\r\n", "empty field"}, // not 6,7,8 and every later record shifted
        {",\r\n6,7,8\r\n", "empty field"},                               // a trailing comma
        {"\xEF\xBB\xBF"
         "6,6,0\r\n",
            "is not an integer"}, // a mark only at the start
        {"6,x,0\r\n", "\"x\" is not an integer"}, {"6,1.5,0\r\n", "is not an integer"},
        {"6,--1,0\r\n", "is not an integer"}, {"6,-,0\r\n", "is not an integer"}, {"1 2,0,0", "is not an integer"},
        {std::string("6,\0,0\r\n", 7), "\"?\" is not an integer"}, {"2147483648,0,0\r\n", "does not fit in 32 bits"},
        {"-2147483649,0,0\r\n", "does not fit in 32 bits"},
        {std::string(1 << 20, '7'), "longer than any number"}, // never gathered in memory
    };
    for (const auto& [bytes, reason] : cases) {
        // After one whole record, or one with a trailing comma.
        const auto [records, failure]
            = readAll(dir.filePath("r.txt"), "5,5,0" + (bytes[0] == ',' ? bytes : "\r\n" + bytes));
        EXPECT_EQ(records, "5,5,0") << bytes.substr(0, 20);
        EXPECT_NE(failure.find(reason), std::string::npos) << bytes.substr(0, 20) << " -> " << failure;
    }
    EXPECT_THROW(core::RecordingReader(dir.filePath("none/r.txt")), ToolError);
    EXPECT_THROW(core::RecordingReader(dir.path()), ToolError); // a folder
    try {
        core::RecordingWriter("/dev/full").append({1, 2, 0});
        ADD_FAILURE();
    } catch (const ToolError& error) {
        EXPECT_STREQ(error.what(), "Cannot write to /dev/full: No space left on device");
    }
}

} // namespace
