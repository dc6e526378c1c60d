#include "exchange/RecordingExchange.h"

#include "core/ToolError.h"
#include "platform/posix/FileCopy.h"

#include <QFileInfo>

namespace clickpath::exchange {

const char* const RecordingExchange::kFilter = "テキスト ファイル (*.txt)|*.txt";

RecordingExchange::RecordingExchange(platform::FileDialog& dialog, QString workingRecording)
    : dialog_(dialog)
    , working_(std::move(workingRecording))
{
}

void RecordingExchange::save()
{
    if (!QFileInfo(working_).isFile())
        throw ToolError(QStringLiteral("Nothing to save yet: the working recording %1 does not exist.")
                            .arg(working_)
                            .toStdString());
    if (const auto chosen = otherThanWorking(dialog_.chooseFileToSave(working_, QString::fromUtf8(kFilter))))
        platform::copyFileAtomically(working_, *chosen);
}

void RecordingExchange::load()
{
    if (const auto chosen = otherThanWorking(dialog_.chooseFileToOpen(working_, QString::fromUtf8(kFilter))))
        platform::copyFileAtomically(*chosen, working_);
}

std::optional<QString> RecordingExchange::otherThanWorking(const std::optional<QString>& chosen) const
{
    // Another name for the same file (a link, "..") would copy it onto itself.
    if (!chosen || chosen->isEmpty() || *chosen == working_ || platform::isSameFile(*chosen, working_))
        return std::nullopt;
    return chosen;
}

} // namespace clickpath::exchange
