#pragma once

#include "platform/MessageSink.h"

#include <QPointer>
#include <QWidget>

namespace clickpath::platform::qt {

// Message boxes over the window.
class QtMessageSink final : public MessageSink {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void showError(const QString& text) override;
    void showWarning(const QString& text) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace clickpath::platform::qt
