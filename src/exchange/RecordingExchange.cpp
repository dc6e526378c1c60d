#include "exchange/RecordingExchange.h"

#include "app/ToolContext.h"
#include "platform/FileDialog.h"
#include "platform/ToolError.h"

#include <QFileInfo>

namespace clickpath::exchange {

const char* const RecordingExchange::kFilter = "テキスト ファイル (*.txt)|*.txt";

RecordingExchange::RecordingExchange(app::ToolContext& tool)
    : tool_(tool)
{
}

void RecordingExchange::Command2_Click()
{
    exchange(Direction::ToChosenFile);
}

void RecordingExchange::Command4_Click()
{
    exchange(Direction::FromChosenFile);
}

void RecordingExchange::exchange(Direction direction)
{
    const bool saving = direction == Direction::ToChosenFile;
    const QString working = tool_.paths.workingRecordingPath();
    if (saving && !QFileInfo(working).isFile())
        throw ToolError(
            QStringLiteral("Nothing to save yet: the working recording %1 does not exist.").arg(working).toStdString());

    platform::FileDialog& dialog = tool_.services.dialog;
    dialog.setFilter(QString::fromUtf8(kFilter));
    dialog.setFlags(saving ? platform::kPathMustExist | platform::kOverwritePrompt
                           : platform::kFileMustExist | platform::kHideReadOnly);
    // The preset doubles as the cancel marker: a cancelled dialog leaves it.
    dialog.setFileName(working);
    if (saving)
        dialog.showSave();
    else
        dialog.showOpen();

    const QString chosen = dialog.fileName();
    if (chosen == working || chosen.isEmpty())
        return;
    // Another name for the same file (a link, "..", other letter case where
    // that does not count) would copy the file onto itself.
    if (tool_.services.copier.sameFile(chosen, working))
        return;
    if (saving)
        tool_.services.copier.copy(working, chosen);
    else
        tool_.services.copier.copy(chosen, working);
}

} // namespace clickpath::exchange
