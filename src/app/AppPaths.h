#pragma once

#include <QString>

#include <string>

namespace clickpath::app {

// The files that live beside the executable: the working recording and the
// settings file, both named after the executable.
class AppPaths {
public:
    AppPaths(QString exeDirectory, QString exeBaseName);
    // The running executable's directory (links resolved) and base name.
    static AppPaths ofRunningExecutable();

    QString exeDirectory() const { return exeDirectory_; }
    QString exeBaseName() const { return exeBaseName_; }
    QString workingRecordingPath() const;
    QString settingsFilePath() const;

private:
    QString exeDirectory_;
    QString exeBaseName_;
};

// A path as the operating system takes it, in the file names' encoding.
std::string localPath(const QString& path);

} // namespace clickpath::app
