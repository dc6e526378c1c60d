#include "platform/qt/QtFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace clickpath::platform::qt {

namespace {

// Qt's dialog takes any name for saving, also one in a folder that does not
// exist, which the copy afterwards could only fail on. This one refuses it
// and stays open for another name.
class FileChoiceDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        const bool saving = acceptMode() == AcceptSave && !chosen.isEmpty();
        const QString refusal = saving ? QtFileDialog::refusalToSave(chosen.front()) : QString();
        if (refusal.isEmpty())
            QFileDialog::accept();
        else
            QMessageBox::warning(this, windowTitle(), refusal);
    }
};

} // namespace

QString QtFileDialog::refusalToSave(const QString& path)
{
    const QFileInfo file(path);
    if (file.isDir() || file.absoluteDir().exists())
        return {};
    return QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(file.absolutePath()));
}

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
    FileChoiceDialog dialog(parent_);
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
