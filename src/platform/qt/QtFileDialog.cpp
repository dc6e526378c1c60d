#include "platform/qt/QtFileDialog.h"

#include <QFileDialog>

namespace clickpath::platform::qt {

QStringList QtFileDialog::nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = parts[i + 1];
        const QString suffix = QStringLiteral("(%1)").arg(pattern);
        // A description that already shows its pattern keeps it once.
        filters << (description.endsWith(suffix) ? description : description + QLatin1Char(' ') + suffix);
    }
    return filters;
}

void QtFileDialog::showOpen()
{
    show(false);
}

void QtFileDialog::showSave()
{
    show(true);
}

void QtFileDialog::show(bool forSaving)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((flags_ & kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(flags_ & kOverwritePrompt));
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(nameFilters(filter_));
    if (!fileName_.isEmpty())
        dialog.selectFile(fileName_);
    // No default suffix: a name typed without an extension is taken as typed.
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty())
        fileName_ = chosen.front();
}

} // namespace clickpath::platform::qt
