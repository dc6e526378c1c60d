#pragma once

#include "platform/FileDialog.h"

#include <QPointer>
#include <QWidget>

namespace clickpath::platform::qt {

// The standard open and save dialogs, through QFileDialog.
class QtFileDialog final : public FileDialog {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<QString> chooseFileToOpen(const QString& preset, const QString& filter) override;
    std::optional<QString> chooseFileToSave(const QString& preset, const QString& filter) override;

    // "desc|pattern|..." as Qt's "desc (pattern)" name filters.
    static QStringList nameFilters(const QString& filter);
    // Why a name cannot be saved under: its folder does not exist. Empty when it can.
    static QString refusalToSave(const QString& path);

private:
    std::optional<QString> choose(bool forSaving, const QString& preset, const QString& filter);

    QPointer<QWidget> parent_;
};

} // namespace clickpath::platform::qt
