#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace clickpath::app {

AppPaths::AppPaths(QString exeDirectory, QString exeBaseName)
    : exeDirectory_(std::move(exeDirectory))
    , exeBaseName_(std::move(exeBaseName))
{
}

AppPaths AppPaths::ofRunningExecutable()
{
    // applicationFilePath() resolves links, so a link in ~/.local/bin still
    // works on the files beside the real executable.
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return AppPaths(exe.absolutePath(), exe.completeBaseName());
}

QString AppPaths::workingRecordingPath() const
{
    return exeDirectory_ + QDir::separator() + exeBaseName_ + QStringLiteral(".txt");
}

QString AppPaths::settingsFilePath() const
{
    return exeDirectory_ + QDir::separator() + exeBaseName_ + QStringLiteral(".ini");
}

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace clickpath::app
