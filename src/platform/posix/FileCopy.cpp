#include "platform/posix/FileCopy.h"

#include "core/ToolError.h"
#include "platform/posix/SequentialFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace clickpath::platform {

namespace {

[[noreturn]] void fail(const QString& what, const QString& path, const QString& reason)
{
    throw ToolError(QStringLiteral("%1 %2: %3").arg(what, path, reason).toStdString());
}

} // namespace

void copyFileAtomically(const QString& source, const QString& destination)
{
    if (QFileInfo(source).isDir())
        fail(QStringLiteral("Cannot read"), source, QStringLiteral("it is a folder"));
    QFile input;
    input.open(
        openRegularFile(QFile::encodeName(source).toStdString(), O_RDONLY, "Cannot read " + source.toStdString()),
        QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    refuseSpecialFile(QFile::encodeName(destination).toStdString(), "Cannot write " + destination.toStdString());
    QSaveFile output(destination);
    if (!output.open(QIODevice::WriteOnly))
        fail(QStringLiteral("Cannot write"), destination, output.errorString());
    char chunk[64 * 1024];
    for (qint64 got = input.read(chunk, sizeof chunk); got != 0; got = input.read(chunk, sizeof chunk)) {
        if (got < 0)
            fail(QStringLiteral("Cannot read"), source, input.errorString());
        if (output.write(chunk, got) != got)
            fail(QStringLiteral("Cannot write"), destination, output.errorString());
    }
    // Nothing replaces the destination until here; a failed commit removes
    // the temporary file and leaves the old one as it was.
    if (!output.commit())
        fail(QStringLiteral("Cannot write"), destination, output.errorString());
}

bool isSameFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 || ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace clickpath::platform
