#include "fakes/Fakes.h"
#include "platform/FileTable.h"
#include "platform/ToolError.h"
#include "recording/RecordingFormat.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace clickpath;
using recording::Record;

namespace {

class RecordingFormatTest : public ::testing::Test {
protected:
    // Reads whole records until the reader fails; returns them and the failure.
    std::vector<Record> readAll(const std::string& bytes, std::string* failure = nullptr)
    {
        fakes::writeFile(path(), bytes);
        platform::FileTable files;
        files.openForInput(1, path().toStdString());
        std::vector<Record> records;
        try {
            for (;;)
                records.push_back(recording::readRecord(files, 1));
        } catch (const ToolError& error) {
            if (failure)
                *failure = error.what();
        }
        return records;
    }
    QString path() const { return dir.filePath("r.txt"); }

    QTemporaryDir dir;
};

TEST_F(RecordingFormatTest, LinesAreDecimalTextJoinedByCommasEndingInCrLf)
{
    EXPECT_EQ(recording::formatRecordLine(640, 480, 0), "640,480,0\r\n");
    EXPECT_EQ(recording::formatRecordLine(-1200, 35, 128), "-1200,35,128\r\n");
    EXPECT_EQ(recording::formatRecordLine(INT32_MIN, INT32_MAX, 128), "-2147483648,2147483647,128\r\n");
    EXPECT_EQ(recording::formatRecordLine(INT32_MIN, INT32_MIN, 128).size(), 29u);
}

TEST_F(RecordingFormatTest, ReadsWrittenLinesBackExactly)
{
    std::string bytes;
    const std::vector<Record> written{{640, 480, 0}, {-1200, 35, 128}, {0, -1, 7}, {INT32_MIN, INT32_MAX, 0}};
    for (const Record& r : written)
        bytes += recording::formatRecordLine(r.x, r.y, r.button);
    std::string failure;
    EXPECT_EQ(readAll(bytes, &failure), written);
    EXPECT_EQ(failure, "Input past end of file");
}

TEST_F(RecordingFormatTest, TakesThreeIntegersAtATimeWhereverTheyStand)
{
    const std::vector<Record> expected{{1, 2, 0}, {3, 4, 128}};
    EXPECT_EQ(readAll("1,2,0,3,4,128\r\n"), expected);
    EXPECT_EQ(readAll("1\n2\n0\n3,4\n128"), expected);        // lone LF, no last line end
    EXPECT_EQ(readAll("1\r2\r0\r3\r4\r128\r"), expected);     // lone CR
    EXPECT_EQ(readAll(" 1 , 2\t,0\r\n\r\n3,4,128 \r\n"), expected); // blanks and a blank line
    EXPECT_EQ(readAll("+1,2,0\r\n3,4,128\r\n"), expected);
    EXPECT_TRUE(readAll("").empty());
    EXPECT_TRUE(readAll("\r\n \r\n").empty());
}

TEST_F(RecordingFormatTest, FailsOnTextThatIsNotA32BitIntegerAfterTheLastWholeRecord)
{
    const std::vector<Record> one{{5, 5, 0}};
    const std::vector<std::pair<std::string, std::string>> cases{
        {"5,5,0\r\n6,6", "Input past end of file"},            // incomplete record is never used
        {"5,5,0\r\n6,,0\r\n", "empty field"},
        {"5,5,0\r\n6,x,0\r\n", "is not an integer"},
        {"5,5,0\r\n6,1.5,0\r\n", "is not an integer"},
        {"5,5,0\r\n6,--1,0\r\n", "is not an integer"},
        {"5,5,0\r\n6,+-1,0\r\n", "is not an integer"},
        {"5,5,0\r\n6,-,0\r\n", "is not an integer"},
        {"5,5,0\r\n2147483648,0,0\r\n", "does not fit in 32 bits"},
        {"5,5,0\r\n-2147483649,0,0\r\n", "does not fit in 32 bits"},
        {std::string("5,5,0\r\n6,\0,0\r\n", 14), "is not an integer"},
        {"5,5,0\r\n1 2,0,0\r\n", "is not an integer"},
    };
    for (const auto& [bytes, reason] : cases) {
        std::string failure;
        EXPECT_EQ(readAll(bytes, &failure), one) << bytes;
        EXPECT_NE(failure.find(reason), std::string::npos) << bytes << " -> " << failure;
    }
}

TEST_F(RecordingFormatTest, AnEndlessFieldFailsWithoutReadingItWhole)
{
    // 64 MiB of digits with no comma or line end: the reader must give up
    // after a short field, not gather the run in memory.
    {
        const int fd = ::open(path().toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string chunk(1 << 20, '7');
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(::write(fd, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
        ::close(fd);
    }
    platform::FileTable files;
    files.openForInput(1, path().toStdString());
    EXPECT_THROW(recording::readInteger(files, 1), ToolError);
    // The next read goes on from where the failing one stopped: still inside the run.
    EXPECT_THROW(recording::readInteger(files, 1), ToolError);
}

TEST_F(RecordingFormatTest, ReadingAClosedNumberFails)
{
    platform::FileTable files;
    EXPECT_THROW(recording::readInteger(files, 1), ToolError);
    fakes::writeFile(path(), "1,2,3\r\n");
    files.openForInput(1, path().toStdString());
    files.close(1);
    EXPECT_THROW(recording::readInteger(files, 1), ToolError);
}

} // namespace
