#pragma once

#include <QString>

namespace clickpath::core {

// The files that live beside the executable, named after the program: the
// working recording and the settings file.
class AppPaths {
public:
    AppPaths(QString exeDirectory, QString exeBaseName);
    // The running executable's directory (links resolved) and `baseName`,
    // by default the executable's own.
    static AppPaths ofRunningExecutable(const QString& baseName = QString());

    QString exeDirectory() const { return exeDirectory_; }
    QString exeBaseName() const { return exeBaseName_; }
    QString workingRecordingPath() const { return besideExecutable(QStringLiteral(".txt")); }
    QString settingsFilePath() const { return besideExecutable(QStringLiteral(".ini")); }

private:
    QString besideExecutable(const QString& extension) const;

    QString exeDirectory_;
    QString exeBaseName_;
};

} // namespace clickpath::core
