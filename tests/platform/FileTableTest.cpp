#include "fakes/Fakes.h"
#include "platform/FileTable.h"
#include "platform/ToolError.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace clickpath;
using platform::FileTable;

namespace {

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ToolError& error) {
        return error.what();
    }
    return "<no error>";
}

TEST(FileTableTest, HandsOutTheLowestFreeNumberUpTo255)
{
    QTemporaryDir dir;
    FileTable files;
    EXPECT_EQ(files.freeNumber(), 1);
    for (int n = 1; n <= 255; ++n)
        files.openForOutput(n, dir.filePath(QString::number(n)).toStdString());
    EXPECT_NE(errorOf([&] { files.freeNumber(); }).find("Too many files"), std::string::npos);
    files.close(7);
    files.close(9);
    EXPECT_EQ(files.freeNumber(), 7);
    EXPECT_NE(errorOf([&] { files.openForOutput(1, dir.filePath("x").toStdString()); }).find("already open"),
        std::string::npos);
    EXPECT_THROW(files.openForOutput(256, dir.filePath("x").toStdString()), ToolError);
    EXPECT_THROW(files.openForOutput(0, dir.filePath("x").toStdString()), ToolError);
}

TEST(FileTableTest, ClosingANumberThatIsNotOpenDoesNothing)
{
    FileTable files;
    files.close(0);
    files.close(3);
    files.close(-1);
    files.close(1000);
    EXPECT_FALSE(files.isOpen(3));
}

TEST(FileTableTest, OutputTruncatesAndEveryWriteReachesTheFileAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    fakes::writeFile(path, "old content that must go");
    FileTable files;
    files.openForOutput(1, path.toStdString());
    EXPECT_EQ(fakes::readFile(path), "");
    files.write(1, "1,2,0\r\n");
    EXPECT_EQ(fakes::readFile(path), "1,2,0\r\n"); // no close needed
    EXPECT_THROW(files.peekByte(1), ToolError);       // not an input file
}

TEST(FileTableTest, FailuresNameThePathAndTheReason)
{
    QTemporaryDir dir;
    FileTable files;
    const std::string missing = dir.filePath("none/r.txt").toStdString();
    EXPECT_EQ(errorOf([&] { files.openForOutput(1, missing); }),
        "Cannot open " + missing + " for writing: No such file or directory");
    EXPECT_EQ(errorOf([&] { files.openForInput(1, missing); }), "Cannot open " + missing + ": No such file or directory");
    const std::string folder = dir.path().toStdString();
    EXPECT_EQ(errorOf([&] { files.openForInput(1, folder); }), "Cannot open " + folder + ": Is a directory");
    EXPECT_FALSE(files.isOpen(1));

    files.openForOutput(2, "/dev/full");
    EXPECT_EQ(errorOf([&] { files.write(2, "1,2,0\r\n"); }), "Cannot write to /dev/full: No space left on device");
}

} // namespace
