#pragma once

#include "XDesk.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <string>

namespace bench {

// One run of the real tool from a folder of its own, so that its working
// recording and settings file are the benchmark's and nobody else's.
class ToolProcess {
public:
    ToolProcess(const QString& executable, XDesk& desk, const std::string& settings);
    ~ToolProcess();

    // Milliseconds from the process start to its window being mapped.
    double startupMs() const { return startupMs_; }
    qint64 pid() const { return process_.processId(); }
    QString recordingPath() const { return dir_.filePath("clickpath.txt"); }
    void writeRecording(const std::string& bytes) const;
    qint64 recordingLines() const;

    // Controls, by their places in the window.
    void clickRec() { clickAt(30, 15); }
    void clickAuto() { clickAt(80, 15); }
    void clickLoop() { clickAt(14, 40); }
    // True once "Rec" is drawn enabled (dark caption) again.
    bool buttonsEnabled();

    // CPU seconds used by the process so far, and its resident memory in kB:
    // all of it, or one field of /proc/<pid>/status such as "RssAnon".
    double cpuSeconds() const;
    long rssKb() const { return statusKb("VmRSS"); }
    long statusKb(const char* field) const;

private:
    void clickAt(int x, int y);

    XDesk& desk_;
    QTemporaryDir dir_;
    QProcess process_;
    std::pair<int, int> origin_{0, 0};
    double startupMs_ = 0;
    int enabledDark_ = 0;
};

// Sleeps briefly; the benchmark polls other processes, which offer no event.
void pause(int milliseconds);

} // namespace bench
