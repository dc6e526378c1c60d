#pragma once

#include "platform/FileDialog.h"

#include <QPointer>
#include <QWidget>

namespace clickpath::platform::qt {

// The standard open and save dialogs of the desktop, through QFileDialog.
class QtFileDialog final : public FileDialog {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void setFilter(const QString& filter) override { filter_ = filter; }
    void setFlags(std::int32_t flags) override { flags_ = flags; }
    void setFileName(const QString& fileName) override { fileName_ = fileName; }
    QString fileName() const override { return fileName_; }
    void showOpen() override;
    void showSave() override;

    // "desc|pattern|..." as Qt's "desc (pattern);;..." name filters.
    static QStringList nameFilters(const QString& filter);

private:
    void show(bool forSaving);

    QPointer<QWidget> parent_;
    QString filter_;
    std::int32_t flags_ = 0;
    QString fileName_;
};

} // namespace clickpath::platform::qt
