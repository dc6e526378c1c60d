#include "platform/qt/QtMessageSink.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace clickpath::platform::qt {

void QtMessageSink::showError(const QString& text)
{
    QMessageBox::critical(parent_, QCoreApplication::applicationName(), text);
}

void QtMessageSink::showWarning(const QString& text)
{
    QMessageBox::warning(parent_, QCoreApplication::applicationName(), text);
}

} // namespace clickpath::platform::qt
