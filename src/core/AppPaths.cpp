#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace clickpath::core {

AppPaths::AppPaths(QString exeDirectory, QString exeBaseName)
    : exeDirectory_(std::move(exeDirectory))
    , exeBaseName_(std::move(exeBaseName))
{
}

AppPaths AppPaths::ofRunningExecutable(const QString& baseName)
{
    // applicationFilePath() resolves links, so a link in ~/.local/bin still
    // works on the files beside the real executable.
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return AppPaths(exe.absolutePath(), baseName.isEmpty() ? exe.completeBaseName() : baseName);
}

QString AppPaths::besideExecutable(const QString& extension) const
{
    return exeDirectory_ + QDir::separator() + exeBaseName_ + extension;
}

} // namespace clickpath::core
