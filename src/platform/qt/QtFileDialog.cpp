#include "platform/qt/QtFileDialog.h"

#include <QFileDialog>

namespace clickpath::platform::qt {

QStringList QtFileDialog::nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString suffix = QStringLiteral("(%1)").arg(parts[i + 1]);
        // A description that already shows its pattern keeps it once.
        filters << (description.endsWith(suffix) ? description : description + QLatin1Char(' ') + suffix);
    }
    return filters;
}

std::optional<QString> QtFileDialog::chooseFileToOpen(const QString& preset, const QString& filter)
{
    return choose(false, preset, filter);
}

std::optional<QString> QtFileDialog::chooseFileToSave(const QString& preset, const QString& filter)
{
    return choose(true, preset, filter);
}

std::optional<QString> QtFileDialog::choose(bool forSaving, const QString& preset, const QString& filter)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(filter));
    dialog.selectFile(preset);
    // No default suffix: a name typed without an extension is taken as typed.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace clickpath::platform::qt
