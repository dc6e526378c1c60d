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
    // Not modal: a warning never holds up what runs, nor runs the event
    // loop inside the call that gives it.
    auto* box
        = new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace clickpath::platform::qt
