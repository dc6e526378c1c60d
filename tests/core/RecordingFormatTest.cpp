#include "core/RecordingFormat.h"
#include "fakes/FakeDesktop.h"
#include "platform/ToolError.h"

#include <gtest/gtest.h>

#include <climits>

using namespace clickpath;
using core::Record;
using Records = std::vector<Record>;

namespace {

class RecordingFormatTest : public ::testing::Test {
protected:
    // Reads whole records until the reader fails; returns them and the failure.
    Records readAll(const std::string& bytes, std::string* failure = nullptr)
    {
        fakes::writeFile(path, bytes);
        core::RecordingReader reader(path);
        Records records;
        try {
            for (;;)
                records.push_back(reader.next());
        } catch (const ToolError& error) {
            if (failure)
                *failure = error.what();
        }
        return records;
    }
    // The text of the error that `action` throws.
    static std::string errorOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const ToolError& error) {
            return error.what();
        }
        return "no error";
    }

    QTemporaryDir dir;
    QString path = dir.filePath("r.txt");
};

TEST_F(RecordingFormatTest, WrittenLinesAreDecimalsJoinedByCommasInCrLfAndReadBackExactly)
{
    const Records written{{640, 480, 0}, {-1200, 35, 128}, {INT32_MIN, INT32_MAX, 7}};
    {
        core::RecordingWriter writer(path);
        for (const Record& r : written)
            writer.append(r);
    }
    EXPECT_EQ(fakes::readFile(path), "640,480,0\r\n-1200,35,128\r\n-2147483648,2147483647,7\r\n");
    EXPECT_EQ(readAll(fakes::readFile(path)), written);
}

TEST_F(RecordingFormatTest, TakesThreeIntegersAtATimeWhereverTheyStand)
{
    for (const char* bytes : {"1,2,0,3,4,128\r\n", "1\n2\n0\n3,4\n128", "1\r2\r0\r3\r4\r128\r",
             " 1 , 2\t,0\r\n\r\n3,4,128 \r\n", "+1,2,0\r\n3,4,128\r\n",
             "\xEF\xBB\xBF"
             "1,2,0\r\n3,4,128\r\n"})
        EXPECT_EQ(readAll(bytes), (Records{{1, 2, 0}, {3, 4, 128}})) << bytes;
}

TEST_F(RecordingFormatTest, StopsAtTheFirstFieldThatIsNotA32BitIntegerAfterTheLastWholeRecord)
{
    const std::pair<std::string, const char*> cases[] = {
        {"5,5,0\r\n6,6", "Input past end of file"}, // an incomplete record is never used
        {"5,5,0\r\n6,,0\r\n", "empty field"},
        {"5,5,0\r\n6,\r\n7,8,0\r\n", "empty field"}, // not 6,7,8 and every later record shifted
        {"5,5,0,\r\n6,7,8\r\n", "empty field"},      // a trailing comma
        {"5,5,0\r\n\xEF\xBB\xBF"
         "6,6,0\r\n",
            "is not an integer"}, // a mark only at the start
        {"5,5,0\r\n6,x,0\r\n", "\"x\" is not an integer"}, {"5,5,0\r\n6,1.5,0\r\n", "is not an integer"},
        {"5,5,0\r\n6,--1,0\r\n", "is not an integer"}, {"5,5,0\r\n6,-,0\r\n", "is not an integer"},
        {"5,5,0\r\n2147483648,0,0\r\n", "does not fit in 32 bits"},
        {"5,5,0\r\n-2147483649,0,0\r\n", "does not fit in 32 bits"},
        {std::string("5,5,0\r\n6,\0,0\r\n", 14), "\"?\" is not an integer"},
        {"5,5,0\r\n1 2,0,0\r\n", "is not an integer"},
        {"5,5,0\r\n" + std::string(1 << 20, '7'), "longer than any number"}, // never gathered in memory
    };
    for (const auto& [bytes, reason] : cases) {
        std::string failure;
        EXPECT_EQ(readAll(bytes, &failure), (Records{{5, 5, 0}})) << bytes.substr(0, 20);
        EXPECT_NE(failure.find(reason), std::string::npos) << bytes.substr(0, 20) << " -> " << failure;
    }
}

TEST_F(RecordingFormatTest, FilesThatCannotBeOpenedAreNamedWithTheReason)
{
    const std::string missing = dir.filePath("none/r.txt").toStdString();
    EXPECT_EQ(errorOf([&] { core::RecordingReader(dir.filePath("none/r.txt")); }),
        "Cannot open " + missing + ": No such file or directory");
    EXPECT_EQ(errorOf([&] { core::RecordingReader(dir.path()); }),
        "Cannot open " + dir.path().toStdString() + ": Is a directory");
    EXPECT_EQ(errorOf([&] { core::RecordingWriter(dir.filePath("none/r.txt")); }),
        "Cannot open " + missing + " for writing: No such file or directory");
    EXPECT_EQ(errorOf([] {
        core::RecordingWriter("/dev/full").append({1, 2, 0});
    }),
        "Cannot write to /dev/full: No space left on device");
}

} // namespace
